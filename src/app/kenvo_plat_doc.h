#pragma once

#include <QString>

namespace kenvo {

// The document of the single-document window. It holds no data of its own (the data set is
// the MeasurementStore); it carries the window title.
class CKenvoPlatDoc {
  public:
    // A new, empty document: its title is "Kenvotec".
    void onNewDocument() { title_ = QStringLiteral("Kenvotec"); }
    const QString& title() const { return title_; }

  private:
    QString title_;
};

}  // namespace kenvo
