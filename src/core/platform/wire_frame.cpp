#include "platform/wire_frame.h"

namespace kenvo {

std::array<uint8_t, FrameBytes> encodeFrame(const RawFrame& frame) {
    std::array<uint8_t, FrameBytes> payload{};
    for (int k = 0; k < 4; ++k) {
        const int32_t v = frame.s[k] & 0x0FFF;
        payload[2 * k] = static_cast<uint8_t>(v >> 6);
        payload[2 * k + 1] = static_cast<uint8_t>(v & 0x3F);
    }
    payload[8] = 0;
    payload[9] = static_cast<uint8_t>(frame.status & 0x0F);
    for (int i = 0; i < FrameBytes; ++i) payload[i] = static_cast<uint8_t>(payload[i] | FrameTags[i]);
    return payload;
}

}  // namespace kenvo
