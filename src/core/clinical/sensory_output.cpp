#include "clinical/sensory_output.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "clinical/measures_csv.h"

namespace kenvo {

namespace {

// printf into a string, with the process's numeric locale.
std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printed(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return length < 0 ? std::string() : std::string(buffer, std::min<std::size_t>(length, 255));
}

std::string cell(const std::optional<double>& v) {
    return v ? csvNumber(*v) : std::string();
}

nlohmann::ordered_json jsonValue(const std::optional<double>& v) {
    return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
}

// The normed measure's index in a condition's arrays, if the measure has norms.
std::optional<std::size_t> normIndex(std::size_t measure) {
    const auto norm = normMeasureOf(static_cast<ClinicalMeasure>(measure));
    return norm ? std::optional<std::size_t>(static_cast<std::size_t>(*norm)) : std::nullopt;
}

std::string ordinal(int n) {
    const int lastTwo = n % 100;
    const char* suffix = (lastTwo >= 11 && lastTwo <= 13) ? "th"
                         : n % 10 == 1                    ? "st"
                         : n % 10 == 2                    ? "nd"
                         : n % 10 == 3                    ? "rd"
                                                          : "th";
    return std::to_string(n) + suffix;
}

}  // namespace

std::string shortTrialWarning() {
    return "trials shorter than the reference trials' 60 s (a shorter trial gives a smaller "
           "area)";
}

std::string sensoryCsv(const SensoryResults& results) {
    std::string out = "condition,measure,trials,value,norm_mean,norm_sd,z,percentile,band\n";
    for (const ConditionResult& c : results.conditions) {
        for (std::size_t m = 0; m < ClinicalMeasureCount; ++m) {
            out += std::string(conditionName(c.condition)) + ',';
            out += std::string(clinicalMeasureInfo()[m].column) + ',';
            out += std::to_string(c.trials[m]) + ',' + cell(c.median[m]);
            const auto k = normIndex(m);
            const NormRow* row = k ? c.norm[*k] : nullptr;
            const auto& comparison = k ? c.comparison[*k] : std::nullopt;
            out += ',' + (row ? csvNumber(row->mean) : std::string());
            out += ',' + (row ? csvNumber(row->sd) : std::string());
            out += ',' + (comparison ? cell(comparison->z) : std::string());
            out += ',' + (comparison ? cell(comparison->percentile) : std::string());
            out += ',' + (comparison ? std::string(normBandName(comparison->band)) : std::string());
            out += '\n';
        }
    }
    for (std::size_t r = 0; r < SensoryRatioCount; ++r)
        out += "ratio," + std::string(sensoryRatioInfo(static_cast<SensoryRatio>(r)).name) + ",," +
               cell(results.ratios[r]) + ",,,,,\n";
    return out;
}

std::string sensoryJson(const SensoryResults& results) {
    nlohmann::ordered_json root;
    root["age"] = results.age ? nlohmann::ordered_json(*results.age) : nullptr;
    root["age_group"] = results.reference.group
                            ? nlohmann::ordered_json(ageGroupName(*results.reference.group))
                            : nullptr;
    root["no_reference_reason"] = results.reference.group
                                      ? nlohmann::ordered_json(nullptr)
                                      : nlohmann::ordered_json(results.reference.reason);
    root["source"] = NormsSource;
    auto conditions = nlohmann::ordered_json::array();
    for (const ConditionResult& c : results.conditions) {
        nlohmann::ordered_json object;
        object["condition"] = conditionName(c.condition);
        auto attempts = nlohmann::ordered_json::array();
        for (int a : c.attempts) attempts.push_back(a + 1);
        object["attempts"] = attempts;
        object["median_attempt"] =
            c.medianAttempt ? nlohmann::ordered_json(*c.medianAttempt + 1) : nullptr;
        object["shorter_than_reference"] = c.shorterThanNorms;
        nlohmann::ordered_json measures;
        for (std::size_t m = 0; m < ClinicalMeasureCount; ++m) {
            nlohmann::ordered_json entry;
            entry["trials"] = c.trials[m];
            entry["value"] = jsonValue(c.median[m]);
            if (const auto k = normIndex(m)) {
                const NormRow* row = c.norm[*k];
                nlohmann::ordered_json norm = nullptr;
                if (row) {
                    norm = {{"n", row->subjects}, {"mean", row->mean}, {"sd", row->sd}};
                    for (std::size_t p = 0; p < NormPercentiles.size(); ++p)
                        norm["p" + std::to_string(static_cast<int>(NormPercentiles[p]))] =
                            row->percentile[p];
                }
                entry["norm"] = norm;
                const auto& comparison = c.comparison[*k];
                entry["z"] = comparison ? jsonValue(comparison->z) : nullptr;
                entry["percentile"] = comparison ? jsonValue(comparison->percentile) : nullptr;
                entry["band"] =
                    comparison ? nlohmann::ordered_json(normBandName(comparison->band)) : nullptr;
            }
            measures[std::string(clinicalMeasureInfo()[m].column)] = entry;
        }
        object["measures"] = measures;
        conditions.push_back(object);
    }
    root["conditions"] = conditions;
    nlohmann::ordered_json ratios;
    for (std::size_t r = 0; r < SensoryRatioCount; ++r)
        ratios[std::string(sensoryRatioInfo(static_cast<SensoryRatio>(r)).name)] =
            jsonValue(results.ratios[r]);
    root["ratios"] = ratios;
    return root.dump(2) + "\n";
}

std::string conditionVerdict(const SensoryResults& results, SensoryCondition condition) {
    const ConditionResult& c = results[condition];
    if (c.attempts.empty()) return "not recorded";
    if (!results.reference.group) return results.reference.reason;
    std::string outside;
    int compared = 0;
    for (std::size_t k = 0; k < NormMeasureCount; ++k) {
        const auto& comparison = c.comparison[k];
        if (!comparison) continue;
        ++compared;
        if (comparison->band == NormBand::Within) continue;
        const ClinicalMeasureInfo& info =
            clinicalMeasureInfo(clinicalMeasureOf(static_cast<NormMeasure>(k)));
        if (!outside.empty()) outside += ", ";
        outside += std::string(info.label) + " " + std::string(normBandName(comparison->band));
    }
    if (compared == 0) return "no reference values: no measure could be compared";
    const NormRow* row = c.norm[0];
    const std::string group = std::string(NormsShortSource) + ", age group " +
                              std::string(ageGroupName(*results.reference.group)) +
                              ", n = " + std::to_string(row ? row->subjects : 0);
    if (outside.empty()) return "within the range of the reference group: " + group;
    return "outside the range of the reference group (" + outside + "): " + group;
}

std::string sensoryText(const SensoryResults& results) {
    std::string out;
    if (results.reference.group)
        out += printed("Age %d, reference group %s\n", *results.age,
                       std::string(ageGroupName(*results.reference.group)).c_str());
    else
        out += results.reference.reason + "\n";
    for (const ConditionResult& c : results.conditions) {
        out += printed("\n%s (%s): %zu trial%s\n",
                       std::string(conditionName(c.condition)).c_str(),
                       std::string(sensoryConditionLabel(c.condition)).c_str(), c.attempts.size(),
                       c.attempts.size() == 1 ? "" : "s");
        if (c.attempts.empty()) continue;
        for (std::size_t k = 0; k < NormMeasureCount; ++k) {
            const std::size_t m =
                static_cast<std::size_t>(clinicalMeasureOf(static_cast<NormMeasure>(k)));
            const ClinicalMeasureInfo& info = clinicalMeasureInfo()[m];
            const auto& value = c.median[m];
            std::string line = printed("  %-18s %12s %-5s", std::string(info.label).c_str(),
                                       value ? printed("%.4g", *value).c_str() : "n/a",
                                       std::string(info.unit).c_str());
            if (const NormRow* row = c.norm[k]) {
                line += printed("  P5-P95 %.4g to %.4g", row->percentile.front(),
                                row->percentile.back());
                if (const auto& comparison = c.comparison[k]) {
                    // A z-score that rounds to zero prints without a sign.
                    if (comparison->z)
                        line += printed(", z %.2f",
                                        std::fabs(*comparison->z) < 0.005 ? 0.0 : *comparison->z);
                    if (comparison->percentile)
                        line += ", " + ordinal(static_cast<int>(*comparison->percentile + 0.5)) +
                                " percentile";
                    line += ", " + std::string(normBandName(comparison->band));
                }
            }
            out += line + "\n";
        }
        const auto& duration = c.median[static_cast<std::size_t>(ClinicalMeasure::Duration)];
        if (duration)
            out +=
                printed("  %-18s %12s s\n", "trial duration", printed("%.4g", *duration).c_str());
        if (c.shorterThanNorms) out += "  " + shortTrialWarning() + "\n";
        out += "  " + conditionVerdict(results, c.condition) + "\n";
    }
    out += "\nQuotients\n";
    for (std::size_t r = 0; r < SensoryRatioCount; ++r) {
        const auto& value = results.ratios[r];
        out += printed("  %-42s %s\n",
                       std::string(sensoryRatioInfo(static_cast<SensoryRatio>(r)).label).c_str(),
                       value ? printed("%.3g", *value).c_str() : "n/a");
    }
    out += "\n" + std::string(NormsSource) + "\n";
    return out;
}

}  // namespace kenvo
