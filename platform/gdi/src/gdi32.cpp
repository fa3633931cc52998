// The graphics stand-in: device contexts and bitmaps behind checked handles.
//
// Objects live in a fixed table of slots, one for each object the process quota allows. A handle
// names its slot and that slot's generation, so a lookup is one index and one comparison, and a
// deleted handle, whose slot has moved on to a later generation or stands empty, fails cleanly.
// Only creating and deleting take a lock, that of one of a few shards of slots, each thread
// preferring a shard of its own; drawing takes none, so threads that draw with device contexts and
// bitmaps of their own seldom wait for each other.
//
// Every row of a barcode is the same, and most bitmaps here are painted only by fills that run from
// the top row to the bottom one. A monochrome bitmap therefore keeps a single row for as long as
// all its rows are alike, and paints and copies that row alone; the first operation that makes the
// rows differ gives every row its own bytes. Whoever reads the bits sees every row either way.

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace {

constexpr int kProcessObjectQuota = 10000;           // Windows' default GDI handle quota
constexpr int64_t kMaxBitmapBits = int64_t{1} << 31; // larger bitmaps are refused, not allocated
constexpr int kScreenDpi = 96;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

using HandleValue = uintptr_t;

struct Bitmap
{
    int32_t width = 1;
    int32_t height = 1;
    // 1 for a monochrome bitmap; 32 for a colour DIB section, four bytes a pixel (blue, green, red,
    // unused) with rows from the top.
    int32_t bitsPixel = 1;
    int32_t widthBytes = 2; // monochrome rows are padded to a 2-byte boundary, as GetBitmapBits
                            // hands them out
    // True while every row is the same and `bits` holds that one row; false once `bits` holds
    // every row. A colour surface always holds every row: its caller writes them directly.
    bool rowsShared = true;
    // A new bitmap is black, as the zeroed memory of a fresh Windows bitmap usually is: whatever is
    // not painted shows.
    std::vector<uint8_t> bits = std::vector<uint8_t>(2, 0x00);
    // The device context that holds the bitmap. Taken and let go through std::atomic_ref, so that
    // of two contexts selecting the same bitmap at once only one gets it.
    HandleValue selectedInto = 0;

    uint8_t* row(int32_t y)
    {
        return bits.data() + (rowsShared ? 0 : static_cast<size_t>(y) * widthBytes);
    }
    const uint8_t* row(int32_t y) const
    {
        return bits.data() + (rowsShared ? 0 : static_cast<size_t>(y) * widthBytes);
    }
    size_t totalBytes() const { return static_cast<size_t>(widthBytes) * height; }
};

struct DeviceContext
{
    bool isMemory = false;
    int dpiX = kScreenDpi;
    int dpiY = kScreenDpi;
    int rasterCaps = RC_BITBLT;
    int horzRes = kScreenWidth;
    int vertRes = kScreenHeight;
    HandleValue bitmap = 0; // the bitmap selected into a memory device context
    // That bitmap itself, found once when it is selected: a selected bitmap cannot be deleted, and
    // a slot's object stays where it is, so drawing needs no second lookup.
    Bitmap* surface = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
};

struct Brush
{
    bool white = true;
};

// Stock objects have fixed handle values below the first one handed out for created objects, and
// the first slots of the table.
constexpr HandleValue kWhiteBrushHandle = 0x100;
constexpr HandleValue kBlackBrushHandle = 0x104;
constexpr HandleValue kDefaultBitmapHandle = 0x108;
constexpr HandleValue kFirstCreatedHandle = 0x1000;
constexpr size_t kStockSlots = 3;

// A created object's handle: its generation above its slot, both above the two low bits that
// Windows keeps clear. Generations start at 1, so every such handle lies above the stock ones.
constexpr int kSlotBits = 14;
constexpr size_t kSlotCount = kStockSlots + kProcessObjectQuota;
static_assert(kSlotCount <= (size_t{1} << kSlotBits));
constexpr size_t kShards = 64; // many more than threads at work, each with a lock of its own
constexpr size_t kSlotsPerShard = (kSlotCount + kShards - 1) / kShards;
static_assert((HandleValue{1} << (kSlotBits + 2)) > kFirstCreatedHandle);

using Object = std::variant<std::monostate, Bitmap, DeviceContext, Brush>;

// On cache lines of its own, so that threads drawing with objects of their own never write to a
// line that another thread reads, the stock objects' included.
struct alignas(64) Slot
{
    std::atomic<HandleValue> handle{0}; // 0 while the slot is free
    Object object;
    HandleValue generation = 0;
};

class ObjectTable
{
  public:
    ObjectTable()
    {
        slots_[0].object.emplace<Brush>(Brush{true});
        slots_[1].object.emplace<Brush>(Brush{false});
        // The stock bitmap keeps its one row as its own, never shared, so that painting it always
        // goes the way that takes its lock.
        slots_[2].object.emplace<Bitmap>().rowsShared = false;
        slots_[0].handle = kWhiteBrushHandle;
        slots_[1].handle = kBlackBrushHandle;
        slots_[2].handle = kDefaultBitmapHandle;
        for (size_t slot = kSlotCount; slot > kStockSlots; --slot) {
            Shard& shard = shards_[shardOf(slot - 1)];
            shard.freeSlots.reserve(kSlotsPerShard);
            shard.freeSlots.push_back(slot - 1);
        }
    }

    // The object behind `handle` if it is alive and a T, else null. Takes no lock: a handle that a
    // thread holds is deleted by that thread, never under it.
    template <class T> T* find(HandleValue handle)
    {
        Slot* slot = slotOf(handle);
        if (slot == nullptr || slot->handle.load(std::memory_order_acquire) != handle) {
            return nullptr;
        }
        return std::get_if<T>(&slot->object);
    }

    // Moves an object into a free slot and returns its handle; 0 when the process quota is used up.
    // A thread takes its slots from a shard of its own, so that threads making and deleting
    // objects at once seldom wait for one lock or write to one cache line. A first round takes
    // only a shard that no other thread holds, and each time it meets one held, or one used up,
    // moves this thread on to the next shard for good: threads that meet soon part. A second round
    // waits for each lock in turn. There are as many slots as the quota allows objects, so the
    // quota is used up when that round finds no free slot.
    template <class T> HandleValue add(T object)
    {
        size_t& ownShard = threadShard();
        for (size_t tried = 0; tried < kShards; ++tried) {
            Shard& shard = shards_[ownShard];
            const std::unique_lock lock(shard.mutex, std::try_to_lock);
            if (lock.owns_lock() && !shard.freeSlots.empty()) {
                return place(shard, std::move(object));
            }
            ownShard = (ownShard + 1) % kShards;
        }
        for (size_t tried = 0; tried < kShards; ++tried) {
            Shard& shard = shards_[(ownShard + tried) % kShards];
            const std::lock_guard lock(shard.mutex);
            if (!shard.freeSlots.empty()) {
                return place(shard, std::move(object));
            }
        }
        return 0;
    }

    // Frees the slot of a live object that passes `mayGo`; false for stock objects and dead or
    // refused handles.
    template <class T, class Check> bool remove(HandleValue handle, Check mayGo)
    {
        if (isStock(handle) || slotOf(handle) == nullptr) {
            return false;
        }
        const auto index = static_cast<size_t>(slotIndex(handle));
        // Moved out and released after the lock: a bitmap's rows go back to the heap unhurried.
        std::optional<T> gone;
        Shard& shard = shards_[shardOf(index)];
        const std::lock_guard lock(shard.mutex);
        T* object = find<T>(handle);
        if (object == nullptr || !mayGo(*object)) {
            return false;
        }
        Slot& slot = slots_[index];
        slot.handle.store(0, std::memory_order_release);
        gone.emplace(std::move(*object));
        slot.object.emplace<std::monostate>();
        shard.freeSlots.push_back(index);
        return true;
    }

    static bool isStock(HandleValue handle) { return handle < kFirstCreatedHandle; }

    int liveCount()
    {
        size_t free = 0;
        for (Shard& shard : shards_) {
            const std::lock_guard lock(shard.mutex);
            free += shard.freeSlots.size();
        }
        return static_cast<int>(kSlotCount - kStockSlots - free);
    }

    // Painting the stock bitmap, which every new memory device context holds, is the one drawing
    // that threads share.
    std::mutex& stockBitmapMutex() { return stockBitmapMutex_; }

  private:
    static HandleValue slotIndex(HandleValue handle)
    {
        if (isStock(handle)) {
            return (handle - kWhiteBrushHandle) / 4;
        }
        return (handle >> 2) & ((HandleValue{1} << kSlotBits) - 1);
    }

    Slot* slotOf(HandleValue handle)
    {
        if (isStock(handle) &&
            (handle < kWhiteBrushHandle || handle > kDefaultBitmapHandle || handle % 4 != 0)) {
            return nullptr;
        }
        const HandleValue index = slotIndex(handle);
        return index < kSlotCount ? &slots_[index] : nullptr;
    }

    static size_t shardOf(size_t index) { return index / kSlotsPerShard; }

    // The shard the calling thread takes its slots from, whatever the kind of object: each thread
    // the next in turn when it first makes one. With many more shards than threads at work, two
    // threads meet at one only when dozens of others were started between them.
    size_t& threadShard()
    {
        thread_local size_t shard = nextShard_.fetch_add(1, std::memory_order_relaxed) % kShards;
        return shard;
    }

    // A run of slots with the lock that guards their making and unmaking, on a cache line of its
    // own.
    struct alignas(64) Shard
    {
        std::mutex mutex;
        std::vector<size_t> freeSlots;
    };

    // Moves an object into the last free slot of a shard whose lock the caller holds.
    template <class T> HandleValue place(Shard& shard, T&& object)
    {
        const size_t index = shard.freeSlots.back();
        shard.freeSlots.pop_back();
        Slot& slot = slots_[index];
        slot.object.emplace<std::decay_t<T>>(std::forward<T>(object));
        ++slot.generation;
        const HandleValue handle = ((slot.generation << kSlotBits) | index) << 2;
        slot.handle.store(handle, std::memory_order_release);
        return handle;
    }

    std::array<Shard, kShards> shards_;
    std::atomic<size_t> nextShard_{0};
    std::mutex stockBitmapMutex_;
    std::array<Slot, kSlotCount> slots_; // in place, so that finding a slot reads no pointer first
};

// Made as the library loads, before any call can reach it; a global rather than a function's static
// so that drawing calls do not pass a guard to reach it.
ObjectTable gObjects; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

ObjectTable& table()
{
    return gObjects;
}

template <class Handle> HandleValue valueOf(Handle handle)
{
    return reinterpret_cast<HandleValue>(handle); // NOLINT(*-reinterpret-cast): handles are ids
}

template <class Handle> Handle handleOf(HandleValue value)
{
    return reinterpret_cast<Handle>(value); // NOLINT(*-reinterpret-cast,performance-no-int-to-ptr)
}

template <class T> T* find(HDC hdc)
{
    return table().find<T>(valueOf(hdc));
}

// The bitmap a device context draws into, or null for a device without a surface.
Bitmap* surfaceOf(const DeviceContext* context)
{
    return context == nullptr ? nullptr : context->surface;
}

// A rectangle of pixels, clipped to a bitmap; empty when nothing of it lies inside.
struct PixelSpan
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool empty() const { return left >= right || top >= bottom; }
};

PixelSpan clip(const Bitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return PixelSpan{static_cast<int32_t>(std::clamp<int64_t>(left, 0, bitmap.width)),
                     static_cast<int32_t>(std::clamp<int64_t>(top, 0, bitmap.height)),
                     static_cast<int32_t>(std::clamp<int64_t>(right, 0, bitmap.width)),
                     static_cast<int32_t>(std::clamp<int64_t>(bottom, 0, bitmap.height))};
}

// Copies the first `filled` bytes of `out` over the rest of its `total`, doubling each time: `out`
// repeats one row, and `filled` is a whole number of rows.
void repeatRows(uint8_t* out, size_t filled, size_t total)
{
    while (filled > 0 && filled < total) {
        const size_t count = std::min(filled, total - filled);
        std::memcpy(out + filled, out, count);
        filled += count;
    }
}

// Gives every row of a bitmap its own bytes, copies of the one they shared. False when the memory
// cannot be had; the bitmap is then as it was.
bool materialise(Bitmap& bitmap) noexcept
{
    if (!bitmap.rowsShared) {
        return true;
    }
    try {
        std::vector<uint8_t> rows(bitmap.totalBytes());
        std::copy(bitmap.bits.begin(), bitmap.bits.end(), rows.begin());
        repeatRows(rows.data(), bitmap.bits.size(), rows.size());
        bitmap.bits = std::move(rows);
        bitmap.rowsShared = false;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool pixel(const Bitmap& bitmap, int32_t x, int32_t y)
{
    return ((bitmap.row(y)[x / 8] >> (7 - x % 8)) & 1) != 0;
}

void setPixel(Bitmap& bitmap, int32_t x, int32_t y, bool white)
{
    auto& byte = bitmap.row(y)[x / 8];
    const auto mask = static_cast<uint8_t>(0x80U >> (x % 8));
    byte = white ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
}

// Paints pixels [left, right) of one monochrome row in one colour: partial bytes at the two edges,
// whole bytes between them. The span is not empty. Every bar of a barcode comes here once, and
// most lie within one byte, so that case comes first and blends its byte without a branch.
inline void fillRow(uint8_t* row, uint32_t left, uint32_t right, bool white)
{
    const unsigned fill = white ? 0xFFU : 0x00U;
    const auto paint = [fill](uint8_t& byte, unsigned mask) {
        byte = static_cast<uint8_t>(byte ^ ((byte ^ fill) & mask));
    };
    const uint32_t firstByte = left / 8;
    const uint32_t end = right - firstByte * 8; // where the span ends, counted from its first byte
    const unsigned leftMask = 0xFFU >> (left % 8);
    if (end <= 8) {
        paint(row[firstByte], leftMask & ~(0xFFU >> end));
        return;
    }
    const uint32_t lastByte = (right - 1) / 8;
    paint(row[firstByte], leftMask);
    std::fill(row + firstByte + 1, row + lastByte, static_cast<uint8_t>(fill));
    paint(row[lastByte], ~(0xFFU >> (1 + (right - 1) % 8)));
}

// Paints a clipped, non-empty span of a monochrome bitmap in one colour, row by row.
void fillSpan(Bitmap& bitmap, const PixelSpan& span, bool white)
{
    for (int32_t y = span.top; y < span.bottom; ++y) {
        fillRow(bitmap.row(y), static_cast<uint32_t>(span.left), static_cast<uint32_t>(span.right),
                white);
    }
}

void setColourPixel(Bitmap& bitmap, int32_t x, int32_t y, COLORREF colour)
{
    uint8_t* pixel = bitmap.row(y) + static_cast<size_t>(x) * 4;
    pixel[0] = GetBValue(colour);
    pixel[1] = GetGValue(colour);
    pixel[2] = GetRValue(colour);
    pixel[3] = 0;
}

// Paints a clipped span black or white, whatever the bitmap's format; shared rows get their own
// bytes first. False when those cannot be had.
bool paintSpan(Bitmap& bitmap, const PixelSpan& span, bool white)
{
    if (span.empty()) {
        return true;
    }
    if (bitmap.bitsPixel == 1) {
        if (!materialise(bitmap)) {
            return false;
        }
        fillSpan(bitmap, span, white);
        return true;
    }
    const COLORREF colour = white ? RGB(255, 255, 255) : RGB(0, 0, 0);
    for (int32_t y = span.top; y < span.bottom; ++y) {
        for (int32_t x = span.left; x < span.right; ++x) {
            setColourPixel(bitmap, x, y, colour);
        }
    }
    return true;
}

// A rectangle from the top row to the bottom one of a bitmap whose rows are still one, the case of
// every bar of a barcode, takes the shortest way: it paints that one row, clipped to the width.
// False, having done nothing, for any other rectangle or surface.
inline bool paintSharedRow(const DeviceContext& context, int64_t left, int64_t top, int64_t right,
                           int64_t bottom, bool white)
{
    Bitmap* surface = context.surface;
    if (surface == nullptr || !surface->rowsShared || top > 0 || bottom < surface->height) {
        return false;
    }
    // Clipped to the width; a span that lies beyond either edge comes out empty.
    const int64_t from = std::max<int64_t>(left, 0);
    const int64_t to = std::min<int64_t>(right, surface->width);
    if (from < to) {
        fillRow(surface->bits.data(), static_cast<uint32_t>(from), static_cast<uint32_t>(to),
                white);
    }
    return true;
}

// Paints a rectangle of a device context's surface; the stock bitmap, which any new memory device
// context may hold, under its lock.
bool paintRect(const DeviceContext& context, int64_t left, int64_t top, int64_t right,
               int64_t bottom, bool white)
{
    Bitmap* surface = surfaceOf(&context);
    if (surface == nullptr) {
        return true; // a device without a surface of its own keeps nothing that is drawn
    }
    if (paintSharedRow(context, left, top, right, bottom, white)) {
        return true;
    }
    const auto span = clip(*surface, left, top, right, bottom);
    if (context.bitmap == kDefaultBitmapHandle) {
        const std::lock_guard lock(table().stockBitmapMutex());
        return paintSpan(*surface, span, white);
    }
    return paintSpan(*surface, span, white);
}

// Sets one of a device context's two colours and returns the one it replaces.
COLORREF replaceColour(HDC hdc, COLORREF DeviceContext::*colour, COLORREF value)
{
    auto* context = find<DeviceContext>(hdc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->*colour, value);
}

// A rectangle as the copying calls take it: a corner and a size.
struct Area
{
    int x;
    int y;
    int cx;
    int cy;
};

// Copies pixels [from, from + count) of a monochrome row to [to, to + count) of another: whole
// bytes where the two start at the same place within a byte, pixel by pixel elsewhere.
void copyRowBits(const uint8_t* source, int32_t from, uint8_t* target, int32_t to, int32_t count)
{
    if (from % 8 != to % 8) {
        for (int32_t i = 0; i < count; ++i) {
            const bool white = ((source[(from + i) / 8] >> (7 - (from + i) % 8)) & 1) != 0;
            auto& byte = target[(to + i) / 8];
            const auto mask = static_cast<uint8_t>(0x80U >> ((to + i) % 8));
            byte = white ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
        }
        return;
    }
    const uint8_t* in = source + (from / 8 - to / 8);
    const int32_t firstByte = to / 8;
    const int32_t lastByte = (to + count - 1) / 8;
    auto leftMask = static_cast<uint8_t>(0xFFU >> (to % 8));
    const auto rightMask = static_cast<uint8_t>(0xFFU << (7 - (to + count - 1) % 8));
    if (firstByte == lastByte) {
        leftMask &= rightMask;
    }
    const auto blend = [](uint8_t kept, uint8_t copied, uint8_t mask) {
        return static_cast<uint8_t>((kept & ~mask) | (copied & mask));
    };
    target[firstByte] = blend(target[firstByte], in[firstByte], leftMask);
    if (lastByte > firstByte) {
        std::memcpy(target + firstByte + 1, in + firstByte + 1,
                    static_cast<size_t>(lastByte - firstByte - 1));
        target[lastByte] = blend(target[lastByte], in[lastByte], rightMask);
    }
}

// Copies a monochrome bitmap's pixels onto a device context's surface: each pixel of the
// destination area takes the source pixel that its place maps onto in the source area, and only
// the part inside both bitmaps changes. Onto a colour surface the black bits take the
// destination's text colour and the white bits its background colour. False when the source is
// not a device context or not monochrome, or when the memory to paint cannot be had.
bool copyPixels(const DeviceContext& destination, Area to, HDC hdcSrc, Area from)
{
    const auto* sourceContext = find<DeviceContext>(hdcSrc);
    if (sourceContext == nullptr) {
        return false;
    }
    Bitmap* target = surfaceOf(&destination);
    const Bitmap* source = surfaceOf(sourceContext);
    if (source != nullptr && source->bitsPixel != 1) {
        return false; // only monochrome bitmaps are copied from
    }
    if (target == nullptr || source == nullptr) {
        return true; // a device without a surface of its own keeps nothing that is drawn
    }
    auto span = clip(*target, to.x, to.y, int64_t{to.x} + to.cx, int64_t{to.y} + to.cy);
    if (span.empty()) {
        return true;
    }
    // Where no pixel is stretched across, and every destination row comes from the same source
    // row or from rows that are all alike, one row is copied: into the shared row when the copy
    // runs from the top to the bottom, else into each row.
    const bool oneSourceRow = from.cy == 1 || source->rowsShared;
    if (target->bitsPixel == 1 && target != source && from.cx == to.cx && oneSourceRow &&
        from.y >= 0 && int64_t{from.y} + from.cy <= source->height) {
        span.left = static_cast<int32_t>(std::max<int64_t>(span.left, int64_t{to.x} - from.x));
        span.right = static_cast<int32_t>(
            std::min<int64_t>(span.right, int64_t{to.x} - from.x + source->width));
        if (span.empty() || from.cy == 0) {
            return true;
        }
        const bool wholeHeight = span.top == 0 && span.bottom == target->height;
        if (!(target->rowsShared && wholeHeight) && !materialise(*target)) {
            return false;
        }
        const int32_t rows = target->rowsShared ? 1 : span.bottom - span.top;
        const auto sourceLeft = static_cast<int32_t>(int64_t{from.x} + (span.left - to.x));
        for (int32_t row = 0; row < rows; ++row) {
            copyRowBits(source->row(from.y), sourceLeft, target->row(span.top + row), span.left,
                        span.right - span.left);
        }
        return true;
    }
    if (!materialise(*target)) {
        return false;
    }
    const COLORREF black = destination.textColor;
    const COLORREF white = destination.bkColor;
    for (int32_t ty = span.top; ty < span.bottom; ++ty) {
        const int64_t sy = from.y + (int64_t{ty} - to.y) * from.cy / to.cy;
        for (int32_t tx = span.left; tx < span.right; ++tx) {
            const int64_t sx = from.x + (int64_t{tx} - to.x) * from.cx / to.cx;
            if (sx >= 0 && sy >= 0 && sx < source->width && sy < source->height) {
                const bool isWhite =
                    pixel(*source, static_cast<int32_t>(sx), static_cast<int32_t>(sy));
                if (target->bitsPixel == 1) {
                    setPixel(*target, tx, ty, isWhite);
                } else {
                    setColourPixel(*target, tx, ty, isWhite ? white : black);
                }
            }
        }
    }
    return true;
}

// BitBlt's every case: black or white fills, and copies; false when it fails. Out of line, so that
// the bars' way through BitBlt stays short.
[[gnu::noinline]] bool blit(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1,
                            DWORD rop)
{
    const auto* destination = find<DeviceContext>(hdc);
    if (destination == nullptr) {
        return false;
    }
    if (rop == BLACKNESS || rop == WHITENESS) {
        return paintRect(*destination, x, y, int64_t{x} + cx, int64_t{y} + cy, rop == WHITENESS);
    }
    return rop == SRCCOPY && copyPixels(*destination, {x, y, cx, cy}, hdcSrc, {x1, y1, cx, cy});
}

HDC addDeviceContext(const DeviceContext& context)
{
    return handleOf<HDC>(table().add(context));
}

} // namespace

extern "C" {

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    const auto* context = find<DeviceContext>(hdc);
    if (context == nullptr) {
        return 0;
    }
    switch (index) {
    case HORZRES:
        return context->horzRes;
    case VERTRES:
        return context->vertRes;
    case BITSPIXEL:
        return context->isMemory ? 1 : 32;
    case PLANES:
        return 1;
    case RASTERCAPS:
        return context->rasterCaps;
    case LOGPIXELSX:
        return context->dpiX;
    case LOGPIXELSY:
        return context->dpiY;
    default:
        return 0;
    }
}

HDC CreateReferenceDC(int dpiX, int dpiY, int rasterCaps)
{
    // No device has a resolution of zero or fewer pixels an inch.
    if (dpiX <= 0 || dpiY <= 0) {
        return nullptr;
    }
    DeviceContext context;
    context.dpiX = dpiX;
    context.dpiY = dpiY;
    context.rasterCaps = rasterCaps;
    return addDeviceContext(context);
}

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    DeviceContext context; // a null device context means the screen
    if (hdc != nullptr) {
        const auto* source = find<DeviceContext>(hdc);
        if (source == nullptr) {
            return nullptr;
        }
        // The same device; the drawing state, colours included, starts afresh.
        context.dpiX = source->dpiX;
        context.dpiY = source->dpiY;
        context.rasterCaps = source->rasterCaps;
        context.horzRes = source->horzRes;
        context.vertRes = source->vertRes;
    }
    // A new memory device context holds the stock 1 x 1 monochrome bitmap.
    context.isMemory = true;
    context.bitmap = kDefaultBitmapHandle;
    context.surface = table().find<Bitmap>(kDefaultBitmapHandle);
    return addDeviceContext(context);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    const auto* context = find<DeviceContext>(hdc);
    if (context == nullptr || cx < 0 || cy < 0) {
        return nullptr;
    }
    if (cx == 0 || cy == 0) {
        // Windows answers an empty size with its stock 1 x 1 monochrome bitmap.
        return handleOf<HBITMAP>(kDefaultBitmapHandle);
    }
    // Windows would match a colour surface's format; the stand-in makes monochrome bitmaps only,
    // so it refuses rather than hand out the wrong kind.
    if (const auto* surface = surfaceOf(context); surface != nullptr && surface->bitsPixel != 1) {
        return nullptr;
    }
    if (int64_t{cx} * cy > kMaxBitmapBits) {
        return nullptr;
    }
    try {
        const int32_t widthBytes = (cx + 15) / 16 * 2;
        return handleOf<HBITMAP>(table().add(Bitmap{
            .width = cx,
            .height = cy,
            .widthBytes = widthBytes,
            .bits = std::vector<uint8_t>(static_cast<size_t>(widthBytes), 0x00), // one black row
        }));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HGDIOBJ WINAPI GetStockObject(int i)
{
    switch (i) {
    case WHITE_BRUSH:
        return handleOf<HGDIOBJ>(kWhiteBrushHandle);
    case BLACK_BRUSH:
        return handleOf<HGDIOBJ>(kBlackBrushHandle);
    default:
        return nullptr;
    }
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    auto* context = find<DeviceContext>(hdc);
    const HandleValue handle = valueOf(h);
    auto* bitmap = table().find<Bitmap>(handle);
    if (context == nullptr || !context->isMemory || bitmap == nullptr) {
        return nullptr;
    }
    if (handle == context->bitmap) {
        return h;
    }
    // A bitmap can be selected into one device context at a time; the stock one into any.
    if (!ObjectTable::isStock(handle)) {
        HandleValue free = 0;
        if (!std::atomic_ref(bitmap->selectedInto).compare_exchange_strong(free, valueOf(hdc))) {
            return nullptr;
        }
    }
    const HandleValue previous = context->bitmap;
    if (auto* old = table().find<Bitmap>(previous);
        old != nullptr && !ObjectTable::isStock(previous)) {
        std::atomic_ref(old->selectedInto).store(0);
    }
    context->bitmap = handle;
    context->surface = bitmap;
    return handleOf<HGDIOBJ>(previous);
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (lprc == nullptr) {
        return FALSE;
    }
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

int WINAPI FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr)
{
    const auto* brush = table().find<Brush>(valueOf(hbr));
    const auto* context = find<DeviceContext>(hdc);
    if (lprc == nullptr || brush == nullptr || context == nullptr) {
        return 0;
    }
    return paintRect(*context, lprc->left, lprc->top, lprc->right, lprc->bottom, brush->white) ? 1
                                                                                               : 0;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    // The bars of a barcode are painted here and return at once; everything else goes on to blit.
    if (rop == BLACKNESS || rop == WHITENESS) {
        const auto* destination = find<DeviceContext>(hdc);
        if (destination != nullptr && paintSharedRow(*destination, x, y, int64_t{x} + cx,
                                                     int64_t{y} + cy, rop == WHITENESS)) {
            return TRUE;
        }
    }
    return blit(hdc, x, y, cx, cy, hdcSrc, x1, y1, rop) ? TRUE : FALSE;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    auto& objects = table();
    const HandleValue handle = valueOf(ho);
    if (ObjectTable::isStock(handle)) {
        return objects.find<Bitmap>(handle) != nullptr || objects.find<Brush>(handle) != nullptr
                   ? TRUE // deleting a stock object is harmless and does nothing
                   : FALSE;
    }
    // A bitmap still selected into a device context stays; device contexts go with DeleteDC.
    return objects.remove<Bitmap>(
               handle,
               [](Bitmap& bitmap) { return std::atomic_ref(bitmap.selectedInto).load() == 0; })
               ? TRUE
               : FALSE;
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    auto& objects = table();
    return objects.remove<DeviceContext>(
               valueOf(hdc),
               [&objects](DeviceContext& context) {
                   if (auto* bitmap = objects.find<Bitmap>(context.bitmap);
                       bitmap != nullptr && !ObjectTable::isStock(context.bitmap)) {
                       std::atomic_ref(bitmap->selectedInto).store(0);
                   }
                   return true;
               })
               ? TRUE
               : FALSE;
}

int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    const auto* bitmap = table().find<Bitmap>(valueOf(h));
    constexpr int size = sizeof(BITMAP);
    if (bitmap == nullptr) {
        return 0;
    }
    if (pv == nullptr) {
        return size;
    }
    if (c < size) {
        return 0;
    }
    // A colour bitmap is a DIB section, whose pixels the caller may reach.
    const BITMAP info{0,
                      bitmap->width,
                      bitmap->height,
                      bitmap->widthBytes,
                      1,
                      static_cast<WORD>(bitmap->bitsPixel),
                      bitmap->bitsPixel == 1 ? nullptr : const_cast<uint8_t*>(bitmap->bits.data())};
    std::memcpy(pv, &info, size);
    return size;
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    const auto* bitmap = table().find<Bitmap>(valueOf(hbit));
    if (bitmap == nullptr || cb < 0) {
        return 0;
    }
    const auto total = static_cast<int64_t>(bitmap->totalBytes());
    if (lpvBits == nullptr) {
        return static_cast<LONG>(std::min<int64_t>(total, std::numeric_limits<LONG>::max()));
    }
    const auto count = static_cast<size_t>(std::min<int64_t>(total, cb));
    auto* out = static_cast<uint8_t*>(lpvBits);
    if (bitmap->rowsShared) {
        // The one row, then copies of what is written, doubling, down to the byte asked for.
        const size_t first = std::min(count, bitmap->bits.size());
        std::memcpy(out, bitmap->bits.data(), first);
        repeatRows(out, first, count);
    } else {
        std::memcpy(out, bitmap->bits.data(), count);
    }
    return static_cast<LONG>(count);
}

HBITMAP WINAPI CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD /*offset*/)
{
    if (ppvBits != nullptr) {
        *ppvBits = nullptr;
    }
    if (pbmi == nullptr || usage != DIB_RGB_COLORS || hSection != nullptr) {
        return nullptr;
    }
    const BITMAPINFOHEADER& header = pbmi->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biBitCount != 32 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
        header.biHeight >= 0) {
        return nullptr;
    }
    const int64_t width = header.biWidth;
    const int64_t height = -int64_t{header.biHeight};
    if (width * height > kMaxBitmapBits / 32) { // both at most 2^31, so the product fits
        return nullptr;
    }
    try {
        Bitmap bitmap;
        bitmap.width = static_cast<int32_t>(width);
        bitmap.height = static_cast<int32_t>(height);
        bitmap.bitsPixel = 32;
        bitmap.widthBytes = static_cast<int32_t>(width * 4);
        bitmap.rowsShared = false; // the caller writes every row through *ppvBits
        bitmap.bits.assign(static_cast<size_t>(width * 4 * height), 0x00); // black, as on Windows
        uint8_t* pixels = bitmap.bits.data(); // a vector's storage stays where it is when moved
        const HandleValue handle = table().add(std::move(bitmap));
        if (handle == 0) {
            return nullptr;
        }
        if (ppvBits != nullptr) {
            *ppvBits = pixels;
        }
        return handleOf<HBITMAP>(handle);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    return replaceColour(hdc, &DeviceContext::textColor, color);
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    return replaceColour(hdc, &DeviceContext::bkColor, color);
}

int GdiLiveObjectCount(void)
{
    return table().liveCount();
}

} // extern "C"
