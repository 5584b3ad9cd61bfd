// The program's own start-up, with a watch that quits at the window's first
// paint.
#include "builtin_content.h"
#include "first_paint.h"
#include "mainwindow.h"
#include "programstart.h"

int main()
{
    pictolex::ProgramApplication app;
    pictolex::bench::QuitAtFirstPaint quit;
    const auto form = pictolex::StartProgram(pictolex::BuiltInContent());
    return QApplication::exec();
}
