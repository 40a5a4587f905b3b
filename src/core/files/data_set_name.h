#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kenvo {

// The file name Save proposes for a data set that has no file yet, e.g.
// "Novakova_2026-12-08_stance.kplat": whose it is, the day it was recorded and what was
// recorded, in characters every file system and mail program takes.

// `utf8` with the letters of the Latin alphabets (the Central European ones included) reduced
// to ASCII ("á" -> "a", "ß" -> "ss") and every character other than an ASCII letter, a digit
// or '-' replaced by '_'. Leading and trailing white space is dropped first.
std::string asciiFileNamePart(std::string_view utf8);

// The local calendar date of a time (seconds since 1970) as YYYY-MM-DD.
std::string localIsoDate(int64_t secondsSince1970);

// "<subject>_<YYYY-MM-DD>_<kind>.kplat". A name that leaves no ASCII letter or digit gives
// "Subject".
std::string dataSetFileName(std::string_view subjectUtf8, int64_t recordedAt,
                            std::string_view kind);

// `name` when `taken` says it is free, else the first free of "<stem>_2<ext>", "<stem>_3<ext>",
// ... (the extension is everything from the last '.'). When every number up to a limit is
// taken, `name` itself (the caller then asks before replacing it).
std::string firstFreeFileName(const std::string& name,
                              const std::function<bool(const std::string&)>& taken);

}  // namespace kenvo
