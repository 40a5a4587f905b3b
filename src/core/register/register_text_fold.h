#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace kenvo::reg {

// The text in lower case for searching: ASCII and the Latin letters of the Central and
// Western European alphabets (Latin-1 and Latin Extended-A, which hold every letter of
// Windows-1250); other characters and malformed bytes stay as they are.
std::string foldCase(std::string_view utf8);

// Makes foldCase available to SQL as kenvo_fold(text).
bool registerFoldFunction(sqlite3* db);

}  // namespace kenvo::reg
