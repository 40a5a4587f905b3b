#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "clinical/clinical_measures.h"
#include "files/sidecar.h"
#include "register/register_paths.h"
#include "register/register_records.h"

namespace kenvo {
class MeasurementStore;
}

namespace kenvo::reg {

// What the register keeps of one measurement file, read before any lock is taken.
struct DecodedSession {
    std::string test;  // stance | target | driving
    bool stance = false;
    int64_t recordedAt = 0;  // the first attempt's start
    int attempts = 0;
    RegisterSubject subject;                 // the file's subject record, in UTF-8
    std::vector<ClinicalMeasures> measures;  // per attempt; stance data sets only
};

// Reads `path` (a regular file within the measurement file limit) into `store`, which is
// reused from file to file, and computes the 10 Hz clinical measures of every stance attempt.
// False with the reader's reason.
bool decodeSession(const std::string& path, MeasurementStore& store, DecodedSession& session,
                   std::string& error);

struct StoredSession {
    int64_t id = 0;
    std::optional<int64_t> subjectId;  // nothing: waits for review
    bool added = false;
};

// Inserts or (with `existingId`) replaces the session of one file and its attempts, matching
// its subject: the sidecar's subject id when that subject exists; else its patient code
// (a code not yet in the register makes a new subject); else name and sex, where two or more
// subjects that match leave the session for review; else a new subject. `sidecar` is a valid
// sidecar or the details the window gave, or null. Runs in the caller's transaction.
bool storeSession(sqlite3* db, const std::string& stored, const FileState& state,
                  const DecodedSession& decoded, const Sidecar* sidecar,
                  std::optional<int64_t> existingId, StoredSession& result, std::string& error);

}  // namespace kenvo::reg
