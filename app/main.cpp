// The program entry: application object, the window, the event loop. The
// program reads no command line, settings or files of its own.
#include <QApplication>

#include "mainwindow.h"
#include "programstart.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const auto form = pictolex::StartProgram();
    return QApplication::exec();
}
