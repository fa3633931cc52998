// Threads that each call the library with a device context of their own get exactly what one
// thread gets. Also built alone under ThreadSanitizer, which fails the run on any data race.
#include <array>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <Lorvaxen.h>
#include <lorvaxen_passing_text.h>

namespace {

struct Request
{
    LorvaxenBarcodeFunction* function;
    const char* text;
    int dpi;
};

const std::array<Request, 8> kRequests{{
    {BarCode_Code39, "lorvaxen-threads", 96},
    {BarCode_Code39, "CODE 39", 600},
    {lorvaxen::passingText<BarCode_JAN>, "490123456789", 300},
    {lorvaxen::passingText<BarCode_JAN>, "4901234567890", 1200},
    {lorvaxen::passingText<BarCode_I2of5>, "0123456789", 600},
    {lorvaxen::passingText<BarCode_I2of5>, "12", 96},
    {BarCode_NW7, "a0123456789-$:/.+b", 600},
    {BarCode_NW7, "123", 150},
}};

// Everything a call gives back: the code, the framed text, the sizes and every byte of the bitmap.
std::string outcomeOf(const Request& request, HDC device)
{
    std::string text = request.text;
    std::string framed(text.size() + 4, '\0');
    HBITMAP bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    const int32_t code = request.function(device, &bitmap, text.data(), &width, &height,
                                          framed.data(), 0.33, 10.0, 2.5, 1);
    std::string outcome = std::to_string(code) + " " + framed.substr(0, framed.find('\0')) + " " +
                          std::to_string(width) + "x" + std::to_string(height) + " ";
    if (bitmap != nullptr) {
        BITMAP info{};
        GetObject(bitmap, sizeof info, &info);
        std::string bits(
            static_cast<size_t>(info.bmWidthBytes) * static_cast<size_t>(info.bmHeight), '\0');
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        outcome += bits;
        DeleteObject(bitmap);
    }
    return outcome;
}

TEST(Threads, EightThreadsWithTheirOwnDevicesGetWhatOneThreadGets)
{
    std::vector<std::string> expected;
    for (const Request& request : kRequests) {
        HDC device = CreateReferenceDC(request.dpi, request.dpi, RC_BITBLT);
        expected.push_back(outcomeOf(request, device));
        DeleteDC(device);
    }
    const int liveBefore = GdiLiveObjectCount();

    constexpr int kThreads = 8;
    constexpr int kRounds = 20;
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &expected, &mismatches] {
            for (int round = 0; round < kRounds; ++round) {
                // Each thread walks the requests from its own starting point.
                const auto index = static_cast<size_t>(t + round) % kRequests.size();
                const Request& request = kRequests[index];
                HDC device = CreateReferenceDC(request.dpi, request.dpi, RC_BITBLT);
                if (outcomeOf(request, device) != expected[index]) {
                    ++mismatches[static_cast<size_t>(t)];
                }
                DeleteDC(device);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(mismatches[static_cast<size_t>(t)], 0) << "thread " << t;
    }
    EXPECT_EQ(GdiLiveObjectCount(), liveBefore);
}

} // namespace
