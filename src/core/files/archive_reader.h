#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kenvo {

// Reads the encodings of ArchiveWriter from a byte buffer, never beyond its end. A failed read
// makes the reader fail for good: every later read returns zero or an empty string, so a
// loader checks failed() once per section instead of after every field.
class ArchiveReader {
  public:
    enum class Failure { None, Truncated, BadString };

    explicit ArchiveReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t uint8();
    uint16_t uint16();
    uint32_t uint32();
    int16_t int16() { return static_cast<int16_t>(uint16()); }
    int32_t int32() { return static_cast<int32_t>(uint32()); }
    float float32();
    float fixedPoint();
    // Both string forms: the 8-bit form as written by ArchiveWriter, and the 16-bit form
    // (0xFF, the uint16 marker 0xFFFE, a length prefix counting UTF-16 units, then UTF-16LE
    // text), which is converted to Windows-1250 bytes.
    std::string archiveString();

    // Copies the next `count` bytes to `out` (nothing when they are not all there).
    void bytes(uint8_t* out, std::size_t count);
    // Skips `count` bytes; fails when fewer remain.
    void skip(std::size_t count);

    bool failed() const { return failure_ != Failure::None; }
    Failure failure() const { return failure_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }

  private:
    bool take(std::size_t count);
    // Length of a prefix of the 8-bit form; `unicode` is set when the 16-bit marker is seen
    // and `allowMarker` is true.
    uint64_t stringLength(bool allowMarker, bool& unicode);

    std::span<const uint8_t> bytes_;
    std::size_t position_ = 0;
    Failure failure_ = Failure::None;
};

}  // namespace kenvo
