#include "clinical/norms.h"

#include <algorithm>
#include <charconv>

namespace kenvo {

namespace {

// printf's "%.12g" with '.' whatever the locale.
std::string twelveDigits(double value) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 12);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

const NormRow& findNorm(AgeGroup group, Vision vision, StanceSurface surface, NormMeasure measure) {
    const auto rows = normsTable();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const NormRow& r) {
        return r.ageGroup == group && r.vision == vision && r.surface == surface &&
               r.measure == measure;
    });
    // The build refuses a table that lacks a combination (embed_norms.cmake), so the search
    // always finds its row.
    return row != rows.end() ? *row : rows.front();
}

std::string_view ageGroupName(AgeGroup group) {
    return group == AgeGroup::Young ? "Young" : "Old";
}

std::string_view visionName(Vision vision) {
    return vision == Vision::Open ? "Open" : "Closed";
}

std::string_view surfaceName(StanceSurface surface) {
    return surface == StanceSurface::Firm ? "Firm" : "Foam";
}

std::string_view normMeasureName(NormMeasure measure) {
    return clinicalMeasureInfo(clinicalMeasureOf(measure)).column;
}

ClinicalMeasure clinicalMeasureOf(NormMeasure measure) {
    switch (measure) {
        case NormMeasure::Area95:
            return ClinicalMeasure::Area95;
        case NormMeasure::Velocity:
            return ClinicalMeasure::Velocity;
        case NormMeasure::MeanFrequency:
            return ClinicalMeasure::MeanFrequency;
    }
    return ClinicalMeasure::Area95;
}

std::optional<NormMeasure> normMeasureOf(ClinicalMeasure measure) {
    switch (measure) {
        case ClinicalMeasure::Area95:
            return NormMeasure::Area95;
        case ClinicalMeasure::Velocity:
            return NormMeasure::Velocity;
        case ClinicalMeasure::MeanFrequency:
            return NormMeasure::MeanFrequency;
        default:
            return std::nullopt;
    }
}

std::string normsCsv() {
    std::string out = "age_group,vision,surface,measure,n,mean,sd,p5,p25,p50,p75,p95\n";
    for (const NormRow& row : normsTable()) {
        out += std::string(ageGroupName(row.ageGroup)) + ',' + std::string(visionName(row.vision)) +
               ',' + std::string(surfaceName(row.surface)) + ',' +
               std::string(normMeasureName(row.measure)) + ',' + std::to_string(row.subjects);
        out += ',' + twelveDigits(row.mean) + ',' + twelveDigits(row.sd);
        for (double cut : row.percentile) out += ',' + twelveDigits(cut);
        out += '\n';
    }
    return out;
}

}  // namespace kenvo
