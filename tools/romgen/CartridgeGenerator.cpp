#include "romgen/CartridgeGenerator.h"

#include "base/LevelFormat.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

// Default offsets of the settings section "LevelDataAddress".
constexpr std::size_t MapDataBankA000 = 0x7DF35;
constexpr std::size_t MapDataAddressLow = 0x7DF45;
constexpr std::size_t MapDataAddressHigh = 0x7DF55;
constexpr std::size_t ChipDataBank8000 = 0x7DF65;
constexpr std::size_t Chip16x16DataAddressHigh = 0x7DF75;
constexpr std::size_t Chip32x32DataAddressHigh = 0x7DF85;
constexpr std::size_t PatternTableDataNo = 0x7DF95;
constexpr std::size_t PatternTableData = 0x6E010;
constexpr std::size_t PaletteDataNo = CartridgeGenerator::PaletteNumberTable;
constexpr std::array<std::size_t, 2> PalettePointerLow = {0x6F010, 0x51010};
constexpr std::array<std::size_t, 2> PalettePointerHigh = {0x6F110, 0x51110};
constexpr std::size_t ObjectDataAddressLow = 0x740CF;
constexpr std::size_t ObjectDataAddressHigh = 0x740DF;
constexpr std::size_t ObjectCount = 0x740EF;
constexpr std::size_t RefChipTypeTable = 0x7DB13;
constexpr std::size_t ChipTypeTable = 0x7DB23;

constexpr std::uint16_t PaletteDataCpu = 0x9200; // in the bank of each pointer table
constexpr std::size_t BlockBytes = 0x1000;

using Image = std::vector<std::uint8_t>;
using Pixel = std::function<int(int x, int y)>;

// Small deterministic generator; the same seed always gives the same level.
class Random {
public:
    explicit Random(std::uint32_t seed) : State(seed * 2654435761u + 0x9E3779B9u) {
        if (State == 0)
            State = 1;
    }
    std::uint32_t Next() {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return State;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t State;
};

std::size_t FileOffset8000(std::size_t bank, std::size_t cpu) {
    return bank * LevelFormat::BankSize + cpu - LevelFormat::Bank8000Base;
}
std::size_t FileOffsetA000(std::size_t bank, std::size_t cpu) {
    return bank * LevelFormat::BankSize + cpu - LevelFormat::BankA000Base;
}
std::size_t BlockOffset(int block) {
    return 0x10 + static_cast<std::size_t>(block) * BlockBytes;
}
std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// One 8x8 tile in the console's format: eight bytes of bit plane 0, then eight of plane 1; the
// leftmost pixel is bit 7.
void PaintTile(Image& image, int block, int tile, const Pixel& pixel, int dx = 0, int dy = 0) {
    const std::size_t at =
        BlockOffset(block) + static_cast<std::size_t>(tile) * LevelFormat::TileBytes;
    for (int row = 0; row < 8; ++row) {
        int plane0 = 0;
        int plane1 = 0;
        for (int column = 0; column < 8; ++column) {
            const int colour = pixel(dx + column, dy + row) & 3;
            plane0 |= (colour & 1) << (7 - column);
            plane1 |= (colour >> 1) << (7 - column);
        }
        image[at + static_cast<std::size_t>(row)] = Byte(plane0);
        image[at + 8 + static_cast<std::size_t>(row)] = Byte(plane1);
    }
}

// A 16x16 picture as four tiles first..first+3: top-left, top-right, bottom-left, bottom-right.
void Paint16(Image& image, int block, int first, const Pixel& pixel) {
    for (int quarter = 0; quarter < 4; ++quarter)
        PaintTile(image, block, first + quarter, pixel, (quarter % 2) * 8, (quarter / 2) * 8);
}

// 3x5 digits for the hexadecimal tiles F0-FF.
constexpr std::array<std::uint16_t, 16> DigitGlyphs = {
    0x7B6F, 0x2C97, 0x73E7, 0x73CF, 0x5BC9, 0x79CF, 0x79EF, 0x7249,
    0x7BEF, 0x7BCF, 0x7BED, 0x6BAE, 0x7927, 0x6B6E, 0x79E7, 0x79E4};

// The tiles of one block. style varies bricks, textures and details between stages.
void PaintTileBlock(Image& image, int block, int style) {
    Random random(static_cast<std::uint32_t>(block * 7919 + 17));
    const int brickHeight = 4 + (style % 2) * 4;     // 4 or 8 pixel courses
    const int brickWidth = 8 + (style % 3 == 2) * 8; // 8 or 16 pixel bricks
    const int textureStep = 3 + style % 4;

    // 00: empty; 01-03: background textures.
    Paint16(image, block, 0x00, [](int, int) { return 0; });
    PaintTile(image, block, 0x01, [&](int x, int y) {
        return (x * 5 + y * 3 + style) % (textureStep * 4) == 0 ? 1 : 0;
    });
    PaintTile(image, block, 0x02, [&](int x, int y) { return (x + y + style) % 8 == 0 ? 1 : 0; });
    PaintTile(image, block, 0x03, [](int x, int y) {
        return (x == 3 && y >= 2 && y <= 4) || (y == 3 && x >= 2 && x <= 4) ? 3 : 0;
    });
    // 04-07: background wall of large dim stones.
    Paint16(image, block, 0x04, [&](int x, int y) {
        if (y % 8 == 7 || (x + (y / 8) * 4) % 8 == 7)
            return 0;
        return (x + y) % (2 + style % 3) == 0 ? 1 : 0;
    });
    // 08-0B: window.
    Paint16(image, block, 0x08, [](int x, int y) {
        if (x == 0 || y == 0 || x == 15 || y == 15 || x == 7 || y == 7)
            return 2;
        return x < 7 && y < 7 ? 1 : 0;
    });
    // 10-13: bricks: courses with offset joints, mortar colour 1, highlight colour 3.
    Paint16(image, block, 0x10, [&](int x, int y) {
        const int course = y / brickHeight;
        const int shifted = (x + (course % 2) * (brickWidth / 2)) % brickWidth;
        if (y % brickHeight == brickHeight - 1 || shifted == brickWidth - 1)
            return 1;
        if (y % brickHeight == 0 || shifted == 0)
            return 3;
        return 2;
    });
    // 14-17: bevelled stone.
    Paint16(image, block, 0x14, [](int x, int y) {
        if (x == 0 || y == 0)
            return 3;
        if (x == 15 || y == 15)
            return 1;
        return (x * y) % 11 == 5 ? 1 : 2;
    });
    // 18-1B: ladder (rails and rungs); 1C-1F: ladder top with a cap.
    Paint16(image, block, 0x18, [](int x, int y) {
        if (x == 2 || x == 3 || x == 12 || x == 13)
            return 3;
        if (x > 3 && x < 12 && y % 4 == 1)
            return 2;
        return 0;
    });
    Paint16(image, block, 0x1C, [](int x, int y) {
        if (y < 2 && x >= 1 && x <= 14)
            return 3;
        if (x == 2 || x == 3 || x == 12 || x == 13)
            return 3;
        if (x > 3 && x < 12 && y % 4 == 1)
            return 2;
        return 0;
    });
    // 20-23: spikes.
    Paint16(image, block, 0x20, [](int x, int y) {
        if (y >= 14)
            return 1;
        const int centre = (x / 4) * 4 + 2;
        const int half = (y - 2) / 3;
        if (y >= 2 && std::abs(x - centre) <= half)
            return x < centre ? 3 : 2;
        return 0;
    });
    // 24-27: water.
    Paint16(image, block, 0x24, [](int x, int y) {
        const int wave = (x / 2 + y) % 8;
        return wave == 0 ? 3 : (wave < 3 ? 2 : 1);
    });
    // 28-2B: cracked breakable block; 2C-2F: rubble left after it is broken.
    Paint16(image, block, 0x28, [](int x, int y) {
        if (x == 0 || y == 0 || x == 15 || y == 15)
            return 1;
        if (x == y || x == 15 - y / 2 || (y == 8 && x > 4))
            return 1;
        return 2;
    });
    Paint16(image, block, 0x2C, [&](int x, int y) {
        if (y < 11)
            return 0;
        return (x * 7 + y * 3 + style) % 5 < 2 ? 1 : ((x + y) % 3 == 0 ? 2 : 0);
    });
    // 30-33: conveyor belt; 34-37: spring.
    Paint16(image, block, 0x30, [](int x, int y) {
        if (y < 2 || y > 13)
            return 1;
        if (y == 2 || y == 13)
            return 3;
        return (x + y) % 6 < 2 ? 3 : 2;
    });
    Paint16(image, block, 0x34, [](int x, int y) {
        if (y < 3)
            return x >= 2 && x <= 13 ? 3 : 0;
        if (y >= 13)
            return x >= 1 && x <= 14 ? 1 : 0;
        return (x == 4 + (y % 4) * 2 || x == 11 - (y % 4) * 2) ? 2 : 0;
    });
    // 38-3B: slippery ice floor; 3C-3F: foreground pillar.
    Paint16(image, block, 0x38, [](int x, int y) {
        if (y == 0)
            return 3;
        return (x - y == 4 || x - y == 5 || x - y == -6) ? 3 : (y < 8 ? 2 : 1);
    });
    Paint16(image, block, 0x3C, [](int x, int) {
        if (x < 2 || x > 13)
            return 0;
        if (x == 2 || x == 13)
            return 1;
        return x < 6 ? 3 : 2;
    });
    // 40-6F: background texture variants.
    for (int tile = 0x40; tile < 0x70; ++tile) {
        const int a = 1 + random.Below(7);
        const int b = 1 + random.Below(5);
        const int colour = 1 + random.Below(2);
        PaintTile(image, block, tile,
                  [&](int x, int y) { return (x * a + y * b) % 9 == 0 ? colour : 0; });
    }
    // F0-FF: hexadecimal digits.
    for (int digit = 0; digit < 16; ++digit) {
        PaintTile(image, block, 0xF0 + digit, [&](int x, int y) {
            if (x < 2 || x > 4 || y < 1 || y > 5)
                return 0;
            const int bit = 14 - ((y - 1) * 3 + (x - 2));
            return (DigitGlyphs[static_cast<std::size_t>(digit)] >> bit) & 1 ? 3 : 0;
        });
    }
    // 70-EF stay blank: no chip uses them.
    for (int tile = 0x70; tile < 0xF0; ++tile)
        PaintTile(image, block, tile, [](int, int) { return 0; });
}

// The alternative tiles of the extra pattern load entries: stripes and checks.
void PaintOverlayBlock(Image& image, int block) {
    for (int tile = 0; tile < 256; ++tile) {
        const int kind = tile % 4;
        const int colour = 1 + (tile / 4) % 3;
        PaintTile(image, block, tile, [&](int x, int y) {
            switch (kind) {
            case 0:
                return (x / 2 + y / 2) % 2 == 0 ? colour : 0;
            case 1:
                return y % 4 == (tile / 16) % 4 ? colour : 0;
            case 2:
                return x % 4 == (tile / 16) % 4 ? colour : 0;
            default:
                return (x == y || x == 7 - y) ? colour : (block % 2 ? 1 : 0);
            }
        });
    }
}

// Normal 16x16 chip set of a stage: which tiles and which attribute byte each chip has.
struct ChipSet {
    std::array<std::uint8_t, 1024> Tiles{}; // quarter * 256 + chip
    std::array<std::uint8_t, 256> Attributes{};
};

void SetChip(ChipSet& set, int chip, std::array<int, 4> tiles, int attribute) {
    for (std::size_t quarter = 0; quarter < 4; ++quarter)
        set.Tiles[quarter * 256 + static_cast<std::size_t>(chip)] = Byte(tiles[quarter]);
    set.Attributes[static_cast<std::size_t>(chip)] = Byte(attribute);
}

void SetChip4(ChipSet& set, int chip, int firstTile, int attribute) {
    SetChip(set, chip, {firstTile, firstTile + 1, firstTile + 2, firstTile + 3}, attribute);
}

// Attribute byte: bits 7-4 attribute type, bits 1-0 sub-palette.
ChipSet NormalChipSet(int stage) {
    using G = CartridgeGenerator;
    ChipSet set;
    SetChip(set, G::ChipEmpty, {0, 0, 0, 0}, 0x00);
    SetChip(set, G::ChipBackground, stage % 2 ? std::array{2, 1, 1, 2} : std::array{1, 2, 2, 1},
            0x00);
    SetChip4(set, G::ChipWall, 0x04, 0x00);
    SetChip4(set, G::ChipWindow, 0x08, 0x01);
    SetChip4(set, G::ChipBrick, 0x10, 0x11);
    SetChip4(set, G::ChipStone, 0x14, 0x11);
    SetChip4(set, G::ChipLadder, 0x18, 0x32);
    SetChip4(set, G::ChipLadderTop, 0x1C, 0x22);
    SetChip4(set, G::ChipSpikes, 0x20, 0x43);
    SetChip4(set, G::ChipWater, 0x24, 0x53);
    SetChip4(set, G::ChipBreakable, 0x28, 0x61);
    SetChip4(set, G::ChipPillar, 0x3C, 0x72);
    SetChip4(set, G::ChipIce, 0x38, 0x87); // bits 3-2 set: only the byte label shows them
    SetChip4(set, G::ChipSpring, 0x34, 0x92);
    SetChip4(set, G::ChipConveyorLeft, 0x30, 0xA1);
    SetChip(set, G::ChipConveyorRight, {0x31, 0x30, 0x33, 0x32}, 0xB1);
    SetChip4(set, G::ChipFalling, 0x14, 0xC3);
    SetChip4(set, G::ChipFireBreakable, 0x28, 0xD2);
    SetChip4(set, G::ChipOil, 0x24, 0xE2);
    SetChip4(set, G::ChipForeground, 0x10, 0xF3);
    for (int i = 0; i < G::UsedChip16Count - G::FirstBackgroundVariant; ++i) {
        const int first = 0x40 + ((i * 4 + stage * 4) % 0x30);
        SetChip4(set, G::FirstBackgroundVariant + i, first, i % 2);
    }
    return set;
}

// After destruction the breakable chips have become rubble and the falling blocks are gone.
ChipSet DestroyedChipSet(int stage) {
    using G = CartridgeGenerator;
    ChipSet set = NormalChipSet(stage);
    SetChip4(set, G::ChipBreakable, 0x2C, 0x01);
    SetChip4(set, G::ChipFireBreakable, 0x2C, 0x02);
    SetChip(set, G::ChipFalling, {0, 0, 0, 0}, 0x00);
    return set;
}

std::array<std::uint8_t, 1024> Chip32x32Set(int stage) {
    using G = CartridgeGenerator;
    std::array<std::uint8_t, 1024> table{};
    const auto set = [&](int chip, std::array<int, 4> quarters) {
        for (std::size_t q = 0; q < 4; ++q)
            table[static_cast<std::size_t>(chip) * 4 + q] = Byte(quarters[q]);
    };
    const int bg = stage % 3 == 0 ? G::ChipWall : G::ChipBackground;
    set(G::BlockEmpty, {0, 0, 0, 0});
    set(G::BlockBackground, {G::ChipBackground, G::ChipEmpty, G::ChipEmpty, G::ChipBackground});
    set(G::BlockWall, {G::ChipWall, G::ChipWall, G::ChipWall, G::ChipWall});
    set(G::BlockBrick, {G::ChipBrick, G::ChipBrick, G::ChipBrick, G::ChipBrick});
    set(G::BlockStone, {G::ChipStone, G::ChipStone, G::ChipStone, G::ChipStone});
    set(G::BlockLadder, {G::ChipLadder, bg, G::ChipLadder, bg});
    set(G::BlockLadderTop, {G::ChipLadderTop, bg, G::ChipLadder, bg});
    set(G::BlockPlatform, {G::ChipBrick, G::ChipBrick, bg, bg});
    set(G::BlockFloor, {bg, bg, G::ChipBrick, G::ChipBrick});
    set(G::BlockSpikes, {bg, bg, G::ChipSpikes, G::ChipSpikes});
    set(G::BlockWater, {G::ChipWater, G::ChipWater, G::ChipWater, G::ChipWater});
    set(G::BlockBreakable,
        {G::ChipBreakable, G::ChipBreakable, G::ChipBreakable, G::ChipBreakable});
    set(G::BlockPillar, {G::ChipPillar, bg, G::ChipPillar, bg});
    set(G::BlockIce, {G::ChipIce, G::ChipIce, G::ChipStone, G::ChipStone});
    set(G::BlockSpring, {bg, bg, G::ChipSpring, bg});
    set(G::BlockConveyorLeft,
        {G::ChipConveyorLeft, G::ChipConveyorLeft, G::ChipStone, G::ChipStone});
    set(G::BlockConveyorRight,
        {G::ChipConveyorRight, G::ChipConveyorRight, G::ChipStone, G::ChipStone});
    set(G::BlockFalling, {G::ChipFalling, G::ChipFalling, bg, bg});
    set(G::BlockWindow, {G::ChipWindow, G::ChipWindow, G::ChipWindow, G::ChipWindow});
    for (int chip = G::BlockWindow + 1; chip < G::UsedChip32Count; ++chip) {
        const int a = G::FirstBackgroundVariant + (chip * 3) % 12;
        const int b = G::FirstBackgroundVariant + (chip * 5 + 1) % 12;
        set(chip, {a, b, b, a});
    }
    return table;
}

// One stage's 32 pages: a floor, platforms reached by ladders, pits, walls at both ends.
std::array<std::uint8_t, 2048> MapSet(int stage) {
    using G = CartridgeGenerator;
    std::array<std::uint8_t, 2048> pages{};
    Random random(static_cast<std::uint32_t>(stage * 131 + 7));
    const int background = stage % 3 == 0 ? G::BlockWall : G::BlockBackground;
    const int floorBlock = stage % 2 ? G::BlockStone : G::BlockBrick;
    const int pit = stage % 4 == 1 ? G::BlockWater : G::BlockSpikes;
    for (int page = 0; page < 32; ++page) {
        const auto at = [&](int row, int column) -> std::uint8_t& {
            return pages[static_cast<std::size_t>(page * 64 + row * 8 + column)];
        };
        for (int cell = 0; cell < 64; ++cell)
            at(cell / 8, cell % 8) =
                Byte(cell / 8 == 0 && random.Below(4) == 0 ? G::BlockWindow : background);
        for (int column = 0; column < 8; ++column)
            at(7, column) = Byte(floorBlock);
        if (page % 5 == 2)
            at(6, random.Below(8)) = Byte(G::BlockSpring);
        if (page != 0 && page != 31 && random.Below(3) == 0) {
            const int column = 2 + random.Below(4);
            at(7, column) = Byte(pit);
            at(7, column + 1) = Byte(pit);
        }
        // A platform with a ladder down to the floor from its left end.
        const int row = 3 + random.Below(3);
        const int first = random.Below(4);
        const int length = 2 + random.Below(3);
        for (int column = first; column < first + length && column < 8; ++column)
            at(row, column) = Byte(page % 7 == 3 ? G::BlockFalling : G::BlockPlatform);
        at(row, first) = Byte(G::BlockLadderTop);
        for (int r = row + 1; r < 7; ++r)
            at(r, first) = Byte(G::BlockLadder);
        if (random.Below(2) == 0)
            at(row - 1, std::min(first + length, 7)) = Byte(G::BlockBreakable);
        if (page % 6 == 4)
            at(2, 7) = Byte(G::BlockPillar);
        if (stage % 4 == 2 && page % 4 == 1)
            for (int column = 0; column < 8; ++column)
                at(7, column) = Byte(column < 4 ? G::BlockConveyorLeft : G::BlockConveyorRight);
        if (stage % 4 == 3 && page % 4 == 0)
            for (int column = 0; column < 8; ++column)
                at(7, column) = Byte(G::BlockIce);
        if (page == 0)
            for (int r = 0; r < 8; ++r)
                at(r, 0) = Byte(G::BlockBrick);
        if (page == 31)
            for (int r = 0; r < 8; ++r)
                at(r, 7) = Byte(G::BlockBrick);
    }
    return pages;
}

// Palette set h of a stage in memory order; sub-palette entry 0 is always black (0F).
std::array<std::uint8_t, 16> PaletteSet(int stage, int set) {
    std::array<std::uint8_t, 16> colours{};
    for (int k = 0; k < 4; ++k) {
        const int hue = 1 + (stage * 5 + k * 3 + set * 6) % 12;
        colours[static_cast<std::size_t>(k * 4)] = 0x0F;
        for (int j = 1; j < 4; ++j) {
            const int level = k == 0 ? j - 1 : std::min(3, j - 1 + set);
            colours[static_cast<std::size_t>(k * 4 + j)] =
                Byte(level * 0x10 + (k == 0 && j == 1 ? 0 : hue));
        }
    }
    return colours;
}

// Odd stages leave the first sub-palette of set 1 out of the data.
int PaletteSetStart(int stage, int set) {
    return set == 1 && stage % 2 ? 4 : 0;
}

// The compressed form: the start entry, then colours; bit 6 puts 0F before the colour, bit 7
// ends the data.
std::vector<std::uint8_t> CompressPalette(const std::array<std::uint8_t, 16>& colours, int start) {
    std::vector<std::uint8_t> data{Byte(start)};
    for (int k = start; k < 16; ++k) {
        if (k % 4 == 0 && colours[static_cast<std::size_t>(k)] == 0x0F) {
            ++k;
            data.push_back(Byte(0x40 | colours[static_cast<std::size_t>(k)]));
        } else {
            data.push_back(colours[static_cast<std::size_t>(k)]);
        }
    }
    data.back() = Byte(data.back() | 0x80);
    return data;
}

void WriteObjects(Image& image) {
    using G = CartridgeGenerator;
    std::uint32_t pointer = G::Stage0ObjectPointer;
    for (int stage = 0; stage < G::StageCount; ++stage) {
        const auto objects = G::ObjectsOfStage(stage);
        const auto count = objects.size();
        image[ObjectDataAddressLow + static_cast<std::size_t>(stage)] =
            Byte(static_cast<int>(pointer));
        image[ObjectDataAddressHigh + static_cast<std::size_t>(stage)] =
            Byte(static_cast<int>(pointer >> 8));
        image[ObjectCount + static_cast<std::size_t>(stage)] = Byte(static_cast<int>(count));
        const std::size_t data = FileOffset8000(G::ObjectBank, pointer) + 1;
        for (std::size_t row = 0; row <= count; ++row) {
            const bool end = row == count;
            const std::array<int, 4> values = end ? std::array{0xFF, 0xFF, 0xFF, 0xFF}
                                                  : std::array{objects[row].Page, objects[row].X,
                                                               objects[row].Y, objects[row].Type};
            for (std::size_t column = 0; column < 4; ++column)
                image[data + column * (count + 1) + row] = Byte(values[column]);
        }
        pointer += static_cast<std::uint32_t>(4 * (count + 1));
    }
}

void WriteAnimationTables(Image& image) {
    using G = CartridgeGenerator;
    for (int n = 0; n < G::AnimeCount; ++n) {
        const int pointer = 0xBB43 + 8 * n;
        image[G::AnimeLowTable + static_cast<std::size_t>(n)] = Byte(pointer);
        image[G::AnimeHighTable + static_cast<std::size_t>(n)] = Byte(pointer >> 8);
        const std::size_t record = G::AnimeBase + static_cast<std::size_t>(8 * n);
        const int lastStep = n % 6;
        image[record] = Byte(lastStep);
        image[record + 1] = Byte((n * 3) % 20);
        for (int step = 0; step < 6; ++step)
            image[record + 2 + static_cast<std::size_t>(step)] = Byte((n * 7 + step) % 256);
    }
    // Colour sets: three colour numbers each, a hue walking through one brightness level.
    for (int set = 0; set < 256; ++set)
        for (int j = 0; j < 3; ++j)
            image[G::AnimeColorTable + static_cast<std::size_t>(set * 3 + j)] =
                Byte(j * 0x10 + 1 + (set + j) % 12);
}

} // namespace

std::vector<CartridgeGenerator::PlacedObject> CartridgeGenerator::ObjectsOfStage(int stage) {
    Random random(static_cast<std::uint32_t>(stage * 977 + 3));
    const int count = 6 + (stage * 5) % 9;
    std::vector<PlacedObject> objects;
    // A scroll object (type 80) first: its Y is a scroll selection, not a position.
    objects.push_back({0, 0x10, stage % 8, 0x80});
    if (stage == 0) {
        // Room 1 out of X order, for sorting.
        objects.push_back({1, 0xC0, 0xB0, 0x05});
        objects.push_back({1, 0x40, 0x70, 0x06});
        objects.push_back({1, 0x80, 0x90, 0x05});
    }
    int page = 1 + random.Below(2);
    while (static_cast<int>(objects.size()) < count) {
        page = std::min(31, page + random.Below(4));
        const int type = 1 + random.Below(0x30);
        objects.push_back({page, 0x18 + random.Below(0xD0), 0x30 + random.Below(0xA0), type});
    }
    std::stable_sort(objects.begin(), objects.end(),
                     [](const PlacedObject& a, const PlacedObject& b) { return a.Page < b.Page; });
    return objects;
}

std::array<std::uint8_t, 32> CartridgeGenerator::PaletteOfStage(int stage) {
    std::array<std::uint8_t, 32> palette{};
    for (int set = 0; set < 2; ++set) {
        const auto colours = PaletteSet(stage, set);
        for (int k = PaletteSetStart(stage, set); k < 16; ++k)
            palette[static_cast<std::size_t>(set * 16 + k)] = colours[static_cast<std::size_t>(k)];
    }
    return palette;
}

std::array<std::uint8_t, 16> CartridgeGenerator::ChipTypeRow(int row) {
    // Attribute type -> chip type code; the rows differ in the last few types.
    std::array<std::uint8_t, 16> codes = {0x00, 0x01, 0x03, 0x04, 0x0F, 0x08, 0x0B, 0x06,
                                          0x05, 0x11, 0x17, 0x19, 0x1D, 0x0D, 0x02, 0x07};
    switch (row % ChipTypeRowCount) {
    case 1:
        codes[14] = 0x0C;
        codes[15] = 0x0A;
        break;
    case 2:
        codes[14] = 0x13;
        codes[15] = 0x15;
        codes[12] = 0x0E;
        break;
    case 3:
        codes[14] = 0x1B;
        codes[15] = 0x09;
        codes[8] = 0x1F;
        break;
    default:
        break;
    }
    return codes;
}

std::array<std::uint8_t, 4> CartridgeGenerator::PatternEntry(int number) {
    if (number < StageCount) // a stage's own set: 256 tiles of its block (count 0 means 256)
        return {0x00, 0x00, 0x00, Byte(number)};
    // Extra entries, usable as PT write numbers: 16-64 alternative tiles laid over part of the
    // set; every sixteenth one fills the second pattern table instead.
    const int j = number - StageCount;
    const int count = 0x10 * (1 + j % 4);
    const int destination = 0x40 + (j % 8) * 0x10;
    const int source = (j * 0x10) % 0xC0;
    const int block = FirstOverlayBlock + j % 2;
    return {Byte(count), Byte(destination), Byte(source), Byte((j % 16 == 15 ? 0x80 : 0) | block)};
}

std::vector<std::uint8_t> CartridgeGenerator::MakeImage() {
    Image image(ImageSize);
    Random filler(0xC0FFEE);
    for (std::size_t i = 16; i < ImageSize; ++i)
        image[i] = Byte(static_cast<int>(filler.Next() >> 24));

    // iNES header: "NES" 1A, 32 x 16 KiB program data, no character ROM, mapper 4.
    const std::array<std::uint8_t, 16> header = {0x4E, 0x45, 0x53, 0x1A, 0x20, 0x00, 0x40};
    std::copy(header.begin(), header.end(), image.begin());

    for (int block = 0; block < StageCount; ++block)
        PaintTileBlock(image, block, block);
    PaintOverlayBlock(image, FirstOverlayBlock);
    PaintOverlayBlock(image, FirstOverlayBlock + 1);
    for (int n = 0; n < PatternEntryCount; ++n) {
        const auto entry = PatternEntry(n);
        std::copy(entry.begin(), entry.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(PatternTableData +
                                                              4 * static_cast<std::size_t>(n)));
    }

    for (int row = 0; row < ChipTypeRowCount; ++row) {
        const auto codes = ChipTypeRow(row);
        std::copy(codes.begin(), codes.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(ChipTypeTable +
                                                              16 * static_cast<std::size_t>(row)));
    }

    std::array<bool, 256> bankWritten{};
    for (int stage = 0; stage < StageCount; ++stage) {
        const auto s = static_cast<std::size_t>(stage);
        const std::size_t bank = ChipBank[s];
        image[MapDataBankA000 + s] = MapBankOf(stage);
        image[MapDataAddressLow + s] = Byte(MapCpuAddressOf(stage));
        image[MapDataAddressHigh + s] = Byte(MapCpuAddressOf(stage) >> 8);
        image[ChipDataBank8000 + s] = ChipBank[s];
        image[Chip16x16DataAddressHigh + s] = Chip16x16Page[s];
        image[Chip32x32DataAddressHigh + s] = Chip32x32Page[s];
        image[PatternTableDataNo + s] = Byte(stage);
        image[PaletteDataNo + s] = Byte(stage);
        image[RefChipTypeTable + s] = Byte(stage % ChipTypeRowCount);

        const ChipSet normal = NormalChipSet(stage);
        const std::size_t chip16 = FileOffset8000(bank, Chip16x16Page[s] * 0x100u);
        std::copy(normal.Tiles.begin(), normal.Tiles.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(chip16));
        std::copy(normal.Attributes.begin(), normal.Attributes.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(chip16 + 0x400));
        const auto chip32 = Chip32x32Set(stage);
        std::copy(chip32.begin(), chip32.end(),
                  image.begin() +
                      static_cast<std::ptrdiff_t>(FileOffset8000(bank, Chip32x32Page[s] * 0x100u)));
        // The after-destruction set belongs to the bank: written by its lowest stage.
        if (!bankWritten[bank]) {
            bankWritten[bank] = true;
            const ChipSet destroyed = DestroyedChipSet(stage);
            std::copy(destroyed.Tiles.begin(), destroyed.Tiles.end(),
                      image.begin() + static_cast<std::ptrdiff_t>(FileOffset8000(bank, 0x9B00)));
            std::copy(destroyed.Attributes.begin(), destroyed.Attributes.end(),
                      image.begin() + static_cast<std::ptrdiff_t>(FileOffset8000(bank, 0x9F00)));
        }

        // Map set, stored by row strips: file byte row * 256 + page * 8 + column.
        const auto pages = MapSet(stage);
        const std::size_t map = FileOffsetA000(MapBankOf(stage), MapCpuAddressOf(stage));
        for (std::size_t row = 0; row < 8; ++row)
            for (std::size_t page = 0; page < 32; ++page)
                for (std::size_t column = 0; column < 8; ++column)
                    image[map + row * 256 + page * 8 + column] =
                        pages[page * 64 + row * 8 + column];

        for (int set = 0; set < 2; ++set) {
            const auto h = static_cast<std::size_t>(set);
            const std::uint16_t cpu = static_cast<std::uint16_t>(PaletteDataCpu + 16 * stage);
            image[PalettePointerLow[h] + s] = Byte(cpu);
            image[PalettePointerHigh[h] + s] = Byte(cpu >> 8);
            const std::size_t bankStart = ((PalettePointerHigh[h] - 0x10) & 0xFFE000) + 0x10;
            const auto data = CompressPalette(PaletteSet(stage, set), PaletteSetStart(stage, set));
            std::copy(data.begin(), data.end(),
                      image.begin() + static_cast<std::ptrdiff_t>(bankStart + cpu - 0x8000));
        }
    }
    WriteObjects(image);
    WriteAnimationTables(image);
    return image;
}

std::array<std::uint8_t, 192> CartridgeGenerator::MakeMasterPalette() {
    // Composite video model: each colour number is a square wave between two voltages, in
    // phase with one of twelve hues of the colour subcarrier. Averaging the wave over a carrier
    // cycle gives luma; correlating it with the carrier gives the I and Q chroma components.
    constexpr std::array<double, 4> low = {0.350, 0.518, 0.962, 1.550};
    constexpr std::array<double, 4> high = {1.094, 1.506, 1.962, 1.962};
    constexpr double black = 0.518;
    constexpr double white = 1.962;
    constexpr double pi = std::numbers::pi;
    constexpr double hueShift = 2.0 * pi / 3.0; // puts hue 1 at blue and hue 6 at red

    std::array<std::uint8_t, 192> result{};
    for (int number = 0; number < 64; ++number) {
        const int hue = number & 0x0F;
        const auto level = static_cast<std::size_t>(number >> 4);
        double lo = low[level];
        double hi = high[level];
        if (hue == 0)
            lo = hi;
        else if (hue == 0x0D)
            hi = lo;
        else if (hue >= 0x0E)
            lo = hi = black;

        double y = 0.0;
        double i = 0.0;
        double q = 0.0;
        constexpr int samples = 12;
        for (int phase = 0; phase < samples; ++phase) {
            const bool on = (hue + phase) % 12 < 6;
            const double v = ((on ? hi : lo) - black) / (white - black);
            const double angle = pi * (phase + 0.5) / 6.0 + hueShift;
            y += v;
            i += v * std::cos(angle);
            q += v * std::sin(angle);
        }
        y /= samples;
        i /= samples;
        q /= samples;

        // YIQ to RGB, then a display gamma.
        const std::array<double, 3> rgb = {y + 0.956 * i + 0.621 * q, y - 0.272 * i - 0.647 * q,
                                           y - 1.106 * i + 1.703 * q};
        for (std::size_t c = 0; c < 3; ++c) {
            const double linear = std::clamp(rgb[c], 0.0, 1.0);
            const double shown = std::pow(linear, 1.0 / 1.2);
            result[static_cast<std::size_t>(number) * 3 + c] =
                static_cast<std::uint8_t>(std::lround(shown * 255.0));
        }
    }
    return result;
}
