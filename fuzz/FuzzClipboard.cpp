// Fuzz entry point: arbitrary bytes as the clipboard, read both as the editor's JSON type and as
// plain text of map cells.
//
// What must hold: whatever is read has a known kind, a size its kind allows, as many values as
// its size and every value in its kind's range; what is read writes back to JSON (and, for map
// cells, to text) that reads back as the same content.
#include "FuzzScratch.h"

#include "document/ClipboardContent.h"

#include <cstdint>

namespace {

void CheckRoundTrip(const ClipboardContent& content) {
    Require(content.Width >= 1 && content.Height >= 1 &&
            content.Width <= ClipboardFormat::MaxCellSide &&
            content.Height <= ClipboardFormat::MaxCellSide);
    Require(content.Values.size() == static_cast<std::size_t>(content.Width * content.Height));
    const auto again = ClipboardFormat::ReadJson(ClipboardFormat::ToJson(content));
    Require(again.has_value() && *again == content);
    if (content.What == ClipboardContent::Kind::MapCells) {
        const auto typed = ClipboardFormat::ReadCellRows(ClipboardFormat::ToText(content));
        Require(typed.has_value() && *typed == content);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto json = ClipboardFormat::ReadJson(bytes))
        CheckRoundTrip(*json);
    if (const auto text = ClipboardFormat::ReadCellRows(QString::fromUtf8(bytes))) {
        Require(text->What == ClipboardContent::Kind::MapCells);
        CheckRoundTrip(*text);
    }
    return 0;
}
