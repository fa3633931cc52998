#include "verify_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <png.h>

namespace lorvaxen::tool {
namespace {

using Colour = std::array<uint8_t, 3>;
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kGrid{225, 225, 225};
constexpr Colour kEdge{170, 170, 170};
constexpr Colour kThreshold{0, 90, 220};
constexpr Colour kFault{220, 0, 0};
constexpr Colour kFaultShade{255, 205, 205};

constexpr int kMargin = 10;
constexpr int kPlotHeight = 300; // 0 to 100% reflectance
constexpr int kMinPlotWidth = 800;
constexpr int kMaxPlotWidth = 4000; // a profile of more samples is drawn narrower

class Canvas
{
  public:
    Canvas(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 255)
    {
    }
    void set(int x, int y, const Colour& colour)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return;
        }
        std::ranges::copy(colour,
                          pixels_.begin() + (static_cast<std::ptrdiff_t>(y) * width_ + x) * 3);
    }
    void column(int x, int y0, int y1, const Colour& colour)
    {
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
            set(x, y, colour);
        }
    }
    void row(int y, int x0, int x1, const Colour& colour)
    {
        for (int x = x0; x <= x1; ++x) {
            set(x, y, colour);
        }
    }
    bool write(const std::string& path) const
    {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width_);
        image.height = static_cast<png_uint_32>(height_);
        image.format = PNG_FORMAT_RGB;
        const bool written =
            png_image_write_to_file(&image, path.c_str(), 0, pixels_.data(), 0, nullptr) != 0;
        png_image_free(&image);
        return written;
    }

  private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

} // namespace

std::string writeProfilePlot(const verifier::ScanResult& scan, const std::string& path)
{
    using verifier::Parameter;
    const auto& analysis = scan.analysis;
    const auto& elements = analysis.elements;
    const auto samples = static_cast<double>(std::max<std::size_t>(scan.profile.size(), 1));
    const int plotWidth =
        static_cast<int>(std::clamp(samples, double{kMinPlotWidth}, double{kMaxPlotWidth}));
    const double xScale = plotWidth / samples;
    Canvas canvas(plotWidth + 2 * kMargin, kPlotHeight + 2 * kMargin);
    const auto xAt = [&](double sample) {
        return kMargin + static_cast<int>(std::lround(sample * xScale));
    };
    const auto yAt = [](double reflectance) {
        return kMargin + static_cast<int>(std::lround((100 - reflectance) * kPlotHeight / 100));
    };
    const auto shade = [&](std::size_t first, std::size_t last) {
        for (int x = xAt(elements[first].start); x <= xAt(elements[last].end); ++x) {
            canvas.column(x, yAt(100), yAt(0), kFaultShade);
        }
    };

    // Where the lowest parameter fails, shaded behind everything else.
    const Parameter failing = scan.grade.lowest;
    const bool fails = scan.grade.grade < 4 && !elements.empty();
    const bool bars = analysis.hasBars;
    if (fails && (failing == Parameter::Decode || failing == Parameter::Decodability) && bars) {
        const auto& decoded = scan.decoded;
        const std::size_t first = analysis.firstBar + (decoded.ok ? decoded.worstFirst : 0);
        shade(first, decoded.ok ? first + decoded.worstCount - 1 : analysis.lastBar);
    } else if (fails &&
               (failing == Parameter::MinEdgeContrast || failing == Parameter::Modulation)) {
        const std::size_t at = std::max<std::size_t>(analysis.edgeContrastMinAt, 1);
        shade(at - 1, at);
    } else if (fails && failing == Parameter::Defects) {
        shade(analysis.nonUniformityMaxAt, analysis.nonUniformityMaxAt);
    } else if (fails && failing == Parameter::QuietZone && bars) {
        if (analysis.firstBar > 0) {
            shade(0, analysis.firstBar - 1);
        }
        if (analysis.lastBar + 1 < elements.size()) {
            shade(analysis.lastBar + 1, elements.size() - 1);
        }
    }
    for (int percent = 0; percent <= 100; percent += 25) {
        canvas.row(yAt(percent), kMargin, kMargin + plotWidth, kGrid);
    }
    for (std::size_t i = 1; i < elements.size(); ++i) {
        canvas.column(xAt(elements[i].start), yAt(100), yAt(0), kEdge);
    }
    canvas.row(yAt(analysis.threshold), kMargin, kMargin + plotWidth, kThreshold);
    if (fails && (failing == Parameter::SymbolContrast || failing == Parameter::MinReflectance)) {
        canvas.row(yAt(analysis.rMax), kMargin, kMargin + plotWidth, kFault);
        canvas.row(yAt(analysis.rMin), kMargin, kMargin + plotWidth, kFault);
    }
    // The profile, each sample at its centre, joined to the next by a vertical stroke.
    for (std::size_t i = 0; i < scan.profile.size(); ++i) {
        const double x = static_cast<double>(i) + 0.5;
        const int y = yAt(scan.profile[i]);
        const int next = i + 1 < scan.profile.size() ? yAt(scan.profile[i + 1]) : y;
        for (int px = xAt(x); px <= xAt(x + 1); ++px) {
            canvas.column(px, y, px == xAt(x + 1) ? next : y, kBlack);
        }
    }
    if (!canvas.write(path)) {
        return "cannot write the plot '" + path + "'";
    }
    return {};
}

} // namespace lorvaxen::tool
