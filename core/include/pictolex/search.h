// Term search over the glossary and resolving a search result.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pictolex/category.h"

namespace pictolex {

struct TermMatch {
    std::string term;     // normalised (lower-case) term as found
    std::string element;  // term + two blanks + the entry heading above it
    int line = -1;        // index of the matched line among the entry's body lines; -1 for a heading
};

// Searches the terms (the text before a line's first colon) of the glossary.
// The word and every line are normalised first. Exact mode matches a term
// equal to the word, partial mode a term that contains it; an empty
// normalised word never matches. Matches come in glossary order, duplicates
// kept. A term line with no heading above it is skipped.
std::vector<TermMatch> SearchTerms(std::string_view glossary, std::string_view word, bool partial);

// The picture key and entry key of a result element, or nothing when the
// element contains no "[*". The entry key keeps the heading's trailing blank.
std::optional<EntryKeys> ResolveResult(std::string_view element);

}  // namespace pictolex
