// The dictionary content built into the program: category item titles, the
// glossary text, the picture store with the labels of every picture, the
// start-up banner and the icon. All of it is read-only and lives for the
// whole run.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "pictolex/picture_store.h"
#include "pictolex/plate_labels.h"

namespace pictolex::content {

// The glossary: UTF-8 text, CR LF after every line, the last line "[*c*]".
std::string_view GlossaryText();

// The item titles of the category with list tag `tag` (1-6), in list order,
// e.g. "001 Plant cell"; empty for any other tag.
std::span<const std::string_view> CategoryTitles(int tag);

// Every plate's picture under its upper-case picture key.
const PictureStore& Pictures();

// The labels of every plate's picture under its picture key, in the order of
// their lines; a plate without labels has an empty list.
const LabelStore& Labels();

// The start-up banner (JPEG, 618 x 153). Not in the picture store.
std::span<const std::uint8_t> Banner();

// The application icon: a 48 x 48 PNG with an alpha channel.
std::span<const std::uint8_t> Icon();

}  // namespace pictolex::content
