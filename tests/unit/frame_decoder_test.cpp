#include <gtest/gtest.h>

#include <vector>

#include "platform/frame_decoder.h"
#include "platform/wire_frame.h"

namespace kenvo {
namespace {

std::vector<RawFrame> decodeAll(const std::vector<uint8_t>& bytes, FrameDecoder& decoder) {
    std::vector<RawFrame> frames;
    RawFrame frame;
    for (uint8_t b : bytes)
        if (decoder.push(b, frame)) frames.push_back(frame);
    return frames;
}

std::vector<RawFrame> decodeAll(const std::vector<uint8_t>& bytes) {
    FrameDecoder decoder;
    return decodeAll(bytes, decoder);
}

void append(std::vector<uint8_t>& bytes, const RawFrame& frame) {
    const auto encoded = encodeFrame(frame);
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
}

TEST(FrameDecoder, AllZeroFrameWithBeat) {
    const std::vector<uint8_t> bytes = {0x00, 0x40, 0x80, 0xC0, 0x40, 0x80, 0xC0, 0x40, 0x80, 0xC8};
    const auto frames = decodeAll(bytes);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], (RawFrame{{0, 0, 0, 0}, 8}));
}

TEST(FrameDecoder, SensorValuesAreHighTimes64PlusLowAndStatusIsTheLowNibble) {
    const RawFrame frame{{4095, 1, 2048, 1234}, 0x0F};
    auto bytes = encodeFrame(frame);
    EXPECT_EQ(bytes[0], 0x3F);         // tag 00, bits 11-6 of 4095
    EXPECT_EQ(bytes[9] & 0xC0, 0xC0);  // last tag
    bytes[9] |= 0x30;                  // payload bits above the nibble are ignored
    bytes[8] |= 0x3F;                  // the unused byte's payload is ignored
    const auto frames = decodeAll(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], frame);
}

TEST(FrameDecoder, StreamStartingMidFrameWaitsForTheNextFrameStart) {
    const RawFrame a{{100, 200, 300, 400}, 0}, b{{500, 600, 700, 800}, 8};
    std::vector<uint8_t> bytes;
    append(bytes, a);
    append(bytes, b);
    for (int skip = 1; skip < FrameBytes; ++skip) {
        const std::vector<uint8_t> tail(bytes.begin() + skip, bytes.end());
        const auto frames = decodeAll(tail);
        ASSERT_EQ(frames.size(), 1u) << "skip " << skip;
        EXPECT_EQ(frames[0], b);
    }
}

TEST(FrameDecoder, TagMismatchDropsThePartialFrameAndTheByte) {
    const RawFrame a{{1, 2, 3, 4}, 0}, b{{5, 6, 7, 8}, 0};
    std::vector<uint8_t> bytes;
    append(bytes, a);
    bytes.resize(5);     // a broken-off frame
    bytes.push_back(0x40);  // position 5 expects 0x80: mismatch
    append(bytes, b);
    FrameDecoder decoder;
    const auto frames = decodeAll(bytes, decoder);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], b);
    EXPECT_EQ(decoder.droppedBytes(), 6u);
}

TEST(FrameDecoder, FrameStartArrivingMidFrameIsDroppedAndItsFrameLost) {
    const RawFrame a{{1, 2, 3, 4}, 0}, b{{5, 6, 7, 8}, 0}, c{{9, 10, 11, 12}, 0};
    std::vector<uint8_t> bytes;
    append(bytes, a);
    bytes.resize(3);
    append(bytes, b);  // its tag-00 byte lands at position 3 and is dropped
    append(bytes, c);
    const auto frames = decodeAll(bytes);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], c);
}

TEST(FrameDecoder, SplittingTheStreamAtAnyOffsetGivesTheSameFrames) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 30; ++i) append(bytes, RawFrame{{i * 100, 4095 - i, i * 7, 2000 + i}, i % 2 ? 8 : 0});
    bytes.insert(bytes.begin() + 57, 0x13);  // some noise to resynchronise on
    bytes.insert(bytes.begin() + 158, 0xC0);
    const auto whole = decodeAll(bytes);
    ASSERT_EQ(whole.size(), 28u);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        // One decoder across two separate reads, as the reader thread does.
        FrameDecoder decoder;
        auto frames = decodeAll(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)), decoder);
        const auto rest = decodeAll(std::vector<uint8_t>(bytes.begin() + static_cast<long>(cut), bytes.end()), decoder);
        frames.insert(frames.end(), rest.begin(), rest.end());
        ASSERT_EQ(frames, whole) << "cut at " << cut;
    }
}

}  // namespace
}  // namespace kenvo
