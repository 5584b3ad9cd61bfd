// The program's start-up, shared by the program entry and the start-up
// benchmark so that both run exactly the same steps.
#pragma once

#include <memory>

namespace pictolex {

class TForm1;

// With the application object made: names the application "Pictolex" (version
// 1.0.0.0) after its desktop entry, gives it the built-in icon, reads the screen's colour depth once,
// then creates Form1 and shows it. The caller runs the event loop and
// destroys the window afterwards.
std::unique_ptr<TForm1> StartProgram();

}  // namespace pictolex
