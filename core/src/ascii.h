// Byte-level helpers for the 8-bit text rules: blanks are codes 32 and below,
// and only A-Z have a lower case.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace pictolex::detail {

constexpr bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

inline constexpr std::array<char, 256> kLowerTable = [] {
    std::array<char, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const bool upper = i >= 'A' && i <= 'Z';
        table[i] = static_cast<char>(upper ? i + ('a' - 'A') : i);
    }
    return table;
}();

constexpr char ToLower(char c)
{
    return kLowerTable[static_cast<unsigned char>(c)];
}

// True when `a` and `b` are equal with the case of ASCII letters ignored.
inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return ToLower(x) == ToLower(y); });
}

}  // namespace pictolex::detail
