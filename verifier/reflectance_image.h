// A picture of a symbol as reflectance, 0 (black) to 100 (white) per cent, read from an image file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lorvaxen::verifier {

struct ReflectanceImage
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> reflectance; // row by row, top row first

    float at(int32_t x, int32_t y) const
    {
        return reflectance[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)];
    }
};

// Reads a PNG (any bit depth, grey or colour), a PBM (plain or raw) or an uncompressed BMP (1, 4,
// 8, 24 or 32 bits per pixel), told apart by their first bytes. Colour becomes grey by its
// luminance. Empty, with the reason in `problem`, when the file cannot be read or is not such an
// image.
std::optional<ReflectanceImage> readReflectanceImage(const std::filesystem::path& path,
                                                     std::string* problem);

} // namespace lorvaxen::verifier
