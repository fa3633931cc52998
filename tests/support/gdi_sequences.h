// Random sequences of graphics calls, made on the system's graphics (or the stand-in) and on a
// plain model of the same pixels side by side. Built for Linux and for Windows alike, so that
// what the stand-in and the model do can be held against what Windows' graphics do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lorvaxen::test {

struct SequenceOptions
{
    uint64_t seed = 1;
    int steps = 1000;
    int maxWidth = 70;  // of the bitmaps made
    int maxHeight = 20; // of the bitmaps made
    // Also the largest and smallest coordinates an int holds, and deleting a bitmap that is still
    // selected (which Windows refuses but Wine delays until it is let go).
    bool extremes = true;
};

// The sequence recorded on Windows' graphics under Wine (tests/data/gdi_sequence_record.txt), that
// the stand-in and the model replay: bitmaps small enough to keep the record short.
constexpr SequenceOptions kRecordedSequence{
    .seed = 21, .steps = 3000, .maxWidth = 24, .maxHeight = 6, .extremes = false};

// Runs a sequence, calling `check` after every step with what the graphics calls gave back and
// what the model gives back: one line each, naming the step and its results, with the bits of
// the bitmap drawn on read back. Stops early, returning false, when `check` does. Every object
// made is deleted at the end.
bool runSequence(
    const SequenceOptions& options,
    const std::function<bool(const std::string& calls, const std::string& model)>& check);

} // namespace lorvaxen::test
