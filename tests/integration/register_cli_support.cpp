#include "register_cli_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo::test {

ProcessResult cli(const std::string& home, std::vector<std::string> args, double timeout) {
    args.insert(args.begin(), KENVOPLAT_CLI);
    return runProcess(args, {"KENVOPLAT_HOME=" + home, "TZ=UTC"}, timeout);
}

std::string describe(const ProcessResult& r) {
    return "exit " + std::to_string(r.exitCode) + "\nstdout:\n" + r.out + "stderr:\n" + r.err;
}

std::size_t column(const Rows& rows, const std::string& name) {
    const auto& header = rows.at(0);
    const auto it = std::find(header.begin(), header.end(), name);
    EXPECT_NE(it, header.end()) << "no column " << name;
    return static_cast<std::size_t>(it - header.begin());
}

std::string twelveDigits(const std::string& number) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12g", std::strtod(number.c_str(), nullptr));
    return text;
}

std::string format(const char* pattern, int a, int b, int c) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::vector<std::string> shortRecordings(const std::string& folder, int seconds) {
    std::vector<std::string> paths;
    for (const std::string& source : validationFiles()) {
        const Recording r = loadRecording(source);
        std::string csv = "t_s,x_mm,y_mm\n";
        const std::size_t n = std::min<std::size_t>(r.xMm.size(), seconds * 100u);
        char line[96];
        for (std::size_t i = 0; i < n; ++i) {
            std::snprintf(line, sizeof line, "%.2f,%.5f,%.5f\n", i / 100.0, r.xMm[i], r.yMm[i]);
            csv += line;
        }
        paths.push_back(folder + "/" + r.name + ".csv");
        writeFileBytes(paths.back(), csv);
    }
    return paths;
}

std::string fiveLines(int added, int updated, int unchanged, int skipped, int review) {
    return "added " + std::to_string(added) + "\nupdated " + std::to_string(updated) +
           "\nunchanged " + std::to_string(unchanged) + "\nskipped " + std::to_string(skipped) +
           "\nreview " + std::to_string(review) + "\n";
}

}  // namespace kenvo::test
