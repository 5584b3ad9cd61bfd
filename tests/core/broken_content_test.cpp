// The lookups and the loader on content that breaks what the built content
// guarantees. The checker keeps such content out of the program; these tests
// make sure that, were it to slip through, nothing reads outside the text or
// the picture bytes. Each text lives in a heap buffer of exactly its size, so
// the sanitized run of this suite catches a read past either end.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "pictolex/category.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/jpeg.h"
#include "pictolex/picture_store.h"
#include "pictolex/search.h"

namespace pictolex {
namespace {

struct BrokenGlossary {
    const char* name;
    std::string text;
};

// One glossary per broken promise.
const std::vector<BrokenGlossary> kBroken = {
    {"firstLineIsNoHeading",
     "Cell wall: rigid layer.\r\n[*v*]001 Plant cell.jpg \r\nNucleus: control centre.\r\n[*c*]\r\n"},
    {"headingMarkerInsideABodyLine", "[*v*]001 Plant cell.jpg \r\nSee [*a*]: another entry.\r\n[*c*]\r\n"},
    {"headingWithAColon", "[*v*]001 Cell: plant.jpg \r\nWall: rigid layer.\r\n[*c*]\r\n"},
    {"rowFoundInAnEarlierEntry",
     "[*m*]020 Carillon.jpg \r\nBell: cup of bronze.\r\n[*t*]020 Car.jpg \r\nWheel: round part.\r\n[*c*]\r\n"},
    {"noClosingHeading", "[*v*]001 Plant cell.jpg \r\nNucleus: control centre."},
    {"onlyAHeading", "[*v*]001 Plant cell.jpg "},
    {"emptyAndBlankTerms",
     "[*v*]001 Plant cell.jpg \r\n: no term\r\n   : blank term\r\nWall  : trailing blanks\r\n[*c*]\r\n"},
    {"shortHeadings", "[*\r\n[*]\r\n[**]\r\nx: y\r\n[*v\r\n"},
    {"onlyLineBreaks", "\r\n\n\r\r\n"},
    {"endsInALoneCr", "[*v*]001 Plant cell.jpg \rNucleus: control centre.\r"},
    {"empty", ""},
};

const std::vector<std::string> kWords = {
    "",
    " ",
    "cell",
    "Nucleus",
    "wall",
    "[*",
    "*]",
    "[*v*]001 Plant cell.jpg ",
    ":",
    "001 Plant cell",
    "020 Car",
    "x",
    "y",
    "\r\n",
    std::string(1, '\0'),
};

class BrokenContent : public testing::TestWithParam<BrokenGlossary> {};

TEST_P(BrokenContent, lookupsAndSearchesStayInsideTheText)
{
    const std::string& source = GetParam().text;
    // Exactly sized and not terminated: one byte too far is a heap overflow.
    const auto buffer = std::make_unique_for_overwrite<char[]>(source.size());
    std::copy(source.begin(), source.end(), buffer.get());
    const std::string_view glossary(buffer.get(), source.size());

    for (const auto& word : kWords) {
        SCOPED_TRACE(word);
        for (const auto& line : EntryLines(glossary, word))
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
        for (const bool partial : {false, true}) {
            for (const auto& match : SearchTerms(glossary, word, partial)) {
                // Every result carries a heading from the text after its term.
                const std::string_view heading = std::string_view(match.element).substr(match.term.size() + 2);
                EXPECT_TRUE(heading.starts_with("[*"));
                EXPECT_NE(glossary.find(heading), std::string_view::npos);
                const auto keys = ResolveResult(match.element);
                ASSERT_TRUE(keys);
                EntryLines(glossary, keys->entryKey);
            }
        }
        ResolveResult(word);
        for (const int tag : {-1, 0, 1, 6, 7})
            CategoryRowKeys(tag, word);
    }
}

INSTANTIATE_TEST_SUITE_P(Glossaries, BrokenContent, testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BrokenContent, termLineAboveEveryHeadingFindsNothing)
{
    const std::string glossary = kBroken[0].text;
    EXPECT_TRUE(SearchTerms(glossary, "cell wall", false).empty());
    ASSERT_EQ(SearchTerms(glossary, "nucleus", false).size(), 1u);
}

TEST(BrokenContent, pictureMissingFromTheStoreIsNotFound)
{
    const std::uint8_t bytes[] = {0xFF, 0xD8};
    const StoredPicture pictures[] = {{"V001", bytes}};
    const PictureStore store(pictures);
    EXPECT_FALSE(store.Find("v002"));
    EXPECT_FALSE(store.Find("V00"));
    EXPECT_FALSE(store.Find("V0011"));
    EXPECT_FALSE(store.Find(""));
    EXPECT_TRUE(store.Find("v001"));
}

// Every prefix of a real picture, each in a buffer of exactly its length:
// the loader reads the header or raises a JPEG error, and a decode never
// touches a byte past the end.
TEST(BrokenContent, everyTruncationOfAPictureStaysInsideItsBytes)
{
    std::ifstream file(PICTOLEX_TEST_PICTURES "/progressive.jpg", std::ios::binary);
    const std::vector<std::uint8_t> whole{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(whole.size(), 1000u);
    const std::size_t step = whole.size() / 97 + 1;
    for (std::size_t length = 0; length <= whole.size(); length += (length < 700 ? 1 : step)) {
        SCOPED_TRACE(length);
        const auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(length);
        std::copy_n(whole.begin(), length, bytes.get());
        const std::span<const std::uint8_t> picture(bytes.get(), length);
        for (const auto mode : {ColourMode::Rgb, ColourMode::Quantised236}) {
            DecodedImage image;
            try {
                DecodeJpegInto(picture, mode, image);
            } catch (const JpegError& e) {
                EXPECT_TRUE(std::string_view(e.what()).starts_with("JPEG error #"));
            }
        }
    }
}

}  // namespace
}  // namespace pictolex
