#pragma once

#include <QStringList>

class QSettings;

namespace kenvo {

// The last four measurement files opened or saved, newest first, kept between runs.
class RecentFiles {
  public:
    explicit RecentFiles(QSettings& settings);

    QStringList files() const;
    void add(const QString& path);
    void remove(const QString& path);

  private:
    void store(const QStringList& files);

    QSettings& settings_;
};

}  // namespace kenvo
