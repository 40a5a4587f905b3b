#include "analysis/table_rows.h"

#include <algorithm>

#include "analysis/half_wave.h"
#include "analysis/interval_cuts.h"
#include "analysis/sway_parameters.h"
#include "analysis/text_format.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

using Row = std::vector<std::string>;

class Builder {
public:
    Builder(SummaryTable table, const MeasurementStore& store)
        : store_(store), columns_(tableDescriptor(table).count) {
        content_.table = table;
        content_.shownColumns = columns_;
    }
    Row row() const { return Row(static_cast<std::size_t>(columns_)); }
    void add(Row r) { content_.rows.push_back(std::move(r)); }
    TableContent take() { return std::move(content_); }
    void setShown(int32_t n) { content_.shownColumns = n; }
    const MeasurementStore& store() const { return store_; }
    int32_t attempts() const { return std::clamp(store_.attemptCount, 0, MaxAttempts); }
    bool validAttempt(int32_t a) const { return a >= 0 && a < attempts(); }

private:
    const MeasurementStore& store_;
    int32_t columns_;
    TableContent content_;
};

std::string f71(float v) { return formatText("%7.1f", static_cast<double>(v)); }

void intervalCells(Row& row, const IntervalParameters& p, bool withDistance) {
    row[1] = f71(p.lengthX);
    row[2] = f71(p.lengthY);
    row[3] = f71(dxDyRatio(p.lengthX, p.lengthY));
    row[4] = f71(p.meanVelocity);
    if (withDistance) row[5] = f71(p.meanDistance);
}

void attemptRows(Builder& b, int32_t attempt) {
    const MeasurementStore& s = b.store();
    const bool driving = s.settings.testMode == TestModeDriving;
    b.setShown(driving ? 7 : 4);
    if (!b.validAttempt(attempt)) return;
    const int32_t n = attemptLength(s, attempt);
    const CopSample* samples = s.samples(attempt);
    const float* dev = s.deviation(attempt);
    const int32_t direction = s.settings.drivingDirection;
    for (int32_t k = 1; k < n; ++k) {
        const CopSample a = loadRelaxed(samples[k]), prev = loadRelaxed(samples[k - 1]);
        const float x = sampleMetric(MetricCopX, a, prev, s.calibration);
        const float y = sampleMetric(MetricCopY, a, prev, s.calibration);
        Row row = b.row();
        row[0] = formatText("%d", 10 * k);
        row[1] = f71(x);
        row[2] = f71(y);
        row[3] = f71(shownMetric(MetricDistance, a, prev, s.calibration));
        if (driving) {
            const float d = dev[k];
            row[4] = f71(direction == 0 || direction == 1 ? x + d : x);
            row[5] = f71(direction == 2 || direction == 3 ? y + d : y);
            row[6] = f71(d);
        }
        b.add(std::move(row));
    }
}

void summaryRows(Builder& b) {
    for (int32_t j = 0; j < b.attempts(); ++j) {
        Row row = b.row();
        row[0] = formatText("%d", j + 1);
        intervalCells(row, computeWholeAttempt(b.store(), j), true);
        b.add(std::move(row));
    }
}

void intervalRows(Builder& b, int32_t attempt, int32_t seconds) {
    if (!b.validAttempt(attempt)) return;
    const int32_t n = attemptLength(b.store(), attempt);
    for (const IntervalCut& cut : intervalCuts(n, seconds)) {
        Row row = b.row();
        row[0] = cut.label;
        intervalCells(row, computeIntervalParameters(b.store(), attempt, cut.from, cut.to), false);
        b.add(std::move(row));
    }
    Row blank = b.row();
    blank[0] = " ";
    b.add(std::move(blank));
    Row total = b.row();
    total[0] = "Summary:";
    intervalCells(total, computeWholeAttempt(b.store(), attempt), false);
    b.add(std::move(total));
}

void targetRows(Builder& b) {
    const MeasurementStore& s = b.store();
    for (int32_t j = 0; j < b.attempts(); ++j) {
        const MovementParameters p = computeMovementParameters(s, j);
        const int32_t location = s.targetLocation[static_cast<std::size_t>(j)];
        Row row = b.row();
        row[0] = formatText("%5d", j + 1);
        row[1] = location >= 0 && location < 4
                     ? formatText("%8s", std::string(TargetDirectionNames[static_cast<std::size_t>(location)]).c_str())
                     : formatText("%8d", location);
        row[2] = formatText("%8.3f", static_cast<double>(p.pathLength / 1000.0f));
        row[3] = formatText("%8d", p.movementSamples * 10);
        row[4] = formatText("%8.3f", static_cast<double>(p.velocity));
        b.add(std::move(row));
    }
    Row blank = b.row();
    blank[0] = "  ";
    b.add(std::move(blank));
    const MovementSummary m = summarizeMovements(s);
    Row average = b.row();
    average[0] = "Average:";
    average[1] = "mean value & SD";
    average[2] = formatText("%8.3f   SD:%5.3f", static_cast<double>(m.meanPath / 1000.0f),
                            static_cast<double>(m.sdPath / 1000.0f));
    average[3] = formatText("%8d   SD:%5d", m.meanSamples * 10, static_cast<int32_t>(m.sdSamples) * 10);
    average[4] = formatText("%8.3f   SD:%5.3f", static_cast<double>(m.meanVelocity),
                            static_cast<double>(m.sdVelocity));
    b.add(std::move(average));
}

void drivingRows(Builder& b, int32_t attempt) {
    if (!b.validAttempt(attempt)) return;
    const DeviationParameters d = computeDeviationParameters(b.store(), attempt);
    Row first = b.row(), blank = b.row(), second = b.row();
    first[0] = formatText("%12s%10.1f   SD:%5.1f", "Average distance:", static_cast<double>(d.meanDistance),
                          static_cast<double>(d.sdDistance));
    blank[0] = std::string(45, ' ');
    second[0] = formatText("%12s%10.1f   SD:%5.1f", "Average distance squared:",
                           static_cast<double>(d.meanDistanceSquared), static_cast<double>(d.sdDistanceSquared));
    b.add(std::move(first));
    b.add(std::move(blank));
    b.add(std::move(second));
}

void frequencyRows(Builder& b, float filterFrequency) {
    for (int32_t j = 0; j < b.attempts(); ++j) {
        const HalfWaveParameters h = computeHalfWaveParameters(b.store(), j, filterFrequency);
        Row row = b.row();
        row[0] = formatText("%d", j + 1);
        row[1] = f71(h.x.meanAmplitude);
        row[2] = f71(h.x.sdAmplitude);
        row[3] = f71(h.y.meanAmplitude);
        row[4] = f71(h.y.sdAmplitude);
        b.add(std::move(row));
    }
}

}  // namespace

TableContent buildTable(SummaryTable table, const MeasurementStore& store, const TableRequest& request) {
    Builder b(table, store);
    switch (table) {
        case SummaryTable::Attempt: attemptRows(b, request.selectedAttempt); break;
        case SummaryTable::Summary: summaryRows(b); break;
        case SummaryTable::IntervalSummary: intervalRows(b, request.selectedAttempt, request.intervalSeconds); break;
        case SummaryTable::TargetSummary: targetRows(b); break;
        case SummaryTable::DrivingSummary: drivingRows(b, request.selectedAttempt); break;
        case SummaryTable::FrequencyAnalysis: frequencyRows(b, request.filterFrequency); break;
        // Its rows and columns come with the clinical measures of the attempts.
        case SummaryTable::ClinicalMeasures: break;
    }
    return b.take();
}

int32_t tableColumnCount(const TableContent& table) {
    if (!table.columns.empty()) return static_cast<int32_t>(table.columns.size());
    return tableDescriptor(table.table).count;
}

}  // namespace kenvo
