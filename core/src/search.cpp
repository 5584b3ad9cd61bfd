#include "pictolex/search.h"

#include <algorithm>
#include <utility>

#include "ascii.h"
#include "line_cursor.h"
#include "pictolex/text.h"

namespace pictolex {
namespace {

// True when `raw` lower-cased equals `lowered`; no copy is made.
bool EqualsLowered(std::string_view raw, std::string_view lowered)
{
    return std::ranges::equal(raw, lowered, [](char r, char l) { return detail::ToLower(r) == l; });
}

}  // namespace

std::vector<TermMatch> SearchTerms(std::string_view glossary, std::string_view word, bool partial)
{
    std::vector<TermMatch> matches;
    const std::string wanted = Normalise(word);
    if (wanted.empty()) {
        return matches;
    }

    // The heading of a match is the nearest line at or above it that begins
    // with "[*"; remembering the last one seen gives it without walking back.
    std::string_view heading;
    bool headingSeen = false;
    int bodyLine = -1;  // of the current line, counted from the heading's next line
    std::string term;   // reused so that lines do not allocate
    detail::LineCursor cursor(glossary);
    std::string_view line;
    while (cursor.Next(line)) {
        if (IsHeading(line)) {
            heading = line;
            headingSeen = true;
            bodyLine = -1;
        } else {
            ++bodyLine;
        }
        const std::string_view text = Trim(line);
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view rawTerm = text.substr(0, colon);
        if (partial) {
            if (rawTerm.size() < wanted.size()) {
                continue;
            }
            term.assign(rawTerm);
            LowerAscii(term);
            if (term.find(wanted) == std::string::npos) {
                continue;
            }
        } else if (rawTerm.size() != wanted.size() || !EqualsLowered(rawTerm, wanted)) {
            continue;
        }
        // A term line above every heading belongs to no entry.
        if (!headingSeen) {
            continue;
        }
        TermMatch match;
        match.term = partial ? term : wanted;
        match.line = bodyLine;
        match.element.reserve(match.term.size() + 2 + heading.size());
        match.element.append(match.term).append("  ").append(heading);
        matches.push_back(std::move(match));
    }
    return matches;
}

std::optional<EntryKeys> ResolveResult(std::string_view element)
{
    const std::size_t open = element.find("[*");
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view tail = element.substr(open + 2);

    // Every "*]" of the original tail goes, scanning left to right once, so
    // "**]]" leaves "*]".
    std::string t;
    t.reserve(tail.size());
    for (std::size_t i = 0; i < tail.size();) {
        if (tail.compare(i, 2, "*]") == 0) {
            i += 2;
        } else {
            t += tail[i++];
        }
    }

    EntryKeys keys;
    keys.pictureKey = t.substr(0, 4);
    keys.entryKey = t.empty() ? std::string() : t.substr(1);
    return keys;
}

}  // namespace pictolex
