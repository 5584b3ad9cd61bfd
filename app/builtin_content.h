// The content built into the program, as the window takes it. The program
// entry hands it to the window; tests and benchmarks that run on the real
// content take it from here too.
#pragma once

#include "pictolex/dictionary_content.h"

namespace pictolex {

// Views into the `content` library, which live for the whole run.
DictionaryContent BuiltInContent();

}  // namespace pictolex
