// Table rows that run one at a time: a table becomes the values of a parameterised test and each
// row a test named after it, so that a failing row names itself and `--gtest_filter='*/<name>'`
// runs it alone. A table is instantiated under the suite its test is filed under, as in
// INSTANTIATE_TEST_SUITE_P(Tool, ToolPng, ...), so that a filter on the suite still finds its
// rows. Header only: the Windows build of the C-interface tests uses it too.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace lorvaxen::test {

// A test name made of a row's words: GoogleTest takes letters, digits and '_' only, so each run of
// anything else becomes one '_' (none at either end), but a minus sign "minus", so that -1 and 1
// stay apart. GoogleTest refuses two rows of one name.
inline std::string rowName(std::string_view words)
{
    const auto isAlnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    std::string name;
    bool gap = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const char c = words[i];
        const bool sign = c == '-' && i + 1 < words.size() && words[i + 1] >= '0' &&
                          words[i + 1] <= '9' && (i == 0 || !isAlnum(words[i - 1]));
        if (sign) {
            name += gap ? "_minus" : "minus";
            gap = false;
            continue;
        }
        if (!isAlnum(c)) {
            gap = !name.empty();
            continue;
        }
        if (gap) {
            name += '_';
            gap = false;
        }
        name += c;
    }
    return name.empty() ? std::string("_") : name;
}

// A test name made of a row's arguments, one '_' between them.
inline std::string rowName(const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& word : words) {
        joined += word + " ";
    }
    return rowName(joined);
}

// A test name made of a row's fields, numbers as a stream writes them: rowNameOf(300, "dpi", 0.381)
// is "300_dpi_0_381".
template <class... Fields> std::string rowNameOf(const Fields&... fields)
{
    std::ostringstream words;
    ((words << fields << ' '), ...);
    return rowName(words.str());
}

// A parameterised test of `Row`s on the fixture `Fixture`.
template <class Fixture, class Row>
class RowsOn : public Fixture, public ::testing::WithParamInterface<Row>
{
};

// The name generator for a table whose rows carry their name, or words to make it of, in `words`.
template <class Row, class Words> auto namedBy(Words Row::*words)
{
    return
        [words](const ::testing::TestParamInfo<Row>& info) { return rowName(info.param.*words); };
}

} // namespace lorvaxen::test
