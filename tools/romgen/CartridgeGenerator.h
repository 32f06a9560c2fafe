#pragma once

#include "base/LevelFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Builds a synthetic cartridge image of our own for tests and for the demo: the iNES header and,
// at the default level-data offsets of the settings section "LevelDataAddress", plausible data
// for all sixteen stages. Everything is computed; the same call always gives the same bytes.
//
// Layout (bank n = the 8 KiB at file offset HeaderSize + n * BankSize; block b = the 4 KiB at
// 0x10 + b * 0x1000):
//
//   blocks 0x00-0x0F  tile graphics, one 256-tile block per stage (block s for stage s)
//   blocks 0x10-0x11  alternative tiles, the sources of the extra pattern load entries
//   banks 0x20-0x25   map sets, three stages per bank (0xA000 window), at 0xA040, 0xA840, 0xB040
//   banks 0x2D-0x36   chip banks (0x8000 window): per stage its normal 16x16 tile table and
//                     attribute table (0x500 bytes at page Chip16x16Page) and its 32x32 table
//                     (0x400 bytes at page Chip32x32Page); the shared after-destruction tables at
//                     0x9B00 and 0x9F00. Several stages share a chip bank (ChipBank below).
//   bank 0x28         palette set 1: pointer tables 0x51010/0x51110, data from 0x51210
//   bank 0x37         pattern load entries (256 of them) at 0x6E010; palette set 0: pointer
//                     tables 0x6F010/0x6F110, data from 0x6F210
//   bank 0x3A         object pointers/counts at 0x740CF/0x740DF/0x740EF; the sixteen object blocks
//                     packed back to back from ObjectBlockStart
//   bank 0x3B         palette animation tables (AnimeLowTable, AnimeHighTable, AnimeColorTable,
//                     AnimeBase; 128 animation numbers, all well formed)
//   bank 0x3E         chip type rows at 0x7DB13/0x7DB23, per-stage tables from 0x7DF35
//
// Everything else holds deterministic filler bytes, so a stray write shows in a comparison.
//
// Object bank room: the blocks start at ObjectBlockStart and a stage's block takes
// 4 * (objects + 1) bytes, so sixteen stages with MaxObjectsAllStages objects in all need 6692
// bytes and end at 0x75B33, inside the bank (which ends at 0x7600F). Any object set within the
// editor's limits (MaxObjectsPerStage per stage, MaxObjectsAllStages in all) therefore packs; up to
// ObjectCapacity objects in all would.
class CartridgeGenerator {
public:
    static constexpr std::size_t ImageSize = LevelFormat::CartridgeSize;
    static constexpr int StageCount = LevelFormat::StageCount;

    // Per-stage bytes, as written at the default offsets.
    // Stages sharing a chip bank: {1, 2}, {3, 11}, {5, 6, 13}, {7, 8}, {14, 15}.
    static constexpr std::array<std::uint8_t, StageCount> ChipBank = {
        0x30, 0x31, 0x31, 0x32, 0x33, 0x34, 0x34, 0x35,
        0x35, 0x36, 0x2F, 0x32, 0x2E, 0x34, 0x2D, 0x2D};
    static constexpr std::array<std::uint8_t, StageCount> Chip16x16Page = {
        0x80, 0x80, 0x89, 0x80, 0x80, 0x80, 0x89, 0x80,
        0x89, 0x80, 0x80, 0x89, 0x80, 0x92, 0x80, 0x89};
    static constexpr std::array<std::uint8_t, StageCount> Chip32x32Page = {
        0x85, 0x85, 0x8E, 0x85, 0x85, 0x85, 0x8E, 0x85,
        0x8E, 0x85, 0x85, 0x8E, 0x85, 0x97, 0x85, 0x8E};
    static constexpr std::uint8_t MapBankOf(int stage) {
        return static_cast<std::uint8_t>(0x20 + stage / 3);
    }
    static constexpr std::uint16_t MapCpuAddressOf(int stage) {
        return static_cast<std::uint16_t>(0xA040 + (stage % 3) * 0x800);
    }
    // Pattern set number and palette number of stage s are s; its tile block is block s.
    // The palette numbers sit at PaletteNumberTable + s (a test that wants stages sharing a
    // palette points one stage at another's number there).
    static constexpr std::size_t PaletteNumberTable = 0x7DFA5;
    static constexpr int FirstOverlayBlock = 0x10;
    static constexpr int PatternEntryCount = 256;
    static constexpr int ChipTypeRowCount = 4; // stage s uses row s % 4

    // Objects.
    static constexpr std::size_t ObjectBank = 0x3A;
    static constexpr std::uint16_t Stage0ObjectPointer = 0x80FF; // CPU address, 0x8000 window
    static constexpr std::size_t ObjectBlockStart = 0x74110;     // first data byte of stage 0
    static constexpr std::size_t ObjectBankEnd = 0x76010;        // one past the bank's last byte
    static constexpr int ObjectCapacity =
        static_cast<int>((ObjectBankEnd - ObjectBlockStart) / 4) - StageCount;

    // Palette animation tables (file offsets); record of animation n at AnimeBase + 8n.
    static constexpr std::size_t AnimeLowTable = 0x77A10;
    static constexpr std::size_t AnimeHighTable = 0x77A90;
    static constexpr std::size_t AnimeColorTable = 0x77B10;
    static constexpr std::size_t AnimeBase = 0x77E10;
    static constexpr int AnimeCount = 128;

    // Meaningful 16x16 chip numbers of every stage's normal set (the rest are blank).
    enum Chip16 : std::uint8_t {
        ChipEmpty = 0x00,
        ChipBackground = 0x01,
        ChipWall = 0x02,
        ChipWindow = 0x03,
        ChipBrick = 0x04,
        ChipStone = 0x05,
        ChipLadder = 0x06,
        ChipLadderTop = 0x07,
        ChipSpikes = 0x08,
        ChipWater = 0x09,
        ChipBreakable = 0x0A,
        ChipPillar = 0x0B,
        ChipIce = 0x0C,
        ChipSpring = 0x0D,
        ChipConveyorLeft = 0x0E,
        ChipConveyorRight = 0x0F,
        ChipFalling = 0x10,
        ChipFireBreakable = 0x11,
        ChipOil = 0x12,
        ChipForeground = 0x13,
        FirstBackgroundVariant = 0x14,
        UsedChip16Count = 0x20
    };
    // Meaningful 32x32 chip numbers (the rest are blank).
    enum Chip32 : std::uint8_t {
        BlockEmpty = 0x00,
        BlockBackground = 0x01,
        BlockWall = 0x02,
        BlockBrick = 0x03,
        BlockStone = 0x04,
        BlockLadder = 0x05,
        BlockLadderTop = 0x06,
        BlockPlatform = 0x07,
        BlockFloor = 0x08,
        BlockSpikes = 0x09,
        BlockWater = 0x0A,
        BlockBreakable = 0x0B,
        BlockPillar = 0x0C,
        BlockIce = 0x0D,
        BlockSpring = 0x0E,
        BlockConveyorLeft = 0x0F,
        BlockConveyorRight = 0x10,
        BlockFalling = 0x11,
        BlockWindow = 0x12,
        UsedChip32Count = 0x20
    };

    struct PlacedObject {
        int Page, X, Y, Type;
    };

    // The whole image, CartridgeSize bytes.
    static std::vector<std::uint8_t> MakeImage();

    // A 64-colour master palette (192 bytes, RGB triples) computed from an NTSC colour model.
    static std::array<std::uint8_t, 192> MakeMasterPalette();

    // What the generator placed, for tests that compare against the decoded data.
    static std::vector<PlacedObject> ObjectsOfStage(int stage);    // page order, cartridge order
    static std::array<std::uint8_t, 32> PaletteOfStage(int stage); // both sets, as decoded
    static std::array<std::uint8_t, 16> ChipTypeRow(int row);
    static std::array<std::uint8_t, 4> PatternEntry(int number);
};
