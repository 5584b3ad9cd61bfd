#include <gtest/gtest.h>

#include <array>
#include <ostream>

#include "pictolex/plate_labels.h"

namespace pictolex {
namespace {

// Two labels whose dots lie 14 px apart, so that their reaches overlap, and
// one bracket beside a whole, ends turned to the right: the shapes of a
// plate's left label column.
const std::array<PlateLabel, 3> kLabels{{
    {"Nucleus", 2, {100, 116, 150, 127}, LabelMark::Dot, {{{230, 122}}}, 2.5f},
    {"Nucleolus", 1, {92, 98, 150, 109}, LabelMark::Dot, {{{244, 122}}}, 2.5f},
    {"Whole", 3, {60, 200, 150, 212}, LabelMark::Bracket, {{{205, 180}, {200, 180}, {200, 260}, {205, 260}}}, 0},
}};

struct HitCase {
    const char* name;
    float x;
    float y;
    int label;
};

void PrintTo(const HitCase& c, std::ostream* out)
{
    *out << c.name;
}

class LabelAtTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(LabelAtTest, findsTheLabelThatAnswersThePoint)
{
    EXPECT_EQ(LabelAt(kLabels, GetParam().x, GetParam().y), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Column, LabelAtTest,
    ::testing::Values(HitCase{"textTopLeftPixel", 100, 116, 0}, HitCase{"textLastPixel", 149.9f, 126.9f, 0},
                      HitCase{"rightOfTheTextBox", 150, 120, -1}, HitCase{"belowTheTextBox", 120, 127, -1},
                      HitCase{"onTheDot", 230, 122, 0},
                      // The dot's edge lies 2.5 px from its centre; the reach 6 px beyond.
                      HitCase{"reachOfTheDotAbove", 230, 113.5f, 0}, HitCase{"beyondTheReach", 230, 113.4f, -1},
                      HitCase{"overlapNearerTheFirstDot", 236.9f, 122, 0},
                      HitCase{"overlapNearerTheSecondDot", 237.1f, 122, 1},
                      HitCase{"overlapEvenFirstWins", 237, 122, 0}, HitCase{"alongTheBracket", 194, 220, 2},
                      HitCase{"besideTheBracketTooFar", 193.9f, 220, -1}, HitCase{"beyondTheTurnedEnd", 211, 180, 2},
                      HitCase{"beyondTheOtherTurnedEnd", 211, 260, 2}, HitCase{"pastTheBracketsEnd", 202, 266.5f, -1},
                      HitCase{"insideTheWholeFarFromTheBracket", 220, 220, -1}, HitCase{"nowhere", 400, 400, -1}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return info.param.name; });

TEST(LabelAt, textUnderThePointerWinsOverANearerDot)
{
    // A dot close beside another label's text.
    std::array<PlateLabel, 2> labels{kLabels[0], kLabels[1]};
    labels[1].points[0] = {155, 121};
    EXPECT_EQ(LabelAt(labels, 149, 121), 0);
    EXPECT_EQ(LabelAt(labels, 151, 121), 1);
}

TEST(LabelAt, noLabelsAnswerNothing)
{
    EXPECT_EQ(LabelAt({}, 0, 0), -1);
}

TEST(LabelStore, findsAPicturesLabelsInAnyLetterCase)
{
    const std::array<StoredLabels, 2> stored{{{"V001", {kLabels.data(), 2}}, {"V002", {}}}};
    const LabelStore store(stored);
    EXPECT_EQ(store.Find("v001").data(), kLabels.data());
    EXPECT_EQ(store.Find("V001").size(), 2u);
    EXPECT_TRUE(store.Find("V002").empty());
    EXPECT_TRUE(store.Find("V003").empty());
    EXPECT_TRUE(store.Find("").empty());
}

}  // namespace
}  // namespace pictolex
