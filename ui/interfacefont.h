#pragma once

#include <QFont>

namespace pictolex {

// The window's font (Tahoma, embedded in the executable) at a character
// height of `pixelSize` pixels; a sans-serif of the same height when the
// embedded font is missing or cannot be loaded.
QFont InterfaceFont(int pixelSize);

}  // namespace pictolex
