#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pictolex/entry_lookup.h"
#include "sample_glossary.h"

namespace pictolex {
namespace {

using testing::JoinLines;
using testing::kSampleGlossary;
using testing::SampleBody;
using Lines = std::vector<std::string>;

TEST(EntryLines, entryKeyGivesTheBodyUpToTheNextHeading)
{
    EXPECT_EQ(EntryLines(kSampleGlossary, "001 Plant cell"),
              (Lines{"Plant cell: the basic unit of a plant.", "Cell wall: a rigid layer around the cell.",
                     "  Nucleus: holds the genetic material. ", "Starch grain: stores food."}));
}

TEST(EntryLines, firstLineContainingTheKeyWins)
{
    // "Nucleus" first stands in a body line of the plant cell, so the lines
    // after that body line come back, not the euglena's.
    EXPECT_EQ(EntryLines(kSampleGlossary, "Nucleus"), (Lines{"Starch grain: stores food."}));
    // "Structure of a" first occurs in the tree's heading.
    EXPECT_EQ(EntryLines(kSampleGlossary, "Structure of a"), SampleBody("[*v*]002 Structure of a tree.jpg "));
}

TEST(EntryLines, keyInTheLastBodyLineGivesNothing)
{
    EXPECT_EQ(EntryLines(kSampleGlossary, "Starch grain"), Lines{});
}

TEST(EntryLines, emptyUnknownOrWrongCaseKeyGivesNothing)
{
    for (std::string_view key : {"", "002 Plant cell", "001 plant cell", "Mitochondrion"}) {
        EXPECT_EQ(EntryLines(kSampleGlossary, key), Lines{}) << '"' << key << '"';
    }
}

TEST(EntryLines, lastEntryEndsBeforeTheClosingHeading)
{
    EXPECT_EQ(EntryLines(kSampleGlossary, "001 suit"),
              (Lines{"Suit: a jacket and trousers of one cloth.", "\xC3\xA0 la mode: in the latest fashion."}));
}

TEST(EntryLines, withoutALaterHeadingStopsAtTheEndOfTheText)
{
    const std::string unclosed = "[*v*]001 Plant cell.jpg \r\nPlant cell: a cell.\r\nCell wall: a wall.";
    EXPECT_EQ(EntryLines(unclosed, "001 Plant cell"), (Lines{"Plant cell: a cell.", "Cell wall: a wall."}));
    EXPECT_EQ(EntryLines(unclosed, "Cell wall"), Lines{});
}

TEST(EntryLines, sameLinesWhateverTheLineBreaks)
{
    const Lines expected = SampleBody("[*h*]001 Cell.jpg ");
    ASSERT_EQ(expected.size(), 3u);
    // A row's key stops inside its heading; a search result's key (the
    // heading's tail) runs to the very end of it.
    const std::pair<const char*, std::string_view> lineBreaks[] = {{"CR LF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}};
    for (std::string_view key : {"001 Cell", "001 Cell.jpg "}) {
        for (const auto& [name, lineBreak] : lineBreaks) {
            EXPECT_EQ(EntryLines(JoinLines(testing::kSampleLines, lineBreak), key), expected)
                << '"' << key << "\" with " << name;
        }
    }
}

TEST(EntryLines, keyNeverMatchesAcrossALineBreak)
{
    // The text holds "suit.jpg " then a line break then "Suit:", but no one
    // line holds both.
    for (std::string_view key : {"001 suit.jpg \r\nSuit", "001 suit.jpg \r", "\nSuit", "\r\n"}) {
        EXPECT_EQ(EntryLines(kSampleGlossary, key), Lines{});
    }
}

TEST(EntryLines, emptyLinesInsideAnEntryAreKept)
{
    const std::string text = "[*v*]001 A.jpg \r\nA: one.\r\n\r\nB: two.\r\n[*c*]\r\n";
    EXPECT_EQ(EntryLines(text, "001 A"), (Lines{"A: one.", "", "B: two."}));
}

}  // namespace
}  // namespace pictolex
