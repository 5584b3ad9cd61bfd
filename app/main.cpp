// The program entry: application object, the window, the event loop. The
// program reads no command line, settings or files of its own.
#include "mainwindow.h"
#include "programstart.h"

int main()
{
    pictolex::ProgramApplication app;
    const auto form = pictolex::StartProgram();
    return QApplication::exec();
}
