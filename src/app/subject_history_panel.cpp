#include "subject_history_panel.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "clinical/sensory_results.h"
#include "register/subject_register.h"
#include "render/qpainter_surface.h"

namespace kenvo {

namespace {

// About four significant digits without an exponent: 1235, 12.35, 0.4560.
QString valueText(double v) {
    if (!std::isfinite(v)) return QStringLiteral("-");
    const double magnitude = v == 0.0 ? 0.0 : std::floor(std::log10(std::fabs(v)));
    const int decimals = std::clamp(3 - int(magnitude), 0, 4);
    return QString::number(v, 'f', decimals);
}

// The time as the window's dates read it: local time.
int64_t localTime(int64_t utc) {
    return utc + QDateTime::fromSecsSinceEpoch(utc).offsetFromUtc();
}

}  // namespace

TrendGraphWidget::TrendGraphWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("trendGraph");
    setMinimumSize(360, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TrendGraphWidget::setGraph(TrendGraph graph) {
    graph_ = std::move(graph);
    update();
}

void TrendGraphWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
    draw(surface);
}

void TrendGraphWidget::draw(Surface& surface) const {
    drawTrendGraph(surface, Rect{8, 8, width() - 8, height() - 8}, graph_);
}

SubjectHistoryPanel::SubjectHistoryPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("subjectHistory");
    measures_ = new QComboBox(this);
    measures_->setObjectName("historyMeasure");
    for (const ClinicalMeasureInfo& info : clinicalMeasureInfo()) {
        QString text = QString::fromUtf8(info.label.data(), qsizetype(info.label.size()));
        if (!info.unit.empty())
            text += QStringLiteral(" (%1)").arg(
                QString::fromUtf8(info.unit.data(), qsizetype(info.unit.size())));
        measures_->addItem(text);
    }
    measures_->setCurrentIndex(int(ClinicalMeasure::Velocity));
    conditions_ = new QComboBox(this);
    conditions_->setObjectName("historyCondition");
    for (const SensoryCondition c : SensoryConditions) {
        const std::string_view label = sensoryConditionLabel(c);
        conditions_->addItem(QString::fromUtf8(label.data(), qsizetype(label.size())));
    }
    conditions_->setToolTip(
        "Sessions of the sensory balance test count the attempts of this condition; plain "
        "stance sessions count all their attempts.");
    graph_ = new TrendGraphWidget(this);
    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName("historyValues");
    table_->setHorizontalHeaderLabels({"Date", "Value", "Attempts"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setMinimumWidth(230);
    table_->setMaximumWidth(300);
    print_button_ = new QPushButton("&Print...", this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("&Measure", this));
    qobject_cast<QLabel*>(top->itemAt(0)->widget())->setBuddy(measures_);
    top->addWidget(measures_, 1);
    auto* conditionLabel = new QLabel("&Condition", this);
    conditionLabel->setBuddy(conditions_);
    top->addWidget(conditionLabel);
    top->addWidget(conditions_);
    top->addWidget(print_button_);
    auto* body = new QHBoxLayout;
    body->addWidget(graph_, 1);
    body->addWidget(table_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(body, 1);

    connect(measures_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(conditions_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(print_button_, &QPushButton::clicked, this, [this] { print(); });
    refresh();
}

void SubjectHistoryPanel::showSubject(SubjectRegister* reg, int64_t subjectId,
                                      const QString& title) {
    register_ = reg;
    subjectId_ = subjectId;
    title_ = title;
    refresh();
}

void SubjectHistoryPanel::setMeasure(ClinicalMeasure measure) {
    measures_->setCurrentIndex(int(measure));
}

void SubjectHistoryPanel::setCondition(SensoryCondition condition) {
    conditions_->setCurrentIndex(int(condition));
}

ClinicalMeasure SubjectHistoryPanel::measure() const {
    return ClinicalMeasure(std::size_t(std::max(0, measures_->currentIndex())));
}

void SubjectHistoryPanel::refresh() {
    const ClinicalMeasureInfo& info = clinicalMeasureInfo(measure());
    TrendGraph graph{std::string(info.label), std::string(info.unit), {}};
    rows_.clear();
    if (register_ && subjectId_ != 0) {
        const auto condition =
            SensoryConditions[std::size_t(std::clamp(conditions_->currentIndex(), 0, 3))];
        for (const HistoryPoint& p :
             register_->history(subjectId_, measure(), std::string(conditionName(condition)))) {
            // A session whose attempts give no value of this measure is left out.
            if (!p.value || !std::isfinite(*p.value)) continue;
            const int64_t local = localTime(p.recordedAt);
            graph.points.push_back({local, *p.value});
            const QString when =
                QDateTime::fromSecsSinceEpoch(p.recordedAt).toString("yyyy-MM-dd HH:mm");
            rows_.push_back({when.toStdString(), valueText(*p.value).toStdString(),
                             std::to_string(p.attempts)});
        }
    }
    graph_->setGraph(graph);
    table_->setRowCount(int(rows_.size()));
    for (int i = 0; i < int(rows_.size()); ++i) {
        const TrendRow& r = rows_[std::size_t(i)];
        const QString cells[] = {QString::fromStdString(r.date), QString::fromStdString(r.value),
                                 QString::fromStdString(r.attempts)};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(i, c, item);
        }
    }
    print_button_->setEnabled(!rows_.empty() && bool(print_));
}

TrendPage SubjectHistoryPanel::page() const {
    TrendPage page;
    page.graph = graph_->graph();
    page.rows = rows_;
    page.heading = page.graph.label;
    if (!title_.isEmpty()) page.heading += " - " + title_.toStdString();
    return page;
}

bool SubjectHistoryPanel::print() {
    if (!print_ || rows_.empty()) return false;
    const TrendPage shown = page();
    return print_(trendPageCount(shown),
                  [&shown](Surface& s, int32_t number) { drawTrendPage(s, shown, number); });
}

}  // namespace kenvo
