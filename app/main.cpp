// The program entry: application object, the window showing the built-in
// content, the event loop. The program reads no command line, settings or
// files of its own.
#include "builtin_content.h"
#include "mainwindow.h"
#include "programstart.h"

int main()
{
    pictolex::ProgramApplication app;
    const auto form = pictolex::StartProgram(pictolex::BuiltInContent());
    return QApplication::exec();
}
