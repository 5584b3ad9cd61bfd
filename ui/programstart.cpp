#include "programstart.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include "mainwindow.h"
#include "pictolex/content.h"

namespace pictolex {

std::unique_ptr<TForm1> StartProgram()
{
    QApplication::setApplicationName(QStringLiteral("Pictolex"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.0"));
    // Lets the desktop match the running window to the installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.pictolex.Pictolex"));

    const auto icon = content::Icon();
    QPixmap iconPixmap;
    if (iconPixmap.loadFromData(icon.data(), static_cast<uint>(icon.size()), "PNG"))
        QApplication::setWindowIcon(iconPixmap);

    FormSetup setup;
    setup.screenDepth = QGuiApplication::primaryScreen()->depth();
    auto form = std::make_unique<TForm1>(std::move(setup));
    form->show();
    return form;
}

}  // namespace pictolex
