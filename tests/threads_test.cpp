// Threads that each call the library with a device context of their own get exactly what one
// thread gets. Also built alone under ThreadSanitizer, which fails the run on any data race.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <Lorvaxen.h>
#include <lorvaxen_passing_text.h>
#include <windows.h>

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

// Runs `first` and `second` on two threads that start them as nearly at once as they can.
template <class First, class Second> void atOnce(First first, Second second)
{
    std::atomic<int> ready{0};
    const auto start = [&ready] {
        ready.fetch_add(1);
        while (ready.load() < 2) {
            std::this_thread::yield();
        }
    };
    std::thread other([&] {
        start();
        second();
    });
    start();
    first();
    other.join();
}

// Of a bitmap selected on one thread as another deletes it, exactly one call wins: the bitmap is
// then either held by the device context or gone, and nothing is left behind.
TEST(Threads, SelectingABitmapAsItIsDeletedLetsExactlyOneWin)
{
    constexpr int kRounds = 500;
    const int liveBefore = GdiLiveObjectCount();
    int selectWins = 0;
    int deleteWins = 0;
    for (int round = 0; round < kRounds; ++round) {
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(memory, 64, 8);
        HGDIOBJ previous = nullptr;
        BOOL deleted = FALSE;
        atOnce([&] { previous = SelectObject(memory, bitmap); },
               [&] { deleted = DeleteObject(bitmap); });
        ASSERT_NE(previous != nullptr, deleted != FALSE) << "round " << round;
        if (previous != nullptr) {
            ++selectWins;
            BitBlt(memory, 0, 0, 64, 8, nullptr, 0, 0, WHITENESS); // the bitmap is whole
            EXPECT_EQ(SelectObject(memory, previous), bitmap);
            EXPECT_TRUE(DeleteObject(bitmap));
        } else {
            ++deleteWins;
        }
        DeleteDC(memory);
    }
    EXPECT_EQ(selectWins + deleteWins, kRounds);
    EXPECT_EQ(GdiLiveObjectCount(), liveBefore);
}

// New memory device contexts all hold the one stock bitmap: threads that paint and copy onto
// their own new contexts at once share it, which ThreadSanitizer watches.
TEST(Threads, ThreadsPaintingTheirOwnNewContextsShareTheStockBitmapSafely)
{
    const int liveBefore = GdiLiveObjectCount();
    const auto paint = [] {
        HDC fresh = CreateCompatibleDC(nullptr);
        HDC source = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(source, 16, 4);
        HGDIOBJ previous = SelectObject(source, bitmap);
        const RECT all{0, 0, 1, 1};
        for (int i = 0; i < 2000; ++i) {
            BitBlt(fresh, 0, 0, 1, 1, source, i % 16, 0, SRCCOPY);
            BitBlt(source, i % 16, 0, 1, 4, fresh, 0, 0, SRCCOPY);
            FillRect(fresh, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        SelectObject(source, previous);
        DeleteObject(bitmap);
        DeleteDC(source);
        DeleteDC(fresh);
    };
    atOnce(paint, paint);
    EXPECT_EQ(GdiLiveObjectCount(), liveBefore);
}

} // namespace
