// A call that cannot have its scratch memory fails cleanly: a clear code, the outputs as cleared,
// nothing leaked. This program replaces operator new so that any allocation can be made to fail.
#include <cstdlib>
#include <new>
#include <string>

#include <Lorvaxen.h>

#include "gdi_test.h"
#include "table_rows.h"

namespace {

int allocationsLeft = -1; // -1: no limit

void* allocate(std::size_t size)
{
    if (allocationsLeft == 0) {
        throw std::bad_alloc();
    }
    if (allocationsLeft > 0) {
        --allocationsLeft;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) { // NOLINT(*-no-malloc,*-owning-memory)
        return memory;
    }
    throw std::bad_alloc();
}

} // namespace

// NOLINTBEGIN(*-no-malloc,*-owning-memory): the replacement allocator sits on malloc and free
void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}
// NOLINTEND(*-no-malloc,*-owning-memory)

namespace lorvaxen::test {
namespace {

class OutOfMemory : public GdiTest
{
};

// A barcode function with the dimensions fixed and the check character asked for.
using Call = int32_t (*)(HDC, HBITMAP*, char*, int32_t*, int32_t*, char*);
template <auto Function>
int32_t callWithCheck(HDC hdc, HBITMAP* bitmap, char* text, int32_t* width, int32_t* height,
                      char* out)
{
    return Function(hdc, bitmap, text, width, height, out, 0.33, 10, 2.5, 1);
}

struct HeapCase
{
    const char* symbology;
    Call call;
    const char* text; // long enough that no working text fits a string's own small buffer
    const char* framed;
};

using OutOfMemoryHeap = RowsOn<OutOfMemory, HeapCase>;
const HeapCase kHeapRows[] = {
    HeapCase{"Code 39", callWithCheck<BarCode_Code39>, "a-long-enough-text-to-need-the-heap",
             "*A-LONG-ENOUGH-TEXT-TO-NEED-THE-HEAP1*"},
    HeapCase{"Interleaved 2 of 5", callWithCheck<BarCode_I2of5>,
             "12345678901234567890123456789012345", "123456789012345678901234567890123452"},
    HeapCase{"NW7", callWithCheck<BarCode_NW7>, "B1234567890-$:/.+1234567890-$:/.+D",
             "b1234567890-$:/.+1234567890-$:/.+2b"},
};
INSTANTIATE_TEST_SUITE_P(OutOfMemory, OutOfMemoryHeap, ::testing::ValuesIn(kHeapRows),
                         namedBy(&HeapCase::symbology));

TEST_P(OutOfMemoryHeap, EveryFailedAllocationGivesAConsistentOutcome)
{
    const HeapCase& c = GetParam();
    const ReferenceDc screen(96);
    bool succeeded = false;
    int scratchFailures = 0;
    for (int budget = 0; budget < 64 && !succeeded; ++budget) {
        std::string text = c.text;
        std::string out(text.size() + 4, 'x');
        HBITMAP bitmap = nullptr;
        int32_t width = -7;
        int32_t height = -7;
        allocationsLeft = budget;
        const int32_t code = c.call(screen, &bitmap, text.data(), &width, &height, out.data());
        allocationsLeft = -1;
        const std::string framed = out.substr(0, out.find('\0'));
        if (code == 0) {
            succeeded = true;
            EXPECT_TRUE(DeleteObject(bitmap));
            continue;
        }
        EXPECT_EQ(bitmap, nullptr) << c.symbology << ", budget " << budget;
        if (framed.empty()) {
            // The library's own scratch memory ran out: -3 with the outputs as cleared.
            ++scratchFailures;
            EXPECT_EQ(code, -3) << c.symbology << ", budget " << budget;
            EXPECT_EQ(width, 0) << c.symbology << ", budget " << budget;
            EXPECT_EQ(height, 0) << c.symbology << ", budget " << budget;
        } else {
            // The graphics ran out: the renderer's code, with the framed text delivered.
            EXPECT_TRUE(code == -1 || code == -3)
                << c.symbology << ", budget " << budget << ": " << code;
            EXPECT_EQ(framed, c.framed) << c.symbology << ", budget " << budget;
            EXPECT_EQ(height, 37) << c.symbology << ", budget " << budget;
        }
    }
    EXPECT_TRUE(succeeded) << c.symbology;
    EXPECT_GT(scratchFailures, 0) << c.symbology;
}

struct JanHeapCase
{
    const char* text;
    const char* framed;
};
using OutOfMemoryJan = RowsOn<OutOfMemory, JanHeapCase>;
const JanHeapCase kOutOfMemoryJanRows[] = {JanHeapCase{"490123456789", "4901234567894"},
                                           JanHeapCase{"4901234567890", "4901234567890"}};
INSTANTIATE_TEST_SUITE_P(OutOfMemory, OutOfMemoryJan, ::testing::ValuesIn(kOutOfMemoryJanRows),
                         namedBy(&JanHeapCase::text));

TEST_P(OutOfMemoryJan, JanTakesNoHeapMemory)
{
    const JanHeapCase& c = GetParam();
    // The device cannot BitBlt, so the renderer stops before the graphics would need memory: an
    // allocation could only be the encoder's, and would fail.
    const ReferenceDc plotter(96, 0);
    std::string out(17, 'x');
    int32_t width = -7;
    int32_t height = -7;
    allocationsLeft = 0;
    const int32_t code =
        BarCode_JAN(plotter, nullptr, c.text, &width, &height, out.data(), 0.33, 10, 2.5, 1);
    allocationsLeft = -1;
    EXPECT_EQ(code, -1) << c.text;
    EXPECT_STREQ(out.c_str(), c.framed);
}

} // namespace
} // namespace lorvaxen::test
