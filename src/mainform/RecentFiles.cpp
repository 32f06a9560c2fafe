#include "mainform/RecentFiles.h"

#include "inifile/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One spelling per file, so "./a.nes" and "/home/me/a.nes" are one entry.
QString FullPathOf(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString RecentFiles::KeyOf(int index) {
    return "File" + QString::number(index + 1);
}

void RecentFiles::Load(const IniFile& settings) {
    Entries.clear();
    for (int i = 0; i < Capacity; ++i) {
        const QString path =
            QString::fromStdString(settings.ReadString(Section, KeyOf(i).toStdString(), ""))
                .trimmed();
        if (!path.isEmpty() && !Entries.contains(FullPathOf(path)))
            Entries.append(FullPathOf(path));
    }
}

void RecentFiles::Save(IniFile& settings) const {
    for (int i = 0; i < Capacity; ++i) {
        const std::string key = KeyOf(i).toStdString();
        if (i < Entries.size())
            settings.WriteString(Section, key, Entries[i].toStdString());
        else
            settings.DeleteKey(Section, key);
    }
}

void RecentFiles::Add(const QString& path) {
    const QString full = FullPathOf(path);
    Entries.removeAll(full);
    Entries.prepend(full);
    while (Entries.size() > Capacity)
        Entries.removeLast();
}

void RecentFiles::Remove(const QString& path) {
    Entries.removeAll(FullPathOf(path));
}
