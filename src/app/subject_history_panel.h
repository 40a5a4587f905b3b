#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "clinical/clinical_measures.h"
#include "model/sensory_condition.h"
#include "graphs/trend_page.h"

class QComboBox;
class QPushButton;
class QTableWidget;

namespace kenvo {

class SubjectRegister;

// Draws a trend graph through the Surface, as the view draws its graphs.
class TrendGraphWidget final : public QWidget {
    Q_OBJECT

  public:
    explicit TrendGraphWidget(QWidget* parent = nullptr);
    void setGraph(TrendGraph graph);
    const TrendGraph& graph() const { return graph_; }
    // The graph inside a small margin of the widget, as it is painted.
    void draw(Surface& surface) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TrendGraph graph_;
};

// The "History" part of the Subjects window: a chosen clinical measure over the chosen
// subject's sessions (one point per session with stance attempts), the graph and its values
// side by side, and Print.
class SubjectHistoryPanel final : public QWidget {
    Q_OBJECT

  public:
    // `print` prints pages through the program's printing path (see PrintController).
    using PagePrinter =
        std::function<bool(int32_t pages, const std::function<void(Surface&, int32_t)>& draw)>;
    explicit SubjectHistoryPanel(QWidget* parent = nullptr);

    void setPrinter(PagePrinter print) { print_ = std::move(print); }
    // Shows the history of `subjectId` (0: none) from `reg`; `title` names the subject.
    void showSubject(SubjectRegister* reg, int64_t subjectId, const QString& title);
    void setMeasure(ClinicalMeasure measure);
    ClinicalMeasure measure() const;

    QComboBox* measureChooser() const { return measures_; }
    // The condition of a sensory balance test session the history takes its attempts from;
    // plain stance sessions count all their attempts whatever it is.
    QComboBox* conditionChooser() const { return conditions_; }
    void setCondition(SensoryCondition condition);
    QTableWidget* valuesTable() const { return table_; }
    TrendGraphWidget* graphWidget() const { return graph_; }
    QPushButton* printButton() const { return print_button_; }
    // The page the Print button prints.
    TrendPage page() const;
    bool print();

  private:
    void refresh();

    QComboBox* measures_;
    QComboBox* conditions_;
    TrendGraphWidget* graph_;
    QTableWidget* table_;
    QPushButton* print_button_;
    PagePrinter print_;
    SubjectRegister* register_ = nullptr;
    int64_t subjectId_ = 0;
    QString title_;
    std::vector<TrendRow> rows_;
};

}  // namespace kenvo
