#include "editdata/PatternLoadEntry.h"

#include <algorithm>

namespace {

constexpr int SecondTableFlag = 0x80;
constexpr int SourceBlockMask = 0x7F;
constexpr std::int64_t SourceBlockBytes = 0x1000;

std::uint8_t ByteAt(std::span<const std::uint8_t> cartridge, std::int64_t offset) {
    if (offset < 0 || offset >= static_cast<std::int64_t>(cartridge.size()))
        return 0;
    return cartridge[static_cast<std::size_t>(offset)];
}

} // namespace

void PatternLoadEntry::Apply(std::span<const std::uint8_t> cartridge, std::int64_t entryOffset,
                             std::span<std::uint8_t> tables) {
    const int countByte = ByteAt(cartridge, entryOffset);
    const int count = countByte == 0 ? LevelFormat::TileCount : countByte;
    const int firstDestination = ByteAt(cartridge, entryOffset + 1);
    const int firstSource = ByteAt(cartridge, entryOffset + 2);
    const int table = ByteAt(cartridge, entryOffset + 3);
    const std::int64_t destination =
        ((table & SecondTableFlag) ? LevelFormat::PatternTableBytes : 0) +
        std::int64_t{firstDestination} * LevelFormat::TileBytes;
    const std::int64_t source = static_cast<std::int64_t>(LevelFormat::HeaderSize) +
                                (table & SourceBlockMask) * SourceBlockBytes +
                                std::int64_t{firstSource} * LevelFormat::TileBytes;
    const std::int64_t length = std::min({std::int64_t{count} * LevelFormat::TileBytes,
                                          static_cast<std::int64_t>(tables.size()) - destination,
                                          static_cast<std::int64_t>(cartridge.size()) - source});
    for (std::int64_t i = 0; i < length; ++i)
        tables[static_cast<std::size_t>(destination + i)] =
            cartridge[static_cast<std::size_t>(source + i)];
}
