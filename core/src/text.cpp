#include "pictolex/text.h"

#include "ascii.h"
#include "line_cursor.h"

namespace pictolex {

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    detail::LineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(line)) {
        lines.push_back(line);
    }
    return lines;
}

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && detail::IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && detail::IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string Normalise(std::string_view text)
{
    std::string result(Trim(text));
    LowerAscii(result);
    return result;
}

void LowerAscii(std::string& text)
{
    for (char& c : text) {
        c = detail::ToLower(c);
    }
}

}  // namespace pictolex
