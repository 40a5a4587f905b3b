#pragma once

#include <QString>
#include <optional>
#include <string_view>

class QWidget;

namespace kenvo {

class OperatorPort;

// How every export of the window picks its file: the save chooser opens on a proposed folder
// and name, a file that is already there is replaced only when the operator says so, and the
// status bar tells afterwards where the file went.
struct ExportFile {
    QString filter;     // "description|pattern||"
    QString extension;  // without the dot; added to a chosen name that has none
    QString proposedPath;
};

// The path to write, or nothing when the operator cancelled the chooser or kept the file that
// was there (nothing is to be written then, and nothing went wrong).
std::optional<QString> chooseExportFile(OperatorPort& port, const ExportFile& file);

// The question before `path`, which exists, is replaced.
QString replaceQuestion(const QString& path);

// Writes `bytes` to `path` through a temporary file and a rename, readable by its owner only
// (the exports hold personal data); false with the reason.
bool writeExportFile(const QString& path, std::string_view bytes, std::string& error);

// "<sentence with %1>" in the status bar of the window of `widget`, %1 the file's full path.
void showWrittenPath(QWidget* widget, const QString& sentence, const QString& path);

}  // namespace kenvo
