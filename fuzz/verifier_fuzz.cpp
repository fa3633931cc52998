// libFuzzer target over the verifier: the input is an image file (PNG, PBM or BMP, told apart by
// its first bytes, as the tool reads them), read under a small pixel budget and, when it reads,
// verified and graded. The first byte after the image's signature also picks the light and the
// symbology, so that every path is reached. Aborts when a grade or a read breaks its promises.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "verify.h"

namespace {

void require(bool promise)
{
    if (!promise) {
        std::abort();
    }
}

// Small enough that each input is graded in milliseconds.
constexpr uint64_t kMaxPixels = uint64_t{1} << 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace lorvaxen::verifier;
    const uint8_t choice = size > 8 ? data[8] : 0;
    ReadOptions reading;
    reading.maxPixels = kMaxPixels;
    reading.light = static_cast<Light>(choice % 4);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string problem;
    const auto image = readReflectanceImage(in, size, reading, &problem);
    if (!image) {
        require(!problem.empty());
        return 0;
    }
    require(!image->empty() && uint64_t(image->width()) * uint64_t(image->height()) <= kMaxPixels);
    VerifyOptions options;
    if (choice / 4 % 5 < 4) {
        options.symbology = static_cast<Symbology>(choice / 4 % 5);
    }
    const Verification result = verifyImage(*image, options);
    if (!result.found) {
        require(!result.problem.empty());
        return 0;
    }
    require(result.scans.size() == kScanLines && result.grade >= 0 && result.grade <= 4);
    // A symbol turned a quarter is scanned down the columns.
    const auto length = static_cast<std::size_t>(result.turned ? image->height() : image->width());
    for (const ScanResult& scan : result.scans) {
        require(scan.grade.grade >= 0 && scan.grade.grade <= 4);
        require(scan.profileFrom + scan.profile.size() <= length);
    }
    return 0;
}
