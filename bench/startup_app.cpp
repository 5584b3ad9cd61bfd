// The program's own start-up, with a watch that quits at the window's first
// paint.
#include <QApplication>

#include "first_paint.h"
#include "mainwindow.h"
#include "programstart.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    pictolex::bench::QuitAtFirstPaint quit;
    const auto form = pictolex::StartProgram();
    return QApplication::exec();
}
