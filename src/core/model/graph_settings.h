#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace kenvo {

// The quantity a time-graph axis shows; the value is also the SampleMetric kind that
// computes it.
enum GraphParameter : int32_t {
    GraphCopX = 0,
    GraphCopY = 1,
    GraphVelocity = 2,        // step from the sample before, shown in mm/s (shownMetric)
    GraphHeartFrequency = 3,  // beats per minute
};

// The quantity a diffusion-graph axis shows.
enum DiffusionParameter : int32_t {
    DiffusionR = 0,   // mm
    DiffusionR2 = 1,  // mm2
    DiffusionX = 2,   // mm
    DiffusionY = 3,   // mm
};

inline constexpr int32_t DiffusionParameterCount = 4;

// How every graph and live display is scaled and what it shows. The configuration file keeps
// the block whole as 28 int32 in exactly this field order, so the layout is fixed. Word 2 is
// not a graph setting: it carries the planned attempt duration, whose working copy is
// MeasurementStore::attemptSeconds (the file functions keep the two in step).
struct GraphSettings {
    int32_t timeAxisSeconds = 0;        // live time graph width and live ring size, 1..60
    int32_t copTraceLength = 0;         // samples drawn in the live COP plane, 10..3000
    int32_t attemptSeconds = 0;         // planned attempt duration, seconds
    int32_t copDisplayTimeSeconds = 0;  // how long the COP picture stays after a test, 0..10
    int32_t graphFromSeconds = 0;       // 0..50, stored and clamped only
    int32_t graphToSeconds = 0;         // 1..60, stored and clamped only
    int32_t copCentred = 0;             // 0 COP as measured, 1 centred on the start
    int32_t copAxisMin = 0;             // mm, both COP plane axes
    int32_t copAxisMax = 0;
    int32_t copAxisStep = 0;
    int32_t y1Parameter = 0;  // GraphParameter
    int32_t y2Parameter = 0;  // GraphParameter
    int32_t y1Min = 0;
    int32_t y1Max = 0;
    int32_t y1Step = 0;
    int32_t y2Min = 0;
    int32_t y2Max = 0;
    int32_t y2Step = 0;
    int32_t daY1Parameter = 0;                     // DiffusionParameter
    int32_t daY2Parameter = 0;                     // DiffusionParameter
    int32_t daMax[DiffusionParameterCount] = {};   // diffusion axis tops for r, r2, x, y
    int32_t daStep[DiffusionParameterCount] = {};  // their tick spacings

    // The values used when no configuration can be read; attemptSeconds is 0 here and the
    // configuration loader keeps the value it had.
    static GraphSettings defaults();

    // Opening a data file of `durationSeconds` lowers the graph window to it: To first, then
    // From.
    void clampWindowTo(int32_t durationSeconds);

    // The sample steps the live window spans: timeAxisSeconds x 100, held within the live ring
    // (which has one entry more) whatever the word holds.
    int32_t liveWindowSamples() const;

    // The block as its 28 words, in file order.
    using Words = std::array<int32_t, 28>;
    Words words() const;
    static GraphSettings fromWords(const Words& words);

    friend bool operator==(const GraphSettings&, const GraphSettings&) = default;
};
static_assert(sizeof(GraphSettings) == 112, "the block is stored as 28 words without padding");

inline GraphSettings::Words GraphSettings::words() const {
    return std::bit_cast<Words>(*this);
}
inline GraphSettings GraphSettings::fromWords(const Words& words) {
    return std::bit_cast<GraphSettings>(words);
}

// The diffusion result line (slope and intercept), edited with the diffusion axes but kept in
// no file.
struct DiffusionLine {
    float daLineA = 0.0f;
    float daLineB = 0.0f;

    friend bool operator==(const DiffusionLine&, const DiffusionLine&) = default;
};

}  // namespace kenvo
