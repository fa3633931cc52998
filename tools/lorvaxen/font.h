// The typeface of the human-readable text: OCR-B, drawn with FreeType.
#pragma once

#include <memory>
#include <string>

#include "mono_image.h"

namespace lorvaxen::tool {

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
    // The outline of `c` as SVG path data in font units, y upwards, pen origin at (0, 0).
    std::string outlinePath(char c) const;
    int unitsPerEm() const;

  private:
    struct Face;
    explicit Font(std::unique_ptr<Face> face);
    std::unique_ptr<Face> face_;
};

} // namespace lorvaxen::tool
