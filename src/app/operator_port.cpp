#include "operator_port.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>

namespace kenvo {

namespace {
constexpr const char* Caption = "KenvoPlat";
}

QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description already names the pattern when it ends in "(pattern)".
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        filters << (description.contains(pattern) ? description
                                                  : description + " (" + pattern + ")");
    }
    return filters.join(QStringLiteral(";;"));
}

void QtOperatorPort::message(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, Caption, text, QMessageBox::Ok, parent_);
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}

Answer QtOperatorPort::ask(const QString& text, bool withCancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, Caption, text, buttons, parent_);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return withCancel ? Answer::Cancel : Answer::No;
    }
}

std::optional<QString> QtOperatorPort::chooseFile(const FileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtNameFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setDirectory(request.folder);
    if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
    if (request.callerConfirmsOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

std::optional<QStringList> QtOperatorPort::chooseFiles(const FileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(qtNameFilter(request.filter));
    dialog.setDirectory(request.folder);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles();
}

int QtOperatorPort::runDialog(QDialog& dialog) {
    return dialog.exec();
}

void QtOperatorPort::notice(const QString& text) {
    std::fprintf(stderr, "kenvoplat: %s\n", text.toLocal8Bit().constData());
    if (!parent_ || !parent_->isVisible()) return;
    auto* box = new QMessageBox(QMessageBox::Information, Caption, text, QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

}  // namespace kenvo
