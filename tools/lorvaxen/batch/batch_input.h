// What a batch makes labels of: each line of a text file, or one column of each row of a CSV
// file, read as it comes.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "line_reader.h"

namespace lorvaxen::tool {

// How to read a CSV file; column 0 reads plain lines instead.
struct CsvSettings
{
    int column = 0;      // the column of the labels' texts, counted from 1
    int nameColumn = 0;  // the column that %s names the files after; 0: the text's own
    bool header = false; // the first row names the columns, and makes no label
    char delimiter = ',';
};

// One label's text, or a row refused before it could make one.
struct BatchItem
{
    int line = 0;         // where it starts
    std::string text;     // the label's text
    std::string nameText; // what %s in the name template stands for
    std::string problem;  // why the row makes no label; empty when it makes one
    bool stops = false;   // the problem ends the batch: nothing after it can be trusted
};

class BatchInput
{
  public:
    // Opens `path` ("-" for standard input); empty, with `problem` said, when it cannot.
    static std::unique_ptr<BatchInput> open(const std::string& path, const CsvSettings& csv,
                                            std::string* problem);
    ~BatchInput();
    BatchInput(const BatchInput&) = delete;
    BatchInput& operator=(const BatchInput&) = delete;

    // The next label's text, or a refused row; empty at the end of the input. Blank lines, and
    // rows whose every field is empty, are counted and passed over.
    std::optional<BatchItem> next();

    int blankLines() const { return blank_; }
    // The share of the input read, when its size is known (a regular file).
    std::optional<double> shareRead() const;
    // Why reading stopped early; empty when the input was read to its end.
    const std::string& readProblem() const { return readProblem_; }

  private:
    BatchInput(int fd, bool owned, std::string name, const CsvSettings& csv, long long size);
    std::optional<BatchItem> nextLine();
    std::optional<BatchItem> nextRow();
    // The next line for a row, with its problem when it runs too long or cannot be read.
    std::optional<LineReader::Line> readLine(BatchItem* refused);

    int fd_;
    bool owned_;
    std::string name_;
    CsvSettings csv_;
    long long size_; // -1 when not known
    LineReader reader_;
    int blank_ = 0;
    bool headerDone_ = false;
    bool ended_ = false;
    std::string readProblem_;
};

} // namespace lorvaxen::tool
