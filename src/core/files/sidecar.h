#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kenvo {

// What a measurement file cannot hold, kept beside it as "NAME.kplat.json": the patient code,
// birth date, sex and notes of its subject, the register id the session belongs to, and (for
// the sensory test) the protocol and each attempt's condition. Strings are UTF-8.
//
// Schema version 1:
//   {"kenvoplat_sidecar": 1, "patient_code": string|null, "birth_date": "YYYY-MM-DD"|null,
//    "sex": "F"|"M"|null, "notes": string|null, "subject_id": integer|null,
//    "protocol": null|string, "conditions": null|[string|null per attempt],
//    "discarded_attempts": [1-based attempt numbers],          (optional, default [])
//    "name": string|null, "height_cm": integer|null, "weight_kg": integer|null,
//                                    (optional: the register's details, which win over the
//                                     measurement file's subject record when present)
//    "kplat_size": integer, "kplat_mtime_ns": integer}
// A sidecar whose size or modification time does not match its measurement file is stale:
// it is reported and ignored, and the measurement file is used all the same.
struct Sidecar {
    std::optional<std::string> patientCode;
    std::optional<std::string> birthDate;  // YYYY-MM-DD
    std::optional<char> sex;               // 'F' or 'M'
    std::optional<std::string> notes;
    std::optional<int64_t> subjectId;
    std::optional<std::string> protocol;
    std::optional<std::vector<std::optional<std::string>>> conditions;  // one per attempt
    std::vector<int> discardedAttempts;  // 0-based in memory, 1-based in the file
    std::optional<std::string> name;
    std::optional<int> heightCm;
    std::optional<int> weightKg;
    uint64_t kplatSize = 0;
    int64_t kplatMtimeNs = 0;

    friend bool operator==(const Sidecar&, const Sidecar&) = default;
};

// Whether `text` is "YYYY-MM-DD" naming a day that exists (no 2023-02-29, no 1990-04-31).
bool isCalendarDate(const std::string& text);

// "set.kplat" -> "set.kplat.json".
std::string sidecarPathOf(const std::string& kplatPath);

enum class SidecarState {
    Absent,   // no sidecar beside the file
    Valid,    // read, and it matches the measurement file
    Stale,    // read, but the measurement file's size or time differ
    Damaged,  // not a sidecar this program can read (bad JSON, wrong types, newer schema)
};

struct SidecarRead {
    SidecarState state = SidecarState::Absent;
    Sidecar sidecar;      // filled when Valid (and when Stale, for the review of what it said)
    std::string message;  // plain words naming the file, for Stale and Damaged
};

// Reads the sidecar of `kplatPath` (through the regular-file reader, at most 1 MiB) and
// compares it with the measurement file's current size and modification time.
SidecarRead readSidecar(const std::string& kplatPath);

// Stamps `sidecar` with the measurement file's current size and modification time and writes
// it beside the file through a temporary file and rename, private to the user (0600).
bool writeSidecar(const std::string& kplatPath, Sidecar sidecar, std::string& error);

// The JSON text and its parser, for tests and for the subject files of the register.
std::string sidecarJson(const Sidecar& sidecar);
bool parseSidecarJson(const std::string& text, Sidecar& sidecar, std::string& error);

}  // namespace kenvo
