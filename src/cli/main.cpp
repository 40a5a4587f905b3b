#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_args.h"
#include "command_help.h"
#include "commands.h"

namespace {

constexpr const char* Usage =
    "usage: kenvoplat-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  devices [--simulate[=MODEL]]                    list the attached platforms\n"
    "  monitor [--seconds N] [--simulate[=MODEL]]      show live sensor readings and the COP\n"
    "  capture --seconds N -o FILE [--simulate[=MODEL]] save the raw bytes the platform sends\n"
    "  record --attempts N --seconds S [--simulate[=MODEL]] [--subject NAME] -o FILE.kplat\n"
    "                                                  run a stance test: N attempts of S seconds\n"
    "  decode FILE                                     print the frames of a raw byte file\n"
    "  info FILE.kplat|FILE.swpcfg|FILE.kplatprt       describe a measurement, configuration\n"
    "                                                  or protocol file\n"
    "  export-csv FILE.kplat [--attempt N] [-o FILE.csv]\n"
    "                                                  write the samples in millimetres as CSV\n"
    "  import-csv [--model M] [--subject NAME] -o FILE.kplat INPUT.csv...\n"
    "                                                  make a stance data set of 100 Hz "
    "recordings\n"
    "                                                  (header t_s,x_mm,y_mm), one attempt each;\n"
    "                                                  also --sex, --height, --weight, --code,\n"
    "                                                  --birth-date, --conditions, --recorded-at\n"
    "  table TABLE FILE.kplat [--attempt N] [--interval L] [--filter MM] [--format text|csv]\n"
    "                                                  print a digital table (TABLE: summary,\n"
    "                                                  interval, attempt, target, driving, "
    "frequency)\n"
    "  export-xml TABLE FILE.kplat [--attempt N] [--interval L] [--filter MM] [-o noname.xml]\n"
    "                                                  the table as a spreadsheet (XML 2003)\n"
    "  diffusion FILE.kplat [--attempt N] [--span S] [--marker L] [--param r|r2|x|y] [--curve]\n"
    "                                                  the diffusion analysis: fitted lines and "
    "their\n"
    "                                                  crossing, or the curve as CSV\n"
    "  batch FILE.kplat... [--filter MM] [-o analysis.xml]\n"
    "                                                  analyse several files into one "
    "spreadsheet;\n"
    "                                                  files that do not load are skipped (exit "
    "1)\n"
    "  measures FILE... [--attempt N] [--lowpass none|HZ] [--format text|csv|json] [-o OUT]\n"
    "                                                  clinical sway measures of stance attempts\n"
    "                                                  and 100 Hz CSV recordings\n"
    "  register scan|subjects|sessions|history|assign|check ...\n"
    "                                                  the subject register: every subject, "
    "their\n"
    "                                                  sessions and the history of a measure\n"
#ifdef KENVO_WITH_RENDER
    "  render VIEW FILE.kplat [--attempt N] [--width W --height H] -o OUT.png\n"
    "                                                  draw a view as a PNG (without VIEW: the "
    "list)\n"
    "  print VIEW FILE.kplat [--attempt N] [--interval L] [--marker L] -o OUT.pdf\n"
    "                                                  the printed report of a view as an A4 PDF\n"
#endif
    "\n"
    "MODEL is 0 (4KenvoPlat), 1 (4KenvoPlatW), 2 (3KenvoPlatP) or 3 (3KenvoPlatT).\n"
    "\"kenvoplat-cli COMMAND --help\" (or \"kenvoplat-cli help COMMAND\") describes one command.\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace kenvo::cli;
    std::setlocale(LC_NUMERIC, "C");  // machine-readable output always uses '.'
    if (argc < 2) {
        std::fputs(Usage, stderr);
        return ExitUsage;
    }
    const std::string command = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        if (words.empty()) {
            std::fputs(Usage, stdout);
            std::printf("\nClinical measures:\n%s", clinicalMeasureList().c_str());
            return ExitOk;
        }
        if (printCommandHelp(words.front())) return ExitOk;
        std::fprintf(stderr, "kenvoplat-cli help: unknown command '%s'\n", words.front().c_str());
        return ExitUsage;
    }
    if (command == "--version") {
        std::printf("kenvoplat-cli %s\n", KENVOPLAT_VERSION);
        return ExitOk;
    }
    if (wantsHelp(words) && printCommandHelp(command)) return ExitOk;
    if (command == "devices") return runDevices(words);
    if (command == "monitor") return runMonitor(words);
    if (command == "capture") return runCapture(words);
    if (command == "decode") return runDecode(words);
    if (command == "record") return runRecord(words);
    if (command == "info") return runInfo(words);
    if (command == "export-csv") return runExportCsv(words);
    if (command == "import-csv") return runImportCsv(words);
    if (command == "table") return runTable(words);
    if (command == "export-xml") return runExportXml(words);
    if (command == "batch") return runBatch(words);
    if (command == "diffusion") return runDiffusion(words);
    if (command == "measures") return runMeasures(words);
    if (command == "register") return runRegister(words);
#ifdef KENVO_WITH_RENDER
    if (command == "render") return runRender(words);
    if (command == "print") return runPrint(words);
#endif
    std::fprintf(stderr, "kenvoplat-cli: unknown command '%s'\n\n%s", command.c_str(), Usage);
    return ExitUsage;
}
