#include "subjects_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app_register.h"
#include "model/measurement_store.h"
#include "operator_port.h"
#include "subject_form_dialog.h"
#include "subject_history_panel.h"

namespace kenvo {

namespace {

constexpr int IdRole = Qt::UserRole + 1;

QTableWidget* makeTable(QWidget* parent, const QStringList& headers, const char* name) {
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

// One row of texts; the row's first item carries `id`. Numbers are right-aligned.
void addRow(QTableWidget* t, int64_t id, const QStringList& cells, const QList<int>& numeric) {
    const int row = t->rowCount();
    t->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (numeric.contains(c)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (c == 0) item->setData(IdRole, QVariant::fromValue<qlonglong>(id));
        t->setItem(row, c, item);
    }
}

std::optional<int64_t> selectedId(const QTableWidget* t) {
    const int row = t->currentRow();
    if (row < 0 || !t->item(row, 0) || !t->item(row, 0)->isSelected()) return std::nullopt;
    return t->item(row, 0)->data(IdRole).toLongLong();
}

bool selectId(QTableWidget* t, int64_t id) {
    for (int row = 0; row < t->rowCount(); ++row)
        if (t->item(row, 0)->data(IdRole).toLongLong() == id) {
            t->selectRow(row);
            t->setCurrentCell(row, 0);
            return true;
        }
    return false;
}

QString optionalValue(const std::optional<double>& v, int decimals) {
    return v ? QString::number(*v, 'f', decimals) : QStringLiteral("-");
}

}  // namespace

QString sessionTime(int64_t recordedAtUtc) {
    return QDateTime::fromSecsSinceEpoch(recordedAtUtc).toString("yyyy-MM-dd HH:mm");
}

SubjectsDialog::SubjectsDialog(AppRegister& reg, MeasurementStore& store, OperatorPort& port,
                               SubjectsWindowHooks hooks, QWidget* parent)
    : QDialog(parent), register_(reg), store_(store), port_(port), hooks_(std::move(hooks)) {
    setObjectName("subjectsDialog");
    setWindowTitle("Subjects");
    setModal(false);
    resize(900, 680);

    search_ = new QLineEdit(this);
    search_->setObjectName("subjectSearch");
    search_->setPlaceholderText("Name or patient code");
    search_->setClearButtonEnabled(true);
    subjects_ = makeTable(this, {"Code", "Name", "Birth date", "Sex", "Sessions"}, "subjects");
    // The name takes the room; the short columns stay as wide as their contents.
    subjects_->horizontalHeader()->setStretchLastSection(false);
    subjects_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* add = new QPushButton("&Add...", this);
    edit_ = new QPushButton("&Edit...", this);
    newTest_ = new QPushButton("&New test for this subject", this);

    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel("&Search", this);
    searchLabel->setBuddy(search_);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);
    countNote_ = new QLabel(this);
    countNote_->setObjectName("subjectCount");
    auto* subjectButtons = new QHBoxLayout;
    subjectButtons->addWidget(add);
    subjectButtons->addWidget(edit_);
    subjectButtons->addSpacing(12);
    subjectButtons->addWidget(countNote_);
    subjectButtons->addStretch();
    subjectButtons->addWidget(newTest_);
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(searchRow);
    leftLayout->addWidget(subjects_, 1);
    leftLayout->addLayout(subjectButtons);

    // The chosen subject's sessions.
    auto* sessionsPage = new QWidget(this);
    sessions_ = makeTable(
        sessionsPage,
        {"Date", "Test", "Attempts", "Velocity (mm/s)", "95 % area (mm\u00b2)", "Status", "File"},
        "sessions");
    open_ = new QPushButton("&Open", sessionsPage);
    auto* sessionsLayout = new QVBoxLayout(sessionsPage);
    sessionsLayout->addWidget(sessions_, 1);
    auto* openRow = new QHBoxLayout;
    openRow->addStretch();
    openRow->addWidget(open_);
    sessionsLayout->addLayout(openRow);

    history_ = new SubjectHistoryPanel(this);

    // Sessions whose subject the register would not guess.
    auto* reviewPage = new QWidget(this);
    review_ = makeTable(reviewPage, {"Date", "Test", "Attempts", "File"}, "review");
    reviewNote_ = new QLabel(reviewPage);
    reviewNote_->setWordWrap(true);
    assign_ = new QPushButton("Assign to the chosen &subject", reviewPage);
    auto* reviewLayout = new QVBoxLayout(reviewPage);
    reviewLayout->addWidget(reviewNote_);
    reviewLayout->addWidget(review_, 1);
    auto* assignRow = new QHBoxLayout;
    assignRow->addStretch();
    assignRow->addWidget(assign_);
    reviewLayout->addLayout(assignRow);

    tabs_ = new QTabWidget(this);
    tabs_->addTab(sessionsPage, "Sessions");
    tabs_->addTab(history_, "History");
    tabs_->addTab(reviewPage, "Review");

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(left);
    split->addWidget(tabs_);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setSizes({250, 350});
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* scan = close->addButton("S&can the data folder", QDialogButtonBox::ActionRole);
    connect(scan, &QPushButton::clicked, this, [this] { scanDataFolder(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(close);

    connect(close, &QDialogButtonBox::rejected, this, &SubjectsDialog::reject);
    connect(search_, &QLineEdit::textChanged, this, [this] { fillSubjects(); });
    connect(subjects_, &QTableWidget::itemSelectionChanged, this, [this] { fillSessions(); });
    connect(add, &QPushButton::clicked, this, [this] { addSubject(); });
    connect(edit_, &QPushButton::clicked, this, [this] { editSubject(); });
    connect(subjects_, &QTableWidget::cellDoubleClicked, this, [this] { editSubject(); });
    connect(newTest_, &QPushButton::clicked, this, [this] { newTestForSubject(); });
    connect(open_, &QPushButton::clicked, this, [this] { openSession(); });
    connect(sessions_, &QTableWidget::cellDoubleClicked, this, [this] { openSession(); });
    connect(assign_, &QPushButton::clicked, this, [this] { assignReviewSession(); });
    refresh();
}

void SubjectsDialog::refresh() {
    fillSubjects();
    fillReview();
}

void SubjectsDialog::fillSubjects() {
    const std::optional<int64_t> chosen = chosenSubject();
    const QSignalBlocker quiet(subjects_);
    subjects_->setRowCount(0);
    std::vector<RegisterSubject> found;
    if (SubjectRegister* reg = register_.get())
        found = reg->subjects(search_->text().trimmed().toStdString());
    // A list of thousands would only slow down every keystroke; typing more narrows it.
    const std::size_t shown = std::min(found.size(), MaxListedSubjects);
    countNote_->setText(
        shown < found.size()
            ? QStringLiteral("The first %1 of %2 subjects; type to narrow the list.")
                  .arg(shown)
                  .arg(found.size())
        : found.size() == 1 ? QStringLiteral("1 subject")
                            : QStringLiteral("%1 subjects").arg(found.size()));
    for (std::size_t i = 0; i < shown; ++i) {
        const RegisterSubject& s = found[i];
        addRow(subjects_, s.id,
               {QString::fromStdString(s.code), QString::fromStdString(s.name),
                QString::fromStdString(s.birthDate), QString(QChar(s.sex)),
                QString::number(s.sessionCount)},
               {4});
    }
    // The subject chosen before stays chosen while the search still finds it.
    if (chosen) selectId(subjects_, *chosen);
    fillSessions();
}

void SubjectsDialog::fillSessions() {
    const std::optional<int64_t> subject = chosenSubject();
    edit_->setEnabled(subject.has_value());
    newTest_->setEnabled(subject.has_value());
    sessions_->setRowCount(0);
    SubjectRegister* reg = register_.get();
    QString title;
    if (reg && subject) {
        for (const RegisterSession& s : reg->sessions(*subject))
            addRow(sessions_, s.id,
                   {sessionTime(s.recordedAt), QString::fromStdString(s.test),
                    QString::number(s.attempts), optionalValue(s.velocity, 2),
                    optionalValue(s.area95, 1), QString::fromLatin1(sessionStatusText(s.status)),
                    QString::fromStdString(s.file)},
                   {2, 3, 4});
        if (const auto details = reg->subject(*subject)) {
            title = QString::fromStdString(details->name);
            if (!details->code.empty())
                title += QStringLiteral(" (%1)").arg(QString::fromStdString(details->code));
        }
    }
    open_->setEnabled(sessions_->rowCount() > 0);
    history_->showSubject(reg, subject.value_or(0), title);
}

void SubjectsDialog::fillReview() {
    review_->setRowCount(0);
    if (SubjectRegister* reg = register_.get())
        for (const RegisterSession& s : reg->reviewSessions())
            addRow(review_, s.id,
                   {sessionTime(s.recordedAt), QString::fromStdString(s.test),
                    QString::number(s.attempts), QString::fromStdString(s.file)},
                   {2});
    reviewNote_->setText(
        review_->rowCount() == 0
            ? QStringLiteral("No session is waiting for review.")
            : QStringLiteral("These sessions match more than one subject equally well. Choose "
                             "the subject in the list above, then the session here."));
    tabs_->setTabText(2, review_->rowCount() == 0
                             ? QStringLiteral("Review")
                             : QStringLiteral("Review (%1)").arg(review_->rowCount()));
    assign_->setEnabled(review_->rowCount() > 0);
}

std::optional<int64_t> SubjectsDialog::chosenSubject() const {
    return selectedId(subjects_);
}

std::optional<int64_t> SubjectsDialog::chosenSession() const {
    return selectedId(sessions_);
}

bool SubjectsDialog::chooseSubject(int64_t id) {
    return selectId(subjects_, id);
}

bool SubjectsDialog::chooseSession(int64_t id) {
    return selectId(sessions_, id);
}

bool SubjectsDialog::chooseReviewSession(int64_t id) {
    return selectId(review_, id);
}

bool SubjectsDialog::addSubject() {
    SubjectRegister* reg = register_.get();
    if (!reg) return false;
    SubjectFormDialog form(
        RegisterSubject{}, port_,
        [reg](RegisterSubject& s, std::string& e) { return reg->saveSubject(s, e); }, this);
    if (port_.runDialog(form) != QDialog::Accepted) return false;
    // The new subject is shown even when the search would hide it.
    search_->clear();
    fillSubjects();
    chooseSubject(form.subject().id);
    return true;
}

bool SubjectsDialog::editSubject() {
    SubjectRegister* reg = register_.get();
    const std::optional<int64_t> id = chosenSubject();
    if (!reg || !id) return false;
    const std::optional<RegisterSubject> subject = reg->subject(*id);
    if (!subject) return false;
    SubjectFormDialog form(
        *subject, port_,
        [reg](RegisterSubject& s, std::string& e) { return reg->saveSubject(s, e); }, this);
    if (port_.runDialog(form) != QDialog::Accepted) return false;
    fillSubjects();
    chooseSubject(*id);
    return true;
}

bool SubjectsDialog::refusedWhileTestRuns(const QString& what) {
    if (store_.testRunning == 0) return false;
    port_.message(QStringLiteral("A test is running."),
                  QStringLiteral("%1 after the test's Exit.").arg(what));
    return true;
}

bool SubjectsDialog::openSession() {
    SubjectRegister* reg = register_.get();
    const std::optional<int64_t> id = chosenSession();
    if (!reg || !id) return false;
    if (refusedWhileTestRuns(QStringLiteral("Open the session"))) return false;
    const std::optional<RegisterSession> session = reg->session(*id);
    if (!session) return false;
    const QString path = QString::fromStdString(reg->absolutePath(*session));
    if (!QFileInfo(path).isFile()) {
        port_.message(QStringLiteral("The measurement file %1 is missing.").arg(path),
                      QStringLiteral("It was moved or deleted since it was registered."));
        return false;
    }
    if (!hooks_.openFile || !hooks_.openFile(path)) return false;
    if (session->subjectId != 0)
        if (const auto subject = reg->subject(session->subjectId))
            register_.sessionOpened(*subject, store_.subject);
    return true;
}

bool SubjectsDialog::newTestForSubject() {
    SubjectRegister* reg = register_.get();
    const std::optional<int64_t> id = chosenSubject();
    if (!reg || !id) return false;
    if (refusedWhileTestRuns(QStringLiteral("Choose the subject of the next test"))) return false;
    const std::optional<RegisterSubject> subject = reg->subject(*id);
    if (!subject) return false;
    // Unsaved attempts would otherwise be saved later under this subject's name.
    if (hooks_.offerSave && !hooks_.offerSave()) return false;
    register_.useSubject(*subject, store_.subject);
    if (hooks_.subjectChanged) hooks_.subjectChanged();
    return true;
}

bool SubjectsDialog::scanDataFolder() {
    if (!register_.get()) return false;
    if (refusedWhileTestRuns(QStringLiteral("Scan the data folder"))) return false;
    const QStringList told = register_.scanDataFolder(this);
    refresh();
    port_.message(told.value(0), told.mid(1).join(QLatin1Char('\n')));
    return true;
}

bool SubjectsDialog::assignReviewSession() {
    SubjectRegister* reg = register_.get();
    const std::optional<int64_t> session = selectedId(review_);
    const std::optional<int64_t> subject = chosenSubject();
    if (!reg || !session) return false;
    if (!subject) {
        port_.message(QStringLiteral("Choose the subject in the list of subjects first."));
        return false;
    }
    std::string error;
    if (!reg->assign(*session, *subject, error)) {
        port_.message(QStringLiteral("The session was not assigned."),
                      QString::fromStdString(error));
        return false;
    }
    refresh();
    chooseSubject(*subject);
    return true;
}

}  // namespace kenvo
