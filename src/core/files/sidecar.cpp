#include "files/sidecar.h"

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <limits>

#include "files/atomic_file.h"
#include "files/file_bytes.h"
#include "model/subject_validation.h"

namespace kenvo {

namespace {

using Json = nlohmann::ordered_json;

constexpr int SidecarVersion = 1;
// A sidecar holds a few short strings; anything larger is not one of ours.
constexpr uint64_t MaxSidecarBytes = uint64_t{1} << 20;

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t mtimeNs(const struct stat& st) {
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

template <typename T>
Json orNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

// Reading: each helper checks one key's type and says what is wrong with it in `error`.
class Reader {
  public:
    explicit Reader(const Json& object) : object_(object) {}

    bool string(const char* key, std::optional<std::string>& out) {
        const Json* v = find(key);
        if (v == nullptr || v->is_null()) return true;
        if (!v->is_string()) return wrong(key, "a string");
        out = v->get<std::string>();
        return true;
    }

    bool integer(const char* key, int64_t min, int64_t max, std::optional<int64_t>& out) {
        const Json* v = find(key);
        if (v == nullptr || v->is_null()) return true;
        if (!v->is_number_integer()) return wrong(key, "an integer");
        if (v->is_number_unsigned() && v->get<uint64_t>() > static_cast<uint64_t>(max))
            return wrong(key, "an integer in range");
        const int64_t value = v->get<int64_t>();
        if (value < min || value > max) return wrong(key, "an integer in range");
        out = value;
        return true;
    }

    bool unsignedInteger(const char* key, uint64_t& out) {
        const Json* v = find(key);
        if (v == nullptr || v->is_null()) return true;
        if (!v->is_number_unsigned()) return wrong(key, "a non-negative integer");
        out = v->get<uint64_t>();
        return true;
    }

    const Json* find(const char* key) const {
        const auto it = object_.find(key);
        return it == object_.end() ? nullptr : &*it;
    }

    bool wrong(const char* key, const char* expected) {
        error = std::string("\"") + key + "\" is not " + expected;
        return false;
    }

    std::string error;

  private:
    const Json& object_;
};

bool readConditions(Reader& reader, Sidecar& out) {
    const Json* v = reader.find("conditions");
    if (v == nullptr || v->is_null()) return true;
    if (!v->is_array()) return reader.wrong("conditions", "a list");
    std::vector<std::optional<std::string>> conditions;
    for (const Json& entry : *v) {
        if (entry.is_null()) {
            conditions.emplace_back();
        } else if (entry.is_string()) {
            conditions.emplace_back(entry.get<std::string>());
        } else {
            return reader.wrong("conditions", "a list of strings");
        }
    }
    out.conditions = std::move(conditions);
    return true;
}

bool readDiscarded(Reader& reader, Sidecar& out) {
    const Json* v = reader.find("discarded_attempts");
    if (v == nullptr || v->is_null()) return true;
    if (!v->is_array()) return reader.wrong("discarded_attempts", "a list");
    for (const Json& entry : *v) {
        if (!entry.is_number_unsigned() || entry.get<uint64_t>() < 1 ||
            entry.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int>::max()))
            return reader.wrong("discarded_attempts", "a list of attempt numbers from 1");
        out.discardedAttempts.push_back(static_cast<int>(entry.get<uint64_t>()) - 1);
    }
    return true;
}

bool readFields(const Json& json, Sidecar& out, std::string& error) {
    if (!json.is_object()) {
        error = "it is not a JSON object";
        return false;
    }
    Reader reader(json);
    std::optional<int64_t> version;
    if (!reader.integer("kenvoplat_sidecar", 1, std::numeric_limits<int64_t>::max(), version)) {
        error = reader.error;
        return false;
    }
    if (!version) {
        error = "it has no \"kenvoplat_sidecar\" version";
        return false;
    }
    if (*version > SidecarVersion) {
        error = "it was written by a newer version of the program";
        return false;
    }

    std::optional<std::string> sex;
    std::optional<int64_t> height, weight;
    const bool typed =
        reader.string("patient_code", out.patientCode) &&
        reader.string("birth_date", out.birthDate) && reader.string("sex", sex) &&
        reader.string("notes", out.notes) &&
        reader.integer("subject_id", 1, std::numeric_limits<int64_t>::max(), out.subjectId) &&
        reader.string("protocol", out.protocol) && readConditions(reader, out) &&
        readDiscarded(reader, out) && reader.string("name", out.name) &&
        reader.integer("height_cm", 0, MaxSubjectHeight, height) &&
        reader.integer("weight_kg", 0, MaxSubjectWeight, weight) &&
        reader.unsignedInteger("kplat_size", out.kplatSize);
    if (!typed) {
        error = reader.error;
        return false;
    }
    std::optional<int64_t> mtime;
    if (!reader.integer("kplat_mtime_ns", std::numeric_limits<int64_t>::min(),
                        std::numeric_limits<int64_t>::max(), mtime)) {
        error = reader.error;
        return false;
    }
    out.kplatMtimeNs = mtime.value_or(0);
    if (out.birthDate && !isCalendarDate(*out.birthDate)) {
        error = "\"birth_date\" is not a date YYYY-MM-DD";
        return false;
    }
    if (sex) {
        if (*sex != "F" && *sex != "M") {
            error = "\"sex\" is neither \"F\" nor \"M\"";
            return false;
        }
        out.sex = (*sex)[0];
    }
    if (height) out.heightCm = static_cast<int>(*height);
    if (weight) out.weightKg = static_cast<int>(*weight);
    return true;
}

}  // namespace

bool isCalendarDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return false;
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int DaysIn[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = DaysIn[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
    return day <= last;
}

std::string sidecarPathOf(const std::string& kplatPath) {
    return kplatPath + ".json";
}

std::string sidecarJson(const Sidecar& sidecar) {
    Json json;
    json["kenvoplat_sidecar"] = SidecarVersion;
    json["patient_code"] = orNull(sidecar.patientCode);
    json["birth_date"] = orNull(sidecar.birthDate);
    json["sex"] = sidecar.sex ? Json(std::string(1, *sidecar.sex)) : Json(nullptr);
    json["notes"] = orNull(sidecar.notes);
    json["subject_id"] = orNull(sidecar.subjectId);
    json["protocol"] = orNull(sidecar.protocol);
    if (sidecar.conditions) {
        Json list = Json::array();
        for (const auto& condition : *sidecar.conditions) list.push_back(orNull(condition));
        json["conditions"] = std::move(list);
    } else {
        json["conditions"] = nullptr;
    }
    Json discarded = Json::array();
    for (int attempt : sidecar.discardedAttempts) discarded.push_back(attempt + 1);
    json["discarded_attempts"] = std::move(discarded);
    json["name"] = orNull(sidecar.name);
    json["height_cm"] = orNull(sidecar.heightCm);
    json["weight_kg"] = orNull(sidecar.weightKg);
    json["kplat_size"] = sidecar.kplatSize;
    json["kplat_mtime_ns"] = sidecar.kplatMtimeNs;
    // Text that is not UTF-8 is replaced rather than refused: a sidecar is always written.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool parseSidecarJson(const std::string& text, Sidecar& sidecar, std::string& error) {
    Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        error = "it is not valid JSON";
        return false;
    }
    Sidecar parsed;
    try {
        if (!readFields(json, parsed, error)) return false;
    } catch (const nlohmann::json::exception& e) {
        // Only reached through a fault of the checks above; never let it out.
        error = std::string("it cannot be read (") + e.what() + ")";
        return false;
    }
    sidecar = std::move(parsed);
    return true;
}

SidecarRead readSidecar(const std::string& kplatPath) {
    SidecarRead result;
    const std::string path = sidecarPathOf(kplatPath);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return result;

    std::vector<uint8_t> bytes;
    std::string error;
    if (!readRegularFile(path, MaxSidecarBytes, bytes, error)) {
        result.state = SidecarState::Damaged;
        result.message = "The subject details " + path + " cannot be used: " + error;
        return result;
    }
    if (!parseSidecarJson(std::string(bytes.begin(), bytes.end()), result.sidecar, error)) {
        result.state = SidecarState::Damaged;
        result.sidecar = {};
        result.message = "The subject details " + path + " cannot be used: " + error + ".";
        return result;
    }

    struct stat kplat {};
    if (::stat(kplatPath.c_str(), &kplat) != 0) {
        result.state = SidecarState::Stale;
        result.message = "The subject details " + path + " are ignored: " + kplatPath +
                         " cannot be read (" + std::strerror(errno) + ").";
        return result;
    }
    if (static_cast<uint64_t>(kplat.st_size) != result.sidecar.kplatSize ||
        mtimeNs(kplat) != result.sidecar.kplatMtimeNs) {
        result.state = SidecarState::Stale;
        result.message = "The subject details " + path + " are ignored: " + kplatPath +
                         " was changed after they were written.";
        return result;
    }
    result.state = SidecarState::Valid;
    return result;
}

bool writeSidecar(const std::string& kplatPath, Sidecar sidecar, std::string& error) {
    if (sidecar.birthDate && !isCalendarDate(*sidecar.birthDate)) {
        error = "The birth date " + *sidecar.birthDate + " is not a date YYYY-MM-DD.";
        return false;
    }
    if (sidecar.sex && *sidecar.sex != 'F' && *sidecar.sex != 'M') {
        error = "The sex must be F or M.";
        return false;
    }
    struct stat kplat {};
    if (::stat(kplatPath.c_str(), &kplat) != 0) {
        error = "cannot read " + kplatPath + ": " + std::strerror(errno);
        return false;
    }
    sidecar.kplatSize = static_cast<uint64_t>(kplat.st_size);
    sidecar.kplatMtimeNs = mtimeNs(kplat);
    const std::string text = sidecarJson(sidecar);
    return writeFileAtomically(
        sidecarPathOf(kplatPath),
        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error,
        FileAccess::Private);
}

}  // namespace kenvo
