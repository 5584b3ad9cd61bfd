// Text helpers shared by entry lookup and term search.
//
// The glossary is held as UTF-8. Every position these helpers care about
// falls on an ASCII byte, so they work byte by byte: trimming looks only at
// bytes 32 and below, lower-casing touches only A-Z.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pictolex {

// Splits a text into lines at CR LF, CR or LF. LF CR counts as two breaks.
// A final line break does not produce an empty last line; an empty text gives
// no lines. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// Removes every byte with a code of 32 or below from both ends.
std::string_view Trim(std::string_view text);

// Trim, then lower-case ASCII A-Z; every other byte is left unchanged.
std::string Normalise(std::string_view text);

// Lower-cases ASCII A-Z in place.
void LowerAscii(std::string& text);

// True when the line's first two characters are "[*" (an entry heading or
// the closing heading).
constexpr bool IsHeading(std::string_view line)
{
    return line.starts_with("[*");
}

}  // namespace pictolex
