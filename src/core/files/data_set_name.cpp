#include "files/data_set_name.h"

#include <ctime>

namespace kenvo {

namespace {

// The ASCII letters of U+00C0..U+00FF and U+0100..U+017F, one per code point; '*' marks the
// few that take two letters (see twoLetters) and '_' the two signs among them (x and ÷).
constexpr std::string_view Latin1Letters =
    "AAAAAA*CEEEEIIIIDNOOOOO_OUUUUY**"
    "aaaaaa*ceeeeiiiidnooooo_ouuuuy*y";
constexpr std::string_view ExtendedALetters =
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii**JjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOo"
    "Oo**RrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZzs";
static_assert(Latin1Letters.size() == 0x40 && ExtendedALetters.size() == 0x80);

std::string_view twoLetters(char32_t cp) {
    switch (cp) {
        case 0x00C6:
            return "AE";
        case 0x00DE:
            return "TH";
        case 0x00DF:
            return "ss";
        case 0x00E6:
            return "ae";
        case 0x00FE:
            return "th";
        case 0x0132:
            return "IJ";
        case 0x0133:
            return "ij";
        case 0x0152:
            return "OE";
        case 0x0153:
            return "oe";
        default:
            return "_";
    }
}

bool isAsciiKept(char32_t cp) {
    return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') ||
           cp == '-';
}

void appendFolded(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += isAsciiKept(cp) ? static_cast<char>(cp) : '_';
        return;
    }
    char letter = '_';
    if (cp >= 0x00C0 && cp <= 0x00FF)
        letter = Latin1Letters[cp - 0x00C0];
    else if (cp >= 0x0100 && cp <= 0x017F)
        letter = ExtendedALetters[cp - 0x0100];
    if (letter == '*')
        out += twoLetters(cp);
    else
        out += letter;
}

// The next code point of `text` from `at`, moving `at` past it; a malformed sequence is one
// code point that maps to '_'.
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    int more = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0)
        more = 1, cp = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        more = 2, cp = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        more = 3, cp = lead & 0x07;
    else
        return U'\uFFFD';
    for (; more > 0; --more) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return U'\uFFFD';
        cp = (cp << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    return cp;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view space = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

std::string asciiFileNamePart(std::string_view utf8) {
    const std::string_view text = trimmed(utf8);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) appendFolded(out, nextCodePoint(text, at));
    return out;
}

std::string localIsoDate(int64_t secondsSince1970) {
    const auto t = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
    if (!localtime_r(&t, &local)) return "0000-00-00";
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

std::string dataSetFileName(std::string_view subjectUtf8, int64_t recordedAt,
                            std::string_view kind) {
    std::string subject = asciiFileNamePart(subjectUtf8);
    bool meaningful = false;
    for (const char c : subject) meaningful = meaningful || (c != '_' && c != '-');
    if (!meaningful) subject = "Subject";
    return subject + "_" + localIsoDate(recordedAt) + "_" + std::string(kind) + ".kplat";
}

std::string firstFreeFileName(const std::string& name,
                              const std::function<bool(const std::string&)>& taken) {
    if (!taken(name)) return name;
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    constexpr int Limit = 9999;
    for (int n = 2; n <= Limit; ++n) {
        std::string candidate = stem + "_" + std::to_string(n) + extension;
        if (!taken(candidate)) return candidate;
    }
    return name;
}

}  // namespace kenvo
