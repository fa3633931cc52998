#include "line_reader.h"

#include <cerrno>

#include <unistd.h>

namespace lorvaxen::tool {
namespace {

constexpr std::size_t kReadBytes = std::size_t{64} * 1024;

} // namespace

LineReader::LineReader(int fd) : fd_(fd)
{
    buffer_.reserve(kMostLineBytes + kReadBytes);
}

// Reads more after what is held, first moving what is held to the front, so that the buffer
// never holds more than one line and one read.
bool LineReader::fill()
{
    if (start_ > 0) {
        buffer_.erase(0, start_);
        scanned_ -= start_;
        start_ = 0;
    }
    const std::size_t held = buffer_.size();
    buffer_.resize(held + kReadBytes);
    ssize_t got = 0;
    do {
        got = read(fd_, buffer_.data() + held, kReadBytes);
    } while (got < 0 && errno == EINTR);
    buffer_.resize(held + static_cast<std::size_t>(got > 0 ? got : 0));
    if (got < 0) {
        error_ = errno;
        return false;
    }
    ended_ = got == 0;
    return got > 0;
}

LineReader::Line LineReader::next()
{
    Line line;
    for (;;) {
        const std::size_t newline = buffer_.find('\n', scanned_);
        const std::size_t end = newline != std::string::npos ? newline : buffer_.size();
        if (end - start_ > kMostLineBytes) {
            line.status = Status::TooLong;
            line.number = number_ + 1;
            return line;
        }
        if (newline != std::string::npos || (ended_ && start_ < buffer_.size())) {
            line.status = Status::Line;
            line.number = ++number_;
            line.text.assign(buffer_, start_, end - start_);
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
            }
            const std::size_t next = newline != std::string::npos ? newline + 1 : end;
            consumed_ += next - start_;
            start_ = scanned_ = next;
            return line;
        }
        scanned_ = buffer_.size();
        if (ended_ || (!fill() && error_ != 0)) {
            line.status = error_ != 0 ? Status::Failed : Status::End;
            return line;
        }
    }
}

} // namespace lorvaxen::tool
