// What the program shows: the dictionary's content as views into bytes that
// live elsewhere. The program hands in the content built into it; tests hand
// in small tables of their own (short lists, broken pictures).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "pictolex/category.h"
#include "pictolex/picture_store.h"
#include "pictolex/plate_labels.h"

namespace pictolex {

struct DictionaryContent {
    std::string_view glossary;  // UTF-8, CR LF after every line
    // Item titles of the category lists, indexed by list tag - 1.
    std::array<std::span<const std::string_view>, kCategories.size()> categoryTitles;
    PictureStore pictures;
    LabelStore labels;  // the labels drawn on each picture
    std::span<const std::uint8_t> banner;  // JPEG shown in Image1 at start
    std::span<const std::uint8_t> icon;    // PNG, the application's icon
};

// The title of the plate whose picture is `pictureKey` (ASCII letter case
// ignored, as the picture store does): the category row that leads to the
// picture, trimmed, e.g. "001 Plant cell". Nothing when no row leads there.
std::optional<std::string_view> PlateTitle(const DictionaryContent& content, std::string_view pictureKey);

}  // namespace pictolex
