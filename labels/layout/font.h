// The typeface of the human-readable text: OCR-B, drawn with FreeType.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mono_image.h"

namespace lorvaxen {

// One step of a glyph's outline in font units, y upwards: M, L (one point), Q (a control point
// and the end), C (two control points and the end) or Z (closes the contour).
struct OutlineCommand
{
    char op;
    std::array<double, 6> points;
    std::size_t pointCount() const { return op == 'Q' ? 2 : op == 'C' ? 3 : op == 'Z' ? 0 : 1; }
};

// One face, loaded once per run. Sizes are em sizes in pixels, which may be fractional.
class Font
{
  public:
    // The OCR-B face, loaded on first use; null, with `problem` set, when it cannot be loaded.
    static Font* ocrB(std::string* problem);

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // The em size at which the digits are `digitHeightPx` tall.
    double emForDigitHeight(double digitHeightPx) const;
    // How far the pen moves past `c` at `emPx`.
    double advance(char c, double emPx) const;
    // Paints `c` in black with its pen origin at (penX, baselineY), clipped to the image.
    void draw(MonoImage& image, char c, double penX, double baselineY, double emPx) const;
    // The outline of `c`, pen origin at (0, 0); and the same as SVG path data.
    std::vector<OutlineCommand> outline(char c) const;
    std::string outlinePath(char c) const;
    int unitsPerEm() const;

  private:
    struct Face;
    // A glyph as FreeType renders it at one size, kept for the next label of a batch.
    struct Rendered
    {
        int left = 0;
        int top = 0;
        int32_t width = 0;
        int32_t rows = 0;
        int32_t pitch = 0;
        std::vector<unsigned char> bits;
    };
    explicit Font(std::unique_ptr<Face> face);
    const Rendered& rendered(char c, long size) const;

    std::unique_ptr<Face> face_;
    mutable std::map<std::pair<char, long>, Rendered> rendered_;
    mutable std::map<char, long> advances_; // in font units
};

} // namespace lorvaxen
