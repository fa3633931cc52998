// The stdcall frame of every export, measured on 32-bit Windows: a call through the decorated name
// leaves the stack pointer where it found it, because the function removes exactly the argument
// bytes that its caller pushed. A caller whose declaration differs pushes other bytes than the
// function removes, and the measure shows it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include <Lorvaxen.h>

#include "bound_library.h"
#include "gdi_test.h"

// Calls `function` with `count` argument words pushed as a caller pushes them, the first argument
// lowest, and returns its 32-bit result. Stores in `moved` how far the call moved the stack
// pointer: 0 when the function removed exactly what was pushed, 4 when it removed one word more.
// The stack pointer is put back afterwards either way, so a wrong frame cannot harm the caller.
extern "C" int32_t lorvaxenCallMeasuringStack(FARPROC function, const uint32_t* words,
                                              uint32_t count, int32_t* moved);

// EBX and ESI belong to the caller, so they keep the stack pointer and the words across the call.
// 64 bytes lie between the arguments and the saved registers, for a function that takes back more
// than was pushed: nothing is written there until the stack pointer is restored.
asm(R"(
    .text
    .globl _lorvaxenCallMeasuringStack
_lorvaxenCallMeasuringStack:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    subl $64, %esp
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %ebx
1:  testl %ecx, %ecx
    jz 2f
    pushl -4(%esi,%ecx,4)
    decl %ecx
    jmp 1b
2:  call *8(%ebp)
    movl %esp, %ecx
    subl %ebx, %ecx
    movl %ebx, %esp
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    addl $64, %esp
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace lorvaxen::test {
namespace {

struct MeasuredCall
{
    int32_t result = 0;
    int32_t moved = 0;
};

// One argument as a 32-bit caller pushes it: in whole 4-byte words, a double in two.
template <class Argument> void push(std::vector<uint32_t>& words, Argument argument)
{
    // A pointer argument is pushed as the pointer itself, so its own size is the one wanted.
    constexpr std::size_t kBytes = sizeof(Argument); // NOLINT(bugprone-sizeof-expression)
    std::array<uint32_t, (kBytes + 3) / 4> slot{};
    std::memcpy(slot.data(), &argument, kBytes);
    words.insert(words.end(), slot.begin(), slot.end());
}

// Calls the export as a caller with `declaration` would, each argument converted to its declared
// type and pushed in as many bytes as that type takes.
template <class... Parameters>
MeasuredCall callMeasuringStack(const char* exportedName,
                                int32_t(LORVAXEN_CALL* /*declaration*/)(Parameters...),
                                std::type_identity_t<Parameters>... arguments)
{
    std::vector<uint32_t> words;
    (push(words, arguments), ...);
    MeasuredCall call;
    FARPROC function = boundExport(exportedName);
    if (function == nullptr) {
        ADD_FAILURE() << "Lorvaxen.dll does not export " << exportedName;
        return call;
    }
    call.result = lorvaxenCallMeasuringStack(function, words.data(),
                                             static_cast<uint32_t>(words.size()), &call.moved);
    return call;
}

// A caller that declares narrowMm a float pushes 48 bytes where the function removes 52.
using FloatForADouble = int32_t(LORVAXEN_CALL*)(HDC, HBITMAP*, char*, int32_t*, int32_t*, char*,
                                                float, double, double, int32_t);

class StackFrame : public GdiTest
{
  protected:
    void SetUp() override
    {
        GdiTest::SetUp();
        LORVAXEN_SKIP_UNLESS_AVAILABLE(screen_);
    }

    // A call with the header's declaration is balanced and does its work; one with a float for
    // the narrow width takes one word too many, as it would from a real caller's frame. The
    // wrong call gets an empty text, so that it fails before the garbled dimensions are read.
    template <auto Function>
    void expectFrames(const char* exportedName, std::string text, const char* framed,
                      int32_t emptyCode)
    {
        OwnedBitmap bitmap;
        int32_t width = 0;
        int32_t height = 0;
        std::string out(text.size() + 4, 'x');
        const MeasuredCall good =
            callMeasuringStack(exportedName, Function, screen_, bitmap.out(), text.data(), &width,
                               &height, out.data(), 0.33, 10.0, 2.5, 1);
        EXPECT_EQ(good.moved, 0) << exportedName;
        EXPECT_EQ(good.result, 0) << exportedName;
        EXPECT_STREQ(out.c_str(), framed) << exportedName;
        EXPECT_GT(width, 0) << exportedName;
        EXPECT_NE(bitmap.get(), nullptr) << exportedName;

        char empty[] = "";
        const MeasuredCall wrong =
            callMeasuringStack(exportedName, FloatForADouble{}, screen_, bitmap.out(), empty,
                               &width, &height, out.data(), 0.33F, 10.0, 2.5, 1);
        EXPECT_EQ(wrong.moved, 4) << exportedName << " declared with a float";
        EXPECT_EQ(wrong.result, emptyCode) << exportedName << " declared with a float";
    }

    ReferenceDc screen_{screenDpi()};
};

TEST_F(StackFrame, EveryExportRemovesExactlyItsArguments)
{
    expectFrames<BarCode_JAN>("_BarCode_JAN@52", "490123456789", "4901234567894", -11);
    expectFrames<BarCode_Code39>("_BarCode_Code39@52", "abc", "*ABCX*", -21);
    expectFrames<BarCode_I2of5>("_BarCode_I2of5@52", "1234", "012348", -31);
    expectFrames<BarCode_NW7>("_BarCode_NW7@52", "123", "a1236a", -41);

    EXPECT_EQ(callMeasuringStack("_Lorvaxen_version@0", Lorvaxen_version).moved, 0);
    // A caller that passes the version query an argument is left with it on its stack.
    const MeasuredCall wrong = callMeasuringStack(
        "_Lorvaxen_version@0", static_cast<int32_t(LORVAXEN_CALL*)(int32_t)>(nullptr), 1);
    EXPECT_EQ(wrong.moved, -4);
    EXPECT_EQ(wrong.result, 90);
}

} // namespace
} // namespace lorvaxen::test
