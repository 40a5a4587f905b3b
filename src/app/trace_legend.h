#pragma once

#include <QWidget>

#include "graphs/surface.h"

class QLabel;

namespace kenvo {

// A small key to the time graph's colours, for the status bar while the stance test or a
// replay is on screen: a swatch of each trace's pen with the word "live" (samples shown but
// not recorded) and "recorded". The colours are the graph's own pens.
class TraceLegend final : public QWidget {
    Q_OBJECT

  public:
    explicit TraceLegend(QWidget* parent = nullptr);

    // The colour a swatch shows (tests read it back); swatches are numbered left to right.
    Rgb swatchColour(int index) const;
    int swatchCount() const;
    QString text() const;

  private:
    void addEntry(const QString& word, Rgb y1, Rgb y2, const QString& tip);
};

}  // namespace kenvo
