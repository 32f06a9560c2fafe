#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The images last opened or saved, newest first, as full paths; kept in the settings file in
// the section "RecentFiles" under the keys "File1".."File8".
class RecentFiles {
public:
    static constexpr int Capacity = 8;
    static constexpr const char* Section = "RecentFiles";

    // Reads the list; empty keys and repeated paths are dropped.
    void Load(const IniFile& settings);
    // Writes the list, and removes the keys of entries it no longer has.
    void Save(IniFile& settings) const;

    // Puts path first; a path already in the list moves up, the oldest falls off the end.
    void Add(const QString& path);
    void Remove(const QString& path);

    const QStringList& Paths() const { return Entries; }

private:
    static QString KeyOf(int index);

    QStringList Entries;
};
