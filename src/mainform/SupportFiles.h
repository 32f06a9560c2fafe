#pragma once

#include <QString>
#include <QStringList>

// Finds the files the program ships with (the master palette, the list files) in an ordered
// list of folders: the first folder that holds the file wins.
class SupportFiles {
public:
    // The path of name in the first folder that holds it as a plain file; an empty folder
    // stands for the current directory and gives the bare name. When no folder holds it: name
    // in the first folder, so that the failure names the usual place.
    static QString Find(const QString& name, const QStringList& folders);
};
