// Verifications per second of a 20-character Code 39 symbol drawn at 600 dpi: ten scan lines, each
// through an aperture of 0.8 modules, analysed, decoded and graded.
#include <benchmark/benchmark.h>

#include "barcode.h"
#include "verify.h"

// The loop variable of each benchmark only counts iterations.
// NOLINTBEGIN(clang-analyzer-deadcode.DeadStores)
namespace {

void VerifyCode39At600Dpi(benchmark::State& state)
{
    lorvaxen::BarcodeSettings settings;
    settings.symbology = lorvaxen::findSymbology("code39");
    const auto barcode = lorvaxen::makeBarcode("LORVAXEN-BENCH-20CHR", settings);
    lorvaxen::verifier::ReflectanceImage image(barcode.image.width, barcode.image.height, false);
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
            image.set(x, y, barcode.image.isBlack(x, y) ? 5.0 : 90.0);
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(lorvaxen::verifier::verifyImage(image, {}));
    }
}
BENCHMARK(VerifyCode39At600Dpi)->Unit(benchmark::kMillisecond);

} // namespace
// NOLINTEND(clang-analyzer-deadcode.DeadStores)

BENCHMARK_MAIN();
