#include "files/archive_writer.h"

#include <bit>
#include <cstring>

#include "model/fixed_point.h"

namespace kenvo {

void ArchiveWriter::putUint16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
}

void ArchiveWriter::putUint32(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(v >> shift));
}

void ArchiveWriter::putFloat32(float v) {
    putUint32(std::bit_cast<uint32_t>(v));
}

void ArchiveWriter::putFixedPoint(float v) {
    putInt32(toFixedPoint(v));
}

void ArchiveWriter::putArchiveString(std::string_view s) {
    const std::size_t n = s.size();
    if (n < 0xFF) {
        putUint8(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        putUint8(0xFF);
        putUint16(static_cast<uint16_t>(n));
    } else {
        putUint8(0xFF);
        putUint16(0xFFFF);
        putUint32(static_cast<uint32_t>(n));
    }
    bytes_.insert(bytes_.end(), s.begin(), s.end());
}

}  // namespace kenvo
