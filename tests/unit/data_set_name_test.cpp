#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <set>

#include "files/code_page.h"
#include "files/data_set_name.h"
#include "support/time_zone.h"

namespace kenvo {
namespace {

using test::InTimeZone;

constexpr int64_t December8At20Utc = 1796760000;  // 2026-12-08 20:00:00 UTC

TEST(DataSetName, CentralEuropeanLettersFoldToAscii) {
    // The store keeps the name in Windows-1250; it reaches the name builder as UTF-8.
    EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8("Nov\xE1kov\xE1")), "Novakova");
    EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8("\x8A\x9D\x9E\xE8\xF2\xF8\xEC\xF9\xBE\xE5")),
              "Stzcnreull");
    EXPECT_EQ(asciiFileNamePart("Ňůžková-Łódź"), "Nuzkova-Lodz");
    EXPECT_EQ(asciiFileNamePart("Győző Ő"), "Gyozo_O");
    EXPECT_EQ(asciiFileNamePart("Straße"), "Strasse");
    EXPECT_EQ(asciiFileNamePart("Ærøskøbing Œuvre Þór"), "AEroskobing_OEuvre_THor");
    EXPECT_EQ(asciiFileNamePart("Ţăranu Şerban"), "Taranu_Serban");
}

TEST(DataSetName, EveryLetterOfTheCodePageFoldsToItsBaseLetter) {
    // Windows-1250 0xC0..0xDE are capitals (0xD7 the multiplication sign), 0xE0..0xFE the
    // same letters in small (0xF7 the division sign); their base letters in order:
    const std::string bases = "RAAAALCCCEEEEIIDDNNOOOO_RUUUUYT";
    for (int i = 0; i < int(bases.size()); ++i) {
        const char capital = char(0xC0 + i), small = char(0xE0 + i);
        const char base = bases[size_t(i)];
        EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8(std::string(1, capital))), std::string(1, base))
            << std::hex << 0xC0 + i;
        EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8(std::string(1, small))),
                  std::string(1, char(std::tolower(base))))
            << std::hex << 0xE0 + i;
    }
    // The capitals and smalls outside those rows: Š Ś Ť Ž Ź Ł Ą Ş Ż Ľ and ß.
    EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8("\x8A\x8C\x8D\x8E\x8F\xA3\xA5\xAA\xAF\xBC")),
              "SSTZZLASZL");
    EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8("\x9A\x9C\x9D\x9E\x9F\xB3\xB9\xBA\xBF\xBE")),
              "sstzzlaszl");
    EXPECT_EQ(asciiFileNamePart(cp1250ToUtf8("\xDF")), "ss");
}

TEST(DataSetName, EverythingElseBecomesAnUnderscore) {
    // The ends are trimmed; a space inside becomes '_'.
    EXPECT_EQ(asciiFileNamePart("  Anna Marie  "), "Anna_Marie");
    EXPECT_EQ(asciiFileNamePart("a/b\\c:d*e?f\"g<h>i|j.k"), "a_b_c_d_e_f_g_h_i_j_k");
    EXPECT_EQ(asciiFileNamePart("x×y÷z"), "x_y_z");
    EXPECT_EQ(asciiFileNamePart("Ελένη"), "_____");  // one per character, not per byte
    EXPECT_EQ(asciiFileNamePart("ok\xC3"), "ok_");   // a cut-off sequence
    const std::string strayContinuation = "a\x80z";
    EXPECT_EQ(asciiFileNamePart(strayContinuation), "a_z");
    EXPECT_EQ(asciiFileNamePart("Smith-Jones 2"), "Smith-Jones_2");
}

TEST(DataSetName, TheDateIsTheLocalDayOfRecording) {
    {
        InTimeZone east("XYZ-14");  // UTC+14: already the next day
        EXPECT_EQ(localIsoDate(December8At20Utc), "2026-12-09");
    }
    {
        InTimeZone west("XYZ+11");  // UTC-11
        EXPECT_EQ(localIsoDate(December8At20Utc), "2026-12-08");
        EXPECT_EQ(dataSetFileName("Jana Nováková", December8At20Utc, "stance"),
                  "Jana_Novakova_2026-12-08_stance.kplat");
    }
    InTimeZone utc("UTC0");
    EXPECT_EQ(localIsoDate(0), "1970-01-01");
    // Times past 2038 (the file keeps 32 bits, read unsigned) have their dates too.
    EXPECT_EQ(localIsoDate(int64_t{0xF0000000}), "2097-08-05");
}

TEST(DataSetName, ANameWithoutLettersOrDigitsFallsBackToSubject) {
    InTimeZone utc("UTC0");
    EXPECT_EQ(dataSetFileName("", December8At20Utc, "driving"), "Subject_2026-12-08_driving.kplat");
    EXPECT_EQ(dataSetFileName("   ", December8At20Utc, "target"),
              "Subject_2026-12-08_target.kplat");
    EXPECT_EQ(dataSetFileName("??", December8At20Utc, "sensory"),
              "Subject_2026-12-08_sensory.kplat");
    EXPECT_EQ(dataSetFileName("Ελένη", December8At20Utc, "stance"),
              "Subject_2026-12-08_stance.kplat");
    EXPECT_EQ(dataSetFileName("7", December8At20Utc, "stance"), "7_2026-12-08_stance.kplat");
}

TEST(DataSetName, TakenNamesAreNumberedBeforeTheExtension) {
    std::set<std::string> taken;
    const auto isTaken = [&](const std::string& n) { return taken.count(n) > 0; };
    EXPECT_EQ(firstFreeFileName("A_2026-12-08_stance.kplat", isTaken), "A_2026-12-08_stance.kplat");
    taken = {"A_2026-12-08_stance.kplat"};
    EXPECT_EQ(firstFreeFileName("A_2026-12-08_stance.kplat", isTaken),
              "A_2026-12-08_stance_2.kplat");
    taken.insert("A_2026-12-08_stance_2.kplat");
    taken.insert("A_2026-12-08_stance_4.kplat");
    EXPECT_EQ(firstFreeFileName("A_2026-12-08_stance.kplat", isTaken),
              "A_2026-12-08_stance_3.kplat");
    // Only the last dot starts the extension; a name without one is numbered at its end.
    taken = {"a.b.kplat", "plain"};
    EXPECT_EQ(firstFreeFileName("a.b.kplat", isTaken), "a.b_2.kplat");
    EXPECT_EQ(firstFreeFileName("plain", isTaken), "plain_2");
    // Everything taken: the name itself, for the caller's question before replacing.
    EXPECT_EQ(firstFreeFileName("x.kplat", [](const std::string&) { return true; }), "x.kplat");
}

}  // namespace
}  // namespace kenvo
