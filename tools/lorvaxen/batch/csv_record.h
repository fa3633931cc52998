// One record of a CSV file, as RFC 4180 has it: a field that starts with a quote runs to its
// closing quote, with "" for a quote inside it and delimiters and newlines taken as they are;
// any other field runs to the next delimiter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lorvaxen::tool {

class CsvRecord
{
  public:
    explicit CsvRecord(char delimiter) : delimiter_(delimiter) {}

    // Adds the record's next line; answers whether the record is complete, which it is not
    // while a quoted field is open at the end of the line (a newline inside the field).
    bool add(std::string_view line, int number);

    const std::vector<std::string>& fields() const { return fields_; }
    // Why the record cannot be read, such as text after a closing quote; empty when it can.
    const std::string& problem() const { return problem_; }
    // What is wrong with a record whose quoted field is still open where its input ends, or
    // where it reaches the limit of one line's length.
    std::string unclosedProblem(bool limitReached) const;
    // Whether every field is empty: a row with nothing in it, such as ",,".
    bool blank() const;
    std::size_t bytes() const { return bytes_; }

  private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    // Where a character stands, as a person counts: "character 7" or "character 7 of line 5".
    std::string place(std::string_view line, std::size_t at, int number) const;

    char delimiter_;
    State state_ = State::FieldStart;
    std::string field_;
    std::vector<std::string> fields_;
    std::string problem_;
    std::string opened_; // where the quoted field being read was opened
    int firstLine_ = 0;
    std::size_t bytes_ = 0;
};

} // namespace lorvaxen::tool
