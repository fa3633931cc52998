// The table of the stand-in's objects.
#include "object_table.h"

#include <utility>

namespace lorvaxen::gdi {

ObjectTable gObjects; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

ObjectTable::ObjectTable()
{
    const auto makeStock = [this](HandleValue handle, auto&& object) {
        Slot& slot = slots_[slotIndex(handle)];
        slot.object = std::forward<decltype(object)>(object);
        slot.handle = handle;
    };
    makeStock(kWhiteBrushHandle, Brush{true});
    makeStock(kBlackBrushHandle, Brush{false});
    makeStock(kDefaultBitmapHandle, Bitmap());
    static_assert(slotIndex(kDefaultBitmapHandle) - slotIndex(kWhiteBrushHandle) + 1 ==
                  kStockSlots);
    for (size_t slot = kSlotCount; slot > 0; --slot) {
        if (isStockSlot(slot - 1)) {
            continue;
        }
        Shard& shard = shards_[shardOf(slot - 1)];
        shard.freeSlots.reserve(kSlotsPerShard);
        shard.freeSlots.push_back(slot - 1);
    }
}

// A thread takes its slots from a shard of its own, so that threads making and deleting objects at
// once seldom wait for one lock or write to one cache line. A first round takes only a shard that
// no other thread holds, and each time it meets one held, or one used up, moves this thread on to
// the next shard for good: threads that meet soon part. A second round waits for each lock in
// turn. There are as many slots as the quota allows objects, so the quota is used up when that
// round finds no free slot.
HandleValue ObjectTable::add(Object&& object)
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

int ObjectTable::liveCount()
{
    size_t free = 0;
    for (Shard& shard : shards_) {
        const std::lock_guard lock(shard.mutex);
        free += shard.freeSlots.size();
    }
    return static_cast<int>(kSlotCount - kStockSlots - free);
}

// The shard the calling thread takes its slots from, whatever the kind of object: each thread the
// next in turn when it first makes one. With many more shards than threads at work, two threads
// meet at one only when dozens of others were started between them.
size_t& ObjectTable::threadShard()
{
    thread_local size_t shard = nextShard_.fetch_add(1, std::memory_order_relaxed) % kShards;
    return shard;
}

// Moves an object into the last free slot of a shard whose lock the caller holds.
HandleValue ObjectTable::place(Shard& shard, Object&& object)
{
    const size_t index = shard.freeSlots.back();
    shard.freeSlots.pop_back();
    Slot& slot = slots_[index];
    slot.object = std::move(object);
    ++slot.generation;
    const HandleValue handle = ((slot.generation << kSlotBits) | index) << 2;
    slot.handle.store(handle, std::memory_order_release);
    return handle;
}

Object ObjectTable::free(size_t index)
{
    Slot& slot = slots_[index];
    slot.handle.store(0, std::memory_order_release);
    Object gone = std::exchange(slot.object, Object{});
    shards_[shardOf(index)].freeSlots.push_back(index);
    return gone;
}

} // namespace lorvaxen::gdi
