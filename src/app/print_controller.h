#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>

#include "reports/clinical_report.h"

class QPrinter;
class QWidget;

namespace kenvo {

struct AppState;
class Surface;
class CKenvoPlatView;
class EvaluationController;
class OperatorPort;

// "Print..." and "Print Preview": the view's current mode as printed pages (title line, the
// subject strip on page 1, then the graphs or the table rows). While a job or the preview runs
// the view's printJobActive is set, so a COP picture on screen stays for the whole job.
class PrintController {
  public:
    // Prepares the printer for a job: a chosen printer, or a PDF file when none is installed.
    // Returns false when the operator cancelled.
    using PrinterChooser = std::function<bool(QPrinter&)>;

    PrintController(AppState& state, OperatorPort& port, CKenvoPlatView& view,
                    EvaluationController& evaluation, QWidget* parent);

    bool handleCommand(int32_t id);
    void print();
    void preview();

    void setPrinterChooser(PrinterChooser chooser) { chooser_ = std::move(chooser); }
    // The clinical report page the sensory results view prints (its one page, as exported).
    using ReportPageSource = std::function<ClinicalReportContent()>;
    void setReportPage(ReportPageSource source) { reportPage_ = std::move(source); }
    // The pages of the last job or preview drawn.
    int lastPageCount() const { return lastPages_; }

    // Draws the job's pages on the printer; false with the operator told when it cannot start.
    bool paint(QPrinter& printer);

    // Prints pages other than the view's (the subject register's history) through the same
    // printer choice and page set-up: `draw` lays out page n (from 1) of `pages` on a
    // printing surface. False when cancelled or the printer could not be started.
    using PageDrawer = std::function<void(Surface&, int32_t page)>;
    bool printPages(int32_t pages, const PageDrawer& draw);

  private:
    bool choosePrinter(QPrinter& printer);
    bool printsReport() const;
    void preparePage(QPrinter& printer) const;
    bool paintReport(QPrinter& printer);

    AppState& state_;
    OperatorPort& port_;
    CKenvoPlatView& view_;
    EvaluationController& evaluation_;
    QPointer<QWidget> parent_;
    PrinterChooser chooser_;
    ReportPageSource reportPage_;
    int lastPages_ = 0;
};

}  // namespace kenvo
