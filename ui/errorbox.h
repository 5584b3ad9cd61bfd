// The error box: how an error raised in a handler reaches the user.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace pictolex {

// Receives the finished text of an error box.
using ErrorReporter = std::function<void(const QString& text)>;

// The error box's text for an error message: the message, with a full stop
// added when its last byte sorts after '.' ("JPEG error #42" gives
// "JPEG error #42.", a message ending in ')' stays as it is).
std::string ErrorBoxText(std::string_view message);

// Shows `text` in a message box with an error icon and one OK button,
// captioned "Pictolex", once control is back in the event loop. Never opens
// the box from inside the caller, so it is safe from paint handlers.
void ShowErrorBoxLater(const QString& text);

}  // namespace pictolex
