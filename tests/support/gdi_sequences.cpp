// Random sequences of graphics calls, made on the graphics and on the plain model of gdi_model.h.
#include "gdi_sequences.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include <windows.h>

#include "gdi_model.h"

namespace lorvaxen::test {
namespace {

// The same numbers from the same seed with every compiler and library (splitmix64).
class Random
{
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31U);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

  private:
    uint64_t state_;
};

std::string flag(bool value)
{
    return value ? "1" : "0";
}

std::string hex(const std::vector<uint8_t>& bytes)
{
    std::string out;
    char digits[3];
    for (const uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        out += digits;
    }
    return out;
}

class Sequence
{
  public:
    explicit Sequence(const SequenceOptions& options)
        : options_(options), random_(options.seed ^ 0x5EED0000ULL)
    {
        // The stock bitmap that a new memory device context holds, learnt by swapping it out.
        HDC probe = CreateCompatibleDC(nullptr);
        BitBlt(probe, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS); // as the model's starts
        HBITMAP bitmap = CreateCompatibleBitmap(probe, 8, 8);
        bitmaps_.push_back({static_cast<HBITMAP>(SelectObject(probe, bitmap)), {}});
        SelectObject(probe, bitmaps_[0].real);
        DeleteObject(bitmap);
        DeleteDC(probe);
    }

    Sequence(const Sequence&) = delete;
    Sequence& operator=(const Sequence&) = delete;

    ~Sequence()
    {
        for (const Dc& dc : dcs_) {
            DeleteDC(dc.real);
        }
        for (size_t i = 1; i < bitmaps_.size(); ++i) {
            DeleteObject(bitmaps_[i].real);
        }
    }

    // One step: a call made on both sides; `calls` and `model` get what each gave back.
    void step(std::string& calls, std::string& model)
    {
        const int choice = random_.below(100);
        if (dcs_.empty() || (choice < 4 && dcs_.size() < 4)) {
            makeDc(calls, model);
        } else if (choice < 6 && dcs_.size() > 1) {
            deleteDc(calls, model);
        } else if (bitmaps_.size() == 1 || (choice < 12 && bitmaps_.size() < 7)) {
            makeBitmap(calls, model);
        } else if (choice < 16) {
            deleteBitmap(calls, model);
        } else if (choice < 30) {
            select(calls, model);
        } else if (choice < 45) {
            fillRect(calls, model);
        } else if (choice < 92) {
            bitBlt(calls, model);
        } else {
            const size_t index = pick(bitmaps_.size());
            read(index, calls, model);
        }
    }

  private:
    struct Bitmap
    {
        HBITMAP real;
        ModelBitmap model;
    };
    struct Dc
    {
        HDC real;
        size_t bitmap; // index into bitmaps_, 0 the stock one
    };

    size_t pick(size_t count)
    {
        return static_cast<size_t>(random_.below(static_cast<int>(count)));
    }

    std::string nameOf(HGDIOBJ handle) const
    {
        if (handle == nullptr) {
            return "null";
        }
        for (size_t i = 0; i < bitmaps_.size(); ++i) {
            if (bitmaps_[i].real == handle) {
                return "b" + std::to_string(i);
            }
        }
        return "unknown";
    }

    // A coordinate near a bitmap of `extent` pixels, or far from it.
    int coordinate(int extent)
    {
        switch (random_.below(options_.extremes ? 24 : 20)) {
        case 0:
            return -random_.below(1 << 20);
        case 1:
            return random_.below(1 << 20);
        case 20:
            return INT_MIN + random_.below(2);
        case 21:
            return INT_MAX - random_.below(2);
        default:
            return random_.below(extent + 16) - 8;
        }
    }

    // A coordinate `offset` from another, kept to what an int holds.
    static int beside(int coordinate, int offset)
    {
        return static_cast<int>(
            std::clamp<int64_t>(int64_t{coordinate} + offset, INT_MIN, INT_MAX));
    }

    // A size for a bitmap of `extent` pixels: often all of it, or all but a pixel; or one that
    // counts back from the corner.
    int size(int extent)
    {
        switch (random_.below(options_.extremes ? 12 : 10)) {
        case 0:
        case 1:
            return extent;
        case 2:
            return extent - 1;
        case 3:
            return random_.below(1 << 20);
        case 4:
            return -random_.below(extent + 8);
        case 10:
            return INT_MAX - random_.below(2);
        case 11:
            return INT_MIN + random_.below(2);
        default:
            return random_.below(extent + 8);
        }
    }

    void makeDc(std::string& calls, std::string& model)
    {
        HDC dc = CreateCompatibleDC(nullptr);
        calls += "CreateCompatibleDC -> " + std::string(dc != nullptr ? "dc" : "null");
        model += "CreateCompatibleDC -> dc";
        if (dc != nullptr) {
            dcs_.push_back({dc, 0});
        }
    }

    void deleteDc(std::string& calls, std::string& model)
    {
        const size_t index = pick(dcs_.size());
        const std::string what = "DeleteDC d" + std::to_string(index) + " -> ";
        calls += what + flag(DeleteDC(dcs_[index].real) != FALSE);
        model += what + "1";
        bitmaps_[dcs_[index].bitmap].model.selectedInto = -1;
        dcs_.erase(dcs_.begin() + static_cast<std::ptrdiff_t>(index));
        for (Bitmap& bitmap : bitmaps_) {
            if (bitmap.model.selectedInto > static_cast<int>(index)) {
                --bitmap.model.selectedInto;
            }
        }
    }

    void makeBitmap(std::string& calls, std::string& model)
    {
        const int width = 1 + random_.below(options_.maxWidth);
        const int height = 1 + random_.below(options_.maxHeight);
        HBITMAP bitmap = CreateCompatibleBitmap(dcs_[pick(dcs_.size())].real, width, height);
        const std::string what =
            "CreateCompatibleBitmap " + std::to_string(width) + "x" + std::to_string(height);
        calls += what + " -> " + (bitmap != nullptr ? "bitmap" : "null");
        model += what + " -> bitmap";
        if (bitmap == nullptr) {
            return;
        }
        ModelBitmap made;
        made.width = width;
        made.height = height;
        made.white.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        bitmaps_.push_back({bitmap, made});
        read(bitmaps_.size() - 1, calls, model);
    }

    void deleteBitmap(std::string& calls, std::string& model)
    {
        const size_t index = 1 + pick(bitmaps_.size() - 1);
        const bool selected = bitmaps_[index].model.selectedInto >= 0;
        if (selected && !options_.extremes) {
            return;
        }
        const std::string what = "DeleteObject b" + std::to_string(index) + " -> ";
        const bool deleted = DeleteObject(bitmaps_[index].real) != FALSE;
        calls += what + flag(deleted);
        model += what + flag(!selected);
        if (deleted) {
            bitmaps_.erase(bitmaps_.begin() + static_cast<std::ptrdiff_t>(index));
            for (Dc& dc : dcs_) {
                dc.bitmap -= dc.bitmap > index ? 1 : 0;
            }
        }
    }

    void select(std::string& calls, std::string& model)
    {
        const size_t dc = pick(dcs_.size());
        const size_t bitmap = pick(bitmaps_.size());
        const std::string what =
            "SelectObject d" + std::to_string(dc) + " b" + std::to_string(bitmap) + " -> ";
        calls += what + nameOf(SelectObject(dcs_[dc].real, bitmaps_[bitmap].real));
        ModelBitmap& chosen = bitmaps_[bitmap].model;
        const size_t previous = dcs_[dc].bitmap;
        if (bitmap != 0 && bitmap != previous && chosen.selectedInto >= 0) {
            model += what + "null";
            return;
        }
        model += what + "b" + std::to_string(previous);
        bitmaps_[previous].model.selectedInto = -1;
        chosen.selectedInto = bitmap == 0 ? -1 : static_cast<int>(dc);
        dcs_[dc].bitmap = bitmap;
    }

    void fillRect(std::string& calls, std::string& model)
    {
        const size_t dc = pick(dcs_.size());
        ModelBitmap& target = bitmaps_[dcs_[dc].bitmap].model;
        const RECT rect{coordinate(target.width), coordinate(target.height),
                        coordinate(target.width), coordinate(target.height)};
        const bool white = random_.chance(50);
        const std::string what = "FillRect d" + std::to_string(dc) + " " +
                                 std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                                 std::to_string(rect.right) + "," + std::to_string(rect.bottom) +
                                 (white ? " white" : " black") + " -> ";
        calls += what + flag(FillRect(dcs_[dc].real, &rect,
                                      static_cast<HBRUSH>(
                                          GetStockObject(white ? WHITE_BRUSH : BLACK_BRUSH))) != 0);
        model += what + "1";
        modelFill(target, rect.left, rect.top, rect.right, rect.bottom, white);
        read(dcs_[dc].bitmap, calls, model);
    }

    void bitBlt(std::string& calls, std::string& model)
    {
        const size_t dc = pick(dcs_.size());
        ModelBitmap& target = bitmaps_[dcs_[dc].bitmap].model;
        // Bars: from the top to the bottom, as the library paints them, or nearly.
        const bool bar = random_.chance(40);
        const int x = coordinate(target.width);
        const int y = bar ? -random_.below(2) : coordinate(target.height);
        const int cx = bar ? 1 + random_.below(12) : size(target.width);
        const int cy = bar ? target.height - y - random_.below(2) : size(target.height);
        static constexpr DWORD kOperations[] = {SRCCOPY, BLACKNESS, WHITENESS};
        const DWORD operation = kOperations[random_.below(3)];
        // A copy from this or another device context, at a place near or far.
        const size_t source = operation == SRCCOPY && random_.chance(70) ? dc : pick(dcs_.size());
        const ModelBitmap& from = bitmaps_[dcs_[source].bitmap].model;
        const bool nearby = random_.chance(60);
        // Wine copies within one bitmap wrongly where the copy moves pixels sideways by part of a
        // byte and the two rectangles meet; the recorded sequence moves such copies up or down.
        const int sideways = !options_.extremes && source == dc ? 0 : random_.below(5) - 2;
        const int x1 = nearby ? beside(x, sideways) : coordinate(from.width);
        const int y1 = nearby ? beside(y, random_.below(3) - 1) : coordinate(from.height);
        const std::string what = "BitBlt d" + std::to_string(dc) + " " + std::to_string(x) + "," +
                                 std::to_string(y) + " " + std::to_string(cx) + "x" +
                                 std::to_string(cy) + " d" + std::to_string(source) + " " +
                                 std::to_string(x1) + "," + std::to_string(y1) + " " +
                                 (operation == SRCCOPY     ? "SRCCOPY"
                                  : operation == BLACKNESS ? "BLACKNESS"
                                                           : "WHITENESS") +
                                 " -> ";
        calls += what + flag(BitBlt(dcs_[dc].real, x, y, cx, cy, dcs_[source].real, x1, y1,
                                    operation) != FALSE);
        model += what + "1";
        if (operation == SRCCOPY) {
            modelCopy(target, from, x, y, cx, cy, x1, y1);
        } else {
            modelFill(target, x, y, int64_t{x} + cx, int64_t{y} + cy, operation == WHITENESS);
        }
        read(dcs_[dc].bitmap, calls, model);
    }

    // The bitmap's size and bits, read back.
    void read(size_t index, std::string& calls, std::string& model)
    {
        const ModelBitmap& expected = bitmaps_[index].model;
        BITMAP info{};
        GetObject(bitmaps_[index].real, sizeof info, &info);
        std::vector<uint8_t> bits(static_cast<size_t>(info.bmWidthBytes) *
                                  static_cast<size_t>(std::max<LONG>(info.bmHeight, 0)));
        const LONG got =
            GetBitmapBits(bitmaps_[index].real, static_cast<LONG>(bits.size()), bits.data());
        bits.resize(static_cast<size_t>(std::max<LONG>(got, 0)));
        const std::string what = "; b" + std::to_string(index) + " ";
        calls += what + std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight) + "x" +
                 std::to_string(info.bmBitsPixel) + " " + hex(bits);
        model += what + std::to_string(expected.width) + "x" + std::to_string(expected.height) +
                 "x1 " + hex(expected.bits());
    }

    SequenceOptions options_;
    Random random_;
    std::vector<Bitmap> bitmaps_; // the stock bitmap first
    std::vector<Dc> dcs_;
};

} // namespace

bool runSequence(
    const SequenceOptions& options,
    const std::function<bool(const std::string& calls, const std::string& model)>& check)
{
    Sequence sequence(options);
    for (int step = 0; step < options.steps; ++step) {
        std::string calls = std::to_string(step) + " ";
        std::string model = calls;
        sequence.step(calls, model);
        if (!check(calls, model)) {
            return false;
        }
    }
    return true;
}

} // namespace lorvaxen::test
