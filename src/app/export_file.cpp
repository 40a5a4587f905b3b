#include "export_file.h"

#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdint>
#include <span>

#include "file_commands.h"
#include "files/atomic_file.h"
#include "operator_port.h"

namespace kenvo {

namespace {
constexpr int WrittenMessageMs = 10000;
}

QString replaceQuestion(const QString& path) {
    return QStringLiteral("%1 already exists.\nReplace it?").arg(path);
}

std::optional<QString> chooseExportFile(OperatorPort& port, const ExportFile& file) {
    const QFileInfo proposed(file.proposedPath);
    FileRequest request{true, file.filter, file.extension, proposed.absolutePath()};
    request.proposedName = proposed.fileName();
    request.callerConfirmsOverwrite = true;
    const std::optional<QString> chosen = port.chooseFile(request);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    const QString path =
        QFileInfo(withDefaultExtension(*chosen, file.extension)).absoluteFilePath();
    if (QFileInfo::exists(path) && port.ask(replaceQuestion(path), false) != Answer::Yes)
        return std::nullopt;
    return path;
}

bool writeExportFile(const QString& path, std::string_view bytes, std::string& error) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    // The spreadsheets and measure tables name the subject and the files: the user's alone.
    return writeFileAtomically(QFile::encodeName(path).toStdString(),
                               std::span<const uint8_t>(data, bytes.size()), error,
                               FileAccess::Private);
}

void showWrittenPath(QWidget* widget, const QString& sentence, const QString& path) {
    auto* window = widget ? qobject_cast<QMainWindow*>(widget->window()) : nullptr;
    if (!window) return;
    window->statusBar()->showMessage(sentence.arg(QFileInfo(path).absoluteFilePath()),
                                     WrittenMessageMs);
}

}  // namespace kenvo
