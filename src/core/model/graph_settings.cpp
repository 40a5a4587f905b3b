#include "model/graph_settings.h"

#include <algorithm>

#include "model/limits.h"

namespace kenvo {

GraphSettings GraphSettings::defaults() {
    GraphSettings g;
    g.timeAxisSeconds = 10;
    g.copTraceLength = 100;
    g.attemptSeconds = 0;
    g.copDisplayTimeSeconds = 5;
    g.graphFromSeconds = 0;
    g.graphToSeconds = 10;
    g.copCentred = 0;
    g.copAxisMin = -50;
    g.copAxisMax = 50;
    g.copAxisStep = 20;
    g.y1Parameter = GraphCopX;
    g.y2Parameter = GraphCopY;
    g.y1Min = -100;
    g.y1Max = 100;
    g.y1Step = 20;
    g.y2Min = -100;
    g.y2Max = 100;
    g.y2Step = 20;
    g.daY1Parameter = DiffusionR;
    g.daY2Parameter = DiffusionX;
    const int32_t max[DiffusionParameterCount] = {50, 1000, 50, 50};
    const int32_t step[DiffusionParameterCount] = {5, 100, 5, 5};
    for (int k = 0; k < DiffusionParameterCount; ++k) {
        g.daMax[k] = max[k];
        g.daStep[k] = step[k];
    }
    return g;
}

int32_t GraphSettings::liveWindowSamples() const {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{timeAxisSeconds} * SampleRate, 1, MaxSamples - 1));
}

void GraphSettings::clampWindowTo(int32_t durationSeconds) {
    if (graphToSeconds > durationSeconds) graphToSeconds = durationSeconds;
    if (graphFromSeconds > durationSeconds) graphFromSeconds = durationSeconds;
}

}  // namespace kenvo
