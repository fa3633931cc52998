// A picture of a symbol as reflectance, 0 (black) to 100 (white) per cent, read from an image file.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvaxen::verifier {

// The light a colour image is measured under, as a verifier's light source: red (660 nm, the
// light of retail scanners and the usual default), green, blue, or white (broadband, weighted as
// the eye sees it).
enum class Light { Red, Green, Blue, White };
std::string_view lightName(Light light); // "red (660 nm)"

// Reflectance kept as the file stored it: 8 bits a sample, or 16 where the file has 16.
class ReflectanceImage
{
  public:
    static constexpr uint32_t kFullLevel = 65535; // a level of 100% in either depth

    ReflectanceImage() = default;
    // White, at either depth. The caller has checked that width x height fits the pixel budget.
    ReflectanceImage(int32_t width, int32_t height, bool sixteenBits);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool sixteenBits() const { return sixteenBits_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // The sample on the common scale 0 to kFullLevel, and in per cent.
    uint32_t level(int32_t x, int32_t y) const
    {
        const std::size_t i = index(x, y);
        return sixteenBits_ ? wide_[i] : narrow_[i] * 257U;
    }
    double at(int32_t x, int32_t y) const { return level(x, y) * (100.0 / kFullLevel); }
    void setLevel(int32_t x, int32_t y, uint32_t level);
    void set(int32_t x, int32_t y, double percent);
    // The image mirrored about its diagonal: its columns become rows.
    ReflectanceImage transposed() const;

    // The image's resolution where the file records it, in pixels per millimetre; 0 if unknown.
    double pixelsPerMm = 0;

  private:
    std::size_t index(int32_t x, int32_t y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool sixteenBits_ = false;
    std::vector<uint8_t> narrow_;
    std::vector<uint16_t> wide_;
};

struct ReadOptions
{
    // The most pixels an image may have: a hostile header is refused before anything is decoded.
    uint64_t maxPixels = uint64_t{1} << 28;
    Light light = Light::Red;
};

// Reads a PNG (any bit depth, grey, palette or colour, with or without alpha), a PBM (plain or
// raw) or an uncompressed BMP (1, 4, 8, 24 or 32 bits per pixel), told apart by their first bytes,
// from a regular file or, for "-", standard input. Samples are taken as stored, without gamma or
// colour management; colour is measured under `options.light`; transparency is laid over white.
// Reads no further than the image's header says. Empty, with the reason in `problem`, when the
// file cannot be read or is not such an image.
std::optional<ReflectanceImage>
readReflectanceImage(const std::string& path, const ReadOptions& options, std::string* problem);
// The same from a stream, of `size` bytes where that is known.
std::optional<ReflectanceImage> readReflectanceImage(std::istream& in, std::optional<uint64_t> size,
                                                     const ReadOptions& options,
                                                     std::string* problem);

} // namespace lorvaxen::verifier
