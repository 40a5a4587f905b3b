#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "files/configuration_file.h"
#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "model/settings.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

// Settings with a distinct value in every word.
Settings distinctSettings() {
    Settings s;
    s.test = TestSettings{1, 25, 1, 3, 12, 4, 2, 1, 40, 70, 95};
    auto words = GraphSettings::defaults().words();
    for (std::size_t k = 0; k < words.size(); ++k) words[k] += static_cast<int32_t>(k) * 3 + 1;
    s.graph = GraphSettings::fromWords(words);
    // The choices and the short ranges, distinct but within what a load accepts.
    s.graph.copDisplayTimeSeconds = 7;
    s.graph.copCentred = 1;
    s.graph.y1Parameter = GraphHeartFrequency;
    s.graph.y2Parameter = GraphVelocity;
    s.graph.daY1Parameter = DiffusionY;
    s.graph.daY2Parameter = DiffusionR2;
    s.configReserved = {4, 5, 6};
    s.calibration = PlatformCalibration{117.0f, 112.0f, {-3, 2000, 3, 4}};
    s.filterFrequency = 2.5f;
    return s;
}

TEST(ConfigurationFile, StartValuesBeforeAnyLoad) {
    const Settings s;
    EXPECT_EQ(s.test, TestSettings{});
    EXPECT_EQ(s.graph, GraphSettings{});
    EXPECT_EQ(s.configReserved, (std::array<int32_t, 3>{0, 10, 1}));
    EXPECT_EQ(s.calibration, (PlatformCalibration{0.0f, 0.0f, {1, 1, 1, 1}}));
    EXPECT_EQ(s.filterFrequency, 1.0f);
}

TEST(ConfigurationFile, IsExactly212BytesInBlockOrder) {
    const Settings s = distinctSettings();
    const auto bytes = encodeConfiguration(s, 33);
    ASSERT_EQ(bytes.size(), 212u);
    EXPECT_EQ(bytes[0], 15);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 16), "Kenvo_Plat_V1.1");
    auto word = [&](std::size_t at) {
        return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(word(16 + 4), 25);                   // stanceTime
    EXPECT_EQ(word(60), s.graph.timeAxisSeconds);  // the graph block
    EXPECT_EQ(word(68), 33);                       // its word 2 is the attempt duration
    EXPECT_EQ(word(60 + 27 * 4), s.graph.daStep[3]);
    EXPECT_EQ(word(172), 4);
    EXPECT_EQ(word(192), -3);  // first zero offset after the two scales
    EXPECT_EQ(word(204), 4);
    EXPECT_EQ(word(208), 0x40200000);  // 2.5f
}

TEST(ConfigurationFile, RoundTripTakesTheAttemptDurationFromTheStanceTime) {
    test::TempDir dir;
    const std::string path = dir.file("a.swpcfg");
    const Settings saved = distinctSettings();
    ASSERT_TRUE(saveConfiguration(path, saved, 99).ok);
    EXPECT_EQ(test::readFileBytes(path).size(), 212u);

    Settings loaded;
    int32_t attemptSeconds = 7;
    ASSERT_TRUE(loadConfiguration(path, loaded, attemptSeconds).ok);
    EXPECT_EQ(attemptSeconds, 25);  // not the 99 the file holds
    Settings expected = saved;
    expected.graph.attemptSeconds = 25;
    EXPECT_EQ(loaded, expected);
}

// Zero offsets far beyond any sensor reading are damage: they are brought within +-4095, so the
// reader thread's raw - offset stays in range; ordinary ones, even slightly negative, stay.
TEST(ConfigurationFile, DamagedZeroOffsetsAreBroughtIntoTheSensorRange) {
    test::TempDir dir;
    const std::string path = dir.file("z.swpcfg");
    Settings saved = distinctSettings();
    saved.calibration = PlatformCalibration{175.0f, 276.0f, {INT32_MIN, -3, 4095, INT32_MAX}};
    ASSERT_TRUE(saveConfiguration(path, saved, 10).ok);
    Settings loaded;
    int32_t attemptSeconds = 0;
    ASSERT_TRUE(loadConfiguration(path, loaded, attemptSeconds).ok);
    EXPECT_EQ((std::array{loaded.calibration.zeroOffset[0], loaded.calibration.zeroOffset[1],
                          loaded.calibration.zeroOffset[2], loaded.calibration.zeroOffset[3]}),
              (std::array{-4095, -3, 4095, 4095}));
}

TEST(ConfigurationFile, MissingFileGivesDefaultsAndKeepsTheRest) {
    test::TempDir dir;
    Settings s = distinctSettings();
    s.graph.attemptSeconds = 17;
    int32_t attemptSeconds = 17;
    const FileResult r = loadConfiguration(dir.file("none.swpcfg"), s, attemptSeconds);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s.test, TestSettings::defaults());
    GraphSettings expectedGraph = GraphSettings::defaults();
    expectedGraph.attemptSeconds = 17;
    EXPECT_EQ(s.graph, expectedGraph);
    EXPECT_EQ(s.graph.daY1Parameter, DiffusionR);
    EXPECT_EQ(s.graph.daY2Parameter, DiffusionX);
    EXPECT_EQ(attemptSeconds, 17);
    const Settings original = distinctSettings();
    EXPECT_EQ(s.configReserved, original.configReserved);
    EXPECT_EQ(s.calibration, original.calibration);
    EXPECT_EQ(s.filterFrequency, original.filterFrequency);

    // A first start: defaults, and the exit save holds them with a duration of 0.
    Settings first;
    int32_t firstSeconds = 0;
    ASSERT_TRUE(loadConfiguration(dir.file("default.swpcfg"), first, firstSeconds).ok);
    ASSERT_TRUE(saveConfiguration(dir.file("default.swpcfg"), first, firstSeconds).ok);
    Settings reread;
    int32_t rereadSeconds = -1;
    ASSERT_TRUE(loadConfiguration(dir.file("default.swpcfg"), reread, rereadSeconds).ok);
    EXPECT_EQ(reread.test, TestSettings::defaults());
    EXPECT_EQ(rereadSeconds, 10);  // from stanceTime
}

TEST(ConfigurationFile, CutFilesAreReadAsFarAsTheyGo) {
    const Settings fileSettings = distinctSettings();
    const auto bytes = encodeConfiguration(fileSettings, 99);
    Settings current;
    current.test = TestSettings::defaults();
    current.graph = GraphSettings::defaults();
    const auto currentBytes = encodeConfiguration(current, 5);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        Settings s = current;
        int32_t attemptSeconds = 5;
        const FileResult r =
            decodeConfiguration(std::span(bytes.data(), cut), "c.swpcfg", s, attemptSeconds);
        if (cut < 16) {
            // Not even the signature: refused, nothing changes.
            ASSERT_FALSE(r.ok) << cut;
            ASSERT_EQ(r.message, "Incompatible data");
            ASSERT_EQ(s, current) << cut;
            ASSERT_EQ(attemptSeconds, 5);
            continue;
        }
        ASSERT_TRUE(r.ok) << cut;
        // Expected: the file's bytes up to the cut, the current settings' bytes after it.
        std::vector<uint8_t> merged(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        merged.insert(merged.end(), currentBytes.begin() + static_cast<long>(cut),
                      currentBytes.end());
        Settings expected;
        int32_t ignored = 0;
        ASSERT_TRUE(decodeConfiguration(merged, "m", expected, ignored).ok);
        expected.diffusionLine = current.diffusionLine;
        ASSERT_EQ(s, expected) << cut;
        ASSERT_EQ(attemptSeconds, s.test.stanceTime) << cut;
    }
}

TEST(ConfigurationFile, WrongSignatureChangesNothingButAMeasurementFilePasses) {
    test::TempDir dir;
    auto bytes = encodeConfiguration(distinctSettings(), 1);
    bytes[15] = '2';
    test::writeFileBytes(dir.file("bad.swpcfg"), std::string(bytes.begin(), bytes.end()));
    Settings s;
    int32_t attemptSeconds = 3;
    const FileResult r = loadConfiguration(dir.file("bad.swpcfg"), s, attemptSeconds);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Incompatible data");
    EXPECT_EQ(s, Settings{});
    EXPECT_EQ(attemptSeconds, 3);

    // A data file carries the same signature; its following bytes are read as settings, so
    // its two scales land in the first two test settings and its stanceTime two words later,
    // each then held to the range of the setting it landed in.
    auto store = std::make_unique<MeasurementStore>();
    store->settings = TestSettings::defaults();
    store->settings.stanceTime = 42;
    store->calibration.scaleY = 0.0f;
    ASSERT_TRUE(saveMeasurementFile(dir.file("m.kplat"), *store).ok);
    EXPECT_TRUE(loadConfiguration(dir.file("m.kplat"), s, attemptSeconds).ok);
    EXPECT_EQ(s.test.orientation, 1);  // the data file's spare, 30, held to 0..1
    EXPECT_EQ(s.test.testMode, TestModeStance);  // 42 is no test mode
    EXPECT_EQ(attemptSeconds, 0);  // the data file's scaleY bits
}

}  // namespace
}  // namespace kenvo
