#include "pictolex/entry_lookup.h"

#include "line_cursor.h"
#include "pictolex/text.h"

namespace pictolex {

std::vector<std::string> EntryLines(std::string_view glossary, std::string_view key)
{
    std::vector<std::string> body;
    // Lines hold no line breaks, so a key with one is in no line; any other
    // key's first occurrence in the whole text lies in the first line that
    // contains it, which one search over the text finds without splitting.
    if (key.empty() || key.find_first_of("\r\n") != std::string_view::npos) {
        return body;
    }
    const std::size_t found = glossary.find(key);
    if (found == std::string_view::npos) {
        return body;
    }
    const std::size_t lineBreak = glossary.find_first_of("\r\n", found + key.size());
    if (lineBreak == std::string_view::npos) {
        return body;  // the key is in the last line
    }
    const bool crlf = glossary.compare(lineBreak, 2, "\r\n") == 0;
    detail::LineCursor cursor(glossary.substr(lineBreak + (crlf ? 2 : 1)));

    // The entry ends at the next heading, or at the end of the text when the
    // content lacks one.
    std::string_view line;
    while (cursor.Next(line) && !IsHeading(line)) {
        body.emplace_back(line);
    }
    return body;
}

}  // namespace pictolex
