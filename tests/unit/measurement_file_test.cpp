#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "files/archive_writer.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "store_snapshot.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

using test::StoreSnapshot;

// One storage step (1e-4) of truncation, plus the float rounding of the value read back.
constexpr double StorageStep = 1e-4 + 1e-6;

// Bytes of items 1..13 for the data sets built below (signature, scales, settings, subject
// strings of these lengths, the three integers, duration, count).
std::size_t headerBytes(const SubjectRecord& s) {
    return 16 + 8 + 44 + (1 + s.name.size()) + 12 + (1 + s.comment1.size()) +
           (1 + s.comment2.size()) + (1 + s.comment3.size()) + 4 + 4;
}

// A small data set: `attempts` attempts of `samples` samples each, with distinct values.
void fill(MeasurementStore& store, int32_t mode, int attempts, int samples) {
    store.settings = TestSettings::defaults();
    store.settings.testMode = mode;
    store.settings.stanceTime = samples / 100;
    store.calibration = PlatformCalibration{175.0f, 276.0f, {7, 8, 9, 10}};
    store.subject = SubjectRecord{"Nov\xE1k", 1, 183, 81, "c1", "", "\x8A\x9E"};
    store.attemptSeconds = samples / 100;
    store.attemptCount = attempts;
    for (int i = 0; i < attempts; ++i) {
        store.startTime[i] = 1700000000 + 60 * i;
        store.length[i] = samples;
        store.targetLocation[i] = (i * 3) % 4;
        for (int j = 0; j < samples; ++j) {
            store.samples(i)[j] =
                CopSample{std::sin(0.01f * j + i) * 0.8f, std::cos(0.013f * j) * -0.6f,
                          static_cast<int16_t>(j % 50 == 0 ? 1072 : 72 + i)};
            store.deviation(i)[j] = 12.5f * std::sin(0.02f * j) - i;
        }
    }
}

std::vector<uint8_t> encoded(const MeasurementStore& store) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeMeasurementFile(store, bytes).ok);
    return bytes;
}

TEST(MeasurementFile, AttemptRecordsTakeTenBytesPerSampleOrFourteenWhenDriving) {
    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeStance, 1, 1000);
    const std::size_t header = headerBytes(store->subject);
    EXPECT_EQ(encoded(*store).size(), header + 12 + 10000);
    store->settings.testMode = TestModeDriving;
    EXPECT_EQ(encoded(*store).size(), header + 12 + 14000);
    store->attemptCount = 0;
    const auto empty = encoded(*store);
    ASSERT_EQ(empty.size(), header);
    EXPECT_EQ(empty[0], 15);
    EXPECT_EQ(std::string(empty.begin() + 1, empty.begin() + 16), "Kenvo_Plat_V1.1");
}

// Every field at its place, width and signedness: a round trip cannot catch a writer and a
// reader that agree on a wrong order.
TEST(MeasurementFile, DrivingFileBytesInFieldOrder) {
    auto store = std::make_unique<MeasurementStore>();
    store->calibration = PlatformCalibration{2.5f, 1.5f, {7, 8, 9, 10}};
    store->settings = TestSettings{1, 2, 3, TestModeDriving, 5, 6, 7, 8, 9, 10, 11};
    store->subject = SubjectRecord{"Ab", -2, 183, 81, "c", "", "xy"};
    store->attemptSeconds = 12;
    store->attemptCount = 1;
    store->startTime[0] = -16777216;  // 0xFF000000
    store->length[0] = 1;
    store->targetLocation[0] = 3;
    store->samples(0)[0] = CopSample{-0.12345678f, 0.5f, -2};
    store->deviation(0)[0] = 1.25f;

    std::vector<uint8_t> want = {15};
    for (const char c : std::string("Kenvo_Plat_V1.1")) want.push_back(static_cast<uint8_t>(c));
    auto word = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k) want.push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    word(0x40200000);  // 2.5f
    word(0x3FC00000);  // 1.5f
    for (uint32_t v : {1u, 2u, 3u, 3u, 5u, 6u, 7u, 8u, 9u, 10u, 11u}) word(v);
    want.insert(want.end(), {2, 'A', 'b'});
    word(static_cast<uint32_t>(-2));
    word(183);
    word(81);
    want.insert(want.end(), {1, 'c', 0, 2, 'x', 'y'});
    word(12);
    word(1);
    word(0xFF000000);
    word(1);
    word(3);
    word(static_cast<uint32_t>(-1234));  // truncated toward zero
    word(5000);
    want.insert(want.end(), {0xFE, 0xFF});  // pulse -2
    word(12500);
    EXPECT_EQ(encoded(*store), want);

    auto loaded = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    ASSERT_TRUE(decodeMeasurementFile(want, "x", *loaded, graph).ok);
    EXPECT_EQ(loaded->settings, store->settings);
    EXPECT_EQ(loaded->subject, store->subject);
    EXPECT_EQ(loaded->startTime[0], -16777216);
    EXPECT_EQ(loaded->samples(0)[0], (CopSample{-0.1234f, 0.5f, -2}));
    EXPECT_EQ(loaded->deviation(0)[0], 1.25f);
}

TEST(MeasurementFile, LongSubjectNameUsesTheThreeBytePrefixAndReadsBackWhole) {
    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeStance, 0, 0);
    store->subject.name.assign(300, '\xE9');
    const auto bytes = encoded(*store);
    const std::size_t at = 16 + 8 + 44;
    EXPECT_EQ(bytes[at], 0xFF);
    EXPECT_EQ(bytes[at + 1], 0x2C);
    EXPECT_EQ(bytes[at + 2], 0x01);
    auto loaded = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    ASSERT_TRUE(decodeMeasurementFile(bytes, "x", *loaded, graph).ok);
    EXPECT_EQ(loaded->subject, store->subject);
}

TEST(MeasurementFile, SaveAndLoadReproduceTheDataSet) {
    for (const int32_t mode : {TestModeStance, TestModeTargetHitting, TestModeDriving}) {
        SCOPED_TRACE(mode);
        auto store = std::make_unique<MeasurementStore>();
        fill(*store, mode, 3, 1234);
        store->length[1] = 17;  // attempts of their own lengths
        store->length[2] = 0;
        store->samples(0)[0] = CopSample{-0.00005f, 0.99999f, -5};

        test::TempDir dir;
        const std::string path = dir.file("set.kplat");
        store->dataSaved = 0;
        ASSERT_TRUE(saveMeasurementFile(path, *store).ok);
        EXPECT_EQ(store->dataSaved, 1);

        auto loaded = std::make_unique<MeasurementStore>();
        // Driving values beyond each attempt's length are not in a stance file and must stay.
        loaded->deviation(0)[1234] = 3.0f;
        loaded->deviation(1)[0] = 9.0f;
        loaded->dataSaved = 0;
        GraphSettings graph = GraphSettings::defaults();
        ASSERT_TRUE(loadMeasurementFile(path, *loaded, graph).ok);

        EXPECT_EQ(loaded->attemptCount, 3);
        EXPECT_EQ(loaded->settings, store->settings);
        EXPECT_EQ(loaded->subject, store->subject);
        EXPECT_EQ(loaded->attemptSeconds, 12);
        EXPECT_EQ(graph.attemptSeconds, 12);
        EXPECT_EQ(loaded->calibration.scaleX, 175.0f);
        EXPECT_EQ(loaded->calibration.scaleY, 276.0f);
        EXPECT_EQ(loaded->calibration.zeroOffset[0], 1);  // offsets are not in the file
        EXPECT_EQ(loaded->dataPresent, 1);
        EXPECT_EQ(loaded->dataSaved, 1);
        EXPECT_EQ(loaded->samples(0)[0].x, 0.0f);
        EXPECT_EQ(loaded->samples(0)[0].y, 0.9999f);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(loaded->startTime[i], store->startTime[i]);
            EXPECT_EQ(loaded->length[i], store->length[i]);
            EXPECT_EQ(loaded->targetLocation[i], store->targetLocation[i]);
            for (int j = 0; j < store->length[i]; ++j) {
                const CopSample& a = store->samples(i)[j];
                const CopSample& b = loaded->samples(i)[j];
                ASSERT_EQ(b.pulse, a.pulse);
                ASSERT_NEAR(b.x, a.x, StorageStep);
                ASSERT_NEAR(b.y, a.y, StorageStep);
                if (mode == TestModeDriving)
                    ASSERT_NEAR(loaded->deviation(i)[j], store->deviation(i)[j],
                                StorageStep + 1e-6 * std::fabs(store->deviation(i)[j]));
                else
                    ASSERT_EQ(loaded->deviation(i)[j], 0.0f);
            }
        }
        if (mode != TestModeDriving) {
            EXPECT_EQ(loaded->deviation(0)[1234], 3.0f);
            EXPECT_EQ(loaded->deviation(1)[17], 0.0f);
        }
    }
}

// A data set holds the subject's name: its file is the user's alone, whatever the umask, and
// saving over a file someone made readable to others makes it private again.
TEST(MeasurementFile, ASavedDataSetIsReadableByItsOwnerOnly) {
    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeStance, 1, 100);
    test::TempDir dir;
    const std::string path = dir.file("set.kplat");
    const auto modeOf = [&] {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_mode & 0777;
    };
    const mode_t oldMask = ::umask(0);
    const bool saved = saveMeasurementFile(path, *store).ok;
    ::umask(oldMask);
    ASSERT_TRUE(saved);
    EXPECT_EQ(modeOf(), 0600u);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(saveMeasurementFile(path, *store).ok);
    EXPECT_EQ(modeOf(), 0600u);
}

TEST(MeasurementFile, LoadingClampsTheGraphWindowToTheFileDuration) {
    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeStance, 1, 800);
    const auto bytes = encoded(*store);
    for (const auto& [from, wantFrom] : {std::pair{9, 8}, std::pair{5, 5}}) {
        GraphSettings graph = GraphSettings::defaults();
        graph.graphToSeconds = 10;
        graph.graphFromSeconds = from;
        auto loaded = std::make_unique<MeasurementStore>();
        ASSERT_TRUE(decodeMeasurementFile(bytes, "x", *loaded, graph).ok);
        EXPECT_EQ(graph.graphToSeconds, 8);
        EXPECT_EQ(graph.graphFromSeconds, wantFrom);
        GraphSettings expected = GraphSettings::defaults();
        expected.graphToSeconds = 8;
        expected.graphFromSeconds = wantFrom;
        expected.attemptSeconds = 8;
        EXPECT_EQ(graph, expected);  // nothing else of the block changes
    }
}

TEST(MeasurementFile, EverySignatureVariantIsRefusedAndChangesNothing) {
    auto source = std::make_unique<MeasurementStore>();
    fill(*source, TestModeStance, 1, 5);
    const auto good = encoded(*source);
    const std::vector<uint8_t> body(good.begin() + 16, good.end());

    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeDriving, 2, 7);
    GraphSettings graph = GraphSettings::defaults();
    const StoreSnapshot before(*store, graph, 2, 8);
    const std::vector<std::string> variants = {"Kenvo_Plat_V1.2",
                                               "kenvo_plat_v1.1",
                                               "KENVO_PLAT_V1.1",
                                               "Kenvo_Plat_V1.1 ",
                                               " Kenvo_Plat_V1.1",
                                               "Kenvo_Plat_V1.",
                                               "Kenvo_Plat_V1.0",
                                               "",
                                               std::string("Kenvo_Plat_V1.1\0", 16)};
    for (const std::string& signature : variants) {
        ArchiveWriter w;
        w.putArchiveString(signature);
        std::vector<uint8_t> bytes = w.bytes();
        bytes.insert(bytes.end(), body.begin(), body.end());
        const FileResult r = decodeMeasurementFile(bytes, "x", *store, graph);
        EXPECT_FALSE(r.ok) << signature;
        EXPECT_EQ(r.message, "Incompatible data") << signature;
        EXPECT_TRUE(StoreSnapshot(*store, graph, 2, 8) == before) << signature;
    }
    // The same signature in the 16-bit string form is the same text and is accepted.
    std::vector<uint8_t> wide = {0xFF, 0xFE, 0xFF, 15};
    for (const char c : std::string("Kenvo_Plat_V1.1"))
        wide.insert(wide.end(), {static_cast<uint8_t>(c), 0});
    wide.insert(wide.end(), body.begin(), body.end());
    EXPECT_TRUE(decodeMeasurementFile(wide, "x", *store, graph).ok);
}

TEST(MeasurementFile, AFileCutAtAnyByteIsRefusedAndLeavesTheStoreUnchanged) {
    for (const int32_t mode : {TestModeStance, TestModeDriving}) {
        auto source = std::make_unique<MeasurementStore>();
        fill(*source, mode, 3, 4);
        source->length[1] = 1;
        const auto bytes = encoded(*source);

        auto store = std::make_unique<MeasurementStore>();
        fill(*store, TestModeTargetHitting, 4, 6);
        store->subject = SubjectRecord{"other", 0, 1, 2, "a", "b", "c"};
        store->dataPresent = 0;
        store->dataSaved = 0;
        GraphSettings graph = GraphSettings::defaults();
        const StoreSnapshot before(*store, graph, 4, 6);
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            const std::span<const uint8_t> part(bytes.data(), cut);
            const FileResult r = decodeMeasurementFile(part, "cut.kplat", *store, graph);
            ASSERT_FALSE(r.ok) << "cut at " << cut;
            ASSERT_FALSE(r.message.empty());
            ASSERT_TRUE(StoreSnapshot(*store, graph, 4, 6) == before) << "cut at " << cut;
        }
        ASSERT_TRUE(decodeMeasurementFile(bytes, "whole.kplat", *store, graph).ok);
    }
}

TEST(MeasurementFile, CountsBeyondTheStoreAreRefusedAndNegativeOnesReadAsNothing) {
    auto source = std::make_unique<MeasurementStore>();
    fill(*source, TestModeStance, 1, 3);
    auto bytes = encoded(*source);
    const std::size_t countAt = headerBytes(source->subject) - 4;
    auto patch = [&](std::size_t at, int32_t v) {
        auto b = bytes;
        for (int k = 0; k < 4; ++k)
            b[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
        return b;
    };
    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeStance, 2, 2);
    GraphSettings graph;
    const StoreSnapshot before(*store, graph, 2, 2);

    // 502 attempts: refused even though the file is long enough to hold them.
    auto many = patch(countAt, 502);
    many.resize(many.size() + 502 * 12, 0);
    FileResult r = decodeMeasurementFile(many, "many.kplat", *store, graph);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("many.kplat"), std::string::npos);
    EXPECT_NE(r.message.find("501"), std::string::npos);
    // 31001 samples in an attempt, likewise.
    auto longer = patch(countAt + 8, 31001);
    longer.resize(longer.size() + 31001 * 10, 0);
    r = decodeMeasurementFile(longer, "long.kplat", *store, graph);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("31000"), std::string::npos);
    EXPECT_TRUE(StoreSnapshot(*store, graph, 2, 2) == before);

    // A negative sample count reads as no samples; a negative attempt count as no attempts.
    auto noSamples = patch(countAt + 8, -4);
    noSamples.resize(countAt + 16);
    ASSERT_TRUE(decodeMeasurementFile(noSamples, "x", *store, graph).ok);
    EXPECT_EQ(store->attemptCount, 1);
    EXPECT_EQ(store->length[0], 0);
    auto noAttempts = patch(countAt, -1);
    noAttempts.resize(countAt + 4);
    ASSERT_TRUE(decodeMeasurementFile(noAttempts, "x", *store, graph).ok);
    EXPECT_EQ(store->attemptCount, 0);
}

TEST(MeasurementFile, SavingRefusesOversizedDataSetsAndKeepsThePreviousFile) {
    auto store = std::make_unique<MeasurementStore>();
    fill(*store, TestModeStance, 1, 10);
    test::TempDir dir;
    const std::string path = dir.file("kept.kplat");
    ASSERT_TRUE(saveMeasurementFile(path, *store).ok);
    const std::string previous = test::readFileBytes(path);

    store->dataSaved = 0;
    store->attemptCount = 502;
    FileResult r = saveMeasurementFile(path, *store);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "File Save Error");
    store->attemptCount = 1;
    store->length[0] = 31001;
    EXPECT_FALSE(saveMeasurementFile(path, *store).ok);
    EXPECT_EQ(store->dataSaved, 0);
    EXPECT_EQ(test::readFileBytes(path), previous);

    // A folder that cannot take the file.
    store->length[0] = 10;
    r = saveMeasurementFile(dir.file("missing/x.kplat"), *store);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "File Save Error");
    EXPECT_NE(r.reason.find("missing/x.kplat"), std::string::npos);
    EXPECT_EQ(store->dataSaved, 0);

    auto other = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    r = loadMeasurementFile(dir.file("absent.kplat"), *other, graph);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Error opening file");
    EXPECT_EQ(other->dataPresent, 0);
}

// A platform's scale is a few hundred millimetres per unit; a file whose scales are not a
// positive finite number of at most 10 m is damaged, and opening it changes nothing.
TEST(MeasurementFile, ScalesThatAreNotPositiveFiniteAndAtMost10mAreRefused) {
    auto store = std::make_unique<MeasurementStore>();
    store->settings = TestSettings::defaults();
    store->attemptCount = 1;
    store->length[0] = 2;
    auto target = std::make_unique<MeasurementStore>();
    target->attemptCount = 2;
    GraphSettings graph = GraphSettings::defaults();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const auto& [x, y] :
         {std::pair{nan, 200.0f}, std::pair{200.0f, nan}, std::pair{inf, 200.0f},
          std::pair{200.0f, -inf}, std::pair{0.0f, 200.0f}, std::pair{200.0f, -1.0f},
          std::pair{10000.5f, 200.0f}}) {
        store->calibration.scaleX = x;
        store->calibration.scaleY = y;
        const FileResult r = decodeMeasurementFile(encoded(*store), "bad.kplat", *target, graph);
        EXPECT_FALSE(r.ok) << x << " " << y;
        EXPECT_NE(r.message.find("bad.kplat is damaged"), std::string::npos) << r.message;
        EXPECT_EQ(target->attemptCount, 2);
    }
    store->calibration.scaleX = 10000.0f;
    store->calibration.scaleY = 0.001f;
    EXPECT_TRUE(decodeMeasurementFile(encoded(*store), "edge.kplat", *target, graph).ok);
    EXPECT_EQ(target->calibration.scaleX, 10000.0f);

    // A data set saved before any test has no samples and scales of 0; it still opens.
    store->calibration = PlatformCalibration{};
    store->length[0] = 0;
    EXPECT_TRUE(decodeMeasurementFile(encoded(*store), "empty.kplat", *target, graph).ok);
    store->attemptCount = 0;
    EXPECT_TRUE(decodeMeasurementFile(encoded(*store), "empty.kplat", *target, graph).ok);
}

}  // namespace
}  // namespace kenvo
