#include "recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "command_ids.h"

namespace kenvo {

namespace {
const char* const Key = "RecentFiles/files";
}

RecentFiles::RecentFiles(QSettings& settings) : settings_(settings) {}

QStringList RecentFiles::files() const {
    QStringList list = settings_.value(Key).toStringList();
    while (list.size() > RecentFileCount) list.removeLast();
    return list;
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > RecentFileCount) list.removeLast();
    store(list);
}

void RecentFiles::remove(const QString& path) {
    QStringList list = files();
    list.removeAll(path);
    store(list);
}

void RecentFiles::store(const QStringList& files) {
    settings_.setValue(Key, files);
    settings_.sync();
}

}  // namespace kenvo
