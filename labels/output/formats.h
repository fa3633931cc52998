// The image formats a label is written in, to an open file or to memory: one table of what each
// format is and holds, from which choosing a format, the tool's help and refusals and the writing
// all follow. A new format is one row and its writer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "label.h"

namespace lorvaxen {

enum class ImageFormat { Png, Svg, Pbm, Bmp, Pdf, Eps };

// One format: its extension (also its name on the command line), what it can hold, and how the
// label is written in it (false when the file cannot take it, with errno telling why where the
// system knows).
struct ImageFormatFacts
{
    ImageFormat format;
    std::string_view extension; // lower case, without the dot
    bool vector;                // drawn, not made of pixels: any module in millimetres is exact
    bool colours;               // holds ink and background other than black on white
    bool transparency;          // holds a transparent background
    bool (*write)(const Label& label, std::FILE* file);
};

// Every format, in the order the tool names them: PNG, SVG, PDF, EPS, PBM, BMP.
std::span<const ImageFormatFacts> imageFormats();
// The format's row; for a value cast from outside the enum, a row with no name that writes nothing.
const ImageFormatFacts& formatFacts(ImageFormat format);

// SVG, PDF and EPS: drawn, not made of pixels, so any module in millimetres can be exact.
bool isVector(ImageFormat format);

// The format named by the extension of `path`, in any case; "-" (standard output) is PNG.
std::optional<ImageFormat> formatFromPath(std::string_view path);
std::string_view formatName(ImageFormat format);

// How a format is named in a text: "png" (as --format takes it), "PNG" or ".png".
enum class FormatSpelling { Name, Upper, Extension };
std::string spelledName(const ImageFormatFacts& format, FormatSpelling spelling);

// Which formats a list names; every one without a test.
using FormatTest = bool (*)(const ImageFormatFacts& format);
inline bool vectorFormat(const ImageFormatFacts& format)
{
    return format.vector;
}
inline bool rasterFormat(const ImageFormatFacts& format)
{
    return !format.vector;
}
inline bool holdsColours(const ImageFormatFacts& format)
{
    return format.colours;
}
inline bool holdsTransparency(const ImageFormatFacts& format)
{
    return format.transparency;
}

// The formats that pass `has`, in the table's order.
std::vector<std::string> formatNames(FormatSpelling spelling, FormatTest has = nullptr);
// The same as a sentence lists them, `conjunction` before the last: "PNG, SVG, PDF or EPS".
std::string formatList(FormatSpelling spelling, std::string_view conjunction,
                       FormatTest has = nullptr);

// Writes the label in the format to an open file: false when the file cannot take it, with errno
// telling why where the system knows.
bool writeImage(const Label& label, ImageFormat format, std::FILE* file);

// The file's bytes, in memory; empty when the label could not be encoded or the memory had.
std::optional<std::vector<uint8_t>> imageBytes(const Label& label, ImageFormat format);

} // namespace lorvaxen
