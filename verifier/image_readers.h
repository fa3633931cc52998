// The image formats the verifier reads, each from a stream of bytes that it reads no further than
// its own header says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

#include "reflectance_image.h"

namespace lorvaxen::verifier::detail {

// Bytes from a stream, with the first few kept back so that the format can be told from them.
class ByteSource
{
  public:
    // `size`: the whole input's, where it is known (a regular file).
    ByteSource(std::istream& in, std::optional<uint64_t> size);
    // The first bytes, at most eight; fewer when the input is shorter.
    const uint8_t* head() const { return head_; }
    std::size_t headSize() const { return headSize_; }
    // All of `count` bytes, or false.
    bool read(uint8_t* to, std::size_t count);
    // One byte, or -1 at the end.
    int next();
    bool skip(uint64_t count);
    uint64_t position() const { return position_; }
    // Whether `count` more bytes may follow: false only when the input is known to be shorter,
    // so that a header that promises more than the file holds is refused before allocating.
    bool mayHold(uint64_t count) const { return !size_ || *size_ - position_ >= count; }

  private:
    std::istream& in_;
    uint8_t head_[8] = {};
    std::size_t headSize_ = 0;
    std::size_t headRead_ = 0;
    uint64_t position_ = 0;
    std::optional<uint64_t> size_;
};

// Empty when width x height pixels fit the budget; else why not.
std::string sizeProblem(uint64_t width, uint64_t height, uint64_t maxPixels);

// A pixel's level on the scale 0 to 65535 under `light`: colour channels and alpha on that scale,
// the colour laid over white paper as far as it is transparent.
uint32_t measuredLevel(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha, Light light);

std::optional<ReflectanceImage> readPng(ByteSource& source, const ReadOptions& options,
                                        std::string* problem);
std::optional<ReflectanceImage> readPbm(ByteSource& source, const ReadOptions& options,
                                        std::string* problem);
std::optional<ReflectanceImage> readBmp(ByteSource& source, const ReadOptions& options,
                                        std::string* problem);

} // namespace lorvaxen::verifier::detail
