#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kenvo {

// A subject of the register. Strings are UTF-8 (the measurement files carry Windows-1250;
// the register converts where it reads them).
struct RegisterSubject {
    int64_t id = 0;    // 0: not yet in the register
    std::string code;  // patient code, unique in the register; empty: none
    std::string name;
    std::string birthDate;  // YYYY-MM-DD, empty when unknown
    char sex = 'F';         // 'F' or 'M'
    int heightCm = 0;
    int weightKg = 0;
    std::string notes;
    int sessionCount = 0;  // filled by the queries

    friend bool operator==(const RegisterSubject&, const RegisterSubject&) = default;
};

enum class SessionStatus { Ok, Changed, Missing, Review };
// "ok", "changed", "missing", "review".
const char* sessionStatusText(SessionStatus status);
// The status a text names; nothing for any other text.
std::optional<SessionStatus> sessionStatusFromText(std::string_view text);

// One measurement file in the register.
struct RegisterSession {
    int64_t id = 0;
    int64_t subjectId = 0;   // 0 while the session waits for review
    std::string file;        // relative to the data folder when under it, else absolute; '/'
    std::string test;        // stance | target | driving | sensory
    int64_t recordedAt = 0;  // the first attempt's start, seconds since 1970 (UTC)
    int attempts = 0;
    uint64_t fileSize = 0;
    int64_t fileMtimeNs = 0;
    SessionStatus status = SessionStatus::Ok;
    // Medians over the session's stance attempts of the cached 10 Hz measures; nothing for
    // target and driving sessions.
    std::optional<double> velocity;  // mm/s
    std::optional<double> area95;    // mm^2
};

// One point of a subject's history: a session and the median of one measure over its
// (condition's) stance attempts.
struct HistoryPoint {
    int64_t sessionId = 0;
    int64_t recordedAt = 0;
    std::string file;
    int attempts = 0;  // the attempts the median is taken over
    std::optional<double> value;
};

// "2026-12-08T09:30:00Z".
std::string utcTimestamp(int64_t secondsSince1970);

}  // namespace kenvo
