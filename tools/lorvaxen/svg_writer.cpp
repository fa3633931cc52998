#include <cstring>
#include <string>

#include "writers.h"

namespace lorvaxen::tool {
namespace {

bool sameRows(const MonoImage& image, int32_t a, int32_t b)
{
    return std::memcmp(image.row(a), image.row(b), image.rowBytes()) == 0;
}

// One rectangle per run of black pixels in row `y`, `height` rows tall.
void writeRuns(const MonoImage& image, int32_t y, int32_t height, std::FILE* file)
{
    int32_t x = 0;
    while (x < image.width) {
        if (!image.isBlack(x, y)) {
            ++x;
            continue;
        }
        const int32_t start = x;
        while (x < image.width && image.isBlack(x, y)) {
            ++x;
        }
        std::fprintf(file, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"/>\n", start, y,
                     x - start, height);
    }
}

// Each glyph as a path in font units, placed at its pen origin and scaled to its size, with y
// turned upwards as fonts have it. Curves are drawn smooth, unlike the bars' crisp edges.
void writeText(const Label& label, std::FILE* file)
{
    if (label.glyphs.empty()) {
        return;
    }
    std::fputs("<g shape-rendering=\"geometricPrecision\">\n", file);
    for (const Glyph& glyph : label.glyphs) {
        const std::string scale =
            formatDecimal(label.emPx * glyph.scale / label.font->unitsPerEm(), 8);
        std::fprintf(file, "<path transform=\"translate(%s %s) scale(%s -%s)\" d=\"%s\"/>\n",
                     formatDecimal(glyph.penX, 4).c_str(),
                     formatDecimal(glyph.baselineY, 4).c_str(), scale.c_str(), scale.c_str(),
                     label.font->outlinePath(glyph.c).c_str());
    }
    std::fputs("</g>\n", file);
}

} // namespace

// The user units are the image's pixels, and the width and height in millimetres make the
// drawing print at the size the pixels stand for. Bars span the full height, so rows are taken
// in bands of identical rows: a barcode is one band and each bar one rectangle. Crisp edges keep
// a viewer from blurring bar edges that fall between its own pixels.
bool writeSvg(const Label& label, std::FILE* file)
{
    const MonoImage& image = label.image;
    const std::string widthMm = formatDecimal(pixelsToMm(image.width, image.dpi), 6);
    const std::string heightMm = formatDecimal(pixelsToMm(image.height, image.dpi), 6);
    std::fprintf(file,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%smm\" "
                 "height=\"%smm\" viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n"
                 "<rect width=\"%d\" height=\"%d\" fill=\"#ffffff\"/>\n"
                 "<g fill=\"#000000\">\n",
                 widthMm.c_str(), heightMm.c_str(), image.width, image.height, image.width,
                 image.height);
    int32_t y = 0;
    while (y < image.height) {
        int32_t bandEnd = y + 1;
        while (bandEnd < image.height && sameRows(image, y, bandEnd)) {
            ++bandEnd;
        }
        writeRuns(image, y, bandEnd - y, file);
        y = bandEnd;
    }
    writeText(label, file);
    std::fputs("</g>\n</svg>\n", file);
    return std::fflush(file) == 0 && std::ferror(file) == 0;
}

} // namespace lorvaxen::tool
