#include "app_fixture.h"

#include "model/cop_sample.h"

namespace kenvo::test {

void ScriptedPort::message(const QString& text, const QString& detail) {
    messages << text;
    details << detail;
}

Answer ScriptedPort::ask(const QString& text, bool withCancel) {
    questions << text;
    questionHadCancel.push_back(withCancel);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return withCancel ? Answer::Cancel : Answer::No;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedPort::chooseFile(const FileRequest& request) {
    requests.push_back(request);
    if (files.empty()) {
        ADD_FAILURE() << "unexpected file chooser for " << request.filter.toStdString();
        return {};
    }
    const bool chosen = files.front().has_value();
    const QString path = chosen ? *files.front() : QString();
    files.pop_front();
    if (!chosen) return std::nullopt;
    return path;
}

std::optional<QStringList> ScriptedPort::chooseFiles(const FileRequest& request) {
    if (fileLists.empty()) return OperatorPort::chooseFiles(request);
    requests.push_back(request);
    // Copied out by value before the pop; built explicitly so GCC sees the optional set.
    if (!fileLists.front()) {
        fileLists.pop_front();
        return std::nullopt;
    }
    QStringList chosen = *fileLists.front();
    fileLists.pop_front();
    return chosen;
}

int ScriptedPort::runDialog(QDialog& dialog) {
    ++dialogsRun;
    if (!dialogScript) return QDialog::Rejected;
    return dialogScript(dialog);
}

void AppFixture::SetUp() {
    profile = std::make_unique<QSettings>(QString::fromStdString(dir.file("profile.ini")),
                                          QSettings::IniFormat);
    restart();
}

void AppFixture::restart() {
    app.reset();
    PathSources sources;
    sources.homeOverride = dir.path();
    app = std::make_unique<CKenvoPlatApp>(port, *profile, sources);
    app->start(false);
}

void addAttempts(MeasurementStore& store, int count, int samples) {
    for (int a = store.attemptCount; a < store.attemptCount + count; ++a) {
        CopSample* s = store.samples(a);
        for (int i = 0; i < samples; ++i)
            s[i] = CopSample{0.001f * float(i % 50), -0.002f * float(i % 30), 72};
        store.length[static_cast<std::size_t>(a)] = samples;
    }
    store.attemptCount += count;
    // A recorded data set always carries its platform's scales (model 0 here); a file with
    // none is refused as damaged when it is opened again.
    if (store.calibration.scaleX <= 0.0f || store.calibration.scaleY <= 0.0f) {
        store.calibration.scaleX = 175.0f;
        store.calibration.scaleY = 276.0f;
    }
    store.dataPresent = 1;
    store.dataSaved = 0;
}

}  // namespace kenvo::test
