// The six fixed categories and the keys a category row leads to.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace pictolex {

struct Category {
    int tag;                  // 1..6, identifies the category's list
    std::string_view letter;  // first character of its picture keys
    std::string_view label;   // caption above the list
};

// kCategories: every category in list order, tags 1, 2, ...; written at
// configure time from content/categories.txt.
#include "pictolex/category_table.inc"

// The category letter of a list tag; the empty string for a tag no category
// has.
std::string_view CategoryLetter(int tag);

struct EntryKeys {
    std::string pictureKey;  // letter + item number, e.g. "v001"
    std::string entryKey;    // the text that finds the entry, e.g. "001 Plant cell"
};

// Keys of a category row: the entry key is the row trimmed, the picture key
// the category letter followed by the first three characters of the entry key
// (fewer when it is shorter).
EntryKeys CategoryRowKeys(int tag, std::string_view rowText);

}  // namespace pictolex
