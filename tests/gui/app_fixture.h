#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QSettings>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app_state.h"
#include "kenvo_plat_app.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "platform/platform_link.h"
#include "support/temp_dir.h"

namespace kenvo::test {

// Answers every question from scripts and records what was asked; a question without a
// scripted answer fails the test instead of waiting.
class ScriptedPort final : public OperatorPort {
  public:
    void message(const QString& text, const QString& detail) override;
    Answer ask(const QString& text, bool withCancel) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
    // The next of `fileLists` when one is scripted, else one file from `files`.
    std::optional<QStringList> chooseFiles(const FileRequest& request) override;
    int runDialog(QDialog& dialog) override;
    void notice(const QString& text) override { notices << text; }

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<QStringList>> fileLists;
    std::function<int(QDialog&)> dialogScript;

    QStringList messages;
    QStringList details;  // the plain-words reason given with each message
    QStringList questions;
    std::vector<bool> questionHadCancel;
    std::vector<FileRequest> requests;
    QStringList notices;
    int dialogsRun = 0;
};

// The program on a fresh KENVOPLAT_HOME with its own profile.
class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    // A second run of the program on the same folder and profile.
    void restart();
    std::string home(const std::string& name) const { return dir.file(name); }

    AppState& state() { return app->state(); }
    CMainFrame& frame() { return app->frame(); }

    TempDir dir;
    std::unique_ptr<QSettings> profile;
    ScriptedPort port;
    std::unique_ptr<CKenvoPlatApp> app;
};

// Adds `count` completed attempts of `samples` samples each to the store.
void addAttempts(MeasurementStore& store, int count, int samples);

}  // namespace kenvo::test
