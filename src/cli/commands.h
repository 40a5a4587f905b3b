#pragma once

#include <string>
#include <vector>

namespace kenvo::cli {

// Each subcommand takes the words after its name and returns the exit status.
int runDevices(const std::vector<std::string>& words);
int runMonitor(const std::vector<std::string>& words);
int runCapture(const std::vector<std::string>& words);
int runDecode(const std::vector<std::string>& words);
int runTable(const std::vector<std::string>& words);
int runExportXml(const std::vector<std::string>& words);
int runBatch(const std::vector<std::string>& words);
int runDiffusion(const std::vector<std::string>& words);
int runMeasures(const std::vector<std::string>& words);
int runInfo(const std::vector<std::string>& words);
// info on a configuration (.swpcfg) or a protocol (.kplatprt) file.
int runInfoConfiguration(const std::string& path);
int runInfoProtocol(const std::string& path);
int runExportCsv(const std::vector<std::string>& words);
int runImportCsv(const std::vector<std::string>& words);
int runRender(const std::vector<std::string>& words);
int runRecord(const std::vector<std::string>& words);
int runPrint(const std::vector<std::string>& words);
// register SUBCOMMAND ...: the subject register.
int runRegister(const std::vector<std::string>& words);

}  // namespace kenvo::cli
