#include "programstart.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include "interfacefont.h"
#include "mainwindow.h"

namespace pictolex {

ProgramApplication::ProgramApplication() : QApplication(argc, argv)
{
    QApplication::style();
    QCoreApplication::setLibraryPaths({});
}

std::unique_ptr<TForm1> StartProgram(DictionaryContent content)
{
    QApplication::setApplicationName(QStringLiteral("Pictolex"));
    QApplication::setApplicationVersion(QStringLiteral(PICTOLEX_VERSION));
    // Lets the desktop match the running window to the installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.pictolex.Pictolex"));

    // What Qt draws beyond the window's own controls (tool tips, the error
    // box) takes the window's font too; and no second font family is loaded
    // just to lay out the entry text box's empty document at start-up.
    QApplication::setFont(InterfaceFont(11));

    QPixmap icon;
    if (icon.loadFromData(content.icon.data(), static_cast<uint>(content.icon.size()), "PNG"))
        QApplication::setWindowIcon(icon);

    FormSetup setup;
    setup.content = content;
    setup.screenDepth = QGuiApplication::primaryScreen()->depth();
    auto form = std::make_unique<TForm1>(std::move(setup));
    form->show();
    return form;
}

}  // namespace pictolex
