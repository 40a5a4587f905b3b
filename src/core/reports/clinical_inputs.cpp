#include "reports/clinical_inputs.h"

#include <memory>

#include "clinical/attempt_trace.h"
#include "files/cop_csv.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "model/test_settings.h"

namespace kenvo {

namespace {

bool endsWithCsv(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return tail == ".csv";
}

std::string attemptsText(int32_t count) {
    return std::to_string(count) + (count == 1 ? " attempt" : " attempts");
}

bool analyseCsv(const std::string& path, const ClinicalInputOptions& options,
                std::vector<ClinicalRow>& rows, std::string& error) {
    std::vector<CopPoint> points;
    if (!readCopCsv(path, points, error, MaxClinicalCsvSamples)) return false;
    if (points.size() < 2) {
        error = path + ": only one sample; the measures need at least two";
        return false;
    }
    if (options.attempt && *options.attempt != 1) {
        error = path + " is one recording (attempt 1); there is no attempt " +
                std::to_string(*options.attempt);
        return false;
    }
    SwayTrace trace;
    trace.x.reserve(points.size());
    trace.y.reserve(points.size());
    for (const CopPoint& p : points) {
        trace.x.push_back(p.xMm);
        trace.y.push_back(p.yMm);
    }
    rows.push_back({path, 1, computeClinicalMeasures(trace, options.lowPassHz)});
    return true;
}

bool analyseMeasurementFile(const std::string& path, MeasurementStore& store,
                            const ClinicalInputOptions& options, std::vector<ClinicalRow>& rows,
                            std::string& error) {
    GraphSettings graph = GraphSettings::defaults();
    if (const FileResult r = loadMeasurementFile(path, store, graph); !r) {
        error = r.message + " (" + r.reason + ")";
        return false;
    }
    const int32_t mode = store.settings.testMode;
    if (mode != TestModeStance) {
        error = path + ": " +
                (mode == TestModeDriving         ? "a driving test"
                 : mode == TestModeTargetHitting ? "a target hitting test"
                                                 : "not a stance test") +
                "; the clinical measures are made of stance attempts";
        return false;
    }
    const int32_t count = store.attemptCount;
    if (count <= 0) {
        error = path + ": the data set holds no attempts";
        return false;
    }
    if (options.attempt && (*options.attempt < 1 || *options.attempt > count)) {
        error = path + " has " + attemptsText(count) + "; there is no attempt " +
                std::to_string(*options.attempt);
        return false;
    }
    const int first = options.attempt ? *options.attempt : 1;
    const int last = options.attempt ? *options.attempt : count;
    for (int a = first; a <= last; ++a)
        rows.push_back(
            {path, a, computeClinicalMeasures(attemptTrace(store, a - 1), options.lowPassHz)});
    return true;
}

}  // namespace

bool analyseClinicalFiles(const std::vector<std::string>& paths,
                          const ClinicalInputOptions& options, std::vector<ClinicalRow>& rows,
                          std::string& error) {
    rows.clear();
    std::unique_ptr<MeasurementStore> store;
    for (const std::string& path : paths) {
        bool ok = false;
        if (endsWithCsv(path)) {
            ok = analyseCsv(path, options, rows, error);
        } else {
            if (!store) store = std::make_unique<MeasurementStore>();
            ok = analyseMeasurementFile(path, *store, options, rows, error);
        }
        if (!ok) {
            rows.clear();
            return false;
        }
    }
    return true;
}

std::optional<std::string> clinicalCsvOfFiles(const std::vector<std::string>& paths,
                                              const ClinicalInputOptions& options,
                                              std::string& error) {
    std::vector<ClinicalRow> rows;
    if (!analyseClinicalFiles(paths, options, rows, error)) return std::nullopt;
    return clinicalCsv(rows);
}

}  // namespace kenvo
