#include "files/cop_import.h"

#include <algorithm>

#include "model/fixed_point.h"
#include "model/platform_models.h"

namespace kenvo {

void importCopAttempt(MeasurementStore& store, int32_t attempt, const std::vector<CopPoint>& points,
                      int32_t model, int64_t now) {
    const ModelScales scales = modelScales(model, 0);
    const auto samples = static_cast<int32_t>(std::min<std::size_t>(points.size(), MaxSamples));
    const auto slot = static_cast<std::size_t>(attempt);
    store.beginAttempt(attempt, now, false);
    store.length[slot] = samples;
    store.targetLocation[slot] = 0;
    CopSample* dest = store.samples(attempt);
    for (int32_t j = 0; j < samples; ++j) {
        const CopPoint& p = points[static_cast<std::size_t>(j)];
        dest[j] = CopSample{onFixedPointGrid(static_cast<float>(p.xMm / scales.scaleX)),
                            onFixedPointGrid(static_cast<float>(p.yMm / scales.scaleY)), 0};
    }
}

void finishCopImport(MeasurementStore& store, int32_t attempts, int32_t model) {
    int32_t longest = 0;
    for (int32_t i = 0; i < attempts; ++i)
        longest = std::max(longest, store.length[static_cast<std::size_t>(i)]);
    const ModelScales scales = modelScales(model, 0);
    TestSettings settings = TestSettings::defaults();
    settings.orientation = 0;
    settings.stanceTime = longest / SampleRate;
    store.settings = settings;
    store.settings.testMode = TestModeStance;
    store.calibration.scaleX = scales.scaleX;
    store.calibration.scaleY = scales.scaleY;
    store.attemptSeconds = settings.stanceTime;
    store.attemptCount = attempts;
}

}  // namespace kenvo
