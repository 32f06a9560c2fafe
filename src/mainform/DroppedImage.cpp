#include "mainform/DroppedImage.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString DroppedImage::PathOf(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).suffix().compare("nes", Qt::CaseInsensitive) == 0)
            return path;
    }
    return {};
}
