// Fuzz entry point: arbitrary bytes read as a Tiled map, the same bytes standing in for any
// external tileset it names. A map the reader accepts must come back unchanged through the
// writer.
#include "document/TmxMap.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray tmx(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TmxMap::TilesetLoader sameBytes = [&tmx](const QString&, QByteArray& bytes) {
        bytes = tmx;
        return true;
    };
    TmxMap::MapSet mapSet{};
    mapSet.fill(0xEE);
    const Outcome outcome = TmxMap::Read(tmx, sameBytes, mapSet);
    if (!outcome.Ok) {
        Require(!outcome.Message.empty());
        return 0;
    }
    TmxMap::MapSet again{};
    Require(TmxMap::Read(TmxMap::Write(mapSet, "chips.png", "chips"), {}, again).Ok);
    Require(again == mapSet);
    return 0;
}
