// The operations the encoders share.
#include <array>
#include <string_view>

#include <gtest/gtest.h>

#include "symbol_table.h"

namespace lorvaxen::detail {
namespace {

TEST(mod10CheckDigit, WeighsTheRightmostDigitThree)
{
    struct Case
    {
        std::string_view digits;
        int32_t check;
    };
    for (const Case c : {
             Case{"490123456789", 4}, // a JAN number
             Case{"1234", 8},
             Case{"01234", 8}, // a leading zero changes nothing
             Case{"123", 6},
             Case{"5", 5},
             Case{"", 0},
             Case{"0", 0},
             Case{"400638133393", 1},
             Case{"12a4", -1},
             Case{"-1", -1},
             Case{"123 ", -1},
         }) {
        EXPECT_EQ(mod10CheckDigit(c.digits), c.check) << "\"" << c.digits << "\"";
    }
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
