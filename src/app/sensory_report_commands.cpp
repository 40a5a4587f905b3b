#include "sensory_report_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "app_state.h"
#include "command_ids.h"
#include "export_file.h"
#include "files/code_page.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "render/image_writers.h"
#include "render/report_setup_store.h"
#include "report_setup_dialog.h"
#include "reports/clinical_report_builder.h"
#include "reports/sensory_results_view.h"
#include "reports/sensory_session.h"

namespace kenvo {

namespace {

constexpr const char* PdfFilter = "PDF Files (*.pdf)|*.pdf||";

QString local(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A name a file may carry: the subject's name without the characters file systems refuse.
QString fileNamePart(QString text) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : text)
        if (refused.contains(c) || c.unicode() < 32) c = QLatin1Char('_');
    return text.simplified().replace(QLatin1Char(' '), QLatin1Char('_'));
}

}  // namespace

SensoryReportCommands::SensoryReportCommands(AppState& state, OperatorPort& port,
                                             QSettings& profile, CMainFrame& frame,
                                             CKenvoPlatView& view)
    : state_(state), port_(port), profile_(profile), frame_(frame), view_(view) {}

bool SensoryReportCommands::handleCommand(int32_t id) {
    switch (id) {
        case CmdSensoryResults:
            showResults();
            return true;
        case CmdReportSetup:
            reportSetup();
            return true;
        case CmdExportReport:
            exportPdf();
            return true;
        default:
            return false;
    }
}

Sidecar SensoryReportCommands::sidecar() const {
    Sidecar details = details_ ? details_() : Sidecar{};
    state_.sensory.toSidecar(state_.store, details);
    return details;
}

ClinicalReportContent SensoryReportCommands::reportPage() const {
    const Sidecar details = sidecar();
    const SensorySession analysed =
        analyseSensorySession(state_.store, details, state_.clinical.lowPass());
    const StoredReportSetup stored = readReportSetup(profile_);
    ReportSetup setup;
    setup.programVersion = KENVOPLAT_VERSION;
    setup.clinicName = stored.clinicName;
    std::string error;
    // A logo that can no longer be read leaves the page without it; the page still says whose it
    // is.
    if (!stored.logoPath.empty() && !loadLogo(stored.logoPath, setup.logo, error)) setup.logo = {};
    return buildClinicalReport(state_.store, details, analysed, setup);
}

void SensoryReportCommands::showResults() {
    frame_.hideDialogBar();
    view_.setMode(ViewMode::SensoryResults);
    view_.redraw();
}

void SensoryReportCommands::render(Surface& surface, const ViewContext& context) const {
    surface.fillSolid(context.area, colour::White);
    const Sidecar details = sidecar();
    const SensorySession analysed =
        analyseSensorySession(state_.store, details, state_.clinical.lowPass());
    const std::string name = details.name ? *details.name : cp1250ToUtf8(state_.store.subject.name);
    drawSensoryResultsScreen(surface, context.area,
                             buildSensoryResultsScreen(analysed.results, name, analysed.lowPassHz));
}

void SensoryReportCommands::reportSetup() {
    const StoredReportSetup stored = readReportSetup(profile_);
    ReportSetupDialog dialog(QString::fromStdString(stored.clinicName), local(stored.logoPath),
                             QDir::homePath(), port_, &frame_);
    if (port_.runDialog(dialog) != QDialog::Accepted) return;
    std::string error;
    if (!storeReportSetup(profile_, dialog.clinicName().toStdString(), native(dialog.chosenLogo()),
                          dialog.logoRemoved(), error)) {
        port_.message(QStringLiteral("The report setup could not be kept."),
                      QString::fromStdString(error));
        return;
    }
    if (view_.mode() == ViewMode::SensoryResults) view_.redraw();
}

QString SensoryReportCommands::proposedReportPath() const {
    const QString file = frame_.files().dataSetFile();
    if (!file.isEmpty()) {
        const QFileInfo info(file);
        return info.absolutePath() + QStringLiteral("/") + info.completeBaseName() +
               QStringLiteral("_report.pdf");
    }
    QString name = fileNamePart(QString::fromStdString(cp1250ToUtf8(state_.store.subject.name)));
    if (name.isEmpty()) name = QStringLiteral("balance");
    return local(state_.paths.dataFolder) + QStringLiteral("/") + name +
           QStringLiteral("_report.pdf");
}

bool SensoryReportCommands::exportPdf() {
    const std::optional<QString> chosen =
        chooseExportFile(port_, ExportFile{PdfFilter, QStringLiteral("pdf"), proposedReportPath()});
    if (!chosen) return false;
    const QString& path = *chosen;

    const ClinicalReportContent page = reportPage();
    PdfOptions options;
    options.title = page.title;
    options.access = FileAccess::Private;  // the patient's name and birth date
    std::string error;
    if (!writePdf(
            native(path), 1, [&](Surface& s, int) { drawClinicalReport(s, page); }, error,
            options)) {
        port_.message(QStringLiteral("The report could not be written."),
                      QString::fromStdString(error));
        return false;
    }
    showWrittenPath(&frame_, QStringLiteral("The report was written to %1"), path);
    return true;
}

}  // namespace kenvo
