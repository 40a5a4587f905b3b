#pragma once

#include <optional>
#include <string>

#include "files/sidecar.h"
#include "graphs/surface.h"
#include "reports/clinical_report.h"
#include "reports/sensory_session.h"

namespace kenvo {

class MeasurementStore;

// What the clinic sets once for its reports.
struct ReportSetup {
    std::string clinicName;
    RasterImage logo;
    std::string programVersion;
};

// The one-page report of a stance data set: per condition of a sensory test (or, without
// conditions, over all attempts and without reference values) the picture of the median trial
// with its ellipse, the measures with units against the reference range, the quotients, and the
// notes a physician needs to read them. `session` comes from analyseSensorySession on the same
// store and sidecar.
ClinicalReportContent buildClinicalReport(const MeasurementStore& store, const Sidecar& sidecar,
                                          const SensorySession& session, const ReportSetup& setup);

}  // namespace kenvo
