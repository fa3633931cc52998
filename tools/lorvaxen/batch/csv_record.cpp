#include "csv_record.h"

#include <algorithm>

#include "line_reader.h"

namespace lorvaxen::tool {

std::string CsvRecord::place(std::string_view line, std::size_t at, int number) const
{
    // Characters, not bytes: the continuation bytes of UTF-8 do not count.
    const auto characters = std::ranges::count_if(line.substr(0, at + 1), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    });
    return "character " + std::to_string(characters) +
           (number != firstLine_ ? " of line " + std::to_string(number) : "");
}

bool CsvRecord::add(std::string_view line, int number)
{
    if (firstLine_ == 0) {
        firstLine_ = number;
    }
    bytes_ += line.size() + 1;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        switch (state_) {
        case State::FieldStart:
            if (c == '"') {
                state_ = State::Quoted;
                opened_ = place(line, i, number);
            } else if (c == delimiter_) {
                fields_.emplace_back();
            } else {
                field_ += c;
                state_ = State::Unquoted;
            }
            break;
        case State::Unquoted:
            // A quote inside a field that did not start with one is taken as it is.
            if (c == delimiter_) {
                fields_.push_back(std::move(field_));
                field_.clear();
                state_ = State::FieldStart;
            } else {
                field_ += c;
            }
            break;
        case State::Quoted:
            if (c == '"') {
                state_ = State::QuoteInQuoted;
            } else {
                field_ += c;
            }
            break;
        case State::QuoteInQuoted:
            if (c == '"') {
                field_ += '"';
                state_ = State::Quoted;
            } else if (c == delimiter_) {
                fields_.push_back(std::move(field_));
                field_.clear();
                state_ = State::FieldStart;
            } else {
                problem_ = "field " + std::to_string(fields_.size() + 1) + " ends at its closing " +
                           "quote, but '" + std::string(1, c) + "' follows it at " +
                           place(line, i, number) +
                           ": write a quote inside a quoted field twice (\"\")";
                return true;
            }
            break;
        }
    }
    if (state_ == State::Quoted) {
        field_ += '\n';
        return false;
    }
    fields_.push_back(std::move(field_));
    field_.clear();
    return true;
}

std::string CsvRecord::unclosedProblem(bool limitReached) const
{
    return "the quote that opens field " + std::to_string(fields_.size() + 1) + " at " + opened_ +
           (limitReached ? " is still open after " + std::to_string(kMostLineBytes) + " bytes"
                         : std::string(" is never closed")) +
           ": end the field with a quote (a quote inside it is written twice, \"\")" +
           (limitReached ? "; the batch stops here" : "");
}

bool CsvRecord::blank() const
{
    return std::ranges::all_of(fields_, [](const std::string& field) { return field.empty(); });
}

} // namespace lorvaxen::tool
