#include <cstdio>
#include <string>

#include "writers.h"

namespace lorvaxen {
namespace {

std::string hex(const Colour& colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
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
                     formatDecimal(drawnY(label, glyph.baselineY), 4).c_str(), scale.c_str(),
                     scale.c_str(), label.font->outlinePath(glyph.c).c_str());
    }
    std::fputs("</g>\n", file);
}

// The turn about the origin, moved back onto the page: a point (x, y) of the picture goes to
// (height - y, x) at 90 degrees.
std::string turn(const Label& label)
{
    const std::string width = formatDecimal(label.image.width, 4);
    const std::string height = formatDecimal(drawnHeightPx(label), 4);
    switch (label.rotation) {
    case 90:
        return " transform=\"translate(" + height + " 0) rotate(90)\"";
    case 180:
        return " transform=\"translate(" + width + " " + height + ") rotate(180)\"";
    case 270:
        return " transform=\"translate(0 " + width + ") rotate(270)\"";
    default:
        return "";
    }
}

} // namespace

// The user units are the image's pixels, and the width and height in millimetres make the
// drawing print at the size the pixels stand for. Crisp edges keep a viewer from blurring bar
// edges that fall between its own pixels.
bool writeSvg(const Label& label, std::FILE* file)
{
    const MonoImage& image = label.image;
    const auto [width, height] = turnedSize(label, image.width, drawnHeightPx(label));
    std::fprintf(file,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%smm\" "
                 "height=\"%smm\" viewBox=\"0 0 %s %s\" shape-rendering=\"crispEdges\">\n",
                 formatDecimal(width * label.pixelMm, 6).c_str(),
                 formatDecimal(height * label.pixelMm, 6).c_str(), formatDecimal(width, 4).c_str(),
                 formatDecimal(height, 4).c_str());
    if (label.paint.background) {
        std::fprintf(file, "<rect width=\"%s\" height=\"%s\" fill=\"%s\"/>\n",
                     formatDecimal(width, 4).c_str(), formatDecimal(height, 4).c_str(),
                     hex(*label.paint.background).c_str());
    }
    std::fprintf(file, "<g fill=\"%s\"%s>\n", hex(label.paint.ink).c_str(), turn(label).c_str());
    for (const Rect& rect : barRects(label)) {
        std::fprintf(file, "<rect x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\"/>\n",
                     formatDecimal(rect.x, 4).c_str(), formatDecimal(rect.y, 4).c_str(),
                     formatDecimal(rect.width, 4).c_str(), formatDecimal(rect.height, 4).c_str());
    }
    writeText(label, file);
    std::fputs("</g>\n</svg>\n", file);
    return std::fflush(file) == 0 && std::ferror(file) == 0;
}

} // namespace lorvaxen
