#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kenvo {

// Builds the bytes of a file in memory: little-endian integers, raw float32, fixed-point
// coordinates and length-prefixed 8-bit strings. Callers write the finished buffer in one
// atomic step, so a failed save never leaves half a file.
class ArchiveWriter {
  public:
    void reserve(std::size_t bytes) { bytes_.reserve(bytes); }

    void putUint8(uint8_t v) { bytes_.push_back(v); }
    void putUint16(uint16_t v);
    void putUint32(uint32_t v);
    void putInt16(int16_t v) { putUint16(static_cast<uint16_t>(v)); }
    void putInt32(int32_t v) { putUint32(static_cast<uint32_t>(v)); }
    void putFloat32(float v);
    void putFixedPoint(float v);
    // The 8-bit string form: one length byte for 0..254 bytes, 0xFF and a uint16 for
    // 255..65533, 0xFF 0xFFFF and a uint32 beyond; then the bytes, no terminator.
    void putArchiveString(std::string_view bytes);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace kenvo
