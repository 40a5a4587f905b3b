#include "register/register_text_fold.h"

namespace kenvo::reg {

namespace {

char32_t lowerOf(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;  // not the multiplication sign
    if (c < 0x100 || c > 0x17F) return c;
    if (c == 0x130) return U'i';
    if (c == 0x178) return 0xFF;
    // Pairs of upper then lower case, starting on an even code point...
    const bool evenPairs = c < 0x130 || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if (evenPairs) return (c % 2 == 0) ? c + 1 : c;
    // ...or on an odd one.
    const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddPairs) return (c % 2 == 1) ? c + 1 : c;
    return c;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void foldFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const int bytes = sqlite3_value_bytes(arguments[0]);
    const std::string folded =
        foldCase(std::string_view(text ? text : "", static_cast<std::size_t>(bytes)));
    sqlite3_result_text(context, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

std::string foldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        // Only one- and two-byte sequences hold letters that fold; the rest is copied.
        if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            const char32_t c =
                (char32_t{b0} & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            append(out, lowerOf(c));
            i += 2;
        } else {
            out += b0 < 0x80 ? static_cast<char>(lowerOf(b0)) : utf8[i];
            ++i;
        }
    }
    return out;
}

bool registerFoldFunction(sqlite3* db) {
    return sqlite3_create_function(db, "kenvo_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   foldFunction, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace kenvo::reg
