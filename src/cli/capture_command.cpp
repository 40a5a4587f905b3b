#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "cli_args.h"
#include "cli_platform.h"
#include "commands.h"
#include "files/atomic_file.h"

namespace kenvo::cli {

namespace {

// Keeps every received byte in a buffer sized up front (the reader must not allocate) and
// passes it on to the dispatcher so frames are still counted.
class CaptureSink final : public ByteSink {
public:
    CaptureSink(std::size_t capacity, ByteSink& next) : buffer_(capacity), next_(next) {}
    void consume(const uint8_t* bytes, std::size_t count) noexcept override {
        const std::size_t room = buffer_.size() - used_.load(std::memory_order_relaxed);
        const std::size_t n = count < room ? count : room;
        std::memcpy(buffer_.data() + used_.load(std::memory_order_relaxed), bytes, n);
        used_.store(used_.load(std::memory_order_relaxed) + n, std::memory_order_release);
        if (n < count) overflowed_.store(true, std::memory_order_relaxed);
        next_.consume(bytes, count);
    }
    std::span<const uint8_t> bytes() const { return {buffer_.data(), used_.load(std::memory_order_acquire)}; }
    bool overflowed() const { return overflowed_.load(); }

private:
    std::vector<uint8_t> buffer_;
    std::atomic<std::size_t> used_{0};
    std::atomic<bool> overflowed_{false};
    ByteSink& next_;
};

}  // namespace

int runCapture(const std::vector<std::string>& words) {
    Args args(words, {"--seconds", "-o"}, {}, {"--simulate"});
    std::optional<int> model;
    std::string error;
    const auto seconds = args.number("--seconds", 1, 3600);
    const auto output = args.value("-o");
    if (!args.ok() || !seconds || !output || output->empty() || !args.positional().empty() ||
        !simulateOption(args, model, error)) {
        std::fprintf(stderr, "kenvoplat-cli capture: %s\nusage: kenvoplat-cli capture --seconds N -o FILE [--simulate[=MODEL]]\n",
                     !args.ok() ? args.error().c_str()
                     : !error.empty() ? error.c_str()
                     : !seconds || !output ? "--seconds and -o are required" : "unexpected argument");
        return ExitUsage;
    }

    // Refuse an output that cannot be written before spending the capture time on it.
    const std::string folder = std::filesystem::path(*output).parent_path().string();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0) {
        std::fprintf(stderr, "kenvoplat-cli capture: cannot write into %s: %s\n",
                     folder.empty() ? "." : folder.c_str(), std::strerror(errno));
        return ExitFailure;
    }

    CliPlatform platform(makeBus(model));
    // Twice the platform's 1000 bytes per second leaves room for a burst at the start.
    CaptureSink sink(static_cast<std::size_t>(*seconds) * 2000 + 4096, platform.dispatcher);
    platform.link.setByteSink(&sink);
    AcquisitionControl control;  // idle: frames are decoded and counted, nothing else
    installInterruptHandler();
    if (!platform.link.arm(control)) {
        reportArmFailure(platform.link);
        return ExitFailure;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(*seconds);
    bool lost = false;
    while (!interrupted() && std::chrono::steady_clock::now() < end) {
        if ((lost = platform.link.deviceLost())) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    platform.link.stopLink();
    if (lost) std::fprintf(stderr, "The platform was disconnected; keeping what arrived before.\n");
    if (sink.overflowed()) std::fprintf(stderr, "More bytes arrived than expected; the rest were not kept.\n");

    if (!writeFileAtomically(*output, sink.bytes(), error)) {
        std::fprintf(stderr, "kenvoplat-cli capture: %s\n", error.c_str());
        return ExitFailure;
    }
    std::fprintf(stderr, "%zu bytes, %llu frames written to %s\n", sink.bytes().size(),
                 static_cast<unsigned long long>(platform.dispatcher.framesDecoded()), output->c_str());
    return lost ? ExitFailure : ExitOk;
}

}  // namespace kenvo::cli
