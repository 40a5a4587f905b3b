#include "files/configuration_file.h"

#include <algorithm>

#include "files/archive_reader.h"
#include "files/archive_writer.h"
#include "files/atomic_file.h"
#include "files/file_bytes.h"
#include "files/file_signature.h"
#include "files/setting_ranges.h"
#include "model/limits.h"
#include "model/settings.h"

namespace kenvo {

namespace {

constexpr std::size_t SignatureBytes = 16;
constexpr std::size_t BlockBytes = ConfigurationFileSize - SignatureBytes;

// Every int32 of the five blocks in file order, with the graph block's word 2 taken from
// attemptSeconds. The calibration scales and the filter frequency are floats and handled
// by bit pattern.
void putBlocks(ArchiveWriter& w, const Settings& s, int32_t attemptSeconds) {
    const TestSettings& t = s.test;
    for (const int32_t v :
         {t.spare, t.stanceTime, t.orientation, t.testMode, t.stimuliCount, t.drivingVelocity,
          t.drivingDirection, t.drivingEndMode, t.drivingTime, t.objectSize, t.targetSize})
        w.putInt32(v);
    GraphSettings g = s.graph;
    g.attemptSeconds = attemptSeconds;
    for (const int32_t v : g.words()) w.putInt32(v);
    for (const int32_t v : s.configReserved) w.putInt32(v);
    w.putFloat32(s.calibration.scaleX);
    w.putFloat32(s.calibration.scaleY);
    for (const int32_t v : s.calibration.zeroOffset) w.putInt32(v);
    w.putFloat32(s.filterFrequency);
}

void readBlocks(ArchiveReader& r, Settings& s, AdjustedFields* adjusted) {
    TestSettings& t = s.test;
    for (int32_t* v :
         {&t.spare, &t.stanceTime, &t.orientation, &t.testMode, &t.stimuliCount, &t.drivingVelocity,
          &t.drivingDirection, &t.drivingEndMode, &t.drivingTime, &t.objectSize, &t.targetSize})
        *v = r.int32();
    GraphSettings::Words words{};
    for (int32_t& v : words) v = r.int32();
    s.graph = GraphSettings::fromWords(words);
    for (int32_t& v : s.configReserved) v = r.int32();
    s.calibration.scaleX = r.float32();
    s.calibration.scaleY = r.float32();
    // A zero offset is about a sensor reading (0..4095); one beyond +-4095 is damage, and kept
    // as it is it could overflow the reader thread's raw - offset arithmetic.
    for (std::size_t k = 0; k < std::size(s.calibration.zeroOffset); ++k) {
        const int32_t v = r.int32();
        s.calibration.zeroOffset[k] = std::clamp(v, -SensorFullScale, SensorFullScale);
        if (adjusted && s.calibration.zeroOffset[k] != v)
            adjusted->push_back({"zeroOffset" + std::to_string(k), v});
    }
    s.filterFrequency = r.float32();
}

}  // namespace

void applyConfigurationDefaults(Settings& settings) {
    settings.test = TestSettings::defaults();
    const int32_t kept = settings.graph.attemptSeconds;
    settings.graph = GraphSettings::defaults();
    settings.graph.attemptSeconds = kept;
}

std::vector<uint8_t> encodeConfiguration(const Settings& settings, int32_t attemptSeconds) {
    ArchiveWriter w;
    w.reserve(ConfigurationFileSize);
    w.putArchiveString(FileSignature);
    putBlocks(w, settings, attemptSeconds);
    return w.bytes();
}

FileResult decodeConfiguration(std::span<const uint8_t> bytes, const std::string& name,
                               Settings& settings, int32_t& attemptSeconds,
                               AdjustedFields* adjusted) {
    ArchiveReader r(bytes);
    const std::string signature = r.archiveString();
    if (r.failed() || signature != FileSignature)
        return FileResult::failure(MessageIncompatibleData,
                                   name + ": not a configuration file of this program");

    // A short file overwrites the settings byte by byte as far as it goes: lay the current
    // settings out as the file would hold them, put the file's bytes over the front, read back.
    ArchiveWriter image;
    image.reserve(BlockBytes);
    putBlocks(image, settings, attemptSeconds);
    std::vector<uint8_t> blocks = image.bytes();
    const std::size_t present = std::min(r.remaining(), BlockBytes);
    r.bytes(blocks.data(), present);

    Settings read = settings;
    ArchiveReader blockReader(blocks);
    AdjustedFields changes;
    readBlocks(blockReader, read, &changes);
    // Every ranged setting is held to its range here, so that no display, ring or timer ever
    // works with a width, a count or a duration no dialog could have produced.
    holdSettingsToRanges(read.test, read.graph, &changes);
    if (read.graph.attemptSeconds != read.test.stanceTime)
        changes.push_back({"attemptSeconds", read.graph.attemptSeconds});
    read.graph.attemptSeconds = read.test.stanceTime;
    if (adjusted) *adjusted = std::move(changes);
    settings = read;
    attemptSeconds = read.test.stanceTime;
    return FileResult::success();
}

FileResult loadConfiguration(const std::string& path, Settings& settings, int32_t& attemptSeconds,
                             AdjustedFields* adjusted) {
    std::vector<uint8_t> bytes;
    std::string error;
    ReadFailure failure = ReadFailure::None;
    if (!readRegularFile(path, MaxConfigurationFileBytes, bytes, error, &failure)) {
        // A folder, a pipe or a huge file under the name is refused and changes nothing.
        if (failure == ReadFailure::Refused) return FileResult::failure(MessageOpenError, error);
        // No readable configuration (a first start, a name typed that does not exist): run
        // with the defaults.
        applyConfigurationDefaults(settings);
        return FileResult::success();
    }
    return decodeConfiguration(bytes, fileNameOf(path), settings, attemptSeconds, adjusted);
}

FileResult saveConfiguration(const std::string& path, const Settings& settings,
                             int32_t attemptSeconds) {
    const std::vector<uint8_t> bytes = encodeConfiguration(settings, attemptSeconds);
    std::string error;
    if (!writeFileAtomically(path, bytes, error))
        return FileResult::failure(MessageSaveError, error);
    return FileResult::success();
}

}  // namespace kenvo
