// The floor of the start-up measure: the least a Qt Widgets program does to
// show a window of Form1's size, and nothing else. With --label the window
// is one text label instead, which adds the font set-up any text needs; the
// table shows it for reference.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>
#include <memory>

#include "first_paint.h"

int main(int argc, char* argv[])
{
    const bool label = argc > 1 && std::strcmp(argv[1], "--label") == 0;
    QApplication app(argc, argv);
    pictolex::bench::QuitAtFirstPaint quit;
    auto window = label ? std::make_unique<QLabel>(QStringLiteral("Vegetal")) : std::make_unique<QWidget>();
    window->resize(1028, 613);
    window->show();
    return QApplication::exec();
}
