// The lines of a batch's input, read as they come: a label can be made from the first line of a
// pipe before the next one is written, and endless input takes no more memory than one line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace lorvaxen::tool {

// No barcode's text comes near this; a longer line means the input is not a list of texts (a
// binary file, /dev/zero, a quote left open in a CSV file).
constexpr std::size_t kMostLineBytes = std::size_t{64} * 1024;

class LineReader
{
  public:
    enum class Status { Line, TooLong, End, Failed };
    struct Line
    {
        Status status = Status::End;
        int number = 0;   // counted from 1, as an editor counts them
        std::string text; // without its newline, nor a carriage return before it
    };

    // Reads `fd`, which it does not close.
    explicit LineReader(int fd);

    // The next line; TooLong when it runs past kMostLineBytes (its text is then empty, and
    // reading stops there), Failed with error() when the system could not read.
    Line next();

    int error() const { return error_; }
    // How much of the input has been taken, for a progress bar.
    std::size_t bytesRead() const { return consumed_; }

  private:
    bool fill();

    int fd_;
    std::string buffer_; // read but not yet handed out, from start_ on
    std::size_t start_ = 0;
    std::size_t scanned_ = 0; // no newline before this in buffer_
    bool ended_ = false;
    int number_ = 0;
    int error_ = 0;
    std::size_t consumed_ = 0;
};

} // namespace lorvaxen::tool
