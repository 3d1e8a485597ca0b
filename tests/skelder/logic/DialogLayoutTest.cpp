#include "DialogLayout.h"

#include <gtest/gtest.h>

namespace {

struct AnchorCase {
    const char* name;
    unsigned flags;
    LayoutRect expected;  // from {10, 20, 110, 220}, grown by dx 30, dy 5
};

class AnchorMove : public testing::TestWithParam<AnchorCase> {};

TEST_P(AnchorMove, FollowsTheEdgesItIsAnchoredTo) {
    const LayoutRect control{10, 20, 110, 220};
    EXPECT_EQ(MoveAnchored(control, GetParam().flags, 30, 5), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, AnchorMove,
    testing::Values(AnchorCase{"None", 0x0, {10, 20, 110, 220}},
                    AnchorCase{"MoveRight", 0x1, {40, 20, 140, 220}},
                    AnchorCase{"MoveDown", 0x2, {10, 25, 110, 225}},
                    AnchorCase{"StretchRight", 0x4, {10, 20, 140, 220}},
                    AnchorCase{"StretchDown", 0x8, {10, 20, 110, 225}},
                    AnchorCase{"StretchBoth", 0xC, {10, 20, 140, 225}},
                    AnchorCase{"StretchRightWinsOverMoveRight", 0x5, {10, 20, 140, 220}},
                    AnchorCase{"StretchDownWinsOverMoveDown", 0xA, {10, 20, 110, 225}},
                    AnchorCase{"AllFlags", 0xF, {10, 20, 140, 225}},
                    AnchorCase{"MoveBoth", 0x3, {40, 25, 140, 225}}),
    [](const testing::TestParamInfo<AnchorCase>& info) { return std::string(info.param.name); });

TEST(AnchorMove, ShrinkingMovesBack) {
    EXPECT_EQ(MoveAnchored({0, 0, 100, 50}, 0xC, -20, -10), (LayoutRect{0, 0, 80, 40}));
}

TEST(AnchorEntry, PacksIdLowAndFlagsHigh) {
    const std::uint32_t entry = Anchor::Pack(207, 0xC);
    EXPECT_EQ(entry, 0x000C00CFu);
    EXPECT_EQ(Anchor::ControlId(entry), 207u);
    EXPECT_EQ(Anchor::Flags(entry), 0xCu);
}

struct ColumnCase {
    const char* name;
    ColumnWidths before;
    int clientWidth;
    ColumnWidths after;
};

class Columns : public testing::TestWithParam<ColumnCase> {};

TEST_P(Columns, KeepTheirProportionsAcrossTheWidth) {
    EXPECT_EQ(ProportionalColumns(GetParam().before, GetParam().clientWidth), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, Columns,
    testing::Values(ColumnCase{"Grow", {100, 300}, 800, {200, 600}},
                    ColumnCase{"Shrink", {200, 600}, 400, {100, 300}},
                    ColumnCase{"BothZeroStayZero", {0, 0}, 800, {0, 0}},
                    ColumnCase{"OneZero", {0, 250}, 500, {0, 500}},
                    // Truncated toward zero: a pixel may be lost per column.
                    ColumnCase{"Truncates", {1, 2}, 100, {33, 66}},
                    ColumnCase{"Halves", {50, 50}, 333, {166, 166}},
                    ColumnCase{"ZeroWidthList", {100, 300}, 0, {0, 0}},
                    ColumnCase{"NegativeLeftAlone", {-5, 10}, 100, {-5, 10}}),
    [](const testing::TestParamInfo<ColumnCase>& info) { return std::string(info.param.name); });

struct FillCase {
    const char* name;
    ColumnWidths current;
    int clientWidth;
    std::optional<int> fill;
};

class SecondColumn : public testing::TestWithParam<FillCase> {};

TEST_P(SecondColumn, FillsTheRestOfTheList) {
    EXPECT_EQ(SecondColumnFill(GetParam().current, GetParam().clientWidth), GetParam().fill);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, SecondColumn,
    testing::Values(FillCase{"AlreadyFills", {100, 300}, 400, std::nullopt},
                    FillCase{"Grows", {100, 100}, 400, 300},
                    FillCase{"Shrinks", {300, 300}, 400, 100},
                    FillCase{"FirstFillsAll", {400, 50}, 400, 0},
                    // A negative width would ask the list to fit the column to its content.
                    FillCase{"FirstWiderThanList", {401, 50}, 400, 0},
                    FillCase{"FirstMuchWider", {900, 0}, 400, std::nullopt}),
    [](const testing::TestParamInfo<FillCase>& info) { return std::string(info.param.name); });

TEST(StepListPosition, UpAndLeftOfTheFrameKeptOnScreen) {
    EXPECT_EQ(StepListPosition(100, 20), (LayoutPoint{0, 0}));
    EXPECT_EQ(StepListPosition(400, 300), (LayoutPoint{250, 260}));
    EXPECT_EQ(StepListPosition(150, 40), (LayoutPoint{0, 0}));
    EXPECT_EQ(StepListPosition(151, 10), (LayoutPoint{1, 0}));
    EXPECT_EQ(StepListPosition(-500, -300), (LayoutPoint{0, 0}));
}

}  // namespace
