#pragma once

#include <QDialog>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "register/register_records.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace kenvo {

class AppRegister;
class MeasurementStore;
class OperatorPort;
class SubjectHistoryPanel;

// The most subjects the list shows at once.
inline constexpr std::size_t MaxListedSubjects = 500;

// What the Subjects window asks of the main window.
struct SubjectsWindowHooks {
    // Opens a measurement file through the window's Open (the unsaved-data question first);
    // true when it is now the data set.
    std::function<bool(const QString& path)> openFile;
    // Asks to save unsaved measurements before their subject record changes; false to stop.
    std::function<bool()> offerSave;
    // The data set's subject changed: the view and the caption show it.
    std::function<void()> subjectChanged;
};

// Subject > Subjects...: the register's subjects (searched by name or patient code as one
// types), adding and editing them, the chosen subject's sessions with Open and "New test for
// this subject", the history of a measure, and the sessions waiting for review. A window of
// its own beside the main window; what would disturb a running test is refused meanwhile.
class SubjectsDialog final : public QDialog {
    Q_OBJECT

  public:
    SubjectsDialog(AppRegister& reg, MeasurementStore& store, OperatorPort& port,
                   SubjectsWindowHooks hooks, QWidget* parent = nullptr);

    // Reads the register again (after a Save, a scan, a rebuild).
    void refresh();

    // The commands of the buttons, for the buttons and for tests.
    bool addSubject();
    bool editSubject();
    bool openSession();
    bool newTestForSubject();
    bool assignReviewSession();
    bool scanDataFolder();

    // The chosen subject and session, if any.
    std::optional<int64_t> chosenSubject() const;
    std::optional<int64_t> chosenSession() const;
    bool chooseSubject(int64_t id);
    bool chooseSession(int64_t id);
    bool chooseReviewSession(int64_t id);

    QLineEdit* searchEdit() const { return search_; }
    QTableWidget* subjectsTable() const { return subjects_; }
    QTableWidget* sessionsTable() const { return sessions_; }
    QTableWidget* reviewTable() const { return review_; }
    QTabWidget* tabs() const { return tabs_; }
    SubjectHistoryPanel* history() const { return history_; }

  private:
    void fillSubjects();
    void fillSessions();
    void fillReview();
    bool refusedWhileTestRuns(const QString& what);

    AppRegister& register_;
    MeasurementStore& store_;
    OperatorPort& port_;
    SubjectsWindowHooks hooks_;
    QLineEdit* search_;
    QTableWidget* subjects_;
    QTableWidget* sessions_;
    QTableWidget* review_;
    QTabWidget* tabs_;
    SubjectHistoryPanel* history_;
    QPushButton* edit_;
    QPushButton* newTest_;
    QPushButton* open_;
    QPushButton* assign_;
    QLabel* reviewNote_;
    QLabel* countNote_;
};

// "2026-03-14 09:30" in local time.
QString sessionTime(int64_t recordedAtUtc);

}  // namespace kenvo
