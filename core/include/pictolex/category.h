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

inline constexpr std::array<Category, 6> kCategories{{
    {1, "v", "Vegetal"},
    {2, "a", "Animal"},
    {3, "h", "Human"},
    {4, "m", "Music"},
    {5, "t", "Transport"},
    {6, "c", "Clothing"},
}};

// The category letter of a list tag; the empty string for any tag outside 1-6.
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
