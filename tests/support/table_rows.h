// Table rows that run one at a time: a table becomes the values of a parameterised test and each
// row a test named after it, so that a failing row names itself and `--gtest_filter='*/<name>'`
// runs it alone. Header only: the Windows build of the C-interface tests uses it too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace lorvaxen::test {

// A test name made of a row's words: GoogleTest takes letters, digits and '_' only, so each run of
// anything else becomes one '_' (none at either end). GoogleTest refuses two rows of one name.
inline std::string rowName(std::string_view words)
{
    std::string name;
    bool gap = false;
    for (const char c : words) {
        const bool kept =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!kept) {
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
