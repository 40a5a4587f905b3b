#include "command_help.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "clinical/clinical_measures.h"

namespace kenvo::cli {

namespace {

struct CommandHelp {
    const char* name;
    const char* usage;  // after "usage: kenvoplat-cli "
    const char* text;
};

constexpr const char* PlatformNote =
    "  --simulate[=MODEL]  a simulated platform instead of the attached one\n"
    "\n"
    "MODEL is 0 (4KenvoPlat), 1 (4KenvoPlatW), 2 (3KenvoPlatP) or 3 (3KenvoPlatT). Without\n"
    "--simulate the platforms are the USB serial adapters whose product string is one of these,\n"
    "plus the entries of KENVOPLAT_SERIAL_DEVICES (\"path=description;...\").\n";

constexpr const char* TableNames =
    "TABLE: summary (one row per attempt), interval (the attempt in intervals of L seconds),\n"
    "attempt (every sample of the attempt), target (one row per target), driving (the deviation\n"
    "parameters of the attempt), frequency (the half-wave analysis of every attempt). target\n"
    "needs a target hitting data set and driving a driving data set; on another the command "
    "fails.\n";

// Every subcommand's help; the order is that of "kenvoplat-cli --help".
const CommandHelp Commands[] = {
    {"devices", "devices [--simulate[=MODEL]]",
     "Lists the attached platforms, one line each: model number, product string, device path.\n"},
    {"monitor", "monitor [--seconds N] [--simulate[=MODEL]]",
     "Shows the live sensor readings ten times a second: the mean of each load cell over the last\n"
     "block of frames (FL, FR, RL, RR; R for the three-sensor models), their sum, the centre of\n"
     "pressure X and Y in millimetres and the frame rate. Stops after N seconds or at Ctrl+C.\n"
     "  --seconds N    stop after N seconds (default: until interrupted)\n"},
    {"capture", "capture --seconds N -o FILE [--simulate[=MODEL]]",
     "Saves the raw bytes the platform sends for N seconds; \"decode FILE\" prints their frames.\n"
     "  --seconds N    how long to record\n"
     "  -o FILE        where to write the bytes\n"},
    {"decode", "decode FILE",
     "Prints the frames of a raw byte file written by \"capture\", one line each.\n"},
    {"info", "info FILE.kplat|FILE.swpcfg|FILE.kplatprt",
     "Describes a measurement file: the test and its settings, the subject and every attempt.\n"
     "For a configuration (.swpcfg) or a protocol (.kplatprt) it prints every field as held\n"
     "after loading, with \"(file: X)\" after each value the load changed from the X in the "
     "file.\n"},
    {"export-csv", "export-csv FILE.kplat [--attempt N] [-o FILE.csv]",
     "Writes the samples as CSV with '.' decimals: attempt, time in seconds, X and Y of the "
     "centre\n"
     "of pressure in millimetres (X positive to the subject's right, Y positive forwards), heart\n"
     "rate and, for the driving test, the deviation from the track.\n"
     "  --attempt N    only attempt N (1 is the first; default: every attempt)\n"
     "  -o FILE.csv    the output file (default: standard output)\n"},
    {"import-csv",
     "import-csv [--model M] [--subject NAME] [--sex F|M] [--height CM] [--weight KG] [--code "
     "CODE] [--birth-date YYYY-MM-DD] [--conditions C1,C2,...] [--recorded-at "
     "YYYY-MM-DDTHH:MM:SSZ] -o FILE.kplat INPUT.csv...",
     "Makes a stance data set of COP recordings sampled at 100 Hz, one attempt per input file.\n"
     "Each input has the header t_s,x_mm,y_mm and one row per sample (at most 300 s).\n"
     "  --model M          platform model the data set names (0..3, default 0)\n"
     "  --subject NAME     the subject's name\n"
     "  --sex F|M          the subject's sex (default F)\n"
     "  --height CM        the subject's height in whole centimetres (0..250, default 0)\n"
     "  --weight KG        the subject's weight in whole kilograms (0..500, default 0)\n"
     "  --code CODE        the patient code, kept in FILE.kplat.json beside the data set\n"
     "  --birth-date DATE  the birth date YYYY-MM-DD, kept in FILE.kplat.json\n"
     "  --conditions LIST  the sensory condition of each input, in order: eo-firm, ec-firm,\n"
     "                     eo-foam or ec-foam (eyes open/closed, firm surface/foam), separated\n"
     "                     by commas, one per input; kept in FILE.kplat.json\n"
     "  --recorded-at TIME when the first attempt started, YYYY-MM-DDTHH:MM:SSZ in UTC\n"
     "                     (1970 to 2106; default: now); each further attempt starts when\n"
     "                     the one before it ended\n"
     "  -o FILE.kplat      the measurement file to write\n"
     "FILE.kplat.json is written (private to the user) only when --code, --birth-date or\n"
     "--conditions is given.\n"},
    {"table",
     "table TABLE FILE.kplat [--attempt N] [--interval L] [--filter MM] [--format text|csv]",
     "Prints one of the program's digital tables.\n"
     "  --attempt N      the attempt of the per-attempt tables (default 1)\n"
     "  --interval L     interval length in seconds of the interval table (default 1)\n"
     "  --filter MM      half-wave threshold in millimetres of the frequency table (default 1.0)\n"
     "  --format         text (the program's columns, the user's decimal separator) or csv "
     "('.')\n"},
    {"export-xml",
     "export-xml TABLE FILE.kplat [--attempt N] [--interval L] [--filter MM] [-o noname.xml]",
     "Writes one digital table as a spreadsheet (XML Spreadsheet 2003, opens in LibreOffice and\n"
     "Excel). Options as for \"table\"; -o names the output (default noname.xml).\n"},
    {"diffusion",
     "diffusion FILE.kplat [--attempt N] [--span S] [--marker L] [--param r|r2|x|y] [--param2 "
     "r|r2|x|y] [--curve]",
     "The stabilogram diffusion analysis of one attempt: the two lines fitted below and above the\n"
     "marker lag and their crossing point, or the whole curve as CSV.\n"
     "  --attempt N    the attempt (default 1)\n"
     "  --span S       seconds of the attempt the curve uses, from its start (default: all of it)\n"
     "  --marker L     the lag in samples that splits the two fitted lines (default 0)\n"
     "  --param        the quantity the lines are fitted to (default r); --param2 the second one\n"
     "  --curve        print the curve as CSV (lag,r,r2,x,y) instead of the results\n"},
    {"record",
     "record --attempts N --seconds S [--simulate[=MODEL]] [--subject NAME] -o FILE.kplat",
     "Records a stance test without a window: N attempts of S seconds each (exactly S x 100\n"
     "samples), as the Start button records them, then saves the measurement file.\n"
     "  --attempts N     attempts to record (1..500)\n"
     "  --seconds S      length of each attempt (1..300)\n"
     "  --simulate       record a simulated platform instead of the attached one\n"
     "  --subject NAME   the subject's name in the file\n"},
    {"batch", "batch FILE.kplat... [--filter MM] [-o analysis.xml]",
     "Analyses every attempt of several files into one spreadsheet: interval, deviation and\n"
     "half-wave parameters, one row per attempt. Files that do not load are named and skipped;\n"
     "the exit status is then 1.\n"
     "  --filter MM    half-wave threshold in millimetres (default 1.0)\n"
     "  -o FILE        the output (default analysis.xml)\n"},
    {"measures",
     "measures FILE... [--attempt N] [--lowpass none|HZ] [--format text|csv|json] [-o OUT]",
     "The clinical sway measures of each stance attempt of measurement files (FILE.kplat, in\n"
     "millimetres through the data set's own scales) and of COP recordings (FILE.csv with the\n"
     "header t_s,x_mm,y_mm at 100 Hz, analysed as read). Every file is read and checked before\n"
     "anything is written; target hitting and driving files are refused.\n"
     "  --attempt N       only attempt N of each file (1 is the first; a CSV file is attempt 1)\n"
     "  --lowpass HZ      zero-phase 4th-order Butterworth low-pass at HZ (1 to 20, default 10),\n"
     "                    run forward and backward before the measures; \"none\" analyses the\n"
     "                    samples as they are. Recordings of 15 samples or fewer stay unfiltered.\n"
     "  --format          text (for people, the user's decimal separator), csv (a header line and\n"
     "                    one row per attempt: file, attempt, the measures, lowpass_hz;\n"
     "                    '.' decimals, empty cells where a measure is not defined) or json\n"
     "                    (the same keys, null where undefined)\n"
     "  -o OUT            the output file (default: standard output)\n"},
    {"register", "register scan|subjects|sessions|history|assign|check [OPTIONS] [--db PATH]",
     "The subject register: every subject, the sessions (measurement files) of each, and the\n"
     "clinical measures of their stance attempts (10 Hz low-pass), kept in one file. It is an\n"
     "index over the measurement files and their FILE.kplat.json sidecars and can always be\n"
     "rebuilt from them.\n"
     "  scan [--rebuild] DIR...\n"
     "        registers every .kplat under the folders; prints the lines \"added N\",\n"
     "        \"updated N\", \"unchanged N\", \"skipped N\", \"review N\" and one\n"
     "        \"skipped PATH: REASON\" per file that could not be read. --rebuild empties the\n"
     "        register first (or, when it cannot be read, keeps the old file under another\n"
     "        name) and registers the files again. Files that cannot be read are skipped and\n"
     "        named, and the scan ends with status 0; status 1 when it could not run or was\n"
     "        interrupted (Ctrl+C), in which case the next scan registers the rest.\n"
     "  subjects [--search TEXT] [--format text|csv]\n"
     "        the subjects whose name or patient code contains TEXT; CSV columns\n"
     "        id,code,name,birth_date,sex,height_cm,weight_kg,sessions\n"
     "  sessions SUBJECT_ID|--review [--format text|csv]\n"
     "        the subject's sessions, oldest first, or with --review the sessions waiting\n"
     "        for review (their file matched two subjects equally; subject_id is empty); CSV\n"
     "        columns id,subject_id,file,test,recorded_at,attempts,status\n"
     "        (test stance|target|driving|sensory, status ok|changed|missing|review)\n"
     "  history SUBJECT_ID --measure NAME [--format text|csv]\n"
     "        per session with stance attempts, the median of the measure NAME (a column of\n"
     "        \"measures\") over them; CSV columns session_id,recorded_at,file,attempts,value\n"
     "  assign SESSION_ID SUBJECT_ID\n"
     "        puts a session with a subject (resolves a session waiting for review); the\n"
     "        choice is kept in the file's sidecar, so a rebuild keeps it\n"
     "  check\n"
     "        the database's integrity and whether every file is as registered (exit 1\n"
     "        when anything is not)\n"
     "  --db PATH   the register file (default: kenvoplat-register.sqlite in the data folder,\n"
     "              DATA under KENVOPLAT_HOME when it is set)\n"
     "Times are the first attempt's start in UTC, YYYY-MM-DDTHH:MM:SSZ; CSV numbers have '.'\n"
     "decimals and every digit needed to read them back. A register that cannot be read is\n"
     "named with the reason (exit 1); \"register scan --rebuild\" rebuilds it.\n"},
#ifdef KENVO_WITH_RENDER
    {"render", "render VIEW FILE.kplat [--attempt N] [--width W --height H] -o OUT.png",
     "Draws one of the program's views of an attempt as a PNG picture (default 760 x 400).\n"
     "VIEW:\n"},
    {"print", "print VIEW FILE.kplat [--attempt N] [--interval L] [--marker L] -o OUT.pdf",
     "Writes the printed report of a view as an A4 PDF, with the subject's header on the first "
     "page.\n"
     "VIEW:\n"},
#endif
};

}  // namespace

std::string clinicalMeasureList() {
    std::string list;
    for (const ClinicalMeasureInfo& info : clinicalMeasureInfo()) {
        std::string line = "  " + std::string(info.column);
        line.resize(std::max<std::size_t>(line.size() + 2, 26), ' ');
        line += std::string(info.description);
        if (!info.unit.empty()) line += " (" + std::string(info.unit) + ")";
        list += line + "\n";
    }
    return list +
           "\nThese are the CSV columns of \"measures\", with their units. Unless --lowpass\n"
           "none is given, both axes first pass a zero-phase 4th-order Butterworth low-pass\n"
           "(10 Hz by default). Velocities divide by the duration n / 100 Hz. The ellipse needs\n"
           "3 samples, the frequencies 200 (Welch spectrum: segments of n/2 samples overlapping\n"
           "by n/4, Hann window); an undefined measure is empty in CSV, null in JSON and n/a in\n"
           "text.\n";
}

bool wantsHelp(const std::vector<std::string>& words) {
    return std::any_of(words.begin(), words.end(),
                       [](const std::string& w) { return w == "--help" || w == "-h"; });
}

bool printCommandHelp(const std::string& command) {
    const auto help = std::find_if(std::begin(Commands), std::end(Commands),
                                   [&](const CommandHelp& c) { return command == c.name; });
    if (help == std::end(Commands)) return false;
    std::printf("usage: kenvoplat-cli %s\n\n%s", help->usage, help->text);
#ifdef KENVO_WITH_RENDER
    if (command == "render") std::fputs(renderViewList().c_str(), stdout);
    if (command == "print") std::fputs(printViewList().c_str(), stdout);
#endif
    if (command == "measures") std::printf("\nMeasures:\n%s", clinicalMeasureList().c_str());
    if (std::strstr(help->usage, "--simulate")) std::fputs(PlatformNote, stdout);
    if (std::strstr(help->usage, "TABLE ")) std::printf("\n%s", TableNames);
    std::puts("\nExit status: 0 success, 1 failure, 2 usage error.");
    return true;
}

}  // namespace kenvo::cli
