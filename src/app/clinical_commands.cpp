#include "clinical_commands.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QSettings>
#include <cmath>

#include "app_state.h"
#include "clinical_setup_dialog.h"
#include "command_ids.h"
#include "evaluation_controller.h"
#include "export_file.h"
#include "file_commands.h"
#include "operator_port.h"
#include "reports/clinical_inputs.h"

namespace kenvo {

namespace {

constexpr const char* CsvFilter = "CSV Files (*.csv)|*.csv||";

}  // namespace

ClinicalViewOptions loadClinicalOptions(QSettings& profile) {
    ClinicalViewOptions options;
    options.lowPassOn = profile.value("Clinical/lowPass", options.lowPassOn).toBool();
    const double hz = profile.value("Clinical/lowPassHz", options.lowPassHz).toDouble();
    if (std::isfinite(hz) && hz >= MinLowPassHz && hz <= MaxLowPassHz) options.lowPassHz = hz;
    options.drawEllipse = profile.value("Clinical/ellipse", options.drawEllipse).toBool();
    return options;
}

void saveClinicalOptions(QSettings& profile, const ClinicalViewOptions& options) {
    profile.setValue("Clinical/lowPass", options.lowPassOn);
    profile.setValue("Clinical/lowPassHz", options.lowPassHz);
    profile.setValue("Clinical/ellipse", options.drawEllipse);
    profile.sync();
}

ClinicalCommands::ClinicalCommands(AppState& state, OperatorPort& port, QSettings& profile,
                                   EvaluationController& evaluation, QWidget* parent)
    : state_(state), port_(port), profile_(profile), evaluation_(evaluation), parent_(parent) {}

bool ClinicalCommands::handleCommand(int32_t id) {
    switch (id) {
        case CmdClinicalSetup:
            setup();
            return true;
        case CmdClinicalFiles:
            measuresOfFiles();
            return true;
        default:
            return false;
    }
}

void ClinicalCommands::setup() {
    ClinicalSetupDialog dialog(state_.clinical, parent_);
    if (port_.runDialog(dialog) != QDialog::Accepted) return;
    state_.clinical = dialog.options();
    saveClinicalOptions(profile_, state_.clinical);
    evaluation_.clinicalOptionsChanged();
}

void ClinicalCommands::measuresOfFiles() {
    const QString folder = QString::fromStdString(state_.paths.dataFolder);
    const auto chosen =
        port_.chooseFiles(FileRequest{false, MeasurementFilter, QStringLiteral("kplat"), folder});
    if (!chosen || chosen->isEmpty()) return;

    // One file at a time, so the operator sees the progress and may stop; the rows are the
    // ones the whole list would give at once.
    const ClinicalInputOptions options{std::nullopt, state_.clinical.lowPass()};
    QProgressDialog progress(QStringLiteral("Computing the clinical measures..."),
                             QStringLiteral("Cancel"), 0, int(chosen->size()), parent_);
    progress.setWindowTitle(QStringLiteral("Clinical measures of files"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    bool cancelRequested = false;
    QObject::connect(&progress, &QProgressDialog::canceled, [&] { cancelRequested = true; });
    std::vector<ClinicalRow> rows;
    for (int i = 0; i < chosen->size() && !cancelRequested; ++i) {
        const std::string path = (*chosen)[i].toStdString();
        progress.setLabelText((*chosen)[i]);
        std::vector<ClinicalRow> fileRows;
        std::string error;
        if (!analyseClinicalFiles({path}, options, fileRows, error)) {
            progress.reset();
            port_.message(QStringLiteral("The clinical measures could not be computed."),
                          QString::fromStdString(error));
            return;
        }
        rows.insert(rows.end(), fileRows.begin(), fileRows.end());
        progress.setValue(i + 1);
        if (observer_) observer_(progress, i + 1);
        QCoreApplication::processEvents();
    }
    progress.reset();
    if (cancelRequested) return;  // nothing asked, nothing written

    const std::optional<QString> target = chooseExportFile(
        port_,
        ExportFile{CsvFilter, QStringLiteral("csv"), folder + QStringLiteral("/measures.csv")});
    if (!target) return;
    std::string error;
    if (!writeExportFile(*target, clinicalCsv(rows), error)) {
        port_.message(QStringLiteral("The clinical measures could not be written."),
                      QString::fromStdString(error));
        return;
    }
    showWrittenPath(parent_, QStringLiteral("The clinical measures were written to %1"), *target);
}

}  // namespace kenvo
