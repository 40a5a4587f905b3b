#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "cli_args.h"
#include "cli_platform.h"
#include "commands.h"
#include "files/code_page.h"
#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "model/settings.h"
#include "procedures/stance_procedure.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"

namespace kenvo::cli {

namespace {

constexpr const char* RecordUsage =
    "usage: kenvoplat-cli record --attempts N --seconds S [--simulate[=MODEL]] [--subject NAME] "
    "-o FILE.kplat\n";

// The stance test without a window: messages go to the terminal, nothing is asked, the file
// is written by the command itself once every attempt is in.
class TerminalPort final : public HeadlessProcedurePort {
public:
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

void showProgress(bool terminal, int attempt, int attempts, int32_t samples, int32_t seconds) {
    if (!terminal) return;
    std::fprintf(stderr, "\rattempt %d/%d  %6.2f s of %d s ", attempt, attempts,
                 static_cast<double>(samples) / SampleRate, seconds);
    std::fflush(stderr);
}

}  // namespace

int runRecord(const std::vector<std::string>& words) {
    Args args(words, {"--attempts", "--seconds", "--subject", "-o"}, {}, {"--simulate"});
    std::optional<int> model;
    std::string error;
    const auto attempts = args.number("--attempts", 1, MaxAttempts);
    const auto seconds = args.number("--seconds", 0, 300);
    const auto output = args.value("-o");
    if (!args.ok() || !args.positional().empty() || !simulateOption(args, model, error) ||
        !attempts || !seconds || !output) {
        std::fprintf(stderr, "kenvoplat-cli record: %s\n%s",
                     !args.ok()        ? args.error().c_str()
                     : !error.empty()  ? error.c_str()
                     : !attempts       ? "--attempts is required"
                     : !seconds        ? "--seconds is required"
                     : !output         ? "-o is required"
                                       : "unexpected argument",
                     RecordUsage);
        return ExitUsage;
    }

    auto bus = makeBus(model);
    auto store = std::make_unique<MeasurementStore>();
    Settings settings;
    settings.test = TestSettings::defaults();
    settings.test.stanceTime = static_cast<int32_t>(*seconds);
    settings.graph = GraphSettings::defaults();
    if (const auto subject = args.value("--subject")) store->subject.name = utf8ToCp1250(*subject);
    Dispatcher dispatcher(store->liveTrace);
    PlatformLink link(*bus, dispatcher, settings.test, settings.calibration);
    DisplayState display;
    TerminalPort port;
    StanceProcedure stance(*store, settings, link, display, port);
    installInterruptHandler();

    if (!stance.newTest()) {
        reportArmFailure(link);
        return ExitFailure;
    }
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    int status = ExitOk;
    for (int a = 0; a < *attempts && status == ExitOk; ++a) {
        stance.start();
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(StanceProcedure::TickMs));
            display.shownSamples = stance.recordedSamples();
            showProgress(terminal, a + 1, static_cast<int>(*attempts), display.shownSamples,
                         static_cast<int32_t>(*seconds));
            const bool completed = stance.afterTick();
            if (!stance.live()) {
                status = ExitFailure;  // the platform was disconnected
                break;
            }
            if (completed) break;
            if (interrupted()) {
                std::fprintf(stderr, "\nInterrupted; the completed attempts are saved.\n");
                status = ExitFailure;
                break;
            }
        }
        if (!terminal && status == ExitOk) std::fprintf(stderr, "attempt %d/%lld recorded\n", a + 1, static_cast<long long>(*attempts));
    }
    if (terminal) std::fputc('\n', stderr);
    if (stance.live()) stance.stop();

    const FileResult saved = saveMeasurementFile(*output, *store);
    if (!saved) {
        std::fprintf(stderr, "%s: %s\n", saved.message.c_str(), saved.reason.c_str());
        return ExitFailure;
    }
    std::printf("%d attempt(s) of %lld s saved to %s\n", store->attemptCount,
                static_cast<long long>(*seconds), output->c_str());
    return status;
}

}  // namespace kenvo::cli
