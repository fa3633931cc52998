// A picture of a symbol as reflectance, 0 (black) to 100 (white) per cent, read from an image file.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lorvaxen::verifier {

// The light a colour image is measured under, as a verifier's light source: red (660 nm, the
// light of retail scanners and the usual default), green, blue, or white (broadband, weighted as
// the eye sees it).
enum class Light { Red, Green, Blue, White };
std::string_view lightName(Light light); // "red (660 nm)"

// The reflectance in per cent that a verifier measures of a colour of 8-bit channels under
// `light`, laid over white paper as far as `alpha` makes it transparent.
double colourReflectance(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, Light light);

// Reflectance kept as the file stored it: 8 bits a sample, or 16 where the file has 16.
class ReflectanceImage
{
  public:
    static constexpr uint32_t kFullLevel = 65535; // a level of 100% in either depth

    ReflectanceImage() = default;
    // White, at either depth. The caller has checked that width x height fits the pixel budget.
    ReflectanceImage(int32_t width, int32_t height, bool sixteenBits);
    // The same with its samples left unset, for a reader that goes on to set every one.
    static ReflectanceImage unset(int32_t width, int32_t height, bool sixteenBits);

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
    // Calls `visit` with each sample of row `y`, left to right, on the common scale.
    template <class Visit> void forEachInRow(int32_t y, Visit visit) const
    {
        const std::size_t first = index(0, y);
        const auto count = static_cast<std::size_t>(width_);
        if (sixteenBits_) {
            for (std::size_t i = first; i < first + count; ++i) {
                visit(uint32_t{wide_[i]});
            }
        } else {
            for (std::size_t i = first; i < first + count; ++i) {
                visit(narrow_[i] * 257U);
            }
        }
    }
    // The lowest and the highest level.
    std::pair<uint32_t, uint32_t> levelRange() const;
    // Row `y` of an 8-bit image, for a reader to fill.
    uint8_t* narrowRow(int32_t y) { return narrow_.data() + index(0, y); }

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
    // Samples a reader sets need not be cleared first: a large image's clearing costs as much as
    // its reading.
    template <class T> struct Unset : std::allocator<T>
    {
        template <class U> struct rebind
        {
            using other = Unset<U>;
        };
        template <class U> void construct(U* place) { ::new (static_cast<void*>(place)) U; }
        template <class U, class... A> void construct(U* place, A&&... arguments)
        {
            ::new (static_cast<void*>(place)) U(std::forward<A>(arguments)...);
        }
    };
    std::vector<uint8_t, Unset<uint8_t>> narrow_;
    std::vector<uint16_t, Unset<uint16_t>> wide_;
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
