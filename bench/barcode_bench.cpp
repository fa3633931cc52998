// Calls per second of the four barcode functions at 96 and 600 dpi, and where the time goes:
// encoding (framing and element pattern) against painting (the renderer and its graphics calls).
#include <string>

#include <benchmark/benchmark.h>

#include <Lorvaxen.h>

#include "encoders.h"
#include "renderer.h"

// The loop variable of each benchmark only counts iterations.
// NOLINTBEGIN(clang-analyzer-deadcode.DeadStores)
namespace {

constexpr const char* kCode39Text = "LORVAXEN-BENCH-20CHR"; // 20 characters
constexpr const char* kNumber = "490123456789";
constexpr const char* kDigits = "01234567890123456789";
constexpr const char* kNw7Text = "A0123456789-$:/.+012B";

// One whole call through the C interface, the bitmap released each time.
template <auto Function> void call(benchmark::State& state, const char* text)
{
    const int dpi = static_cast<int>(state.range(0));
    HDC device = CreateReferenceDC(dpi, dpi, RC_BITBLT);
    std::string framed(32, '\0');
    for (auto _ : state) {
        std::string buffer = text;
        HBITMAP bitmap = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        benchmark::DoNotOptimize(Function(device, &bitmap, buffer.data(), &width, &height,
                                          framed.data(), 0.33, 10.0, 2.5, 1));
        DeleteObject(bitmap);
    }
    DeleteDC(device);
}

void Code39Call(benchmark::State& state)
{
    call<BarCode_Code39>(state, kCode39Text);
}
BENCHMARK(Code39Call)->Arg(96)->Arg(600);

void JanCall(benchmark::State& state)
{
    call<BarCode_JAN>(state, kNumber);
}
BENCHMARK(JanCall)->Arg(96)->Arg(600);

void I2of5Call(benchmark::State& state)
{
    call<BarCode_I2of5>(state, kDigits);
}
BENCHMARK(I2of5Call)->Arg(96)->Arg(600);

void Nw7Call(benchmark::State& state)
{
    call<BarCode_NW7>(state, kNw7Text);
}
BENCHMARK(Nw7Call)->Arg(96)->Arg(600);

void Code39Encode(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::detail::encodeCode39(kCode39Text, 1));
    }
}
BENCHMARK(Code39Encode);

void JanEncode(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::detail::encodeJan(kNumber, 0));
    }
}
BENCHMARK(JanEncode);

void I2of5Encode(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::detail::encodeI2of5(kDigits, 1));
    }
}
BENCHMARK(I2of5Encode);

void Nw7Encode(benchmark::State& state)
{
    const std::string folded = "a0123456789-$:/.+012b";
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::detail::encodeNw7(folded, 1));
    }
}
BENCHMARK(Nw7Encode);

// Painting alone: the Code 39 symbol's element pattern through the renderer.
void Code39Paint(benchmark::State& state)
{
    const int dpi = static_cast<int>(state.range(0));
    HDC device = CreateReferenceDC(dpi, dpi, RC_BITBLT);
    const auto pattern = lorvaxen::detail::encodeCode39(kCode39Text, 1).elementPattern;
    for (auto _ : state) {
        const auto rendering =
            lorvaxen::detail::renderElementPattern(device, pattern, 0.33, 10.0, 2.5);
        benchmark::DoNotOptimize(rendering.code);
        DeleteObject(rendering.bitmap);
    }
    DeleteDC(device);
}
BENCHMARK(Code39Paint)->Arg(96)->Arg(600);

} // namespace
// NOLINTEND(clang-analyzer-deadcode.DeadStores)

BENCHMARK_MAIN();
