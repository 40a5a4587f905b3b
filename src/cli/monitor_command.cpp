#include <chrono>
#include <cstdio>
#include <thread>

#include "cli_args.h"
#include "cli_platform.h"
#include "commands.h"
#include "platform/sensor_check.h"

namespace kenvo::cli {

namespace {

void printReading(const SensorReading& r, bool fourSensor, double frameRate) {
    if (fourSensor)
        std::printf("FL %4d  FR %4d  RL %4d  RR %4d", r.mean[0], r.mean[1], r.mean[2], r.mean[3]);
    else
        std::printf("FL %4d  FR %4d  R %4d", r.mean[0], r.mean[1], r.mean[2]);
    std::printf("  SUM %5d  X %6.1f mm  Y %6.1f mm  %5.1f frames/s\n", r.sum, static_cast<double>(r.xMm),
                static_cast<double>(r.yMm), frameRate);
    std::fflush(stdout);
}

}  // namespace

int runMonitor(const std::vector<std::string>& words) {
    Args args(words, {"--seconds"}, {}, {"--simulate"});
    std::optional<int> model;
    std::string error;
    const auto seconds = args.number("--seconds", 1, 86400);
    if (!args.ok() || !args.positional().empty() || !simulateOption(args, model, error)) {
        std::fprintf(stderr, "kenvoplat-cli monitor: %s\nusage: kenvoplat-cli monitor [--seconds N] [--simulate[=MODEL]]\n",
                     !args.ok() ? args.error().c_str() : error.empty() ? "unexpected argument" : error.c_str());
        return ExitUsage;
    }

    CliPlatform platform(makeBus(model));
    AcquisitionControl control;
    SensorSums sums;
    control.mode = AcquisitionSensorSums;
    control.sumsOut = &sums;
    control.setZeroOffsets(platform.calibration.zeroOffset);
    installInterruptHandler();
    if (!platform.link.arm(control)) {
        reportArmFailure(platform.link);
        return ExitFailure;
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const uint64_t firstFrame = platform.dispatcher.framesDecoded();
    uint64_t printedBlocks = 0;
    int status = ExitOk;
    while (!interrupted()) {
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        if (seconds && elapsed.count() >= static_cast<double>(*seconds)) break;
        if (platform.link.deviceLost()) {
            std::fprintf(stderr, "The platform was disconnected.\n");
            status = ExitFailure;
            break;
        }
        const uint64_t frames = platform.dispatcher.framesDecoded() - firstFrame;
        if (frames / SensorBlockFrames > printedBlocks) {
            printedBlocks = frames / SensorBlockFrames;
            int32_t block[4];
            for (int k = 0; k < 4; ++k) block[k] = sums.sum[k].load(std::memory_order_relaxed);
            const bool four = platform.dispatcher.fourSensor() != 0;
            printReading(sensorReading(block, platform.calibration.zeroOffset, platform.calibration.scaleX,
                                       platform.calibration.scaleY, four),
                         four, static_cast<double>(frames) / std::max(elapsed.count(), 1e-3));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    control.stopped = 1;
    platform.link.stopLink();
    return status;
}

}  // namespace kenvo::cli
