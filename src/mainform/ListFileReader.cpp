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
    // The decoder holds back a double-byte character cut off by the end of the file, and would
    // drop a last line made of nothing else. A line break never completes such a character, so
    // one appended makes the decoder give it out (as a substitute); it is taken off again.
    QString text = decoder(bytes + '\n');
    text.chop(1);
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    // The line break after the last line does not start another entry.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() > MaxLines)
        lines.resize(MaxLines);
    return {true, lines};
}
