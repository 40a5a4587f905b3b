#pragma once

#include <cstdint>

#include "platform/wire_frame.h"

namespace kenvo {

// Finds frames in the platform's byte stream. A byte whose tag does not fit the current
// position discards the partial frame and is itself dropped (even a tag-00 byte), so a
// corrupted or shifted stream resynchronises at the next frame start. The position survives
// between calls, so a frame split across reads decodes as one.
class FrameDecoder {
public:
    // Returns true when `byte` completed a frame, which is then in `out`.
    bool push(uint8_t byte, RawFrame& out) noexcept {
        if ((byte & 0xC0) != FrameTags[position_]) {
            dropped_ += position_ + 1;
            position_ = 0;
            return false;
        }
        payload_[position_] = static_cast<uint8_t>(byte & 0x3F);
        if (++position_ < FrameBytes) return false;
        position_ = 0;
        for (int k = 0; k < 4; ++k) out.s[k] = payload_[2 * k] * 64 + payload_[2 * k + 1];
        out.status = payload_[9] & 0x0F;
        return true;
    }

    int position() const noexcept { return position_; }
    // Bytes discarded so far: mismatching bytes and the partial frames they broke off.
    uint64_t droppedBytes() const noexcept { return dropped_; }

private:
    uint8_t payload_[FrameBytes] = {};
    int position_ = 0;
    uint64_t dropped_ = 0;
};

}  // namespace kenvo
