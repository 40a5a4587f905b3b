#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "files/measurement_file.h"
#include "files/protocol_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "model/target_protocol.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

TEST(ProtocolFile, ProtocolANamedWithLeftRearFrontIs34Bytes) {
    TargetLocations locations{};
    locations[0] = 0;
    locations[1] = 3;
    locations[2] = 1;
    locations[3] = 2;  // beyond the length: not written
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeProtocol(TargetProtocol{"A", 3}, locations, bytes).ok);
    std::vector<uint8_t> expected = {15};
    for (const char c : std::string("Kenvo_Plat_V1.1")) expected.push_back(static_cast<uint8_t>(c));
    expected.insert(expected.end(), {1, 'A', 3, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 34u);
}

TEST(ProtocolFile, RoundTripReplacesTheFirstTargetLocationsOfTheStore) {
    test::TempDir dir;
    const std::string path = dir.file("p.kplatprt");
    TargetLocations locations{};
    for (int i = 0; i < 20; ++i) locations[i] = (i * 7) % 4;
    locations[5] = 9;  // values outside 0..3 are kept as they are
    ASSERT_TRUE(saveProtocol(path, TargetProtocol{"Protokol \x8A", 20}, locations).ok);

    auto store = std::make_unique<MeasurementStore>();
    for (int i = 0; i < 30; ++i) store->targetLocation[i] = 100 + i;
    TargetProtocol protocol;
    ASSERT_TRUE(loadProtocol(path, protocol, store->targetLocation).ok);
    EXPECT_EQ(protocol, (TargetProtocol{"Protokol \x8A", 20}));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(store->targetLocation[i], locations[i]);
    EXPECT_EQ(store->targetLocation[20], 120);

    // A measurement saved now carries the protocol's locations.
    store->attemptCount = 2;
    store->calibration.scaleX = store->calibration.scaleY = 200.0f;
    const std::string data = dir.file("d.kplat");
    ASSERT_TRUE(saveMeasurementFile(data, *store).ok);
    auto reloaded = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    ASSERT_TRUE(loadMeasurementFile(data, *reloaded, graph).ok);
    EXPECT_EQ(reloaded->targetLocation[1], locations[1]);

    // An empty protocol: signature, name, count only.
    ASSERT_TRUE(saveProtocol(path, TargetProtocol{"none", 0}, locations).ok);
    EXPECT_EQ(test::readFileBytes(path).size(), 16u + 1 + 4 + 4);
    ASSERT_TRUE(loadProtocol(path, protocol, store->targetLocation).ok);
    EXPECT_EQ(protocol, (TargetProtocol{"none", 0}));
}

TEST(ProtocolFile, RefusedOrCutFilesChangeNothing) {
    TargetLocations source{};
    for (int i = 0; i < 6; ++i) source[i] = i % 4;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeProtocol(TargetProtocol{"name", 6}, source, bytes).ok);

    TargetLocations locations{};
    locations.fill(7);
    TargetProtocol protocol{"kept", 2};
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const FileResult r = decodeProtocol(std::span(bytes.data(), cut), "p", protocol, locations);
        ASSERT_FALSE(r.ok) << cut;
        ASSERT_EQ(protocol, (TargetProtocol{"kept", 2})) << cut;
        ASSERT_EQ(locations[0], 7) << cut;
        ASSERT_EQ(locations[5], 7) << cut;
    }

    auto other = bytes;
    other[1] = 'k';
    FileResult r = decodeProtocol(other, "p", protocol, locations);
    EXPECT_EQ(r.message, "Incompatible protocol");

    // 502 entries, even with all of them present.
    auto many = bytes;
    many.resize(16 + 5);
    many.insert(many.end(), {0xF6, 0x01, 0, 0});
    many.resize(many.size() + 502 * 4, 0);
    r = decodeProtocol(many, "many.kplatprt", protocol, locations);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("many.kplatprt"), std::string::npos);
    EXPECT_EQ(protocol, (TargetProtocol{"kept", 2}));
    EXPECT_EQ(locations[0], 7);

    std::vector<uint8_t> out;
    EXPECT_FALSE(encodeProtocol(TargetProtocol{"x", 502}, source, out).ok);

    test::TempDir dir;
    r = loadProtocol(dir.file("absent.kplatprt"), protocol, locations);
    EXPECT_EQ(r.message, "Error opening file");
}

TEST(ProtocolFile, AMeasurementFileOpensAsAProtocol) {
    // The same signature: the first byte of the zero scaleX reads as an empty name and the
    // next four zero bytes as no entries.
    auto store = std::make_unique<MeasurementStore>();
    store->calibration.scaleX = 0.0f;
    store->settings = TestSettings{};
    test::TempDir dir;
    ASSERT_TRUE(saveMeasurementFile(dir.file("m.kplat"), *store).ok);
    TargetProtocol protocol{"old", 3};
    TargetLocations locations{};
    const FileResult r = loadProtocol(dir.file("m.kplat"), protocol, locations);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(protocol, (TargetProtocol{"", 0}));
}

}  // namespace
}  // namespace kenvo
