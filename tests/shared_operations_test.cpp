// The operations the encoders share.
#include <array>
#include <string_view>

#include <gtest/gtest.h>

#include "symbol_table.h"

namespace lorvaxen {
namespace {

TEST(Mod10CheckDigit, WeighsTheRightmostDigitThree)
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
        EXPECT_EQ(Mod10CheckDigit(c.digits), c.check) << "\"" << c.digits << "\"";
    }
}

constexpr std::array<SymbolTableRow, 4> kRows{{
    {'A', 0, "00"},
    {'B', 1, "01"},
    {'A', 2, "10"}, // a repeated symbol: only the first row counts
    {'C', 3, "11"},
}};

TEST(CheckCharset, AcceptsOnlySymbolsOfTheRowsGiven)
{
    EXPECT_EQ(CheckCharset("ABBA", kRows), 0);
    EXPECT_EQ(CheckCharset("", kRows), 0);
    EXPECT_EQ(CheckCharset("ABD", kRows), -1);
    EXPECT_EQ(CheckCharset("a", kRows), -1);
    EXPECT_EQ(CheckCharset(std::string_view("A\0B", 3), kRows), -1);
    EXPECT_EQ(CheckCharset("C", SymbolTable(kRows).first(3)), -1); // row count limits the search
}

TEST(FindSymbolRow, FindsTheFirstMatchingRow)
{
    EXPECT_EQ(FindSymbolRow(kRows, 'A'), 0);
    EXPECT_EQ(FindSymbolRow(kRows, 'C'), 3);
    EXPECT_EQ(FindSymbolRow(kRows, 'D'), -1);
}

} // namespace
} // namespace lorvaxen
