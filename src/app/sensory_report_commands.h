#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "files/sidecar.h"

class QSettings;

namespace kenvo {

struct AppState;
struct ClinicalReportContent;
struct ViewContext;
class CMainFrame;
class CKenvoPlatView;
class OperatorPort;
class Surface;

// The sensory test's results in the window and the one-page clinical report: View > "Sensory
// results", SetuP > "Report setup..." and File > "Export report as PDF...". The page is the
// one the command line's report makes for the same data; printing the results view prints it.
class SensoryReportCommands {
  public:
    // What the window knows of the data set's subject beyond the measurement file (patient
    // code, birth date, ...), as the next Save would write it beside the file.
    using DetailsSource = std::function<Sidecar()>;

    SensoryReportCommands(AppState& state, OperatorPort& port, QSettings& profile,
                          CMainFrame& frame, CKenvoPlatView& view);

    bool handleCommand(int32_t id);
    void showResults();
    void reportSetup();
    // Asks where, then writes the page; false when cancelled or not written (the operator is told).
    bool exportPdf();

    void setDetailsSource(DetailsSource source) { details_ = std::move(source); }

    // The subject's details with the conditions of the data set in memory.
    Sidecar sidecar() const;
    // The report page of the data set in memory, with the clinic's setup.
    ClinicalReportContent reportPage() const;

    // Draws the results view.
    void render(Surface& surface, const ViewContext& context) const;

  private:
    QString proposedReportPath() const;

    AppState& state_;
    OperatorPort& port_;
    QSettings& profile_;
    CMainFrame& frame_;
    CKenvoPlatView& view_;
    DetailsSource details_;
};

}  // namespace kenvo
