#include "files/measurement_file.h"

#include <cmath>
#include <string_view>

#include "files/archive_reader.h"
#include "files/archive_writer.h"
#include "files/atomic_file.h"
#include "files/file_bytes.h"
#include "files/file_signature.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"

namespace kenvo {

namespace {

constexpr std::size_t SampleBytes = 10;
constexpr std::size_t DrivingSampleBytes = 14;
constexpr float MaxScaleMm = 10000.0f;

std::size_t sampleBytes(const TestSettings& settings) {
    return settings.testMode == TestModeDriving ? DrivingSampleBytes : SampleBytes;
}

// An attempt record checked against the file: its samples start at `offset`.
struct StagedAttempt {
    int32_t startTime = 0;
    int32_t length = 0;
    int32_t targetLocation = 0;
    std::size_t offset = 0;
};

// Everything of a file except the sample bytes, which stay in the file buffer until commit.
struct StagedFile {
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    TestSettings settings{};
    SubjectRecord subject;
    int32_t attemptSeconds = 0;
    std::vector<StagedAttempt> attempts;
};

void writeTestSettings(ArchiveWriter& w, const TestSettings& s) {
    for (const int32_t v :
         {s.spare, s.stanceTime, s.orientation, s.testMode, s.stimuliCount, s.drivingVelocity,
          s.drivingDirection, s.drivingEndMode, s.drivingTime, s.objectSize, s.targetSize})
        w.putInt32(v);
}

void readTestSettings(ArchiveReader& r, TestSettings& s) {
    for (int32_t* v :
         {&s.spare, &s.stanceTime, &s.orientation, &s.testMode, &s.stimuliCount, &s.drivingVelocity,
          &s.drivingDirection, &s.drivingEndMode, &s.drivingTime, &s.objectSize, &s.targetSize})
        *v = r.int32();
}

FileResult damaged(const std::string& name, const std::string& where) {
    return FileResult::failure("The file " + name + " is damaged: it ends inside " + where + ".",
                               name + ": the file ends inside " + where);
}

FileResult readHeader(ArchiveReader& r, const std::string& name, StagedFile& f) {
    const std::string signature = r.archiveString();
    if (r.failed() || signature != FileSignature)
        return FileResult::failure(MessageIncompatibleData,
                                   name + ": not a measurement file of this program");
    f.scaleX = r.float32();
    f.scaleY = r.float32();
    readTestSettings(r, f.settings);
    if (r.failed()) return damaged(name, "the scales and test settings");
    f.subject.name = r.archiveString();
    f.subject.sex = r.int32();
    f.subject.height = r.int32();
    f.subject.weight = r.int32();
    f.subject.comment1 = r.archiveString();
    f.subject.comment2 = r.archiveString();
    f.subject.comment3 = r.archiveString();
    if (r.failure() == ArchiveReader::Failure::BadString)
        return FileResult::failure(
            "The file " + name + " is damaged: a subject text has no valid length.",
            name + ": malformed string length in the subject");
    if (r.failed()) return damaged(name, "the subject");
    f.attemptSeconds = r.int32();
    if (r.failed()) return damaged(name, "the attempt duration");
    return FileResult::success();
}

FileResult readAttempts(ArchiveReader& r, const std::string& name, StagedFile& f) {
    const int32_t count = r.int32();
    if (r.failed()) return damaged(name, "the attempt count");
    if (count > MaxAttempts)
        return FileResult::failure("The file " + name + " holds " + std::to_string(count) +
                                       " attempts; at most " + std::to_string(MaxAttempts) +
                                       " can be opened.",
                                   name + ": too many attempts (" + std::to_string(count) + ")");
    const std::size_t perSample = sampleBytes(f.settings);
    for (int32_t i = 0; i < count; ++i) {  // a negative count reads as no attempts
        StagedAttempt a;
        a.startTime = r.int32();
        a.length = r.int32();
        a.targetLocation = r.int32();
        const std::string which =
            "attempt " + std::to_string(i + 1) + " of " + std::to_string(count);
        if (r.failed()) return damaged(name, which);
        if (a.length > MaxSamples)
            return FileResult::failure("The file " + name + " has " + std::to_string(a.length) +
                                           " samples in " + which + "; at most " +
                                           std::to_string(MaxSamples) + " can be opened.",
                                       name + ": too many samples in " + which);
        if (a.length < 0) a.length = 0;  // reads as no samples
        a.offset = r.position();
        r.skip(static_cast<std::size_t>(a.length) * perSample);
        if (r.failed()) return damaged(name, which);
        f.attempts.push_back(a);
    }
    return FileResult::success();
}

// Every millimetre the program shows is a stored fraction times a scale, and a platform's
// scale is a few hundred millimetres: one that is not a positive finite number of at most
// 10 m can only come from damage. A data set saved before any test has scales of 0 and no
// samples; it opens, as nothing in it needs a scale.
FileResult checkScales(const StagedFile& f, const std::string& name) {
    bool samples = false;
    for (const StagedAttempt& a : f.attempts) samples = samples || a.length > 0;
    for (const float scale : {f.scaleX, f.scaleY}) {
        if (std::isfinite(scale) && scale > 0.0f && scale <= MaxScaleMm) continue;
        if (scale == 0.0f && !samples) continue;
        return FileResult::failure("The file " + name + " is damaged: its platform scales are not valid.",
                                   name + ": invalid platform scales (" + std::to_string(f.scaleX) + ", " +
                                       std::to_string(f.scaleY) + " mm)");
    }
    return FileResult::success();
}

void commit(const StagedFile& f, std::span<const uint8_t> bytes, MeasurementStore& store,
            GraphSettings& graph) {
    store.calibration.scaleX = f.scaleX;
    store.calibration.scaleY = f.scaleY;
    store.settings = f.settings;
    store.subject = f.subject;
    store.attemptSeconds = f.attemptSeconds;
    graph.attemptSeconds = f.attemptSeconds;
    graph.clampWindowTo(f.attemptSeconds);
    store.attemptCount = static_cast<int32_t>(f.attempts.size());
    const bool driving = f.settings.testMode == TestModeDriving;
    for (std::size_t i = 0; i < f.attempts.size(); ++i) {
        const StagedAttempt& a = f.attempts[i];
        const auto slot = static_cast<int32_t>(i);
        store.startTime[i] = a.startTime;
        store.length[i] = a.length;
        store.targetLocation[i] = a.targetLocation;
        // The records were bounds-checked when staged; these reads cannot run short.
        ArchiveReader r(bytes.subspan(a.offset));
        CopSample* samples = store.samples(slot);
        float* deviation = store.deviation(slot);
        for (int32_t j = 0; j < a.length; ++j) {
            CopSample& s = samples[j];
            s.x = r.fixedPoint();
            s.y = r.fixedPoint();
            s.pulse = r.int16();
            deviation[j] = driving ? r.fixedPoint() : 0.0f;
        }
    }
    store.dataPresent = 1;
    store.dataSaved = 1;
}

}  // namespace

FileResult encodeMeasurementFile(const MeasurementStore& store, std::vector<uint8_t>& bytes) {
    const int32_t count = store.attemptCount;
    if (count > MaxAttempts)
        return FileResult::failure(
            MessageSaveError, "the data set has " + std::to_string(count) + " attempts; at most " +
                                  std::to_string(MaxAttempts) + " can be saved");
    const std::size_t perSample = sampleBytes(store.settings);
    std::size_t total = 256;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t length = store.length[static_cast<std::size_t>(i)];
        if (length > MaxSamples)
            return FileResult::failure(MessageSaveError,
                                       "attempt " + std::to_string(i + 1) + " has " +
                                           std::to_string(length) + " samples; at most " +
                                           std::to_string(MaxSamples) + " can be saved");
        total += 12 + (length > 0 ? static_cast<std::size_t>(length) * perSample : 0);
    }

    ArchiveWriter w;
    w.reserve(total);
    w.putArchiveString(FileSignature);
    w.putFloat32(store.calibration.scaleX);
    w.putFloat32(store.calibration.scaleY);
    writeTestSettings(w, store.settings);
    const SubjectRecord& subject = store.subject;
    w.putArchiveString(subject.name);
    w.putInt32(subject.sex);
    w.putInt32(subject.height);
    w.putInt32(subject.weight);
    w.putArchiveString(subject.comment1);
    w.putArchiveString(subject.comment2);
    w.putArchiveString(subject.comment3);
    w.putInt32(store.attemptSeconds);
    w.putInt32(count);
    const bool driving = store.settings.testMode == TestModeDriving;
    for (int32_t i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        w.putInt32(store.startTime[k]);
        w.putInt32(store.length[k]);
        w.putInt32(store.targetLocation[k]);
        const CopSample* samples = store.samples(i);
        const float* deviation = store.deviation(i);
        for (int32_t j = 0; j < store.length[k]; ++j) {
            w.putFixedPoint(samples[j].x);
            w.putFixedPoint(samples[j].y);
            w.putInt16(samples[j].pulse);
            if (driving) w.putFixedPoint(deviation[j]);
        }
    }
    bytes = w.bytes();
    return FileResult::success();
}

FileResult saveMeasurementFile(const std::string& path, MeasurementStore& store) {
    std::vector<uint8_t> bytes;
    if (FileResult encoded = encodeMeasurementFile(store, bytes); !encoded) {
        encoded.reason = fileNameOf(path) + ": " + encoded.reason;
        return encoded;
    }
    std::string error;
    // A data set names its subject: the file is the user's alone, as the register is.
    if (!writeFileAtomically(path, bytes, error, FileAccess::Private))
        return FileResult::failure(MessageSaveError, error);
    store.dataSaved = 1;
    return FileResult::success();
}

FileResult decodeMeasurementFile(std::span<const uint8_t> bytes, const std::string& name,
                                 MeasurementStore& store, GraphSettings& graph) {
    ArchiveReader r(bytes);
    StagedFile staged;
    if (FileResult header = readHeader(r, name, staged); !header) return header;
    if (FileResult attempts = readAttempts(r, name, staged); !attempts) return attempts;
    if (FileResult scales = checkScales(staged, name); !scales) return scales;
    commit(staged, bytes, store, graph);
    return FileResult::success();
}

FileResult loadMeasurementFile(const std::string& path, MeasurementStore& store,
                               GraphSettings& graph) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readRegularFile(path, MaxMeasurementFileBytes, bytes, error))
        return FileResult::failure(MessageOpenError, error);
    return decodeMeasurementFile(bytes, fileNameOf(path), store, graph);
}

}  // namespace kenvo
