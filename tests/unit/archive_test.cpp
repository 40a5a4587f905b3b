#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "files/archive_reader.h"
#include "files/archive_writer.h"
#include "files/code_page.h"
#include "model/fixed_point.h"

namespace kenvo {
namespace {

std::vector<uint8_t> stringBytes(const std::string& s) {
    ArchiveWriter w;
    w.putArchiveString(s);
    return w.bytes();
}

std::string readBack(const std::vector<uint8_t>& bytes,
                     ArchiveReader::Failure expected = ArchiveReader::Failure::None) {
    ArchiveReader r(bytes);
    std::string s = r.archiveString();
    EXPECT_EQ(r.failure(), expected);
    return s;
}

// UTF-16LE bytes of a string of code units.
std::string utf16le(const std::u16string& text) {
    std::string out;
    for (const char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

TEST(ArchiveString, LengthPrefixFormsAtEachBoundary) {
    struct Case {
        std::size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},  // beyond the uint16 form
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        std::string s(c.length, 'a');
        for (std::size_t k = 0; k < s.size(); ++k) s[k] = static_cast<char>('a' + k % 26);
        const auto bytes = stringBytes(s);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        EXPECT_EQ(readBack(bytes), s) << c.length;
    }
}

TEST(ArchiveString, EightBitBytesAreStoredUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(readBack(stringBytes(all)), all);
}

TEST(ArchiveString, SixteenBitFormReadsAsWindows1250Bytes) {
    // "Žluťoučký kůň" plus the euro sign, a CJK character and an emoji (surrogate pair).
    const std::u16string text =
        u"\u017Dlu\u0165ou\u010Dk\u00FD k\u016F\u0148 \u20AC\u65E5\U0001F600";
    std::vector<uint8_t> bytes = {0xFF, 0xFE, 0xFF, static_cast<uint8_t>(text.size())};
    for (const char c : utf16le(text)) bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0x42);  // the next field
    ArchiveReader r(bytes);
    EXPECT_EQ(r.archiveString(), "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2 \x80??");
    EXPECT_EQ(r.uint8(), 0x42);
    EXPECT_FALSE(r.failed());

    // The 16-bit form with a uint16 length counting characters.
    const std::u16string longText(300, u'\u0161');
    std::vector<uint8_t> longBytes = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
    for (const char c : utf16le(longText)) longBytes.push_back(static_cast<uint8_t>(c));
    EXPECT_EQ(readBack(longBytes), std::string(300, '\x9A'));
}

TEST(ArchiveString, MalformedOrShortStringsFailWithoutReadingPastTheEnd) {
    EXPECT_EQ(readBack({}, ArchiveReader::Failure::Truncated), "");
    EXPECT_EQ(readBack({0x05, 'a', 'b'}, ArchiveReader::Failure::Truncated), "");
    EXPECT_EQ(readBack({0xFF, 0x2C}, ArchiveReader::Failure::Truncated), "");
    // A huge uint32 length is refused before anything is allocated.
    EXPECT_EQ(readBack({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'},
                       ArchiveReader::Failure::Truncated),
              "");
    // 16-bit form: odd byte count, and a second marker where its own length belongs.
    EXPECT_EQ(readBack({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}, ArchiveReader::Failure::Truncated),
              "");
    EXPECT_EQ(
        readBack({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01}, ArchiveReader::Failure::BadString),
        "");

    // Once failed, the reader stays failed and yields zeros.
    const std::vector<uint8_t> bytes = {0x01, 0x02, 0x03};
    ArchiveReader r(bytes);
    EXPECT_EQ(r.int32(), 0);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.uint8(), 0);
}

TEST(ArchiveNumbers, LittleEndianIntegersAndRawFloats) {
    ArchiveWriter w;
    w.putInt16(-2);
    w.putInt32(0x12345678);
    w.putInt32(-1);
    w.putFloat32(1.0f);
    const std::vector<uint8_t> expected = {0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F};
    EXPECT_EQ(w.bytes(), expected);
    ArchiveReader r(w.bytes());
    EXPECT_EQ(r.int16(), -2);
    EXPECT_EQ(r.int32(), 0x12345678);
    EXPECT_EQ(r.int32(), -1);
    EXPECT_EQ(r.float32(), 1.0f);
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_FALSE(r.failed());
}

TEST(FixedPoint, TruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(toFixedPoint(-0.00005f), 0);
    EXPECT_EQ(toFixedPoint(0.99999f), 9999);
    EXPECT_EQ(toFixedPoint(-0.99999f), -9999);
    EXPECT_EQ(toFixedPoint(0.12345678f), 1234);
    EXPECT_EQ(fromFixedPoint(1234), 0.1234f);
    EXPECT_EQ(fromFixedPoint(-9999), -0.9999f);
    EXPECT_EQ(toFixedPoint(1e30f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(toFixedPoint(-1e30f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(toFixedPoint(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(toFixedPoint(std::numeric_limits<float>::infinity()),
              std::numeric_limits<int32_t>::max());
}

TEST(FixedPoint, StoredValuesSurviveALoadAndSaveCycleUnchanged) {
    int changed = 0;
    for (int32_t v = -10000; v <= 10000; ++v) changed += toFixedPoint(fromFixedPoint(v)) != v;
    for (const int32_t v : {123456, -987654, 2000000, 2147480000})
        changed += toFixedPoint(fromFixedPoint(v)) != v;
    EXPECT_EQ(changed, 0);
    // Values between steps still truncate toward zero.
    EXPECT_EQ(toFixedPoint(0.76765f), 7676);
    EXPECT_EQ(toFixedPoint(-0.76765f), -7676);
}

TEST(CodePage, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(all)), all);
    EXPECT_EQ(cp1250ToUtf8("\x8A\xE8\x80"), "\u0160\u010D\u20AC");
    EXPECT_EQ(utf8ToCp1250("P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD"),
              "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD");
}

TEST(CodePage, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToCp1250("a\u65E5b\U0001F600c\u00F1"), "a?b?c?");  // n with tilde is not in 1250
    EXPECT_EQ(utf8ToCp1250("a\xC3"), "a?");                          // cut sequence
    EXPECT_EQ(utf8ToCp1250("\xC0\xAF"), "?");                        // overlong encoding
    EXPECT_EQ(utf8ToCp1250("\xED\xA0\x80x"), "?x");                  // encoded surrogate
    EXPECT_EQ(utf16leToCp1250(utf16le(u"\xD800"
                                      u"a"
                                      u"\xDC00")),
              "?a?");
    EXPECT_EQ(utf16leToCp1250(std::string("a\0b", 3)), "a");  // an odd last byte is dropped
}

}  // namespace
}  // namespace kenvo
