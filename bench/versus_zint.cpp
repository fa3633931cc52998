// Side by side with libzint, in one process: each of our calls followed by reading the whole
// bitmap out and releasing it, against libzint's raster buffer at the same module size and height
// in its two modes, 3 bytes a pixel (RGB) and 1 byte a pixel (lean: OUT_BUFFER_INTERMEDIATE).
// libzint is only measured here; nothing of it goes into the library.
//
// Prints Google Benchmark's lines, then one table of medians with the ratios.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <zint.h>

#include <Lorvaxen.h>
#include <lorvaxen_passing_text.h>
#include <lorvaxen_pixels.h>

// The loop variable of each benchmark only counts iterations, and the registered benchmarks live
// as long as the program.
// NOLINTBEGIN(clang-analyzer-deadcode.DeadStores,clang-analyzer-cplusplus.NewDeleteLeaks)
namespace {

constexpr double kNarrowMm = 0.33;
constexpr double kHeightMm = 10.0;
constexpr double kRatio = 2.5;

struct Symbol
{
    const char* name;
    LorvaxenBarcodeFunction* ours;
    int32_t checkFlag;
    int zintSymbology;
    int zintCheck; // libzint's option_2 for the same check character
    const char* text;
};

const std::array<Symbol, 4> kSymbols{{
    {"Code 39, 20 characters + check", BarCode_Code39, 1, BARCODE_CODE39, 1,
     "LORVAXEN-BENCH-20CHR"},
    {"EAN-13", lorvaxen::passingText<BarCode_JAN>, 0, BARCODE_EANX, 0, "490123456789"},
    {"Interleaved 2 of 5, 20 digits", lorvaxen::passingText<BarCode_I2of5>, 0, BARCODE_C25INTER, 0,
     "01234567890123456789"},
    {"NW7, 18 characters", BarCode_NW7, 0, BARCODE_CODABAR, 0, "A0123456789-$:/.+B"},
}};

// zint is given the sizes in pixels that the library's own rule gives ours.
int pixels(int dpi, double mm)
{
    return lorvaxen::mmToPixels(dpi, mm).value_or(1);
}

// One call of ours, the whole bitmap read out, the bitmap released.
void ours(benchmark::State& state, const Symbol& symbol, int dpi)
{
    HDC device = CreateReferenceDC(dpi, dpi, RC_BITBLT);
    const std::string text = symbol.text;
    std::vector<char> buffer(text.size() + 4);
    std::vector<char> framed(text.size() + 4);
    std::vector<uint8_t> bits;
    for (auto _ : state) {
        std::copy(text.begin(), text.end() + 1, buffer.begin()); // the call folds it in place
        HBITMAP bitmap = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        if (symbol.ours(device, &bitmap, buffer.data(), &width, &height, framed.data(), kNarrowMm,
                        kHeightMm, kRatio, symbol.checkFlag) != LORVAXEN_OK) {
            state.SkipWithError("the call failed");
            break;
        }
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        bits.resize(static_cast<size_t>(info.bmWidthBytes) * static_cast<size_t>(info.bmHeight));
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        benchmark::DoNotOptimize(bits.data());
        DeleteObject(bitmap);
    }
    state.SetItemsProcessed(state.iterations());
    DeleteDC(device);
}

// libzint at the same module and height, no human-readable text, no quiet zone.
void zint(benchmark::State& state, const Symbol& symbol, int dpi, bool lean)
{
    const int narrowPx = pixels(dpi, kNarrowMm);
    zint_symbol* encoder = ZBarcode_Create();
    const auto length = static_cast<int>(std::char_traits<char>::length(symbol.text));
    for (auto _ : state) {
        ZBarcode_Clear(encoder); // settings stay, the last symbol and its buffer go
        encoder->symbology = symbol.zintSymbology;
        encoder->option_2 = symbol.zintCheck;
        encoder->show_hrt = 0;
        encoder->guard_descent = 0;
        encoder->scale = static_cast<float>(narrowPx) / 2.0F; // a module is 2 x scale pixels
        encoder->height = static_cast<float>(pixels(dpi, kHeightMm)) / static_cast<float>(narrowPx);
        encoder->output_options = lean ? OUT_BUFFER_INTERMEDIATE : 0;
        // NOLINTNEXTLINE(*-reinterpret-cast): libzint takes bytes
        if (ZBarcode_Encode_and_Buffer(encoder, reinterpret_cast<const unsigned char*>(symbol.text),
                                       length, 0) >= ZINT_ERROR) {
            state.SkipWithError(encoder->errtxt);
            break;
        }
        benchmark::DoNotOptimize(encoder->bitmap);
    }
    state.SetItemsProcessed(state.iterations());
    ZBarcode_Delete(encoder);
}

// Keeps the median of every run and passes every line on to the console.
class MedianReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.aggregate_name == "median") {
                const std::string& name = run.run_name.function_name;
                microseconds[name] = run.GetAdjustedRealTime();
                const auto rate = run.counters.find("items_per_second");
                if (rate != run.counters.end()) {
                    callsPerSecond[name] = rate->second.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> microseconds;
    std::map<std::string, double> callsPerSecond;
};

std::string nameOf(const Symbol& symbol, int dpi, const char* side)
{
    return std::string(symbol.name) + "/" + std::to_string(dpi) + "/" + side;
}

constexpr std::array<int, 3> kDpis{96, 600, 1200};

} // namespace

int main(int argc, char** argv)
{
    for (const auto& symbol : kSymbols) {
        for (const int dpi : kDpis) {
            benchmark::RegisterBenchmark(nameOf(symbol, dpi, "ours").c_str(), ours, symbol, dpi)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(nameOf(symbol, dpi, "zint RGB").c_str(), zint, symbol, dpi,
                                         false)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(nameOf(symbol, dpi, "zint lean").c_str(), zint, symbol,
                                         dpi, true)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime();
        }
        // Two threads, each with its own device context, at 600 dpi.
        benchmark::RegisterBenchmark(nameOf(symbol, 600, "ours x2").c_str(), ours, symbol, 600)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime()
            ->Threads(2);
    }
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto median = [&reporter](const std::string& name) {
        const auto it = reporter.microseconds.find(name);
        return it == reporter.microseconds.end() ? 0.0 : it->second;
    };
    std::printf("\nMedians in microseconds a call; x: how many times faster ours is\n\n");
    std::printf("| symbol | dpi | ours | zint RGB | zint lean | x RGB | x lean |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const auto& symbol : kSymbols) {
        for (const int dpi : kDpis) {
            const double us = median(nameOf(symbol, dpi, "ours"));
            const double rgb = median(nameOf(symbol, dpi, "zint RGB"));
            const double lean = median(nameOf(symbol, dpi, "zint lean"));
            if (us > 0) {
                std::printf("| %s | %d | %.2f | %.2f | %.2f | %.2f | %.2f |\n", symbol.name, dpi,
                            us, rgb, lean, rgb / us, lean / us);
            }
        }
    }
    std::printf("\nTwo threads at 600 dpi, each with its own device context: calls a second\n\n");
    std::printf("| symbol | 1 thread | 2 threads | x |\n|---|---:|---:|---:|\n");
    for (const auto& symbol : kSymbols) {
        const auto one = reporter.callsPerSecond.find(nameOf(symbol, 600, "ours"));
        const auto two = reporter.callsPerSecond.find(nameOf(symbol, 600, "ours x2"));
        if (one != reporter.callsPerSecond.end() && two != reporter.callsPerSecond.end()) {
            std::printf("| %s | %.0f | %.0f | %.2f |\n", symbol.name, one->second, two->second,
                        two->second / one->second);
        }
    }
    return 0;
}
// NOLINTEND(clang-analyzer-deadcode.DeadStores,clang-analyzer-cplusplus.NewDeleteLeaks)
