#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/file_result.h"
#include "files/setting_ranges.h"

namespace kenvo {

struct Settings;

// The configuration file (".swpcfg", 212 bytes): the signature, the current test settings,
// the graph settings block, the three reserved words, the current calibration and the filter
// frequency, each exactly as held.
inline constexpr std::size_t ConfigurationFileSize = 212;

// `attemptSeconds` is the working copy of the planned attempt duration
// (MeasurementStore::attemptSeconds); the file keeps it as word 2 of the graph block.
//
// Reading:
// - a file that cannot be opened: the test settings and graph settings take their defaults
//   (attemptSeconds and everything else keep their values); the result is success;
// - a wrong signature, or a file too short to hold one: "Incompatible data", nothing changes;
// - a file ending inside the settings: the bytes present are taken in order and the rest keep
//   their values; the result is success;
// - a folder, a pipe, a device or a file over 64 KiB: "Error opening file", nothing changes;
// then every test and graph setting with a range is held to it (setting_ranges.h), and
// attemptSeconds (and the block's word 2) become the stanceTime just read. `adjusted`, when
// given, receives each value the load changed with what the file held.
FileResult loadConfiguration(const std::string& path, Settings& settings, int32_t& attemptSeconds,
                             AdjustedFields* adjusted = nullptr);
FileResult saveConfiguration(const std::string& path, const Settings& settings,
                             int32_t attemptSeconds);

// The same on bytes in memory.
std::vector<uint8_t> encodeConfiguration(const Settings& settings, int32_t attemptSeconds);
FileResult decodeConfiguration(std::span<const uint8_t> bytes, const std::string& name,
                               Settings& settings, int32_t& attemptSeconds,
                               AdjustedFields* adjusted = nullptr);

// What a missing configuration file leaves.
void applyConfigurationDefaults(Settings& settings);

}  // namespace kenvo
