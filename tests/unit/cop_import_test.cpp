#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "files/cop_import.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "model/platform_models.h"

namespace kenvo {
namespace {

// Millimetre values like a real recording's, which almost never fall on the file's grid.
std::vector<CopPoint> recording(int samples, double phase) {
    std::vector<CopPoint> points;
    for (int j = 0; j < samples; ++j)
        points.push_back({7.31 * std::sin(0.013 * j + phase) + 1.0 / 3.0,
                          -11.7 * std::cos(0.021 * j) + phase / 7.0});
    return points;
}

// The imported data set is already what saving and opening it gives back, float for float, on
// every model (their half-spans differ), so its numbers cannot change by being saved.
TEST(CopImport, TheImportedStoreIsWhatSavingAndOpeningItGivesBack) {
    for (int32_t model = 0; model < PlatformModelCount; ++model) {
        auto imported = std::make_unique<MeasurementStore>();
        importCopAttempt(*imported, 0, recording(1500, 0.0), model, 1700000000);
        importCopAttempt(*imported, 1, recording(2000, 0.4), model, 1700000000);
        importCopAttempt(*imported, 2, {}, model, 1700000000);
        finishCopImport(*imported, 3, model);
        EXPECT_EQ(imported->attemptSeconds, 20);
        EXPECT_EQ(imported->settings.testMode, TestModeStance);
        EXPECT_EQ(imported->calibration.scaleX, modelScales(model, 0).scaleX);

        std::vector<uint8_t> bytes;
        ASSERT_TRUE(encodeMeasurementFile(*imported, bytes).ok);
        auto reopened = std::make_unique<MeasurementStore>();
        GraphSettings graph;
        ASSERT_TRUE(decodeMeasurementFile(bytes, "imported.kplat", *reopened, graph).ok);
        ASSERT_EQ(reopened->attemptCount, 3);
        for (int32_t a = 0; a < 3; ++a) {
            ASSERT_EQ(reopened->length[a], imported->length[a]);
            for (int32_t j = 0; j < imported->length[a]; ++j)
                ASSERT_EQ(reopened->samples(a)[j], imported->samples(a)[j])
                    << "model " << model << " attempt " << a << " sample " << j;
        }
    }
}

// A recording longer than an attempt slot keeps the slot's samples and no more.
TEST(CopImport, ARecordingLongerThanTheSlotIsCutToIt) {
    auto store = std::make_unique<MeasurementStore>();
    store->samples(1)[0] = CopSample{0.5f, 0.5f, 1};
    importCopAttempt(*store, 0, recording(MaxSamples + 5, 0.0), 0, 0);
    EXPECT_EQ(store->length[0], MaxSamples);
    EXPECT_EQ(store->samples(1)[0], (CopSample{0.5f, 0.5f, 1}));
}

}  // namespace
}  // namespace kenvo
