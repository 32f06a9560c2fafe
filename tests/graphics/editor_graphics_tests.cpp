#include "base/LevelFormat.h"
#include "graphics/EditorGraphics.h"

#include "GraphicsTestSupport.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t TileBytes = LevelFormat::TileBytes;

// Tile t of the pattern block where every pixel has colour t mod 4.
std::vector<std::uint8_t> SolidTiles() {
    std::vector<std::uint8_t> tiles(256 * TileBytes, 0);
    for (std::size_t t = 0; t < 256; ++t) {
        const std::uint8_t plane0 = (t & 1) ? 0xFF : 0x00;
        const std::uint8_t plane1 = (t & 2) ? 0xFF : 0x00;
        for (std::size_t r = 0; r < 8; ++r) {
            tiles[t * TileBytes + r] = plane0;
            tiles[t * TileBytes + 8 + r] = plane1;
        }
    }
    return tiles;
}

bool SamePixels(const PalettedImage& a, const PalettedImage& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y) {
        if (!std::ranges::equal(a.Row(y), b.Row(y)))
            return false;
    }
    return true;
}

class EditorGraphicsTest : public ::testing::Test {
protected:
    // Stage colours 0..15 are the master colours 0x10..0x1F.
    void SetUp() override {
        std::array<std::uint8_t, 16> numbers{};
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            numbers[i] = static_cast<std::uint8_t>(0x10 + i);
        }
        Graphics.SetStagePalette(numbers);
        Graphics.Chip16x16Sheet().CopyColorTable(Graphics.StageColorImage());
        Graphics.RefreshChip32x32SheetColors();
    }

    std::uint32_t Stage(int index) const { return Palette.ColorOf(0x10 + index); }

    // Every pixel of the view that is not background, as (x, y) pairs.
    static std::set<std::pair<int, int>> Drawn(const ViewSurface& view, std::uint32_t background) {
        std::set<std::pair<int, int>> drawn;
        for (int y = 0; y < view.Height(); ++y) {
            for (int x = 0; x < view.Width(); ++x) {
                if (view.PixelAt(x, y) != background) {
                    drawn.insert({x, y});
                }
            }
        }
        return drawn;
    }

    // The pixels of the outline from (left, top) to (right, bottom) that lie inside the view.
    static std::set<std::pair<int, int>> Outline(int left, int top, int right, int bottom,
                                                 const ViewSurface& view) {
        std::set<std::pair<int, int>> outline;
        const auto add = [&](int x, int y) {
            if (x >= 0 && y >= 0 && x < view.Width() && y < view.Height()) {
                outline.insert({x, y});
            }
        };
        for (int x = left; x <= right; ++x) {
            add(x, top);
            add(x, bottom);
        }
        for (int y = top; y <= bottom; ++y) {
            add(left, y);
            add(right, y);
        }
        return outline;
    }

    FcPaletteData Palette = DistinctMasterPalette();
    std::vector<std::uint8_t> Cartridge = std::vector<std::uint8_t>(LevelFormat::CartridgeSize, 0);
    EditorGraphics Graphics{Palette, Cartridge};
    std::vector<std::uint8_t> Tiles = SolidTiles();
};

} // namespace

// ---- Colours ----

TEST_F(EditorGraphicsTest, ColourTablesHoldMasterColoursFrameColourAndWhite) {
    const PalettedImage& master = Graphics.MasterColorImage();
    for (int n = 0; n < 64; ++n) {
        EXPECT_EQ(master.GetColor(n), Palette.ColorOf(n)) << n;
    }
    for (const PalettedImage* image : {&master, &Graphics.StageColorImage()}) {
        EXPECT_EQ(image->GetColor(EditorGraphics::FrameColorIndex), Magenta);
        EXPECT_EQ(image->GetColor(EditorGraphics::WhiteIndex), White);
    }
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(Graphics.GetStageColor(i), Stage(i)) << i;
    }
    EXPECT_EQ(Graphics.Chip16x16Sheet().Width(), 256);
    EXPECT_EQ(Graphics.Chip16x16Sheet().Height(), 256);
    EXPECT_EQ(Graphics.Chip32x32Sheet().Width(), 512);
    EXPECT_EQ(Graphics.Chip32x32Sheet().Height(), 512);
}

TEST_F(EditorGraphicsTest, StageColoursReachOnlyTheImagesThatTakeTheTable) {
    auto before = Graphics.CreateSheet(8, 8);
    Graphics.SetStageColor(3, 0x2A);
    // Six-bit colour numbers: the high bits of a cartridge byte are ignored.
    Graphics.SetStageColor(4, 0xC1);
    EXPECT_EQ(Graphics.GetStageColor(3), Palette.ColorOf(0x2A));
    EXPECT_EQ(Graphics.GetStageColor(4), Palette.ColorOf(0x01));
    EXPECT_EQ(Graphics.CreateSheet(8, 8)->GetColor(3), Palette.ColorOf(0x2A));
    EXPECT_EQ(before->GetColor(3), Stage(3));
    EXPECT_EQ(Graphics.Chip32x32Sheet().GetColor(3), Stage(3));
    Graphics.RefreshChip32x32SheetColors();
    EXPECT_EQ(Graphics.Chip32x32Sheet().ColorTable(), Graphics.StageColorTable());
    EXPECT_THROW(Graphics.SetStageColor(256, 0), std::out_of_range);
    EXPECT_THROW(Graphics.GetStageColor(-1), std::out_of_range);
}

// ---- Tiles and chips ----

TEST_F(EditorGraphicsTest, TileRowsComeFromBothPlanesLeftmostPixelFromBitSeven) {
    std::vector<std::uint8_t> tile(TileBytes, 0);
    tile[0] = 0x80;  // plane 0, row 0
    tile[8] = 0x01;  // plane 1, row 0
    tile[7] = 0xF0;  // plane 0, row 7
    tile[15] = 0x3C; // plane 1, row 7
    PalettedImage image(8, 8);
    Graphics.DrawTile(image, tile, 0, 0, 0, 2);
    const std::vector<std::uint8_t> first(image.Row(0).begin(), image.Row(0).end());
    EXPECT_EQ(first, (std::vector<std::uint8_t>{9, 8, 8, 8, 8, 8, 8, 10}));
    const std::vector<std::uint8_t> last(image.Row(7).begin(), image.Row(7).end());
    EXPECT_EQ(last, (std::vector<std::uint8_t>{9, 9, 11, 11, 10, 10, 8, 8}));
}

TEST_F(EditorGraphicsTest, TilesNeverWriteOutsideTheImage) {
    struct Case {
        const char* Name;
        int X, Y, Tile;
        std::size_t TileBlockSize;
        int Expected; // pixels of colour 3 afterwards in the 16 x 16 image
    };
    const std::vector<Case> cases = {
        {"inside", 4, 4, 3, 256 * TileBytes, 64},
        {"over the top-left corner", -4, -6, 3, 256 * TileBytes, 4 * 2},
        {"over the bottom-right corner", 13, 10, 3, 256 * TileBytes, 3 * 6},
        {"far outside", INT_MIN, INT_MAX, 3, 256 * TileBytes, 0},
        {"tile number above 255", 0, 0, 259, 260 * TileBytes, 0},
        {"negative tile number", 0, 0, -1, 256 * TileBytes, 0},
        {"tile block too short", 0, 0, 3, 3 * TileBytes + 15, 0},
    };
    for (const Case& c : cases) {
        PalettedImage image(16, 16);
        const std::vector<std::uint8_t> tiles(Tiles.begin(), Tiles.begin() + 64 * TileBytes);
        std::vector<std::uint8_t> block(c.TileBlockSize, 0);
        std::copy_n(tiles.begin(), std::min(tiles.size(), block.size()), block.begin());
        Graphics.DrawTile(image, block, c.X, c.Y, c.Tile, 0);
        int count = 0;
        for (int y = 0; y < 16; ++y) {
            for (const std::uint8_t pixel : image.Row(y)) {
                count += pixel == 3;
            }
        }
        EXPECT_EQ(count, c.Expected) << c.Name;
    }
}

TEST_F(EditorGraphicsTest, PatternSheetPlacesTilesSixteenPerRowBelowTheFirstRow) {
    PalettedImage image(128, 136);
    Graphics.FillSheetRect(image, 0, 0, 128, 136, 0xEE);
    std::vector<std::uint8_t> tiles = Tiles;
    tiles[0x1F * TileBytes] = 0x7F; // tile 1F, row 0: leftmost pixel colour 2 instead of 3
    Graphics.DrawPatternSheet(image, tiles, 8);
    EXPECT_EQ(image.PixelAt(0, 7), 0xEE);
    EXPECT_EQ(image.PixelAt(0, 8), 0);    // tile 00
    EXPECT_EQ(image.PixelAt(8, 8), 1);    // tile 01
    EXPECT_EQ(image.PixelAt(120, 16), 2); // tile 1F, row 0
    EXPECT_EQ(image.PixelAt(121, 16), 3);
    EXPECT_EQ(image.PixelAt(127, 135), 3); // tile FF, no sub-palette offset
    // A first row that puts tiles outside the image draws the rest only.
    PalettedImage shifted(128, 128);
    Graphics.DrawPatternSheet(shifted, Tiles, -4);
    EXPECT_EQ(shifted.PixelAt(8, 0), 1);
    Graphics.DrawPatternSheet(shifted, Tiles, INT_MAX);
    Graphics.DrawPatternSheet(shifted, Tiles, INT_MIN);
}

TEST_F(EditorGraphicsTest, ChipsLandAtTheirSheetCells) {
    std::vector<std::uint8_t> chips(1024, 0);
    chips[0 * 256 + 0x35] = 1; // quarter tiles of chip 35: colours 1, 2, 3, 1
    chips[1 * 256 + 0x35] = 2;
    chips[2 * 256 + 0x35] = 3;
    chips[3 * 256 + 0x35] = 5;
    std::vector<std::uint8_t> attributes(256, 0);
    Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), Tiles, chips, attributes);
    const PalettedImage& sheet16 = Graphics.Chip16x16Sheet();
    EXPECT_EQ(sheet16.PixelAt(80, 48), 1);
    EXPECT_EQ(sheet16.PixelAt(88, 48), 2);
    EXPECT_EQ(sheet16.PixelAt(80, 56), 3);
    EXPECT_EQ(sheet16.PixelAt(95, 63), 1);
    EXPECT_EQ(sheet16.PixelAt(79, 48), 0);
    EXPECT_EQ(sheet16.PixelAt(96, 48), 0);
    EXPECT_EQ(sheet16.PixelAt(80, 64), 0);

    std::vector<std::uint8_t> chips32(1024, 0);
    chips32[0x35 * 4 + 3] = 0x35; // only quarter 3 of 32x32 chip 35 shows 16x16 chip 35
    Graphics.DrawChip32x32Sheet(Graphics.Chip32x32Sheet(), chips32);
    const PalettedImage& sheet32 = Graphics.Chip32x32Sheet();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(sheet32.PixelAt(176 + x, 112 + y), sheet16.PixelAt(80 + x, 48 + y));
            ASSERT_EQ(sheet32.PixelAt(160 + x, 96 + y), 0);
        }
    }
}

TEST_F(EditorGraphicsTest, AttributeLowBitsChooseTheSubPalette) {
    std::vector<std::uint8_t> chips(1024, 1); // every quarter tile 1: colour 1
    std::vector<std::uint8_t> attributes(256, 0);
    attributes[0x35] = 0xF6;
    Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), Tiles, chips, attributes);
    EXPECT_EQ(Graphics.Chip16x16Sheet().PixelAt(80, 48), 2 * 4 + 1);
    EXPECT_EQ(Graphics.Chip16x16Sheet().PixelAt(95, 63), 2 * 4 + 1);
    EXPECT_EQ(Graphics.Chip16x16Sheet().PixelAt(96, 48), 1);
}

TEST_F(EditorGraphicsTest, ShortTablesDrawOnlyTheEntriesThatExist) {
    PalettedImage image(16, 16);
    Graphics.FillSheetRect(image, 0, 0, 16, 16, 0xEE);
    // A chip table of 257 bytes has quarters 0 (and 1 for chip 0 only).
    const std::vector<std::uint8_t> chips(257, 3);
    Graphics.DrawChip16x16(image, Tiles, chips, 0, 0, 1, 0);
    EXPECT_EQ(image.PixelAt(0, 0), 3);
    EXPECT_EQ(image.PixelAt(8, 0), 0xEE);
    Graphics.DrawChip16x16(image, Tiles, chips, 0, 0, 256, 0);
    Graphics.DrawChip16x16(image, Tiles, chips, 0, 0, -1, 0);
    EXPECT_EQ(image.PixelAt(8, 0), 0xEE);

    // A 32x32 table cut after chip 0 leaves chip 1's cell as it was.
    PalettedImage sheet32(512, 512);
    Graphics.FillSheetRect(sheet32, 0, 0, 512, 512, 0xEE);
    Graphics.DrawChip32x32Sheet(sheet32, std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(sheet32.PixelAt(0, 0), Graphics.Chip16x16Sheet().PixelAt(0, 0));
    EXPECT_EQ(sheet32.PixelAt(32, 0), 0xEE);
    Graphics.DrawChip32x32(sheet32, std::vector<std::uint8_t>(1024, 0), 256);
    EXPECT_EQ(sheet32.PixelAt(32, 0), 0xEE);
}

TEST_F(EditorGraphicsTest, RedrawingOneThirtyTwoChipLeavesTheOthers) {
    std::vector<std::uint8_t> chips(1024, 0);
    for (int n = 0; n < 256; ++n) {
        chips[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(n); // quarter 0: tile n
    }
    Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), Tiles, chips,
                                std::vector<std::uint8_t>(256, 0));
    std::vector<std::uint8_t> chips32(1024, 0);
    Graphics.DrawChip32x32Sheet(Graphics.Chip32x32Sheet(), chips32);
    chips32[0x81 * 4] = 3;
    chips32[0x82 * 4] = 3;
    Graphics.DrawChip32x32(Graphics.Chip32x32Sheet(), chips32, 0x81);
    EXPECT_EQ(Graphics.Chip32x32Sheet().PixelAt(32, 256), 3);
    EXPECT_EQ(Graphics.Chip32x32Sheet().PixelAt(64, 256), 0);
}

// The engine skips a whole render of its own sheet from the inputs it last rendered it from.
// After every kind of change, and after drawing into a sheet by other means, both sheets must
// still hold what an engine that never rendered before makes of the same inputs.
TEST_F(EditorGraphicsTest, WholeSheetRendersFollowEveryChange) {
    struct Inputs {
        std::vector<std::uint8_t> Tiles, Chips, Attributes, Chips32;
    } in{Tiles, std::vector<std::uint8_t>(1024), std::vector<std::uint8_t>(256),
         std::vector<std::uint8_t>(1024)};
    for (std::size_t i = 0; i < in.Chips.size(); ++i) {
        in.Chips[i] = static_cast<std::uint8_t>(i * 7);
        in.Chips32[i] = static_cast<std::uint8_t>(i * 3);
    }
    const auto render = [&in](EditorGraphics& engine) {
        engine.DrawChip16x16Sheet(engine.Chip16x16Sheet(), in.Tiles, in.Chips, in.Attributes);
        engine.DrawChip32x32Sheet(engine.Chip32x32Sheet(), in.Chips32);
    };
    const auto expectFresh = [&](const char* step) {
        SCOPED_TRACE(step);
        EditorGraphics fresh{Palette, Cartridge};
        render(fresh);
        render(Graphics);
        EXPECT_TRUE(SamePixels(Graphics.Chip16x16Sheet(), fresh.Chip16x16Sheet()));
        EXPECT_TRUE(SamePixels(Graphics.Chip32x32Sheet(), fresh.Chip32x32Sheet()));
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"nothing", [] {}},
        {"a tile row", [&] { in.Tiles[0x23 * TileBytes + 2] ^= 0x5A; }},
        {"a 16x16 quarter", [&] { in.Chips[2 * 256 + 0x23] ^= 0x11; }},
        {"an attribute", [&] { in.Attributes[0x23] ^= 3; }},
        {"a 32x32 quarter", [&] { in.Chips32[0x40 * 4 + 1] ^= 0x23; }},
        {"one 16x16 chip drawn from other data",
         [&] {
             Graphics.DrawChip16x16(Graphics.Chip16x16Sheet(), in.Tiles,
                                    std::vector<std::uint8_t>(1024, 3), 0, 0, 0, 1);
         }},
        {"one 32x32 chip drawn from other data",
         [&] {
             Graphics.DrawChip32x32(Graphics.Chip32x32Sheet(), std::vector<std::uint8_t>(1024, 9),
                                    0x40);
         }},
        {"a filled rectangle",
         [&] { Graphics.FillSheetRect(Graphics.Chip16x16Sheet(), 0, 0, 40, 40, 7); }},
        {"the pattern sheet drawn over it",
         [&] { Graphics.DrawPatternSheet(Graphics.Chip16x16Sheet(), SolidTiles(), 0); }},
    };
    render(Graphics);
    for (const auto& [step, change] : changes) {
        change();
        expectFresh(step);
    }
}

// ---- Views ----

class EditorGraphicsViewTest : public EditorGraphicsTest {
protected:
    // Chip n of both sheets shows colour n mod 16 all over (16x16 chip n has tiles of colour
    // n mod 4 and sub-palette (n div 4) mod 4; 32x32 chip n is four times 16x16 chip n).
    void SetUp() override {
        EditorGraphicsTest::SetUp();
        std::vector<std::uint8_t> chips(1024);
        std::vector<std::uint8_t> attributes(256);
        std::vector<std::uint8_t> chips32(1024);
        for (int n = 0; n < 256; ++n) {
            for (int q = 0; q < 4; ++q) {
                chips[static_cast<std::size_t>(q * 256 + n)] = static_cast<std::uint8_t>(n % 4);
                chips32[static_cast<std::size_t>(n * 4 + q)] = static_cast<std::uint8_t>(n);
            }
            attributes[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>((n / 4) % 4);
        }
        Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), Tiles, chips, attributes);
        Graphics.DrawChip32x32Sheet(Graphics.Chip32x32Sheet(), chips32);
    }

    // The colour chip n shows everywhere.
    std::uint32_t ChipColor(int n) const { return Stage(n % 16); }
};

TEST_F(EditorGraphicsViewTest, MapPageShowsEachCellsChipAtItsPlace) {
    std::vector<std::uint8_t> page(64);
    for (std::size_t i = 0; i < page.size(); ++i) {
        page[i] = static_cast<std::uint8_t>(i * 5 + 1);
    }
    auto view = Graphics.CreateViewBitmap(256, 256);
    Graphics.DrawMapPage(*view, page);
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            const int chip = page[static_cast<std::size_t>(r * 8 + c)];
            EXPECT_EQ(view->PixelAt(c * 32, r * 32), ChipColor(chip)) << r << "," << c;
            EXPECT_EQ(view->PixelAt(c * 32 + 31, r * 32 + 31), ChipColor(chip)) << r << "," << c;
        }
    }
    // Fewer than 64 bytes: the cells without a byte keep what they showed.
    auto partial = Graphics.CreateViewBitmap(256, 256);
    Graphics.DrawMapPage(*partial, std::span(page).first(9));
    EXPECT_EQ(partial->PixelAt(0, 32), ChipColor(page[8]));
    EXPECT_EQ(partial->PixelAt(32, 32), Palette.ColorOf(0));
}

TEST_F(EditorGraphicsViewTest, WholeChipSheetIsReducedToTheView) {
    auto view = Graphics.CreateViewBitmap(256, 256);
    Graphics.ShowChip32x32Sheet(*view);
    for (int n = 0; n < 256; ++n) {
        const int x = (n % 16) * 16;
        const int y = (n / 16) * 16;
        ASSERT_EQ(view->PixelAt(x, y), ChipColor(n)) << n;
        ASSERT_EQ(view->PixelAt(x + 15, y + 15), ChipColor(n)) << n;
    }
}

TEST_F(EditorGraphicsViewTest, ReductionKeepsTheTopLeftPixelOfEachBlock) {
    // Mark the top-left pixel of every 2x2 block in chip 0's cell with index 0x0F.
    PalettedImage& sheet = Graphics.Chip32x32Sheet();
    for (int y = 0; y < 32; y += 2) {
        for (int x = 0; x < 32; x += 2) {
            sheet.Row(y)[static_cast<std::size_t>(x)] = 0x0F;
        }
    }
    auto view = Graphics.CreateViewBitmap(256, 256);
    Graphics.CopyChip32x32(*view, 0, 0, 16, 16, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(view->PixelAt(x, y), Stage(0x0F)) << x << "," << y;
        }
    }
}

TEST_F(EditorGraphicsViewTest, OneChipCopiesIntoCellsOfAnySize) {
    auto view = Graphics.CreateViewBitmap(256, 256);
    Graphics.CopyChip32x32(*view, 0, 0, 64, 64, 0x35);
    Graphics.CopyChip32x32(*view, 64, 0, 16, 16, 0x36);
    Graphics.CopyChip32x32(*view, 96, 0, 32, 32, 0x37);
    EXPECT_EQ(view->PixelAt(63, 63), ChipColor(0x35));
    EXPECT_EQ(view->PixelAt(64, 0), ChipColor(0x36));
    EXPECT_EQ(view->PixelAt(79, 15), ChipColor(0x36));
    EXPECT_EQ(view->PixelAt(80, 0), Palette.ColorOf(0));
    EXPECT_EQ(view->PixelAt(127, 31), ChipColor(0x37));
    // Chip numbers outside 0..255 copy nothing.
    Graphics.CopyChip32x32(*view, 200, 200, 32, 32, 256);
    Graphics.CopyChip32x32(*view, 200, 200, 32, 32, -1);
    EXPECT_EQ(view->PixelAt(200, 200), Palette.ColorOf(0));
}

// ---- Overlays ----

TEST_F(EditorGraphicsTest, SquareOutlinesCoverExactlyTheirBorder) {
    struct Case {
        const char* Name;
        void (*Draw)(const EditorGraphics&, ViewSurface&);
        int Left, Top, Right, Bottom;
        std::uint32_t Color;
    };
    const std::vector<Case> cases = {
        {"frame", [](const EditorGraphics& g, ViewSurface& v) { g.DrawFrame(v, 10, 20, 16); }, 10,
         20, 25, 35, Magenta},
        {"frame 24", [](const EditorGraphics& g, ViewSurface& v) { g.DrawFrame(v, 24, 0, 24); }, 24,
         0, 47, 23, Magenta},
        {"frame over the edge",
         [](const EditorGraphics& g, ViewSurface& v) { g.DrawFrame(v, -4, 100, 32); }, -4, 100, 27,
         131, Magenta},
        {"object frame 24",
         [](const EditorGraphics& g, ViewSurface& v) { g.DrawObjectFrame24(v, 100, 50); }, 88, 38,
         111, 61, White},
        {"object frame 32",
         [](const EditorGraphics& g, ViewSurface& v) { g.DrawObjectFrame32(v, 100, 50); }, 84, 34,
         115, 65, White},
        {"object frame 32 at a corner",
         [](const EditorGraphics& g, ViewSurface& v) { g.DrawObjectFrame32(v, 0, 0); }, -16, -16,
         15, 15, White},
    };
    for (const Case& c : cases) {
        auto view = Graphics.CreateViewBitmap(128, 128);
        c.Draw(Graphics, *view);
        const auto drawn = Drawn(*view, Palette.ColorOf(0));
        EXPECT_EQ(drawn, Outline(c.Left, c.Top, c.Right, c.Bottom, *view)) << c.Name;
        for (const auto& [x, y] : drawn) {
            ASSERT_EQ(view->PixelAt(x, y), c.Color) << c.Name;
        }
    }
}

TEST_F(EditorGraphicsTest, OutlinesFarOutsideTheViewDrawNothing) {
    auto view = Graphics.CreateViewBitmap(64, 64);
    Graphics.DrawFrame(*view, INT_MAX, INT_MAX, 32);
    Graphics.DrawFrame(*view, INT_MIN, 0, INT_MAX);
    Graphics.DrawFrame(*view, 0, 0, 0);
    Graphics.DrawObjectFrame32(*view, INT_MIN, INT_MIN);
    Graphics.DrawObjectMarker(*view, INT_MAX, 0, 1);
    EXPECT_TRUE(Drawn(*view, Palette.ColorOf(0)).empty());
}

TEST_F(EditorGraphicsTest, GridLinesRunAlongTheTopAndLeftOfEveryCell) {
    auto view = Graphics.CreateViewBitmap(256, 256);
    Graphics.DrawGrid(*view, 32, 32);
    std::vector<int> fullRows;
    std::vector<int> fullColumns;
    for (int i = 0; i < 256; ++i) {
        bool row = true;
        bool column = true;
        for (int k = 0; k < 256; ++k) {
            row = row && view->PixelAt(k, i) == White;
            column = column && view->PixelAt(i, k) == White;
        }
        if (row) {
            fullRows.push_back(i);
        }
        if (column) {
            fullColumns.push_back(i);
        }
    }
    const std::vector<int> expected = {0, 32, 64, 96, 128, 160, 192, 224};
    EXPECT_EQ(fullRows, expected);
    EXPECT_EQ(fullColumns, expected);
    EXPECT_EQ(view->PixelAt(255, 255), Palette.ColorOf(0));
    EXPECT_EQ(view->PixelAt(33, 33), Palette.ColorOf(0));
}

TEST_F(EditorGraphicsTest, GridWithoutSpacingDrawsNoLinesThatWay) {
    auto view = Graphics.CreateViewBitmap(64, 64);
    Graphics.DrawGrid(*view, 0, -5);
    EXPECT_TRUE(Drawn(*view, Palette.ColorOf(0)).empty());
    Graphics.DrawGrid(*view, 0, 40);
    EXPECT_EQ(Drawn(*view, Palette.ColorOf(0)).size(), 128u); // rows 0 and 40
}

TEST_F(EditorGraphicsTest, ObjectMarkerIsASquareWithItsTypeInside) {
    auto view = Graphics.CreateViewBitmap(256, 256);
    Graphics.DrawObjectMarker(*view, 100, 50, 0x0A);
    const auto drawn = Drawn(*view, Palette.ColorOf(0));
    const auto outline = Outline(92, 42, 107, 57, *view);
    std::set<std::pair<int, int>> text;
    for (const auto& pixel : drawn) {
        ASSERT_EQ(view->PixelAt(pixel.first, pixel.second), White);
        if (!outline.contains(pixel)) {
            text.insert(pixel);
        }
    }
    for (const auto& pixel : outline) {
        EXPECT_TRUE(drawn.contains(pixel)) << pixel.first << "," << pixel.second;
    }
    ASSERT_FALSE(text.empty());
    // The label is drawn from (94, 44) on and stays inside the square.
    for (const auto& [x, y] : text) {
        EXPECT_GE(x, 94);
        EXPECT_GE(y, 44);
        EXPECT_LT(x, 107);
        EXPECT_LT(y, 57);
    }
}

TEST_F(EditorGraphicsTest, ObjectMarkerShowsTheTypeAsTwoDigitsLeftToRight) {
    // The pixels of a marker's label at (100, 50), the square left out.
    const auto labelOf = [this](int type) {
        auto view = Graphics.CreateViewBitmap(256, 256);
        Graphics.DrawObjectMarker(*view, 100, 50, type);
        std::set<std::pair<int, int>> label;
        const auto outline = Outline(92, 42, 107, 57, *view);
        for (const auto& pixel : Drawn(*view, Palette.ColorOf(0))) {
            if (!outline.contains(pixel)) {
                label.insert(pixel);
            }
        }
        return label;
    };
    const auto difference = [](const std::set<std::pair<int, int>>& a,
                               const std::set<std::pair<int, int>>& b) {
        std::set<std::pair<int, int>> result;
        for (const auto& pixel : a) {
            if (!b.contains(pixel)) {
                result.insert(pixel);
            }
        }
        for (const auto& pixel : b) {
            if (!a.contains(pixel)) {
                result.insert(pixel);
            }
        }
        return result;
    };
    const auto label0A = labelOf(0x0A);
    // Only the type's low byte is shown.
    EXPECT_EQ(labelOf(0x10A), label0A);
    // The high digit changes pixels on the left only, the low digit on the right only.
    const auto highDigit = difference(label0A, labelOf(0x1A));
    const auto lowDigit = difference(label0A, labelOf(0x0B));
    ASSERT_FALSE(highDigit.empty());
    ASSERT_FALSE(lowDigit.empty());
    int highRight = INT_MIN;
    for (const auto& pixel : highDigit) {
        highRight = std::max(highRight, pixel.first);
    }
    for (const auto& pixel : lowDigit) {
        EXPECT_GT(pixel.first, highRight) << pixel.first << "," << pixel.second;
    }
}

TEST_F(EditorGraphicsTest, MarkerFontIsTheNamedFaceOrAJapaneseMonospaceOne) {
    const QFont font = EditorGraphics::ObjectMarkerFont();
    const QFontInfo info(font);
    if (info.family() != QString::fromUtf8(EditorGraphics::MarkerFontFace)) {
        EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(info.family()))
            << info.family().toStdString();
    }
    // Hex digits line up: half-width letters all advance alike.
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
              metrics.horizontalAdvance(QLatin1Char('W')))
        << info.family().toStdString();
    EXPECT_TRUE(font.styleStrategy() & QFont::NoAntialias);
}
