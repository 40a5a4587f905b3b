#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QProgressDialog;
class QWidget;

namespace kenvo {

struct AppState;
class CKenvoPlatView;
class EvaluationController;
class OperatorPort;

// The tables' way out of the program: "Copy" and "Copy All" onto the system clipboard,
// "Export xml" of the table on screen and the batch analysis of many measurement files, each
// written where the operator chooses (noname.xml and analysis.xml in the data folder are
// proposed) and then opened in the desktop's spreadsheet program.
class ClipboardExport {
  public:
    // Opens a written file; the desktop's handler by default, switched off in tests.
    using FileOpener = std::function<void(const QString& path)>;
    // Sees the batch's progress dialog after each file (tests cancel through it).
    using ProgressObserver = std::function<void(QProgressDialog&, int filesDone)>;

    ClipboardExport(AppState& state, OperatorPort& port, CKenvoPlatView& view,
                    EvaluationController& evaluation, QWidget* parent);

    bool handleCommand(int32_t id);
    void copySelected();
    void copyAll();
    void exportTable();
    void batchAnalysis();

    void setFileOpener(FileOpener opener) { opener_ = std::move(opener); }
    void setProgressObserver(ProgressObserver observer) { observer_ = std::move(observer); }

  private:
    bool tableShown() const;
    void placeOnClipboard(const std::string& text);
    // Writes the document, says where in the status bar and opens it; a failed write is told
    // (`failure`) and nothing is opened. `written` holds %1 for the path.
    void writeAndOpen(const QString& path, const std::string& document, const QString& failure,
                      const QString& written);

    AppState& state_;
    OperatorPort& port_;
    CKenvoPlatView& view_;
    EvaluationController& evaluation_;
    QWidget* parent_;
    FileOpener opener_;
    ProgressObserver observer_;
};

}  // namespace kenvo
