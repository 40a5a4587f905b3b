#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QProgressDialog;
class QSettings;
class QWidget;

namespace kenvo {

struct AppState;
struct ClinicalViewOptions;
class EvaluationController;
class OperatorPort;

// The clinical measures' own commands beside the views: their setup (the low-pass and the
// ellipse, kept with the user's preferences) and the CSV of the measures of many files.
class ClinicalCommands {
  public:
    // Sees the export's progress dialog after each file (tests cancel through it).
    using ProgressObserver = std::function<void(QProgressDialog&, int filesDone)>;

    ClinicalCommands(AppState& state, OperatorPort& port, QSettings& profile,
                     EvaluationController& evaluation, QWidget* parent);

    bool handleCommand(int32_t id);
    void setup();
    void measuresOfFiles();

    void setProgressObserver(ProgressObserver observer) { observer_ = std::move(observer); }

  private:
    AppState& state_;
    OperatorPort& port_;
    QSettings& profile_;
    EvaluationController& evaluation_;
    QWidget* parent_;
    ProgressObserver observer_;
};

// The options as last kept; the defaults where nothing (or nonsense) was kept.
ClinicalViewOptions loadClinicalOptions(QSettings& profile);
void saveClinicalOptions(QSettings& profile, const ClinicalViewOptions& options);

}  // namespace kenvo
