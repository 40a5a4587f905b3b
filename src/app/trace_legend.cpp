#include "trace_legend.h"

#include <QHBoxLayout>
#include <QLabel>

#include "graphs/live_traces.h"

namespace kenvo {

namespace {

QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QLabel* swatch(QWidget* parent, Rgb colour) {
    auto* l = new QLabel(parent);
    l->setObjectName("traceLegendSwatch");
    const int side = l->fontMetrics().height() * 2 / 3;
    l->setFixedSize(side, side);
    l->setAutoFillBackground(true);
    QPalette palette = l->palette();
    palette.setColor(QPalette::Window, toQColor(colour));
    l->setPalette(palette);
    l->setFrameShape(QFrame::Box);
    return l;
}

}  // namespace

TraceLegend::TraceLegend(QWidget* parent) : QWidget(parent) {
    setObjectName("traceLegend");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(3);
    addEntry("live", Y1TracePens.live, Y2TracePens.live,
             "Time graph: samples shown live but not recorded");
    layout->addSpacing(8);
    addEntry("recorded", Y1TracePens.recorded, Y2TracePens.recorded,
             "Time graph: samples of the attempt being recorded or replayed");
    hide();
}

void TraceLegend::addEntry(const QString& word, Rgb y1, Rgb y2, const QString& tip) {
    auto* layout = static_cast<QHBoxLayout*>(this->layout());
    for (Rgb c : {y1, y2}) {
        QLabel* s = swatch(this, c);
        s->setToolTip(tip);
        layout->addWidget(s);
    }
    auto* label = new QLabel(word, this);
    label->setObjectName("traceLegendWord");
    label->setToolTip(tip);
    layout->addWidget(label);
}

Rgb TraceLegend::swatchColour(int index) const {
    const auto swatches = findChildren<QLabel*>("traceLegendSwatch", Qt::FindDirectChildrenOnly);
    if (index < 0 || index >= swatches.size()) return colour::White;
    const QColor c = swatches[index]->palette().color(QPalette::Window);
    return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
               static_cast<uint8_t>(c.blue())};
}

int TraceLegend::swatchCount() const {
    return static_cast<int>(
        findChildren<QLabel*>("traceLegendSwatch", Qt::FindDirectChildrenOnly).size());
}

QString TraceLegend::text() const {
    QStringList words;
    for (const QLabel* l : findChildren<QLabel*>("traceLegendWord", Qt::FindDirectChildrenOnly))
        words << l->text();
    return words.join(' ');
}

}  // namespace kenvo
