#include "analysis/text_format.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kenvo {

namespace {

// One conversion formatted alone, with its star arguments.
template <typename T>
void appendOne(std::string& out, const std::string& piece, const int* stars, int starCount, T value) {
    char small[128];
    int n = 0;
    switch (starCount) {
        case 0: n = std::snprintf(small, sizeof small, piece.c_str(), value); break;
        case 1: n = std::snprintf(small, sizeof small, piece.c_str(), stars[0], value); break;
        default: n = std::snprintf(small, sizeof small, piece.c_str(), stars[0], stars[1], value); break;
    }
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.append(small, static_cast<std::size_t>(n));
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    switch (starCount) {
        case 0: std::snprintf(big.data(), big.size(), piece.c_str(), value); break;
        case 1: std::snprintf(big.data(), big.size(), piece.c_str(), stars[0], value); break;
        default: std::snprintf(big.data(), big.size(), piece.c_str(), stars[0], stars[1], value); break;
    }
    big.resize(static_cast<std::size_t>(n));
    out += big;
}

}  // namespace

// The format is walked conversion by conversion so that a number that is not finite can be
// left out: printf would print "nan" or "inf", which no table, clipboard text, spreadsheet or
// page should show. An undefined value reads as nothing at all, not even its padding.
std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out;
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            const char* next = std::strchr(p, '%');
            const std::size_t n = next ? static_cast<std::size_t>(next - p) : std::strlen(p);
            out.append(p, n);
            p += n;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        const char* start = p++;
        int stars[2] = {0, 0};
        int starCount = 0;
        while (*p && std::strchr("-+ #0", *p)) ++p;
        for (bool precision = false;; precision = true) {
            if (*p == '*') {
                const int v = va_arg(args, int);
                if (starCount < 2) stars[starCount++] = v;
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') ++p;
            }
            if (precision || *p != '.') break;
            ++p;
        }
        int longs = 0;
        bool longDouble = false, size = false;
        while (*p && std::strchr("hlLqjzt", *p)) {
            if (*p == 'l') ++longs;
            if (*p == 'L') longDouble = true;
            if (*p == 'z' || *p == 'j' || *p == 't') size = true;
            ++p;
        }
        const char conversion = *p;
        if (!conversion) break;
        ++p;
        const std::string piece(start, static_cast<std::size_t>(p - start));
        switch (conversion) {
            case 'd': case 'i': case 'o': case 'u': case 'x': case 'X': case 'c':
                if (size || longs >= 2)
                    appendOne(out, piece, stars, starCount, va_arg(args, long long));
                else if (longs == 1)
                    appendOne(out, piece, stars, starCount, va_arg(args, long));
                else
                    appendOne(out, piece, stars, starCount, va_arg(args, int));
                break;
            case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
                if (longDouble) {
                    const long double v = va_arg(args, long double);
                    if (std::isfinite(v)) appendOne(out, piece, stars, starCount, v);
                } else {
                    const double v = va_arg(args, double);
                    if (std::isfinite(v)) appendOne(out, piece, stars, starCount, v);
                }
                break;
            case 's':
                appendOne(out, piece, stars, starCount, va_arg(args, const char*));
                break;
            case 'p':
                appendOne(out, piece, stars, starCount, va_arg(args, void*));
                break;
            default:  // not a conversion this program uses: kept as written
                out += piece;
                break;
        }
    }
    va_end(args);
    return out;
}

}  // namespace kenvo
