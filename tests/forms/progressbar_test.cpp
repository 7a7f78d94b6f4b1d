#include "forms/progressbar.h"

#include <gtest/gtest.h>

using forms::TProgressBar;

namespace {

struct BarCase {
    const char* name;
    int min, max, step, start;
    enum Op { Set, Step } op;
    int argument; // the position to set
    int expected;
};

void PrintTo(const BarCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProgressBarTest : public ::testing::TestWithParam<BarCase> {};

TEST_P(ProgressBarTest, PositionFollowsTheSixteenBitRules)
{
    const BarCase& c = GetParam();
    TProgressBar bar(nullptr);
    bar.setMax(c.max);
    bar.setMin(c.min);
    bar.setStep(c.step);
    bar.setPosition(c.start);
    if (c.op == BarCase::Set)
        bar.setPosition(c.argument);
    else
        bar.stepIt();
    EXPECT_EQ(bar.position(), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressBarTest,
    ::testing::Values(
        BarCase{"inside the range", 0, 100, 1, 0, BarCase::Set, 42, 42},
        BarCase{"above max clamps to max", 0, 100, 1, 0, BarCase::Set, 150, 100},
        BarCase{"below min clamps to min", 20, 100, 1, 50, BarCase::Set, 5, 20},
        BarCase{"ten more near the top stops at max", 0, 100, 1, 95, BarCase::Set, 105, 100},
        // Only the low 16 bits of a value reach the control.
        BarCase{"low 16 bits: 65536 + 42", 0, 100, 1, 0, BarCase::Set, 65536 + 42, 42},
        BarCase{"low 16 bits: -1 is 65535", 0, 100, 1, 10, BarCase::Set, -1, 100},
        BarCase{"step inside the range", 0, 100, 1, 58, BarCase::Step, 0, 59},
        BarCase{"step onto max stays", 0, 100, 10, 90, BarCase::Step, 0, 100},
        BarCase{"step past max starts over at min", 0, 100, 1, 100, BarCase::Step, 0, 0},
        BarCase{"step past max starts over at a raised min", 10, 100, 1, 100, BarCase::Step, 0, 10},
        BarCase{"large step past max starts over", 0, 100, 10, 95, BarCase::Step, 0, 0},
        BarCase{"step past the 16-bit top", 0, 65535, 1, 65535, BarCase::Step, 0, 0},
        BarCase{"zero step stays", 0, 100, 0, 37, BarCase::Step, 0, 37}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(ProgressBar, DefaultsMatchTheClassicControl)
{
    TProgressBar bar(nullptr);
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 100);
    EXPECT_EQ(bar.step(), 10);
    EXPECT_EQ(bar.position(), 0);
}

TEST(ProgressBar, NarrowingTheRangeMovesThePositionInside)
{
    TProgressBar bar(nullptr);
    bar.setPosition(80);
    bar.setMax(50);
    EXPECT_EQ(bar.position(), 50);
    bar.setMin(60);
    EXPECT_EQ(bar.position(), 60);
}

} // namespace
