#include "print_controller.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "app_state.h"
#include "command_ids.h"
#include "evaluation_controller.h"
#include "kenvo_plat_view.h"
#include "operator_port.h"
#include "render/qpainter_surface.h"
#include "reports/printed_report.h"
#include "reports/view_print.h"
#include "sway_list.h"

namespace kenvo {

namespace {

constexpr const char* PdfFilter = "PDF Files (*.pdf)|*.pdf||";

// Holds printJobActive for one scope and puts back what was there (a job inside the preview).
class PrintJobFlag {
  public:
    explicit PrintJobFlag(CKenvoPlatView& view) : view_(view), before_(view.printJobActive()) {
        view_.setPrintJobActive(true);
    }
    ~PrintJobFlag() { view_.setPrintJobActive(before_); }
    PrintJobFlag(const PrintJobFlag&) = delete;
    PrintJobFlag& operator=(const PrintJobFlag&) = delete;

  private:
    CKenvoPlatView& view_;
    bool before_;
};

// The widest table is 200 mm wide; the clinical report is laid out inside 10 mm margins.
constexpr double TableMarginMm = 5.0;
constexpr double ReportMarginMm = 10.0;

// A4 portrait with the same margin all round.
void preparePageWithMargin(QPrinter& printer, double m) {
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(m, m, m, m), QPageLayout::Millimeter));
}

}  // namespace

bool PrintController::printsReport() const {
    return view_.mode() == ViewMode::SensoryResults && reportPage_;
}

// The margins of what the view prints.
void PrintController::preparePage(QPrinter& printer) const {
    preparePageWithMargin(printer, printsReport() ? ReportMarginMm : TableMarginMm);
}

bool PrintController::paintReport(QPrinter& printer) {
    const ClinicalReportContent page = reportPage_();
    QPainter painter;
    if (!painter.begin(&printer)) {
        port_.message(QStringLiteral("The report could not be printed."),
                      QStringLiteral("The printer could not be started."));
        return false;
    }
    QPainterSurface surface(painter, QPainterSurface::Mapping::Page);
    drawClinicalReport(surface, page);
    painter.end();
    lastPages_ = 1;
    return true;
}

PrintController::PrintController(AppState& state, OperatorPort& port, CKenvoPlatView& view,
                                 EvaluationController& evaluation, QWidget* parent)
    : state_(state), port_(port), view_(view), evaluation_(evaluation), parent_(parent) {}

bool PrintController::handleCommand(int32_t id) {
    if (id == CmdPrint) {
        print();
        return true;
    }
    if (id == CmdPrintPreview) {
        preview();
        return true;
    }
    return false;
}

bool PrintController::choosePrinter(QPrinter& printer) {
    if (chooser_) return chooser_(printer);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        // Without a printer the report goes to a PDF file the operator names.
        const auto path =
            port_.chooseFile(FileRequest{true, PdfFilter, QStringLiteral("pdf"),
                                         QString::fromStdString(state_.paths.dataFolder)});
        if (!path) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*path);
        return true;
    }
    QPrintDialog dialog(&printer, parent_);
    return port_.runDialog(dialog) == QDialog::Accepted;
}

void PrintController::print() {
    QPrinter printer(QPrinter::HighResolution);
    preparePage(printer);
    PrintJobFlag active(view_);
    if (!choosePrinter(printer)) return;
    if (!paint(printer)) return;
    if (printer.outputFormat() == QPrinter::PdfFormat &&
        !QFileInfo(printer.outputFileName()).isFile())
        port_.message(QStringLiteral("The report could not be printed."),
                      QStringLiteral("%1 was not written.").arg(printer.outputFileName()));
}

void PrintController::preview() {
    QPrinter printer(QPrinter::HighResolution);
    preparePage(printer);
    PrintJobFlag active(view_);
    QPrintPreviewDialog dialog(&printer, parent_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* p) { paint(*p); });
    port_.runDialog(dialog);
}

bool PrintController::printPages(int32_t pages, const PageDrawer& draw) {
    QPrinter printer(QPrinter::HighResolution);
    preparePageWithMargin(printer, TableMarginMm);
    if (!choosePrinter(printer)) return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        port_.message(QStringLiteral("The pages could not be printed."),
                      QStringLiteral("The printer could not be started."));
        return false;
    }
    for (int32_t page = 1; page <= pages; ++page) {
        if (page > 1) printer.newPage();
        QPainterSurface surface(painter, QPainterSurface::Mapping::Page);
        draw(surface, page);
    }
    painter.end();
    lastPages_ = pages;
    return true;
}

bool PrintController::paint(QPrinter& printer) {
    PrintJobFlag active(view_);
    if (printsReport()) return paintReport(printer);
    const int32_t mode = static_cast<int32_t>(view_.mode());
    const TableContent table = evaluation_.shownTable();
    const bool tableMode = isSummaryTable(mode) && evaluation_.list().hasTable();
    const PrintJob job{mode, tableMode ? &table : nullptr, state_.store.settings.testMode,
                       static_cast<int32_t>(table.rows.size())};
    // The pages draw from a copy of the view's state: the routines store their paper scales
    // there (which the next click in the report would read) and the COP picture would restart
    // its countdown, so the screen goes on exactly as it was before the job.
    DisplayState printed = view_.display();
    const StanceContext ctx{.graph = state_.settings.graph, .store = state_.store,
                            .state = printed, .client = Rect{0, 0, view_.width(), view_.height()},
                            .clinical = &state_.clinical};
    ViewPrintedGraphs graphs(ctx, &evaluation_.diffusion());
    graphs.viewMode = mode;

    const int pages = jobPageCount(job);
    // The print dialog's page range, when one was chosen.
    int first = 1, last = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(printer.fromPage(), 1, pages);
        last = std::clamp(printer.toPage() > 0 ? printer.toPage() : pages, first, pages);
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        port_.message(QStringLiteral("The report could not be printed."),
                      QStringLiteral("The printer could not be started."));
        return false;
    }
    for (int page = first; page <= last; ++page) {
        if (page > first) printer.newPage();
        QPainterSurface surface(painter, QPainterSurface::Mapping::Page);
        drawPrintedPage(surface, job, page, graphs);
    }
    painter.end();
    lastPages_ = last - first + 1;
    return true;
}

}  // namespace kenvo
