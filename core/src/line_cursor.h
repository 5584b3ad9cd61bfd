// Walks a text line by line without copying it.
#pragma once

#include <cstddef>
#include <string_view>

namespace pictolex::detail {

// Yields the lines of a text by the same rules as SplitLines: a line ends at
// CR LF, CR or LF; LF CR is two breaks; a final break adds no empty line.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}

    // Sets `line` to the next line (a view into the text) and returns true,
    // or returns false at the end of the text.
    bool Next(std::string_view& line)
    {
        const std::size_t size = m_text.size();
        if (m_pos >= size) {
            return false;
        }
        std::size_t end = m_pos;
        while (end < size && m_text[end] != '\n' && m_text[end] != '\r') {
            ++end;
        }
        line = m_text.substr(m_pos, end - m_pos);
        if (end == size) {
            m_pos = size;
        } else if (m_text[end] == '\r' && end + 1 < size && m_text[end + 1] == '\n') {
            m_pos = end + 2;
        } else {
            m_pos = end + 1;
        }
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

}  // namespace pictolex::detail
