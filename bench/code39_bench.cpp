// BarCode_Code39 calls per second for a 20-character text, and where the time goes: encoding
// (framing and element pattern) against painting (the renderer and the graphics calls).
#include <string>

#include <benchmark/benchmark.h>

#include <Lorvaxen.h>

#include "encoders.h"
#include "renderer.h"

namespace {

constexpr const char* kText = "LORVAXEN-BENCH-20CHR";

void Code39Call(benchmark::State& state)
{
    const int dpi = static_cast<int>(state.range(0));
    HDC device = CreateReferenceDC(dpi, dpi, RC_BITBLT);
    std::string framed(32, '\0');
    for (auto _ : state) {
        std::string text = kText;
        HBITMAP bitmap = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        benchmark::DoNotOptimize(BarCode_Code39(device, &bitmap, text.data(), &width, &height,
                                                framed.data(), 0.33, 10.0, 2.5, 1));
        DeleteObject(bitmap);
    }
    DeleteDC(device);
}
BENCHMARK(Code39Call)->Arg(96)->Arg(600);

void Code39Encode(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::encodeCode39(kText, 1));
    }
}
BENCHMARK(Code39Encode);

void Code39Paint(benchmark::State& state)
{
    const int dpi = static_cast<int>(state.range(0));
    HDC device = CreateReferenceDC(dpi, dpi, RC_BITBLT);
    const auto pattern = lorvaxen::encodeCode39(kText, 1).elementPattern;
    for (auto _ : state) {
        HBITMAP bitmap = nullptr;
        benchmark::DoNotOptimize(lorvaxen::RenderElementPattern(device, &bitmap, nullptr, nullptr,
                                                                pattern.c_str(), 0.33, 10.0, 2.5));
        DeleteObject(bitmap);
    }
    DeleteDC(device);
}
BENCHMARK(Code39Paint)->Arg(96)->Arg(600);

} // namespace

BENCHMARK_MAIN();
