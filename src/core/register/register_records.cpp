#include "register/register_records.h"

#include <ctime>

namespace kenvo {

const char* sessionStatusText(SessionStatus status) {
    switch (status) {
        case SessionStatus::Ok:
            return "ok";
        case SessionStatus::Changed:
            return "changed";
        case SessionStatus::Missing:
            return "missing";
        case SessionStatus::Review:
            return "review";
    }
    return "ok";
}

std::optional<SessionStatus> sessionStatusFromText(std::string_view text) {
    for (SessionStatus status :
         {SessionStatus::Ok, SessionStatus::Changed, SessionStatus::Missing, SessionStatus::Review})
        if (text == sessionStatusText(status)) return status;
    return std::nullopt;
}

std::string utcTimestamp(int64_t secondsSince1970) {
    const std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm utc{};
    if (!gmtime_r(&time, &utc)) return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace kenvo
