#include "reports/clinical_table.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/text_format.h"
#include "clinical/attempt_trace.h"
#include "clinical/clinical_measures.h"
#include "model/limits.h"

namespace kenvo {

namespace {

// The measure column is wide enough for "ellipse major semi-axis (mm)"; the page's 180 mm
// are shared by the value columns.
constexpr int32_t NameScreenWidth = 200;
constexpr int32_t NamePrintWidth = 520;
constexpr int32_t ValueScreenWidth = 75;
constexpr int32_t PrintableWidth = 1800;
constexpr int32_t MaxValuePrintWidth = 260;

std::string measureName(const ClinicalMeasureInfo& info) {
    std::string name(info.label);
    if (!info.unit.empty()) name += " (" + std::string(info.unit) + ")";
    return name;
}

std::vector<TableColumn> clinicalColumns(int32_t attempts) {
    const int32_t values = attempts + 2;
    const int32_t printWidth =
        std::min(MaxValuePrintWidth, (PrintableWidth - NamePrintWidth) / values);
    std::vector<TableColumn> columns;
    columns.push_back({"Measure\n(unit)", NameScreenWidth, NamePrintWidth, true, false});
    for (int32_t t = 0; t < attempts; ++t)
        columns.push_back(
            {formatText("Attempt\n%d", t + 1), ValueScreenWidth, printWidth, false, true});
    columns.push_back({"Mean\n", ValueScreenWidth, printWidth, false, true});
    columns.push_back({"SD\n", ValueScreenWidth, printWidth, false, true});
    return columns;
}

struct Spread {
    std::optional<double> mean;
    std::optional<double> sd;
};

// Mean and sample standard deviation of the defined values.
Spread spreadOf(const std::vector<ClinicalMeasures>& attempts, ClinicalMeasure m) {
    std::vector<double> v;
    for (const ClinicalMeasures& a : attempts)
        if (a[m] && std::isfinite(*a[m])) v.push_back(*a[m]);
    Spread s;
    if (v.empty()) return s;
    double sum = 0.0;
    for (double x : v) sum += x;
    const double mean = sum / static_cast<double>(v.size());
    s.mean = mean;
    if (v.size() < 2) return s;
    double squares = 0.0;
    for (double x : v) squares += (x - mean) * (x - mean);
    s.sd = std::sqrt(squares / static_cast<double>(v.size() - 1));
    return s;
}

// The mean and SD of whole numbers (the sample counts) are not whole numbers themselves.
std::string spreadText(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return NotDefinedText;
    return formatText("%.2f", *value);
}

}  // namespace

std::string clinicalCellText(ClinicalMeasure measure, const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return NotDefinedText;
    if (measure == ClinicalMeasure::SampleCount) return formatText("%.0f", *value);
    return formatText("%.2f", *value);
}

TableContent buildClinicalTable(const MeasurementStore& store, std::optional<double> lowPassHz) {
    const int32_t attempts = std::clamp(store.attemptCount, 0, MaxAttempts);
    std::vector<ClinicalMeasures> measures;
    measures.reserve(static_cast<std::size_t>(attempts));
    for (int32_t t = 0; t < attempts; ++t)
        measures.push_back(computeClinicalMeasures(attemptTrace(store, t), lowPassHz));

    TableContent content;
    content.table = SummaryTable::ClinicalMeasures;
    content.columns = clinicalColumns(attempts);
    content.shownColumns = static_cast<int32_t>(content.columns.size());
    for (std::size_t i = 0; i < ClinicalMeasureCount; ++i) {
        const auto m = static_cast<ClinicalMeasure>(i);
        std::vector<std::string> row;
        row.push_back(measureName(clinicalMeasureInfo(m)));
        for (const ClinicalMeasures& a : measures) row.push_back(clinicalCellText(m, a[m]));
        const Spread s = spreadOf(measures, m);
        row.push_back(spreadText(s.mean));
        row.push_back(spreadText(s.sd));
        content.rows.push_back(std::move(row));
    }
    return content;
}

}  // namespace kenvo
