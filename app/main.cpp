#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include "mainwindow.h"
#include "pictolex/content.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictolex"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.0"));

    const auto icon = pictolex::content::Icon();
    QPixmap iconPixmap;
    if (iconPixmap.loadFromData(icon.data(), static_cast<uint>(icon.size()), "PNG"))
        QApplication::setWindowIcon(iconPixmap);

    pictolex::FormSetup setup;
    setup.screenDepth = QGuiApplication::primaryScreen()->depth();
    pictolex::TForm1 form(std::move(setup));
    form.show();
    return QApplication::exec();
}
