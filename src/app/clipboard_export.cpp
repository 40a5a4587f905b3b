#include "clipboard_export.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QUrl>

#include "analysis/clipboard_text.h"
#include "analysis/spreadsheet_xml.h"
#include "app_state.h"
#include "dialog_text.h"
#include "evaluation_controller.h"
#include "export_file.h"
#include "file_commands.h"
#include "files/code_page.h"
#include "kenvo_plat_view.h"
#include "operator_port.h"
#include "reports/batch_analysis.h"
#include "sway_list.h"

namespace kenvo {

namespace {

enum ExportButton : int32_t {
    BtnCopyAll = 32810,
    BtnCopy = 32811,
    BtnExportXml = 32812,
};

constexpr const char* SpreadsheetFilter = "XML Spreadsheet Files (*.xml)|*.xml||";

// The file an export proposes: its traditional name in the data folder.
ExportFile spreadsheetIn(const AppState& state, const char* name) {
    return {SpreadsheetFilter, QStringLiteral("xml"),
            QFile::decodeName(QByteArray::fromStdString(state.paths.dataFolder)) +
                QLatin1Char('/') + QLatin1String(name)};
}

}  // namespace

ClipboardExport::ClipboardExport(AppState& state, OperatorPort& port, CKenvoPlatView& view,
                                 EvaluationController& evaluation, QWidget* parent)
    : state_(state),
      port_(port),
      view_(view),
      evaluation_(evaluation),
      parent_(parent),
      opener_([](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }) {}

bool ClipboardExport::handleCommand(int32_t id) {
    switch (id) {
        case BtnCopy:
            if (!tableShown()) return false;
            copySelected();
            return true;
        case BtnCopyAll:
            if (!tableShown()) return false;
            copyAll();
            return true;
        case BtnExportXml:
            if (!tableShown()) return false;
            exportTable();
            return true;
        case CmdBatchAnalysis:
            batchAnalysis();
            return true;
        default:
            return false;
    }
}

bool ClipboardExport::tableShown() const {
    return isSummaryTable(static_cast<int32_t>(view_.mode())) && evaluation_.list().hasTable();
}

void ClipboardExport::placeOnClipboard(const std::string& text) {
    // The cells hold the data's own single-byte text; the clipboard takes Unicode.
    QGuiApplication::clipboard()->setText(fromFileText(text));
}

void ClipboardExport::copySelected() {
    const auto text =
        copySelectedRows(evaluation_.shownTable(), evaluation_.list().selectedRowIndexes());
    if (!text) {
        port_.message(NoItemsSelectedMessage);
        return;
    }
    placeOnClipboard(*text);
}

void ClipboardExport::copyAll() {
    placeOnClipboard(copyAllRows(evaluation_.shownTable()));
}

void ClipboardExport::exportTable() {
    const MeasurementStore& store = state_.store;
    const int32_t attempt = view_.display().selectedAttempt;
    const int32_t start = attempt >= 0 && attempt < MaxAttempts
                              ? store.startTime[static_cast<std::size_t>(attempt)]
                              : 0;
    const ExportHeading heading{cp1250ToUtf8(store.subject.name), store.subject.weight, start,
                                attempt};
    const std::optional<QString> path =
        chooseExportFile(port_, spreadsheetIn(state_, "noname.xml"));
    if (!path) return;
    writeAndOpen(*path, buildTableDocument(evaluation_.shownTable(), heading),
                 QStringLiteral("The table could not be exported."),
                 QStringLiteral("The table was exported to %1"));
}

void ClipboardExport::batchAnalysis() {
    // The batch reads files while a test would be writing the store; it waits like Open.
    if (state_.store.testRunning) {
        port_.message(QStringLiteral("The batch analysis cannot run while a test is running."));
        return;
    }
    const auto chosen =
        port_.chooseFiles(FileRequest{false, MeasurementFilter, QStringLiteral("kplat"),
                                      QString::fromStdString(state_.paths.dataFolder)});
    if (!chosen) return;  // cancelled: the analysis.xml of an earlier batch stays as it was
    std::vector<std::string> paths;
    for (const QString& p : *chosen) paths.push_back(p.toStdString());

    QProgressDialog progress(QStringLiteral("Analysing the measurement files..."),
                             QStringLiteral("Cancel"), 0, int(paths.size()), parent_);
    progress.setWindowTitle(QStringLiteral("Batch analysis"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    bool cancelRequested = false;
    QObject::connect(&progress, &QProgressDialog::canceled, [&] { cancelRequested = true; });
    const BatchResult result = runBatchAnalysis(
        paths, state_.settings.filterFrequency,
        [&](std::size_t done, std::size_t, const std::string& file) {
            progress.setValue(int(done));
            if (!file.empty()) progress.setLabelText(QString::fromStdString(file));
            if (observer_) observer_(progress, int(done));
            QCoreApplication::processEvents();
        },
        [&] { return cancelRequested; });
    // A cancel during the last file still stops the batch: nothing is written or opened.
    const bool cancelled = result.cancelled || cancelRequested;
    progress.reset();
    if (cancelled) return;

    QStringList skipped;
    QStringList reasons;
    for (const BatchFileOutcome& f : result.files) {
        if (f.analysed) continue;
        skipped << QString::fromStdString(f.path);
        reasons << QString::fromStdString(f.reason);
    }
    if (!skipped.isEmpty())
        port_.message(QStringLiteral("These files could not be read and are left out of the "
                                     "analysis:\n%1")
                          .arg(skipped.join('\n')),
                      reasons.join('\n'));
    // Asked only now, so a batch stopped on the way asks nothing.
    const std::optional<QString> path =
        chooseExportFile(port_, spreadsheetIn(state_, "analysis.xml"));
    if (!path) return;
    writeAndOpen(*path, result.document, QStringLiteral("The batch analysis could not be written."),
                 QStringLiteral("The batch analysis was written to %1"));
}

void ClipboardExport::writeAndOpen(const QString& path, const std::string& document,
                                   const QString& failure, const QString& written) {
    std::string error;
    if (!writeExportFile(path, document, error)) {
        port_.message(failure, QString::fromStdString(error));
        return;
    }
    showWrittenPath(parent_, written, path);
    if (opener_) opener_(path);
}

}  // namespace kenvo
