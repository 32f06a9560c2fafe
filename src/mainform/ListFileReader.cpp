#include "mainform/ListFileReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

ListFileReader::Result ListFileReader::Read(const QString& path) {
    // Only a plain file: a pipe or device could block start-up.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize)
        return {};
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize || file.error() != QFileDevice::NoError)
        return {};

    QStringDecoder decoder("Shift_JIS");
    if (!decoder.isValid())
        return {};
    QString text = decoder(bytes);
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    // The line break after the last line does not start another entry.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() > MaxLines)
        lines.resize(MaxLines);
    return {true, lines};
}
