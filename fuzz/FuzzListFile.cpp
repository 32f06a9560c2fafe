// Fuzz entry point: arbitrary bytes as a caption list file, decoded as Shift-JIS.
//
// What must hold: any file up to the size limit is read; every line break of the file ends
// exactly one caption, whatever bytes come before it (a broken double-byte character must not
// swallow the break and merge two captions, which would shift every caption after it); no
// caption holds a line break; a file of printable ASCII reads back as its own lines.
#include "FuzzScratch.h"

#include "mainform/ListFileReader.h"

#include <algorithm>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const QString path = QString::fromStdString(WriteScratchFile("list.txt", input));
    const ListFileReader::Result result = ListFileReader::Read(path);
    if (size > static_cast<std::size_t>(ListFileReader::MaxFileSize)) {
        Require(!result.Ok);
        return 0;
    }
    Require(result.Ok);

    const auto breaks = static_cast<qsizetype>(std::count(input.begin(), input.end(), '\n'));
    const bool unterminated = size > 0 && input.back() != '\n';
    Require(result.Lines.size() == breaks + (unterminated ? 1 : 0));
    for (const QString& line : result.Lines)
        Require(!line.contains(QChar('\n')));

    // Printable ASCII only: the converter maps some control codes to others (0x7F to 0x1A).
    const auto printable = [](std::uint8_t c) {
        return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n';
    };
    if (std::all_of(input.begin(), input.end(), printable)) {
        QString expected =
            QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        expected.replace("\r\n", "\n");
        if (expected.endsWith('\n'))
            expected.chop(1);
        Require(result.Lines.join('\n') == expected);
    }
    return 0;
}
