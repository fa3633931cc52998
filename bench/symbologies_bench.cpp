// Calls per second of the JAN, Interleaved 2 of 5 and NW7 functions, and of their encoders alone
// (framing and element pattern, without painting).
#include <string>

#include <benchmark/benchmark.h>

#include <Lorvaxen.h>

#include "encoders.h"

namespace {

constexpr const char* kNumber = "490123456789";
constexpr const char* kDigits = "01234567890123456789";
constexpr const char* kNw7Text = "A0123456789-$:/.+012B";

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

void JanEncode(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::encodeJan(kNumber, 0));
    }
}
BENCHMARK(JanEncode);

void I2of5Encode(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::encodeI2of5(kDigits, 1));
    }
}
BENCHMARK(I2of5Encode);

void Nw7Encode(benchmark::State& state)
{
    const std::string folded = "a0123456789-$:/.+012b";
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::encodeNw7(folded, 1));
    }
}
BENCHMARK(Nw7Encode);

} // namespace
