// The program's start-up, shared by the program entry and the start-up
// benchmark so that both run exactly the same steps.
#pragma once

#include <QApplication>

#include <memory>

#include "pictolex/dictionary_content.h"

namespace pictolex {

class TForm1;

namespace detail {

// The command line the application object is given: the program's name and
// nothing else.
struct NameOnlyArguments {
    int argc = 1;
    char name[9] = "pictolex";
    char* argv[2] = {name, nullptr};
};

}  // namespace detail

// The application object of the program. It never sees the process's command
// line: the program reads none, and Qt's own options there (-reverse,
// -style, ...) must not act on it either.
//
// Once it is made, with the platform's plugins and the widget style loaded,
// Qt looks for no further plugins. Otherwise the first picture Qt reads (the
// icon, the arrows of the menu bar and of the scroll bars) would load every
// image-format plugin installed before Qt settles on its own PNG reader; the
// program's pictures go through libjpeg and need none of them.
class ProgramApplication : private detail::NameOnlyArguments, public QApplication {
public:
    ProgramApplication();
    Q_DISABLE_COPY_MOVE(ProgramApplication)
};

// With the application object made: names the application "Pictolex", with
// the project's version, after its desktop entry; gives it the content's
// icon and the window's font; reads the screen's colour depth once; then
// creates Form1 showing `content` and shows it. The caller runs the event
// loop and destroys the window afterwards.
std::unique_ptr<TForm1> StartProgram(DictionaryContent content);

}  // namespace pictolex
