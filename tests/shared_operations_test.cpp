// The operations the encoders share.
#include <array>
#include <string_view>

#include <gtest/gtest.h>

#include "symbol_table.h"
#include "table_rows.h"

namespace lorvaxen::detail {
namespace {

struct Mod10Case
{
    std::string_view digits;
    int32_t check;
};
using Mod10CheckDigit = ::testing::TestWithParam<Mod10Case>;
// One row a line, as the comments go.
// clang-format off
const Mod10Case kMod10CheckDigitRows[] = {
    Mod10Case{"490123456789", 4}, // a JAN number
    Mod10Case{"1234", 8},
    Mod10Case{"01234", 8}, // a leading zero changes nothing
    Mod10Case{"123", 6},
    Mod10Case{"5", 5},
    Mod10Case{"", 0},
    Mod10Case{"0", 0},
    Mod10Case{"400638133393", 1},
    Mod10Case{"12a4", -1},
    Mod10Case{"-1", -1},
    Mod10Case{"123 ", -1},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(mod10CheckDigit, Mod10CheckDigit,
                         ::testing::ValuesIn(kMod10CheckDigitRows), [](const auto& info) {
                             return lorvaxen::test::rowNameOf("digits", info.param.digits, "check",
                                                              info.param.check);
                         });

TEST_P(Mod10CheckDigit, WeighsTheRightmostDigitThree)
{
    const Mod10Case& c = GetParam();
    EXPECT_EQ(mod10CheckDigit(c.digits), c.check) << "\"" << c.digits << "\"";
}

constexpr std::array<SymbolTableRow, 4> kRows{{
    {'A', 0, "00"},
    {'B', 1, "01"},
    {'A', 2, "10"}, // a repeated symbol: only the first row counts
    {'C', 3, "11"},
}};

constexpr SymbolSet kSet{kRows};

TEST(SymbolSet, AcceptsOnlySymbolsOfTheRowsGiven)
{
    EXPECT_TRUE(kSet.containsAll("ABBA"));
    EXPECT_TRUE(kSet.containsAll(""));
    EXPECT_FALSE(kSet.containsAll("ABD"));
    EXPECT_FALSE(kSet.containsAll("a"));
    EXPECT_FALSE(kSet.containsAll(std::string_view("A\0B", 3)));
    EXPECT_FALSE(SymbolSet(SymbolTable(kRows).first(3)).containsAll("C")); // only the rows given
    EXPECT_FALSE(kSet.containsAll("\xFF")); // a byte above 127 is not taken for a negative index
}

TEST(SymbolSet, FindsTheFirstMatchingRow)
{
    EXPECT_EQ(kSet.find('A'), kRows.data());
    EXPECT_EQ(kSet.find('C'), &kRows[3]);
    EXPECT_EQ(kSet.find('D'), nullptr);
}

} // namespace
} // namespace lorvaxen::detail
