#include "reflectance_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <string_view>

#include "image_readers.h"

namespace lorvaxen::verifier {

std::string_view lightName(Light light)
{
    switch (light) {
    case Light::Red:
        return "red (660 nm)";
    case Light::Green:
        return "green";
    case Light::Blue:
        return "blue";
    case Light::White:
        return "white";
    }
    return "red (660 nm)";
}

ReflectanceImage::ReflectanceImage(int32_t width, int32_t height, bool sixteenBits)
    : ReflectanceImage(unset(width, height, sixteenBits))
{
    std::fill(wide_.begin(), wide_.end(), static_cast<uint16_t>(kFullLevel));
    std::fill(narrow_.begin(), narrow_.end(), uint8_t{255});
}

ReflectanceImage ReflectanceImage::unset(int32_t width, int32_t height, bool sixteenBits)
{
    ReflectanceImage image;
    image.width_ = width;
    image.height_ = height;
    image.sixteenBits_ = sixteenBits;
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (sixteenBits) {
        image.wide_.resize(pixels);
    } else {
        image.narrow_.resize(pixels);
    }
    return image;
}

std::pair<uint32_t, uint32_t> ReflectanceImage::levelRange() const
{
    if (empty()) {
        return {0, 0};
    }
    if (sixteenBits_) {
        const auto [least, most] = std::ranges::minmax(wide_);
        return {least, most};
    }
    const auto [least, most] = std::ranges::minmax(narrow_);
    return {least * 257U, most * 257U};
}

void ReflectanceImage::setLevel(int32_t x, int32_t y, uint32_t level)
{
    const uint32_t clamped = std::min(level, kFullLevel);
    if (sixteenBits_) {
        wide_[index(x, y)] = static_cast<uint16_t>(clamped);
    } else {
        narrow_[index(x, y)] = static_cast<uint8_t>((clamped + 128) / 257);
    }
}

void ReflectanceImage::set(int32_t x, int32_t y, double percent)
{
    const double level = std::clamp(percent, 0.0, 100.0) * kFullLevel / 100;
    setLevel(x, y, static_cast<uint32_t>(std::lround(level)));
}

ReflectanceImage ReflectanceImage::transposed() const
{
    ReflectanceImage turned = unset(height_, width_, sixteenBits_);
    turned.pixelsPerMm = pixelsPerMm;
    // In tiles, so that both images are read and written a cache line at a time.
    constexpr int32_t kTile = 64;
    for (int32_t top = 0; top < height_; top += kTile) {
        for (int32_t left = 0; left < width_; left += kTile) {
            for (int32_t y = top; y < std::min(top + kTile, height_); ++y) {
                for (int32_t x = left; x < std::min(left + kTile, width_); ++x) {
                    const std::size_t from = index(x, y);
                    const std::size_t to = turned.index(y, x);
                    if (sixteenBits_) {
                        turned.wide_[to] = wide_[from];
                    } else {
                        turned.narrow_[to] = narrow_[from];
                    }
                }
            }
        }
    }
    return turned;
}

namespace detail {

ByteSource::ByteSource(std::istream& in, std::optional<uint64_t> size) : in_(in), size_(size)
{
    in_.read(reinterpret_cast<char*>(head_), sizeof head_);
    headSize_ = static_cast<std::size_t>(in_.gcount());
}

bool ByteSource::read(uint8_t* to, std::size_t count)
{
    while (count > 0 && headRead_ < headSize_) {
        *to++ = head_[headRead_++];
        --count;
        ++position_;
    }
    if (count == 0) {
        return true;
    }
    in_.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(in_.gcount());
    position_ += got;
    return got == count;
}

int ByteSource::next()
{
    uint8_t byte = 0;
    return read(&byte, 1) ? byte : -1;
}

bool ByteSource::skip(uint64_t count)
{
    std::array<uint8_t, 4096> discard{};
    while (count > 0) {
        const auto chunk = static_cast<std::size_t>(std::min<uint64_t>(count, discard.size()));
        if (!read(discard.data(), chunk)) {
            return false;
        }
        count -= chunk;
    }
    return true;
}

std::string sizeProblem(uint64_t width, uint64_t height, uint64_t maxPixels)
{
    constexpr uint64_t kMaxSide = INT32_MAX;
    if (width == 0 || height == 0) {
        return "the image is empty (" + std::to_string(width) + " x " + std::to_string(height) +
               " pixels)";
    }
    // Each side below 2^31, so their product cannot wrap.
    if (width > kMaxSide || height > kMaxSide || width * height > maxPixels) {
        return "the image's " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels exceed the limit of " + std::to_string(maxPixels) +
               " (--max-pixels raises it)";
    }
    return {};
}

uint32_t measuredLevel(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha, Light light)
{
    uint32_t seen = green;
    switch (light) {
    case Light::Red:
        seen = red;
        break;
    case Light::Green:
        seen = green;
        break;
    case Light::Blue:
        seen = blue;
        break;
    case Light::White:
        // Broadband light weighted as the eye and grey scanners weigh it (ITU-R BT.601).
        seen = static_cast<uint32_t>(std::lround(0.299 * red + 0.587 * green + 0.114 * blue));
        break;
    }
    constexpr uint64_t kFull = ReflectanceImage::kFullLevel;
    if (alpha == kFull) {
        return seen;
    }
    return static_cast<uint32_t>((uint64_t{seen} * alpha + kFull * (kFull - alpha) + kFull / 2) /
                                 kFull);
}

} // namespace detail

namespace {

// A format that verify reads, told by the first bytes of its file: one of its signatures.
struct ImageReader
{
    std::string_view name;
    std::span<const std::string_view> signatures;
    std::optional<ReflectanceImage> (*read)(detail::ByteSource& source, const ReadOptions& options,
                                            std::string* problem);
};

constexpr std::array<std::string_view, 1> kPngSignatures{"\x89PNG\r\n\x1a\n"};
constexpr std::array<std::string_view, 2> kPbmSignatures{"P1", "P4"}; // plain and raw
constexpr std::array<std::string_view, 1> kBmpSignatures{"BM"};
constexpr std::array kImageReaders{
    ImageReader{"PNG", kPngSignatures, detail::readPng},
    ImageReader{"PBM", kPbmSignatures, detail::readPbm},
    ImageReader{"BMP", kBmpSignatures, detail::readBmp},
};
static_assert(
    [] {
        constexpr std::size_t kHeadBytes = 8; // what ByteSource keeps back
        return std::ranges::all_of(kImageReaders, [](const ImageReader& reader) {
            return std::ranges::all_of(reader.signatures, [](std::string_view signature) {
                return !signature.empty() && signature.size() <= kHeadBytes;
            });
        });
    }(),
    "every signature is told from the first bytes that the byte source keeps");

bool startsWith(std::span<const uint8_t> head, std::string_view signature)
{
    return head.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), head.begin(),
                      [](char s, uint8_t h) { return static_cast<uint8_t>(s) == h; });
}

// "PNG, PBM or BMP": the formats read, for the message that refuses any other.
std::string readerNames()
{
    std::string names;
    for (std::size_t i = 0; i < kImageReaders.size(); ++i) {
        if (i > 0) {
            names += i + 1 == kImageReaders.size() ? " or " : ", ";
        }
        names += kImageReaders[i].name;
    }
    return names;
}

} // namespace

std::optional<ReflectanceImage>
readReflectanceImage(const std::string& path, const ReadOptions& options, std::string* problem)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    std::optional<uint64_t> size;
    const std::string name = path == "-" ? "standard input" : "'" + path + "'";
    if (path != "-") {
        std::error_code error;
        const auto status = std::filesystem::status(path, error);
        if (error || !std::filesystem::exists(status)) {
            *problem = "cannot open " + name + ": no such file";
            return std::nullopt;
        }
        // A directory, a device or a pipe has no header to trust and may never end.
        if (!std::filesystem::is_regular_file(status)) {
            *problem = name + " is not a regular file";
            return std::nullopt;
        }
        size = std::filesystem::file_size(path, error);
        if (error) {
            size.reset();
        }
        file.open(path, std::ios::binary);
        if (!file) {
            *problem = "cannot open " + name;
            return std::nullopt;
        }
        in = &file;
    }
    auto image = readReflectanceImage(*in, size, options, problem);
    if (!image) {
        *problem = in->bad() ? "cannot read " + name : name + ": " + *problem;
    }
    return image;
}

std::optional<ReflectanceImage> readReflectanceImage(std::istream& in, std::optional<uint64_t> size,
                                                     const ReadOptions& options,
                                                     std::string* problem)
{
    detail::ByteSource source(in, size);
    const std::span<const uint8_t> head(source.head(), source.headSize());
    for (const ImageReader& reader : kImageReaders) {
        if (std::ranges::any_of(reader.signatures, [head](std::string_view signature) {
                return startsWith(head, signature);
            })) {
            return reader.read(source, options, problem);
        }
    }
    *problem = "not a " + readerNames() + " image";
    return std::nullopt;
}

double colourReflectance(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, Light light)
{
    // Eight bits widened as the image readers widen them, to the scale of 16.
    constexpr uint32_t kWiden = 257;
    return detail::measuredLevel(red * kWiden, green * kWiden, blue * kWiden, alpha * kWiden,
                                 light) *
           (100.0 / ReflectanceImage::kFullLevel);
}

} // namespace lorvaxen::verifier
