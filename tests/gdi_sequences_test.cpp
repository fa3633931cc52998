// Random sequences of graphics calls give on the stand-in exactly what a plain model of the pixels
// gives, step by step; and the sequence recorded on Windows' graphics under Wine gives on the
// stand-in and the model exactly what it gave there.
#include <fstream>
#include <string>

#include "gdi_sequences.h"
#include "gdi_test.h"

namespace lorvaxen::test {
namespace {

class GdiSequences : public GdiTest
{
};

TEST_F(GdiSequences, EveryStepMatchesAPlainModelOfThePixels)
{
    // About a million steps in all; fewer in the sanitizers' slower build.
    constexpr int kSeeds = 50;
    for (int seed = 1; seed <= kSeeds; ++seed) {
        SequenceOptions options;
        options.seed = static_cast<uint64_t>(seed);
        options.steps = LORVAXEN_SEQUENCE_STEPS / kSeeds;
        // Every third seed draws on bitmaps as small as the recorded sequence's.
        if (seed % 3 == 0) {
            options.maxWidth = 24;
            options.maxHeight = 6;
        }
        const bool matched =
            runSequence(options, [seed](const std::string& calls, const std::string& model) {
                EXPECT_EQ(calls, model) << "seed " << seed;
                return calls == model;
            });
        ASSERT_TRUE(matched) << "seed " << seed;
    }
}

TEST_F(GdiSequences, TheStandInAndTheModelGiveWhatWindowsGave)
{
    std::ifstream record(LORVAXEN_SEQUENCE_RECORD);
    ASSERT_TRUE(record) << LORVAXEN_SEQUENCE_RECORD;
    int steps = 0;
    const bool matched =
        runSequence(kRecordedSequence, [&](const std::string& calls, const std::string& model) {
            std::string windows;
            std::getline(record, windows);
            ++steps;
            EXPECT_EQ(calls, windows) << "the stand-in";
            EXPECT_EQ(model, windows) << "the model";
            return calls == windows && model == windows;
        });
    EXPECT_TRUE(matched);
    EXPECT_EQ(steps, kRecordedSequence.steps);
}

} // namespace
} // namespace lorvaxen::test
