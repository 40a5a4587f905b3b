// Reads every include of the core, the renderer and the command line, and fails, naming the file
// and line, on any that points the wrong way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path Source = KENVO_SOURCE_DIR;
const fs::path Core = Source / "src/core";

struct Include {
    std::string file;  // relative to the source folder
    int line = 0;
    std::string name;
    bool quoted = false;
    std::string where() const { return file + ":" + std::to_string(line) + ": " + name; }
};

std::vector<Include> includesUnder(const fs::path& folder) {
    static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> all;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp" && ext != ".hpp")) continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch m;
            if (std::regex_search(text, m, directive))
                all.push_back({fs::relative(entry.path(), Source).string(), line, m[2], m[1] == "\""});
        }
    }
    return all;
}

std::map<std::string, int> readLevels(const fs::path& file) {
    std::map<std::string, int> levels;
    std::ifstream in(file);
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream words(text);
        int level = 0;
        std::string folder;
        words >> level;
        while (words >> folder) levels[folder] = level;
    }
    return levels;
}

std::string firstComponent(const std::string& path) {
    return path.substr(0, path.find('/'));
}

// Qt's headers are the ones named Q... or Qt.../...; the standard and POSIX headers never are.
bool isQtHeader(const Include& inc) {
    return !inc.quoted && !inc.name.empty() && inc.name[0] == 'Q';
}

// What a folder of the core may include: its own files and folders of lower levels.
std::vector<std::string> coreViolations(const std::vector<Include>& includes,
                                        const std::map<std::string, int>& levels) {
    std::vector<std::string> bad;
    for (const Include& inc : includes) {
        const std::string from = firstComponent(fs::relative(Source / inc.file, Core).string());
        const auto own = levels.find(from);
        if (own == levels.end()) {
            bad.push_back(inc.where() + " (folder '" + from + "' has no level)");
            continue;
        }
        if (isQtHeader(inc)) {
            bad.push_back(inc.where() + " (a Qt header in the core)");
            continue;
        }
        if (!inc.quoted) continue;
        const std::string to = firstComponent(inc.name);
        if (to == from) continue;
        const auto target = levels.find(to);
        if (target == levels.end())
            bad.push_back(inc.where() + " (not a folder of the core)");
        else if (target->second == own->second)
            bad.push_back(inc.where() + " (a sibling of level " + std::to_string(own->second) + ")");
        else if (target->second > own->second)
            bad.push_back(inc.where() + " (level " + std::to_string(target->second) +
                          " above level " + std::to_string(own->second) + ")");
    }
    return bad;
}

std::map<std::string, std::string> readTargets() {
    std::map<std::string, std::string> values;
    std::ifstream in(KENVO_TARGETS_FILE);
    std::string text;
    while (std::getline(in, text)) {
        const auto eq = text.find('=');
        if (eq != std::string::npos) values[text.substr(0, eq)] = text.substr(eq + 1);
    }
    return values;
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ';'))
        if (!item.empty()) items.push_back(item);
    return items;
}

// The header names of the Qt modules whose include folders end in one of `modules`.
std::set<std::string> qtHeaders(const std::vector<std::string>& folders, const std::set<std::string>& modules) {
    std::set<std::string> names;
    for (const std::string& folder : folders) {
        const std::string module = fs::path(folder).filename().string();
        if (!modules.count(module) || !fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
            names.insert(module + "/" + entry.path().filename().string());
        }
    }
    return names;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += "\n  " + l;
    return text;
}

TEST(Layering, EveryCoreFolderHasALevelAndIncludesOnlyLowerLevels) {
    const auto levels = readLevels(Core / "levels.txt");
    ASSERT_FALSE(levels.empty()) << "no levels in src/core/levels.txt";
    for (const auto& entry : fs::directory_iterator(Core)) {
        if (!entry.is_directory()) continue;
        EXPECT_TRUE(levels.count(entry.path().filename().string()))
            << entry.path().filename() << " is missing from src/core/levels.txt";
    }
    const auto bad = coreViolations(includesUnder(Core), levels);
    EXPECT_TRUE(bad.empty()) << "includes against the levels:" << joined(bad);
}

TEST(Layering, TheCheckCatchesUpwardSiblingAndQtIncludes) {
    const std::map<std::string, int> levels = {{"model", 1}, {"files", 2}, {"platform", 2}, {"graphs", 3}};
    const std::vector<Include> includes = {
        {"src/core/files/a.cpp", 3, "model/store.h", true},     // down: fine
        {"src/core/files/a.cpp", 4, "files/b.h", true},         // own folder: fine
        {"src/core/files/a.cpp", 5, "vector", false},           // standard: fine
        {"src/core/files/a.cpp", 6, "platform/c.h", true},      // sibling
        {"src/core/model/d.h", 7, "graphs/e.h", true},          // upward
        {"src/core/graphs/f.cpp", 8, "QString", false},         // Qt
        {"src/core/graphs/f.cpp", 9, "app/main_frame.h", true}, // outside the core
    };
    const auto bad = coreViolations(includes, levels);
    ASSERT_EQ(bad.size(), 4u) << joined(bad);
    EXPECT_NE(bad[0].find("files/a.cpp:6"), std::string::npos);
    EXPECT_NE(bad[0].find("sibling"), std::string::npos);
    EXPECT_NE(bad[1].find("model/d.h:7"), std::string::npos);
    EXPECT_NE(bad[1].find("above"), std::string::npos);
    EXPECT_NE(bad[2].find("Qt header"), std::string::npos);
    EXPECT_NE(bad[3].find("not a folder of the core"), std::string::npos);
}

TEST(Layering, RendererUsesOnlyTheCoreQtCoreAndQtGui) {
    const auto targets = readTargets();
    if (targets.count("render_links") == 0) GTEST_SKIP() << "this build has no renderer (core only)";
    const std::vector<std::string> folders = splitList(targets.at("qt_includes"));
    const std::set<std::string> allowed = qtHeaders(folders, {"QtCore", "QtGui"});
    ASSERT_TRUE(allowed.count("QImage") && allowed.count("QString")) << "Qt's include folders not found";
    std::vector<std::string> bad;
    for (const Include& inc : includesUnder(Source / "src/render")) {
        if (isQtHeader(inc) && !allowed.count(inc.name)) bad.push_back(inc.where() + " (not QtCore or QtGui)");
        if (!inc.quoted) continue;
        const bool core = fs::exists(Core / inc.name);
        const bool own = fs::exists(Source / "src" / inc.name) && firstComponent(inc.name) == "render";
        const bool local = fs::exists(Source / "src/render" / inc.name);
        if (!core && !own && !local) bad.push_back(inc.where() + " (neither the core nor the renderer)");
    }
    EXPECT_TRUE(bad.empty()) << joined(bad);
    // kenvo_warnings carries compile flags only; it links nothing.
    for (const std::string& lib : splitList(targets.at("render_links")))
        EXPECT_TRUE(lib == "kenvo_core" || lib == "Qt6::Gui" || lib == "kenvo_warnings")
            << "kenvo_render links " << lib;
}

TEST(Layering, CommandLineUsesOnlyTheCoreAndTheRenderer) {
    std::vector<std::string> bad;
    for (const Include& inc : includesUnder(Source / "src/cli")) {
        if (isQtHeader(inc)) bad.push_back(inc.where() + " (a Qt header)");
        if (!inc.quoted) continue;
        const bool core = fs::exists(Core / inc.name);
        const bool render = firstComponent(inc.name) == "render" && fs::exists(Source / "src" / inc.name);
        const bool local = fs::exists(Source / "src/cli" / inc.name);
        if (!core && !render && !local) bad.push_back(inc.where() + " (neither the core nor the renderer)");
    }
    EXPECT_TRUE(bad.empty()) << joined(bad);
}

}  // namespace
