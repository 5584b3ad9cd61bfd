#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "pictolex/entry_lookup.h"
#include "pictolex/picture_store.h"
#include "pictolex/search.h"
#include "pictolex/text.h"
#include "sample_glossary.h"

namespace pictolex {
namespace {

using testing::kSampleGlossary;
using testing::SampleBody;

constexpr std::string_view kPlantCell = "[*v*]001 Plant cell.jpg ";
constexpr std::string_view kTree = "[*v*]002 Structure of a tree.jpg ";
constexpr std::string_view kEuglena = "[*a*]001 Structure of a euglena.jpg ";
constexpr std::string_view kCell = "[*h*]001 Cell.jpg ";
constexpr std::string_view kSuit = "[*c*]001 suit.jpg ";

// The elements a search gives, each "term  heading".
std::vector<std::string> Elements(std::string_view glossary, std::string_view word, bool partial)
{
    std::vector<std::string> elements;
    for (const TermMatch& match : SearchTerms(glossary, word, partial)) {
        EXPECT_EQ(match.element.substr(0, match.term.size() + 2), match.term + "  ");
        elements.push_back(match.element);
    }
    return elements;
}

std::string Element(std::string_view term, std::string_view heading)
{
    return std::string(term) + "  " + std::string(heading);
}

struct SearchCase {
    const char* name;
    std::string_view word;
    bool partial;
    std::vector<std::string> elements;
};

void PrintTo(const SearchCase& c, std::ostream* out)
{
    *out << c.name;
}

class SearchTermsTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTermsTest, findsTheExpectedTermsInGlossaryOrder)
{
    EXPECT_EQ(Elements(kSampleGlossary, GetParam().word, GetParam().partial), GetParam().elements);
}

const std::vector<std::string> kPlantCellBoth{Element("plant cell", kPlantCell), Element("plant cell", kCell)};

INSTANTIATE_TEST_SUITE_P(
    Sample, SearchTermsTest,
    ::testing::Values(
        SearchCase{"exactInStoredCase", "Plant cell", false, kPlantCellBoth},
        SearchCase{"exactInCapitals", "PLANT CELL", false, kPlantCellBoth},
        SearchCase{"exactWithBlanksAround", " \tplant Cell  ", false, kPlantCellBoth},
        SearchCase{"exactWordDoesNotFindLongerTerm", "cell", false, {Element("cell", kCell)}},
        SearchCase{"partialFindsEveryTermContainingTheWord",
                   "cell",
                   true,
                   {Element("plant cell", kPlantCell), Element("cell wall", kPlantCell), Element("cell", kCell),
                    Element("plant cell", kCell), Element("cell membrane", kCell)}},
        SearchCase{"indentedTermLineIsTrimmed",
                   "nucleus",
                   false,
                   {Element("nucleus", kPlantCell), Element("nucleus", kEuglena)}},
        SearchCase{"blankBeforeColonStaysInTheTerm", "root", false, {}},
        SearchCase{"partialFindsTermWithBlankBeforeColon", "roo", true, {Element("root ", kTree)}},
        SearchCase{"exactWordOnlyInDefinitions", "rigid layer", false, {}},
        SearchCase{"partialWordOnlyInDefinitions", "rigid", true, {}},
        SearchCase{"partialFragmentOnlyInHeadings", "jpg", true, {}},
        SearchCase{"partialNumberOnlyInHeadings", "001", true, {}}, SearchCase{"exactBlanksOnly", "   ", false, {}},
        SearchCase{"partialBlanksOnly", " \t ", true, {}}, SearchCase{"exactEmpty", "", false, {}},
        SearchCase{"partialEmpty", "", true, {}}, SearchCase{"colonIsNotPartOfTheTerm", "leaf:", true, {}},
        SearchCase{"lowerAccentedLetterMatches", "\xC3\xA0 LA MODE", false, {Element("\xC3\xA0 la mode", kSuit)}},
        SearchCase{"upperAccentedLetterDoesNotMatchLower", "\xC3\x80 la mode", false, {}},
        SearchCase{"upperAccentedLetterDoesNotMatchLowerInPartial", "\xC3\x80", true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchTerms, termLineAboveEveryHeadingIsNotAMatch)
{
    const std::string text = "Stray: before any entry.\r\n[*v*]001 A.jpg \r\nStray: inside the entry.\r\n[*c*]\r\n";
    EXPECT_EQ(Elements(text, "stray", false), (std::vector<std::string>{Element("stray", "[*v*]001 A.jpg ")}));
    EXPECT_EQ(Elements("Stray: no heading at all.", "stray", true), std::vector<std::string>{});
}

TEST(SearchTerms, headingWithAColonIsItsOwnHeading)
{
    // The walk up from a matched line starts at that line itself.
    const std::string text = "[*v*]001 A.jpg \r\n[*v*]002 Ratio 1:2.jpg \r\n[*c*]\r\n";
    EXPECT_EQ(Elements(text, "ratio", true),
              (std::vector<std::string>{Element("[*v*]002 ratio 1", "[*v*]002 Ratio 1:2.jpg ")}));
}

TEST(SearchTerms, headingIsTakenAsStoredWithoutTrimming)
{
    const std::string text = "[*v*]001 A.jpg  \t\r\nA: one.\r\n";
    EXPECT_EQ(Elements(text, "a", false), (std::vector<std::string>{Element("a", "[*v*]001 A.jpg  \t")}));
}

TEST(SearchTerms, everyMatchNamesItsOwnLineInItsEntry)
{
    std::size_t matched = 0;
    for (const TermMatch& match : SearchTerms(kSampleGlossary, "e", true)) {
        const std::vector<std::string> body = SampleBody(std::string_view(match.element).substr(match.term.size() + 2));
        ASSERT_GE(match.line, 0) << match.element;
        ASSERT_LT(match.line, static_cast<int>(body.size())) << match.element;
        EXPECT_TRUE(Normalise(body[static_cast<std::size_t>(match.line)]).starts_with(match.term + ":"))
            << match.element;
        ++matched;
    }
    EXPECT_GT(matched, 8u);
}

TEST(SearchTerms, sameTermTwiceInOneEntryGivesEachItsLine)
{
    const std::string text = "[*v*]001 A.jpg \r\nA: one.\r\nB: two.\r\nA: again.\r\n[*v*]002 B.jpg \r\nA: three.\r\n";
    std::vector<int> lines;
    for (const TermMatch& match : SearchTerms(text, "a", false))
        lines.push_back(match.line);
    EXPECT_EQ(lines, (std::vector<int>{0, 2, 0}));
}

struct ResolveCase {
    const char* name;
    std::string_view element;
    std::optional<std::string_view> pictureKey;  // nothing when no keys come back
    std::string_view entryKey;
};

void PrintTo(const ResolveCase& c, std::ostream* out)
{
    *out << c.name;
}

class ResolveResultTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveResultTest, cutsTheKeysOutOfTheHeading)
{
    const std::optional<EntryKeys> keys = ResolveResult(GetParam().element);
    ASSERT_EQ(keys.has_value(), GetParam().pictureKey.has_value());
    if (keys) {
        EXPECT_EQ(keys->pictureKey, *GetParam().pictureKey);
        EXPECT_EQ(keys->entryKey, GetParam().entryKey);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Elements, ResolveResultTest,
    ::testing::Values(ResolveCase{"fullElement", "plant cell  [*v*]001 Plant cell.jpg ", "v001", "001 Plant cell.jpg "},
                      ResolveCase{"noOpeningMarker", "plant cell", std::nullopt, ""},
                      ResolveCase{"closingMarkerOnly", "plant cell  *]001", std::nullopt, ""},
                      ResolveCase{"emptyElement", "", std::nullopt, ""},
                      ResolveCase{"nothingAfterMarker", "x  [*", "", ""},
                      ResolveCase{"oneCharacterAfterMarker", "[*v", "v", ""},
                      ResolveCase{"shortTail", "[*v*]0", "v0", "0"},
                      ResolveCase{"firstOpeningMarkerCounts", "a  [*v*]001 x[*y*]", "v001", "001 x[*y"},
                      ResolveCase{"closingMarkersRemovedInOneScan", "[***]]12", "*]12", "]12"},
                      ResolveCase{"closingHeading", "c  [*c*]", "c", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResolveResult, everyResultLeadsBackToItsOwnEntryAndPicture)
{
    static constexpr std::array<std::uint8_t, 1> bytes{0};
    const std::array<StoredPicture, 5> pictures{
        {{"V001", bytes}, {"V002", bytes}, {"A001", bytes}, {"H001", bytes}, {"C001", bytes}}};
    const PictureStore store(pictures);

    std::size_t resolved = 0;
    for (std::string_view word : {"e", "a", "l", "cell", "nucleus"}) {
        for (const TermMatch& match : SearchTerms(kSampleGlossary, word, true)) {
            const std::optional<EntryKeys> keys = ResolveResult(match.element);
            ASSERT_TRUE(keys.has_value()) << match.element;
            EXPECT_TRUE(store.Find(keys->pictureKey).has_value()) << match.element;
            const std::string_view heading = std::string_view(match.element).substr(match.term.size() + 2);
            EXPECT_EQ(EntryLines(kSampleGlossary, keys->entryKey), SampleBody(heading)) << match.element;
            ++resolved;
        }
    }
    EXPECT_GT(resolved, 15u);
}

TEST(ResolveResult, sameTermInTwoEntriesResolvesToEachOwnEntry)
{
    const auto matches = SearchTerms(kSampleGlossary, "Nucleus", false);
    ASSERT_EQ(matches.size(), 2u);
    const auto first = ResolveResult(matches[0].element);
    const auto second = ResolveResult(matches[1].element);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->pictureKey, "v001");
    EXPECT_EQ(second->pictureKey, "a001");
    EXPECT_EQ(EntryLines(kSampleGlossary, first->entryKey), SampleBody(kPlantCell));
    EXPECT_EQ(EntryLines(kSampleGlossary, second->entryKey), SampleBody(kEuglena));
}

}  // namespace
}  // namespace pictolex
