// kenvoplat-emulator: a simulated force platform on a pseudo-terminal, so the program's real
// serial code path can be run and tested without hardware.
#include <time.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/cop_csv.h"
#include "platform/cop_source.h"
#include "model/platform_models.h"
#include "platform/platform_simulator.h"
#include "pty_emulator.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

constexpr const char* Usage =
    "usage: kenvoplat-emulator [--model N] [--seconds S] [--weight KG] [--overload]\n"
    "                          [--replay FILE.csv]\n"
    "\n"
    "Streams simulated platform frames (100 per second) into a new pseudo-terminal and prints\n"
    "its path on the first line. Point the program at it with\n"
    "  KENVOPLAT_SERIAL_DEVICES=\"<path>=<description>\"\n"
    "where the description is the model's: 0 4KenvoPlat, 1 4KenvoPlatW, 2 3KenvoPlatP,\n"
    "3 3KenvoPlatT.\n"
    "\n"
    "  --model N     platform model 0..3 (default 0)\n"
    "  --seconds S   stop after S seconds (default: until interrupted)\n"
    "  --weight KG   body weight of the simulated subject (default 70)\n"
    "  --overload    the front-left sensor reads above its limit\n"
    "  --replay FILE the subject plays this COP recording (CSV t_s,x_mm,y_mm at 100 Hz,\n"
    "                repeated) instead of standing quietly\n";

bool parseNumber(const char* text, double min, double max, double& out) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    if (!*text || *end || errno || v < min || v > max) return false;
    out = v;
    return true;
}

struct EmulatorOptions {
    int model = 0;
    double seconds = 0.0;  // 0: until interrupted
    double weight = 70.0;
    bool overload = false;
    std::string replay;  // a COP recording the subject plays
};

int parse(int argc, char** argv, EmulatorOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        double v = 0;
        if (a == "--help" || a == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("kenvoplat-emulator %s\n", KENVOPLAT_VERSION);
            return 0;
        } else if (a == "--overload") {
            o.overload = true;
        } else if (a == "--replay" && hasValue) {
            o.replay = argv[++i];
        } else if (a == "--model" && hasValue && parseNumber(argv[++i], 0, 3, v) && v == static_cast<int>(v)) {
            o.model = static_cast<int>(v);
        } else if (a == "--seconds" && hasValue && parseNumber(argv[++i], 0.01, 1e7, v)) {
            o.seconds = v;
        } else if (a == "--weight" && hasValue && parseNumber(argv[++i], 1, 250, v)) {
            o.weight = v;
        } else {
            std::fprintf(stderr, "kenvoplat-emulator: bad argument '%s'\n\n%s", a.c_str(), Usage);
            return 2;
        }
    }
    return -1;  // go on
}

double monotonicSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    EmulatorOptions options;
    if (const int status = parse(argc, argv, options); status >= 0) return status;

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        kenvo::PtyMaster pty;
        kenvo::QuietStanceSource quiet(1);
        std::unique_ptr<kenvo::RecordedSource> recorded;
        if (!options.replay.empty()) {
            std::vector<kenvo::CopPoint> points;
            std::string error;
            if (!kenvo::readCopCsv(options.replay, points, error, 360000)) {
                std::fprintf(stderr, "kenvoplat-emulator: %s\n", error.c_str());
                return 1;
            }
            recorded = std::make_unique<kenvo::RecordedSource>(std::move(points));
        }
        kenvo::CopSource& subject = recorded ? static_cast<kenvo::CopSource&>(*recorded) : quiet;
        kenvo::PlatformSimulator simulator({options.model, options.weight, 72.0, 1}, subject);
        simulator.setOverload(options.overload);
        std::printf("%s\n", pty.slavePath().c_str());
        std::fprintf(stderr, "simulating %s (model %d) on %s\n",
                     std::string(kenvo::PlatformDescriptions[static_cast<std::size_t>(options.model)]).c_str(),
                     options.model, pty.slavePath().c_str());
        std::fflush(stdout);

        // Frames due = elapsed time x 100; sleep until the next one is due.
        const double start = monotonicSeconds();
        int64_t sent = 0;
        while (!stopRequested) {
            const double elapsed = monotonicSeconds() - start;
            if (options.seconds > 0 && elapsed >= options.seconds) break;
            const auto due = static_cast<int64_t>(elapsed * 100.0);
            for (; sent < due; ++sent) {
                const auto bytes = kenvo::encodeFrame(simulator.frame(sent));
                pty.write(bytes.data(), bytes.size());
            }
            const double next = start + static_cast<double>(sent + 1) / 100.0;
            const double wait = next - monotonicSeconds();
            if (wait > 0) {
                timespec ts{static_cast<time_t>(wait), static_cast<long>((wait - static_cast<time_t>(wait)) * 1e9)};
                nanosleep(&ts, nullptr);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kenvoplat-emulator: %s\n", e.what());
        return 1;
    }
    return 0;
}
