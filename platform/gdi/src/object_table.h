// The stand-in's objects behind checked handles.
//
// Objects live in a fixed table of slots, one for each object the process quota allows. A handle
// names its slot and that slot's generation, so a lookup is one index and one comparison, and a
// deleted handle, whose slot has moved on to a later generation or stands empty, fails cleanly.
// Only creating, selecting and deleting take a lock, that of one of a few shards of slots, each
// thread preferring a shard of its own; drawing takes none, so threads that draw with device
// contexts and bitmaps of their own seldom wait for each other.
#ifndef LORVAXEN_GDI_OBJECT_TABLE_H
#define LORVAXEN_GDI_OBJECT_TABLE_H

#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <variant>
#include <vector>

#include "bitmap_bits.h"

namespace lorvaxen::gdi {

constexpr int kScreenDpi = 96;

struct DeviceContext
{
    bool isMemory = false;
    int dpiX = kScreenDpi;
    int dpiY = kScreenDpi;
    int rasterCaps = RC_BITBLT;
    int horzRes = 1920; // a screen-like size
    int vertRes = 1080;
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
// the slots those values name.
constexpr HandleValue kWhiteBrushHandle = 0x100;
constexpr HandleValue kBlackBrushHandle = 0x104;
constexpr HandleValue kDefaultBitmapHandle = 0x108;
constexpr HandleValue kFirstCreatedHandle = 0x1000;

using Object = std::variant<std::monostate, Bitmap, DeviceContext, Brush>;

class ObjectTable
{
  public:
    ObjectTable();

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
    HandleValue add(Object&& object);

    // Calls `act` with the live T behind `handle`, or with null, under the lock that deleting it
    // takes, and returns what `act` returns. A stock object's handle takes no lock.
    template <class T, class Act> auto withLocked(HandleValue handle, Act act)
    {
        if (isStock(handle) || slotOf(handle) == nullptr) {
            return act(find<T>(handle));
        }
        const std::lock_guard lock(shards_[shardOf(slotIndex(handle))].mutex);
        return act(find<T>(handle));
    }

    // Frees the slot of a live T that passes `mayGo`, which runs under the shard's lock; false for
    // stock objects and dead or refused handles.
    template <class T, class Check> bool remove(HandleValue handle, Check mayGo)
    {
        Object gone; // released after the lock: a bitmap's rows go back to the heap unhurried
        const bool removed = withLocked<T>(handle, [&](T* object) {
            if (isStock(handle) || object == nullptr || !mayGo(*object)) {
                return false;
            }
            gone = free(slotIndex(handle));
            return true;
        });
        return removed;
    }

    static bool isStock(HandleValue handle) { return handle < kFirstCreatedHandle; }

    int liveCount();

    // Painting or reading the stock bitmap, which every new memory device context holds, is the
    // one drawing that threads share.
    std::mutex& stockBitmapMutex() { return stockBitmapMutex_; }

  private:
    static constexpr int kProcessObjectQuota = 10000; // Windows' default GDI handle quota
    static constexpr size_t kStockSlots = 3;
    // A created object's handle: its generation above its slot, both above the two low bits that
    // Windows keeps clear. Generations start at 1, so every such handle lies above the stock ones.
    static constexpr int kSlotBits = 14;
    static constexpr size_t kSlotCount = kStockSlots + kProcessObjectQuota;
    static_assert(kSlotCount <= (size_t{1} << kSlotBits));
    static_assert((HandleValue{1} << (kSlotBits + 2)) > kFirstCreatedHandle);
    static constexpr size_t kShards = 64; // many more than threads at work, each with its own lock
    static constexpr size_t kSlotsPerShard = (kSlotCount + kShards - 1) / kShards;

    // On cache lines of its own, so that threads drawing with objects of their own never write to
    // a line that another thread reads, the stock objects' included.
    struct alignas(64) Slot
    {
        std::atomic<HandleValue> handle{0}; // 0 while the slot is free
        Object object;
        HandleValue generation = 0;
    };

    // A run of slots with the lock that guards their making, selecting and unmaking, on a cache
    // line of its own.
    struct alignas(64) Shard
    {
        std::mutex mutex;
        std::vector<size_t> freeSlots;
    };

    // Every handle, a stock one included, names its slot the same way, so finding one is a shift
    // and a mask; a value that names a slot without being its handle fails the comparison after.
    static constexpr size_t slotIndex(HandleValue handle)
    {
        return (handle >> 2) & ((HandleValue{1} << kSlotBits) - 1);
    }

    Slot* slotOf(HandleValue handle)
    {
        const size_t index = slotIndex(handle);
        return index < kSlotCount ? &slots_[index] : nullptr;
    }

    static constexpr bool isStockSlot(size_t index)
    {
        return index >= slotIndex(kWhiteBrushHandle) && index <= slotIndex(kDefaultBitmapHandle);
    }

    static size_t shardOf(size_t index) { return index / kSlotsPerShard; }
    size_t& threadShard();
    HandleValue place(Shard& shard, Object&& object);
    // Empties a slot whose shard's lock the caller holds, and returns what it held.
    Object free(size_t index);

    std::array<Shard, kShards> shards_;
    std::atomic<size_t> nextShard_{0};
    std::mutex stockBitmapMutex_;
    std::array<Slot, kSlotCount> slots_; // in place, so that finding a slot reads no pointer first
};

// Made as the library loads, before any call can reach it; a global rather than a function's static
// so that drawing calls do not pass a guard to reach it.
extern ObjectTable gObjects; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

template <class Handle> HandleValue valueOf(Handle handle)
{
    return reinterpret_cast<HandleValue>(handle); // NOLINT(*-reinterpret-cast): handles are ids
}

template <class Handle> Handle handleOf(HandleValue value)
{
    return reinterpret_cast<Handle>(value); // NOLINT(*-reinterpret-cast,performance-no-int-to-ptr)
}

template <class T, class Handle> T* find(Handle handle)
{
    return gObjects.find<T>(valueOf(handle));
}

} // namespace lorvaxen::gdi

#endif // LORVAXEN_GDI_OBJECT_TABLE_H
