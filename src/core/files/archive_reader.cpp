#include "files/archive_reader.h"

#include <bit>

#include "files/code_page.h"
#include "model/fixed_point.h"

namespace kenvo {

bool ArchiveReader::take(std::size_t count) {
    if (failed()) return false;
    if (count > remaining()) {
        failure_ = Failure::Truncated;
        position_ = bytes_.size();
        return false;
    }
    return true;
}

uint8_t ArchiveReader::uint8() {
    if (!take(1)) return 0;
    return bytes_[position_++];
}

uint16_t ArchiveReader::uint16() {
    if (!take(2)) return 0;
    const auto v = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return v;
}

uint32_t ArchiveReader::uint32() {
    if (!take(4)) return 0;
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | bytes_[position_ + static_cast<std::size_t>(k)];
    position_ += 4;
    return v;
}

float ArchiveReader::float32() {
    return std::bit_cast<float>(uint32());
}

float ArchiveReader::fixedPoint() {
    return fromFixedPoint(int32());
}

void ArchiveReader::bytes(uint8_t* out, std::size_t count) {
    if (!take(count)) return;
    for (std::size_t k = 0; k < count; ++k) out[k] = bytes_[position_ + k];
    position_ += count;
}

void ArchiveReader::skip(std::size_t count) {
    if (take(count)) position_ += count;
}

uint64_t ArchiveReader::stringLength(bool allowMarker, bool& unicode) {
    const uint8_t b = uint8();
    if (b < 0xFF) return b;
    const uint16_t w = uint16();
    if (w == 0xFFFE) {
        if (!allowMarker) {
            // A second marker inside the 16-bit form's own prefix is no length at all.
            if (!failed()) failure_ = Failure::BadString;
            return 0;
        }
        unicode = true;
        bool again = false;
        return stringLength(false, again);
    }
    if (w < 0xFFFF) return w;
    return uint32();
}

std::string ArchiveReader::archiveString() {
    bool unicode = false;
    const uint64_t length = stringLength(true, unicode);
    if (failed()) return {};
    // The length is checked against the bytes present before anything is allocated.
    const uint64_t size = unicode ? length * 2 : length;
    if (size > remaining()) {
        take(remaining() + 1);
        return {};
    }
    const auto* first = reinterpret_cast<const char*>(bytes_.data() + position_);
    std::string_view raw(first, static_cast<std::size_t>(size));
    position_ += raw.size();
    return unicode ? utf16leToCp1250(raw) : std::string(raw);
}

}  // namespace kenvo
