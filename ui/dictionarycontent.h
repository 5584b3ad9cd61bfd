// What the main window shows. The program passes the built-in content;
// tests pass small tables of their own (short lists, broken pictures).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "pictolex/picture_store.h"

namespace pictolex {

struct DictionaryContent {
    std::string_view glossary;  // UTF-8, the text Memo1 holds
    // Item titles of the six category lists, indexed by list tag - 1.
    std::array<std::span<const std::string_view>, 6> categoryTitles;
    PictureStore pictures;
    std::span<const std::uint8_t> banner;  // JPEG shown in Image1 at start
};

// The content built into the executable; it lives for the whole run.
DictionaryContent BuiltInContent();

}  // namespace pictolex
