#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "cli_args.h"
#include "commands.h"
#include "files/file_bytes.h"
#include "platform/frame_decoder.h"

namespace kenvo::cli {

int runDecode(const std::vector<std::string>& words) {
    Args args(words, {}, {});
    if (!args.ok() || args.positional().size() != 1) {
        std::fprintf(stderr, "kenvoplat-cli decode: %s\nusage: kenvoplat-cli decode FILE\n",
                     args.ok() ? "one raw byte file is needed" : args.error().c_str());
        return ExitUsage;
    }
    const std::string& path = args.positional().front();
    // Decoding streams, so any size will do; a pipe or a device, which could block or never
    // end, is refused.
    std::string error;
    const int fd = openRegularFile(path, std::numeric_limits<uint64_t>::max(), error);
    std::FILE* in = fd < 0 ? nullptr : ::fdopen(fd, "rb");
    if (!in) {
        if (fd >= 0) ::close(fd);
        std::fprintf(stderr, "kenvoplat-cli decode: %s\n", fd < 0 ? error.c_str() : std::strerror(errno));
        return ExitFailure;
    }
    FrameDecoder decoder;
    RawFrame frame;
    uint64_t frames = 0, total = 0;
    uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        total += n;
        for (std::size_t i = 0; i < n; ++i)
            if (decoder.push(buffer[i], frame)) {
                ++frames;
                std::printf("%d,%d,%d,%d,%d\n", frame.s[0], frame.s[1], frame.s[2], frame.s[3], frame.status);
            }
    }
    const bool readError = std::ferror(in) != 0;
    std::fclose(in);
    if (readError) {
        std::fprintf(stderr, "kenvoplat-cli decode: cannot read %s\n", path.c_str());
        return ExitFailure;
    }
    // Every byte that did not end up in a frame, including an unfinished frame at the end.
    std::fprintf(stderr, "%llu frames, %llu bytes dropped\n", static_cast<unsigned long long>(frames),
                 static_cast<unsigned long long>(total - frames * 10));
    return std::fflush(stdout) == 0 ? ExitOk : ExitFailure;
}

}  // namespace kenvo::cli
