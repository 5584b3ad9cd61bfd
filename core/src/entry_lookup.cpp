#include "pictolex/entry_lookup.h"

#include "line_cursor.h"
#include "pictolex/text.h"

namespace pictolex {

std::vector<std::string> EntryLines(std::string_view glossary, std::string_view key)
{
    std::vector<std::string> body;
    if (key.empty()) {
        return body;
    }
    detail::LineCursor cursor(glossary);
    std::string_view line;
    bool found = false;
    while (cursor.Next(line)) {
        if (line.find(key) != std::string_view::npos) {
            found = true;
            break;
        }
    }
    if (!found) {
        return body;
    }
    // The entry ends at the next heading, or at the end of the text when the
    // content lacks one.
    while (cursor.Next(line) && !IsHeading(line)) {
        body.emplace_back(line);
    }
    return body;
}

}  // namespace pictolex
