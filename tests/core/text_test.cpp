#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "pictolex/category.h"
#include "pictolex/dictionary_content.h"
#include "pictolex/picture_store.h"
#include "pictolex/text.h"

namespace pictolex {
namespace {

struct SplitCase {
    const char* name;
    std::string_view text;
    std::vector<std::string_view> lines;
};

void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << c.name;
}

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, splitsAtEachBreak)
{
    EXPECT_EQ(SplitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitLinesTest,
    ::testing::Values(SplitCase{"emptyTextGivesNoLines", "", {}}, SplitCase{"noBreakGivesOneLine", "abc", {"abc"}},
                      SplitCase{"crLf", "a\r\nb", {"a", "b"}}, SplitCase{"crAlone", "a\rb", {"a", "b"}},
                      SplitCase{"lfAlone", "a\nb", {"a", "b"}}, SplitCase{"lfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      SplitCase{"crCrLfIsTwoBreaks", "a\r\r\nb", {"a", "", "b"}},
                      SplitCase{"finalCrLfAddsNoLine", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"finalCrAddsNoLine", "a\r", {"a"}},
                      SplitCase{"blankLineBeforeFinalBreakKept", "a\n\n", {"a", ""}},
                      SplitCase{"onlyABreak", "\r\n", {""}}, SplitCase{"blanksKept", " a \r\n\t", {" a ", "\t"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TrimCase {
    const char* name;
    std::string_view text;
    std::string_view trimmed;
    std::string_view normalised;
};

void PrintTo(const TrimCase& c, std::ostream* out)
{
    *out << c.name;
}

class TrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimTest, trimsAndNormalises)
{
    EXPECT_EQ(Trim(GetParam().text), GetParam().trimmed);
    EXPECT_EQ(Normalise(GetParam().text), GetParam().normalised);
}

INSTANTIATE_TEST_SUITE_P(Rules, TrimTest,
                         ::testing::Values(TrimCase{"empty", "", "", ""}, TrimCase{"onlyBlanks", " \t\r\n", "", ""},
                                           TrimCase{"blanksInsideKept", "  Plant CELL \t", "Plant CELL", "plant cell"},
                                           TrimCase{"controlCodesAreBlanks", "\x01x\x1f\x20", "x", "x"},
                                           TrimCase{"code33IsNotBlank", "!a!", "!a!", "!a!"},
                                           TrimCase{"bytesAbove127AreNotBlank", "\xA0Z\xA0", "\xA0Z\xA0", "\xA0z\xA0"},
                                           TrimCase{"neighboursOfAToZUnchanged", "@AZ[`az{", "@AZ[`az{", "@az[`az{"},
                                           TrimCase{"accentedCapitalUnchanged", "\xC3\x80 LA", "\xC3\x80 LA",
                                                    "\xC3\x80 la"},
                                           TrimCase{"headingLetters", "[*V*]001", "[*V*]001", "[*v*]001"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CategoryLetter, givesTheLetterOfEachTagAndNothingOutside)
{
    const std::array<std::string_view, 6> letters{"v", "a", "h", "m", "t", "c"};
    for (int tag = 1; tag <= 6; ++tag) {
        EXPECT_EQ(CategoryLetter(tag), letters[static_cast<std::size_t>(tag - 1)]) << tag;
    }
    for (int tag : {0, 7, -1, 100}) {
        EXPECT_EQ(CategoryLetter(tag), "") << tag;
    }
}

struct RowCase {
    const char* name;
    int tag;
    std::string_view row;
    std::string_view pictureKey;
    std::string_view entryKey;
};

void PrintTo(const RowCase& c, std::ostream* out)
{
    *out << c.name;
}

class CategoryRowKeysTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(CategoryRowKeysTest, formsBothKeys)
{
    const EntryKeys keys = CategoryRowKeys(GetParam().tag, GetParam().row);
    EXPECT_EQ(keys.pictureKey, GetParam().pictureKey);
    EXPECT_EQ(keys.entryKey, GetParam().entryKey);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CategoryRowKeysTest,
    ::testing::Values(RowCase{"plainRow", 1, "001 Plant cell", "v001", "001 Plant cell"},
                      RowCase{"blanksAroundRowTrimmed", 1, " \t001 Plant cell  ", "v001", "001 Plant cell"},
                      RowCase{"lastCategory", 6, "118 bags", "c118", "118 bags"},
                      RowCase{"tagSevenHasNoLetter", 7, "001 Plant cell", "001", "001 Plant cell"},
                      RowCase{"tagZeroHasNoLetter", 0, "001 Plant cell", "001", "001 Plant cell"},
                      RowCase{"negativeTagHasNoLetter", -1, "001 Plant cell", "001", "001 Plant cell"},
                      RowCase{"shortRow", 2, " 01 ", "a01", "01"}, RowCase{"emptyRow", 3, "", "h", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlateTitle, isTheTrimmedRowThatLeadsToThePictureWithCaseIgnored)
{
    const std::array<std::string_view, 2> vegetal{"001 Plant cell", " 002 Leaf "};
    const std::array<std::string_view, 1> clothing{"001 suit"};
    DictionaryContent content;
    content.categoryTitles[0] = vegetal;
    content.categoryTitles[5] = clothing;
    EXPECT_EQ(PlateTitle(content, "v001"), "001 Plant cell");
    EXPECT_EQ(PlateTitle(content, "V002"), "002 Leaf");
    EXPECT_EQ(PlateTitle(content, "C001"), "001 suit");
    for (std::string_view key : {"a001", "v003", "v00", "v0011", ""}) {
        EXPECT_EQ(PlateTitle(content, key), std::nullopt) << '"' << key << '"';
    }
}

TEST(PictureStore, findsANameWithAsciiCaseIgnored)
{
    static constexpr std::array<std::uint8_t, 3> v001{1, 2, 3};
    static constexpr std::array<std::uint8_t, 2> a001{4, 5};
    const std::array<StoredPicture, 2> pictures{{{"V001", v001}, {"A001", a001}}};
    const PictureStore store(pictures);

    for (std::string_view name : {"V001", "v001"}) {
        const auto found = store.Find(name);
        ASSERT_TRUE(found.has_value()) << name;
        EXPECT_EQ(found->data(), v001.data());
        EXPECT_EQ(found->size(), v001.size());
    }
    ASSERT_TRUE(store.Find("a001").has_value());
    EXPECT_EQ(store.Find("a001")->data(), a001.data());
}

TEST(PictureStore, unknownOrPartialNameFindsNothing)
{
    static constexpr std::array<std::uint8_t, 1> bytes{0};
    const std::array<StoredPicture, 1> pictures{{{"V001", bytes}}};
    const PictureStore store(pictures);
    for (std::string_view name : {"", "V00", "V0011", "V002", "W001", "v001 "}) {
        EXPECT_FALSE(store.Find(name).has_value()) << '"' << name << '"';
    }
    EXPECT_FALSE(PictureStore().Find("V001").has_value());
}

}  // namespace
}  // namespace pictolex
