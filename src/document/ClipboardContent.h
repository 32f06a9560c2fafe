#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What the editor puts on the clipboard and takes back from it: a kind and its values, as a
// small JSON document under the editor's own type and beside it as rows of hexadecimal numbers
// a person can read. Whatever the clipboard holds is untrusted: a reader returns nothing for
// anything but a well-formed content of a known kind with every size and value in range.
struct ClipboardContent {
    enum class Kind { MapCells, Chip32x32, Chip16x16, PaletteSet, ObjectType };

    Kind What = Kind::MapCells;
    // Values as rows of Width numbers; Height rows.
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Values;

    bool operator==(const ClipboardContent&) const = default;
};

namespace ClipboardFormat {

inline constexpr const char* MimeType = "application/x-kestrin6editor";
// Larger clipboard texts are refused before they are looked at: no content is near this size.
inline constexpr qsizetype MaxInputSize = 64 * 1024;
inline constexpr int MaxCellSide = 8;

// Map cells: Width x Height. The 32x32 chip's four quarters: 4x1. The 16x16 chip's four tiles
// and its attribute byte: 5x1. A palette set's sixteen colours: 4x4, each 00-3F. An object's
// type: 1x1.
ClipboardContent MapCells(int width, int height, std::vector<std::uint8_t> values);
ClipboardContent Chip32x32(std::vector<std::uint8_t> quarters);
ClipboardContent Chip16x16(std::vector<std::uint8_t> tilesAndAttribute);
ClipboardContent PaletteSet(std::vector<std::uint8_t> colours);
ClipboardContent ObjectType(std::uint8_t type);

QByteArray ToJson(const ClipboardContent& content);
// One line per row, numbers as two upper-case hexadecimal digits separated by spaces.
QString ToText(const ClipboardContent& content);

std::optional<ClipboardContent> ReadJson(const QByteArray& json);
// Map cells typed by hand or copied from a spreadsheet: up to eight rows of up to eight
// numbers 00-FF separated by spaces or tabs, every row as long as the first.
std::optional<ClipboardContent> ReadCellRows(const QString& text);

} // namespace ClipboardFormat
