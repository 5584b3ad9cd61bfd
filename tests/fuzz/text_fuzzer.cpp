// Differential fuzzing of the text operations: every result of the library is
// compared with a plain reference written straight from the definitions
// (split the text, then look at one whole line at a time).
//
// Input: one byte of flags, then a word (or key) up to the first zero byte,
// then the glossary text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pictolex/category.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/search.h"
#include "pictolex/text.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

std::vector<std::string> RefSplit(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(line);
    return lines;
}

std::string RefTrim(std::string s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.erase(0, 1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.pop_back();
    return s;
}

std::string RefNormalise(std::string s)
{
    s = RefTrim(s);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool StartsWithHeading(const std::string& line)
{
    return line.size() >= 2 && line[0] == '[' && line[1] == '*';
}

std::vector<std::string> RefEntryLines(std::string_view glossary, const std::string& key)
{
    std::vector<std::string> body;
    if (key.empty())
        return body;
    const auto lines = RefSplit(glossary);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].find(key) == std::string::npos)
        ++i;
    for (++i; i < lines.size() && !StartsWithHeading(lines[i]); ++i)
        body.push_back(lines[i]);
    return body;
}

std::vector<pictolex::TermMatch> RefSearch(std::string_view glossary, const std::string& word, bool partial)
{
    std::vector<pictolex::TermMatch> matches;
    const auto lines = RefSplit(glossary);
    const std::string w = RefNormalise(word);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string n = RefNormalise(lines[i]);
        const auto colon = n.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string term = n.substr(0, colon);
        const bool match = partial ? (!w.empty() && term.find(w) != std::string::npos) : (!w.empty() && term == w);
        if (!match)
            continue;
        std::optional<std::size_t> heading;
        for (std::size_t j = i + 1; j-- > 0;) {
            if (StartsWithHeading(lines[j])) {
                heading = j;
                break;
            }
        }
        if (heading)
            matches.push_back({term, term + "  " + lines[*heading]});
    }
    return matches;
}

std::optional<pictolex::EntryKeys> RefResolve(const std::string& element)
{
    const auto open = element.find("[*");
    if (open == std::string::npos)
        return std::nullopt;
    std::string t = element.substr(open + 2);
    for (std::size_t pos = 0; (pos = t.find("*]", pos)) != std::string::npos;)
        t.erase(pos, 2);
    return pictolex::EntryKeys{t.substr(0, 4), t.size() > 1 ? t.substr(1) : std::string()};
}

bool SameKeys(const std::optional<pictolex::EntryKeys>& a, const std::optional<pictolex::EntryKeys>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->pictureKey == b->pictureKey && a->entryKey == b->entryKey);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool partial = data[0] & 1;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto zero = rest.find('\0');
    const std::string word(rest.substr(0, zero));
    const std::string_view glossary = zero == std::string_view::npos ? rest : rest.substr(zero + 1);

    const auto split = pictolex::SplitLines(glossary);
    const auto refSplit = RefSplit(glossary);
    Check(split.size() == refSplit.size());
    for (std::size_t i = 0; i < split.size(); ++i)
        Check(split[i] == refSplit[i]);

    Check(pictolex::Normalise(word) == RefNormalise(word));
    Check(pictolex::EntryLines(glossary, word) == RefEntryLines(glossary, word));

    const auto found = pictolex::SearchTerms(glossary, word, partial);
    const auto expected = RefSearch(glossary, word, partial);
    Check(found.size() == expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        Check(found[i].term == expected[i].term && found[i].element == expected[i].element);
        Check(SameKeys(pictolex::ResolveResult(found[i].element), RefResolve(found[i].element)));
    }
    Check(SameKeys(pictolex::ResolveResult(word), RefResolve(word)));
    Check(SameKeys(pictolex::ResolveResult(glossary), RefResolve(std::string(glossary))));

    const auto keys = pictolex::CategoryRowKeys(static_cast<int>(data[0] >> 1) - 32, word);
    Check(keys.entryKey == RefTrim(word));
    return 0;
}
