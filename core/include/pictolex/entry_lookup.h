// Finding an entry's glossary lines by a key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pictolex {

// The body lines of the entry found by `key`: the lines after the first line
// that contains `key` (case-sensitive), up to but not including the next line
// that begins with "[*", or to the end of the text when none follows. The
// lines are returned unchanged. An empty key, or a key found in no line, gives
// no lines.
std::vector<std::string> EntryLines(std::string_view glossary, std::string_view key);

}  // namespace pictolex
