#pragma once

#include <QHeaderView>

namespace kenvo {

// The two-line column header of the table list: 48 pixels high, every item filled light grey
// (200, 200, 200) and outlined, its title split at the first line feed into a first line
// centred in top + 2 .. top + 22 and a second centred in top + 22 .. top + 42.
class CMLHeaderCtrl final : public QHeaderView {
    Q_OBJECT

  public:
    static constexpr int Height = 48;

    explicit CMLHeaderCtrl(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Everything above grows by `scale` when the view shows its layout larger.
    void setScale(double scale);
    double scale() const { return scale_; }

    // The two lines a title is drawn as; a title without a line feed has no second line.
    static std::pair<QString, QString> titleLines(const QString& title);

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

  private:
    int scaled(int v) const;

    double scale_ = 1.0;
};

}  // namespace kenvo
