#include "mainform/SupportFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString PathIn(const QString& folder, const QString& name) {
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

} // namespace

QString SupportFiles::Find(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = PathIn(folder, name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return PathIn(folders.value(0), name);
}
