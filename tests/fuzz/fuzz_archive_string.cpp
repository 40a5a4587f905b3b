// Reads strings and numbers from arbitrary bytes until the reader fails; every string read
// must come back unchanged through the writer's 8-bit form.
#include <cstdint>
#include <cstdlib>

#include "files/archive_reader.h"
#include "files/archive_writer.h"
#include "files/code_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kenvo::ArchiveReader reader(std::span(data, size));
    while (!reader.failed() && reader.remaining() > 0) {
        const std::string s = reader.archiveString();
        if (reader.failed()) break;
        kenvo::ArchiveWriter writer;
        writer.putArchiveString(s);
        kenvo::ArchiveReader again(writer.bytes());
        if (again.archiveString() != s || again.remaining() != 0) std::abort();
        if (kenvo::utf8ToCp1250(kenvo::cp1250ToUtf8(s)) != s) std::abort();
        (void)reader.fixedPoint();
    }
    (void)kenvo::utf8ToCp1250(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)kenvo::utf16leToCp1250(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
