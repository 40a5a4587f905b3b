#include <algorithm>
#include <cstdio>

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"
#include "analysis/diffusion_texts.h"
#include "cli_args.h"
#include "cli_data_set.h"
#include "cli_output.h"
#include "commands.h"

namespace kenvo::cli {

namespace {

constexpr const char* DiffusionUsage =
    "usage: kenvoplat-cli diffusion FILE.kplat [--attempt N] [--span S] [--marker L] [--param r|r2|x|y]\n"
    "           [--param2 r|r2|x|y] [--curve]\n"
    "  --span S     seconds of the attempt the curve uses, from its start (default: the attempt duration)\n"
    "  --marker L   the lag (in samples) that splits the two fitted lines (default 0)\n"
    "  --param      the quantity the lines are fitted to (default r); --param2 the second one shown\n"
    "  --curve      print the curve as CSV (lag,r,r2,x,y) instead of the result texts\n";

int kindNamed(const std::string& name) {
    if (name == "r") return DiffusionKindR;
    if (name == "r2") return DiffusionKindR2;
    if (name == "x") return DiffusionKindX;
    if (name == "y") return DiffusionKindY;
    return -1;
}

}  // namespace

int runDiffusion(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "--span", "--marker", "--param", "--param2"}, {"--curve"});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    const auto span = args.number("--span", 1, MaxSamples / SampleRate);
    const auto marker = args.number("--marker", 0, DiffusionMaxLag);
    const int y1 = kindNamed(args.value("--param").value_or("r"));
    const int y2 = kindNamed(args.value("--param2").value_or("x"));
    if (!args.ok() || args.positional().size() != 1 || y1 < 0 || y2 < 0) {
        std::fprintf(stderr, "kenvoplat-cli diffusion: %s\n%s",
                     !args.ok() ? args.error().c_str()
                     : args.positional().size() != 1 ? "one measurement file is needed"
                                                     : "--param takes r, r2, x or y",
                     DiffusionUsage);
        return ExitUsage;
    }
    const std::string& path = args.positional().front();
    auto data = loadDataSet("diffusion", path);
    if (!data) return ExitFailure;
    const auto index = attemptIndex("diffusion", *data, attempt, path);
    if (!index) return ExitFailure;

    // The file's duration, kept within the slots so that the product cannot overflow.
    const int32_t seconds = span ? static_cast<int32_t>(*span)
                                 : std::clamp(data->store->attemptSeconds, 0, MaxSamples / SampleRate);
    const DiffusionCurve curve = computeDiffusionCurve(*data->store, *index, seconds * SampleRate);
    std::string out;
    if (args.has("--curve")) {
        out = "lag,r,r2,x,y\n";
        for (int32_t lag = 0; lag <= DiffusionMaxLag; ++lag) {
            out += std::to_string(lag);
            for (int32_t k = 0; k < DiffusionKindCount; ++k) out += "," + fixed(curve.value(lag, k), 6);
            out += '\n';
        }
    } else {
        const int32_t l = static_cast<int32_t>(marker.value_or(0));
        const DiffusionFit fit = fitDiffusionLines(curve, y1, l);
        const DiffusionTexts t = diffusionTexts(curve, l, y1, y2, &fit);
        out = t.marker + "\n" + t.yLeft + "\n" + t.yRight + "\n" + t.originLine + "\n" + t.generalLine + "\n" +
              t.crossing + "\n";
    }
    std::string error;
    if (!writeOutput(std::nullopt, out, error)) {
        std::fprintf(stderr, "kenvoplat-cli diffusion: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
