#pragma once

#include <QString>
#include <QStringList>

// Reads a caption list: a Shift-JIS text file, one caption per line.
class ListFileReader {
public:
    // A list file is a few kilobytes; anything far larger is not one.
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    // Item i captions the byte value i: lines past the 256th caption nothing.
    static constexpr qsizetype MaxLines = 256;

    struct Result {
        bool Ok = false;
        QStringList Lines;
    };

    static Result Read(const QString& path);
};
