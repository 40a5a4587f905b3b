#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace kenvo {

// What a file command asks the file chooser for. The filter is kept in the "description|
// pattern||" form the commands are defined with; the chooser translates it.
struct FileRequest {
    bool save = false;
    QString filter;
    QString defaultExtension;  // without the dot
    QString folder;
    // A file name the save dialog proposes in `folder` (empty: none).
    QString proposedName = {};
    // The command asks itself before replacing a file, so the chooser does not ask again.
    bool callerConfirmsOverwrite = false;
};

enum class Answer { Yes, No, Cancel };

// Everything that waits for the operator goes through here, so the commands can be driven by
// tests that answer without a window ever blocking.
class OperatorPort {
  public:
    virtual ~OperatorPort() = default;

    // A message box with an OK button; `detail` adds the reason in plain words.
    virtual void message(const QString& text, const QString& detail = {}) = 0;
    // A question with Yes and No, and Cancel when `withCancel`.
    virtual Answer ask(const QString& text, bool withCancel) = 0;
    // The chosen path, or nothing when the operator cancelled.
    virtual std::optional<QString> chooseFile(const FileRequest& request) = 0;
    // Several existing files at once (an open dialog with multiple selection); nothing when
    // cancelled. A port that picks one file at a time answers with that one.
    virtual std::optional<QStringList> chooseFiles(const FileRequest& request) {
        const std::optional<QString> one = chooseFile(request);
        if (!one) return std::nullopt;
        return QStringList{*one};
    }
    // Runs a dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int runDialog(QDialog& dialog) = 0;
    // A problem worth telling that must not stop anything (start-up, exit): no waiting.
    virtual void notice(const QString& text) = 0;
};

// The desktop implementation: message boxes, the platform's file dialogs and modal dialogs.
class QtOperatorPort final : public OperatorPort {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, const QString& detail) override;
    Answer ask(const QString& text, bool withCancel) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
    std::optional<QStringList> chooseFiles(const FileRequest& request) override;
    int runDialog(QDialog& dialog) override;
    void notice(const QString& text) override;

  private:
    QWidget* parent_ = nullptr;
};

// "KenvoPlat Files (*.kplat)|*.kplat||" as a Qt name filter: "KenvoPlat Files (*.kplat)".
QString qtNameFilter(const QString& filter);

}  // namespace kenvo
