#pragma once

#include "base/LevelFormat.h"
#include "dib/ImageRect.h"
#include "dib/PalettedImage.h"
#include "graphics/GridGeometry.h"
#include "graphics/HoverFrame.h"
#include "graphics/PaletteAnimationTables.h"
#include "graphics/SheetInputs.h"
#include "graphics/ViewSurface.h"

#include <QFont>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

class FcPaletteData;

// The drawing engine every editor shares: decodes the console's 8x8 tiles into paletted
// images, keeps the two chip sheets and the stage colours they are shown with, steps the
// palette animation and draws frames, grids and object markers onto view surfaces.
//
// Tiles, chip tables and map bytes come from the cartridge image, so every drawing operation
// stays inside its image and its tables whatever the numbers: pixels outside the image and
// table entries beyond a span's end are skipped.
class EditorGraphics {
public:
    static constexpr int FrameColorIndex = 80;
    static constexpr int WhiteIndex = 81;
    static constexpr std::uint32_t FrameColor = 0xFF00FF; // magenta
    static constexpr std::uint32_t WhiteColor = 0xFFFFFF;
    static constexpr int StageColorCount = LevelFormat::StageColorCount;

    static constexpr int TileSize = 8;
    static constexpr int TileBytes = LevelFormat::TileBytes;
    static constexpr int TileCount = LevelFormat::TileCount;
    static constexpr int ChipCount = LevelFormat::ChipCount;
    static constexpr int Chip16x16Size = 16;
    static constexpr int Chip32x32Size = 32;
    static constexpr int ChipsPerSheetRow = LevelFormat::SheetChipsPerRow;
    static constexpr int Chip16x16SheetSize = Chip16x16Size * ChipsPerSheetRow; // 256
    static constexpr int Chip32x32SheetSize = Chip32x32Size * ChipsPerSheetRow; // 512
    static constexpr int MapPageCells = 8;                                      // per row

    // The font face of the object marker label; when missing, an installed Japanese
    // monospace face stands in.
    static constexpr const char* MarkerFontFace = "ＭＳ ゴシック";

    // Keeps references to both; they must outlive the engine.
    EditorGraphics(const FcPaletteData& palette, std::span<const std::uint8_t> cartridge);

    // Colors.
    void LoadMasterColors();
    // Entry i := master colour of number i for the first 16 numbers (fewer: those given).
    // Colour numbers are six bits: higher bits are ignored.
    void SetStagePalette(std::span<const std::uint8_t> colorNumbers);
    // Throws std::out_of_range for an index outside 0..255.
    void SetStageColor(int index, int colorNumber);
    std::uint32_t GetStageColor(int index) const;
    const PalettedImage::ColorTableArray& StageColorTable() const;
    void RefreshChip32x32SheetColors();

    // Surfaces. Both throw std::invalid_argument for a non-positive size.
    std::unique_ptr<ViewSurface> CreateViewBitmap(int width, int height) const;
    std::unique_ptr<PalettedImage> CreateSheet(int width, int height) const;
    // index 0..255, else std::out_of_range; the rectangle is clipped.
    void FillViewRect(ViewSurface& view, int x, int y, int width, int height, int index) const;
    void FillSheetRect(PalettedImage& image, int x, int y, int width, int height, int index) const;

    // Tiles and chips. tiles holds 16 bytes per tile, tile t at t * 16.
    void DrawTile(PalettedImage& image, std::span<const std::uint8_t> tiles, int x, int y, int tile,
                  int subPalette) const;
    void DrawPatternSheet(PalettedImage& image, std::span<const std::uint8_t> tiles,
                          int firstRow) const;
    // chipTable: quarter q of chip n at q * 256 + n.
    void DrawChip16x16(PalettedImage& image, std::span<const std::uint8_t> tiles,
                       std::span<const std::uint8_t> chipTable, int x, int y, int chip,
                       int subPalette) const;
    // Into the engine's own sheets, a whole render from the inputs of the last one, with nothing
    // drawn into the sheet since, leaves the sheet as it is.
    void DrawChip16x16Sheet(PalettedImage& image, std::span<const std::uint8_t> tiles,
                            std::span<const std::uint8_t> chipTable,
                            std::span<const std::uint8_t> attributeTable) const;
    // chip32x32Table: quarter q of chip n at n * 4 + q; cells come from Chip16x16Sheet.
    void DrawChip32x32Sheet(PalettedImage& image, std::span<const std::uint8_t> chip32x32Table);
    void DrawChip32x32(PalettedImage& image, std::span<const std::uint8_t> chip32x32Table,
                       int chip);

    // Views.
    void DrawMapPage(ViewSurface& view, std::span<const std::uint8_t> mapBytes) const;
    void ShowChip32x32Sheet(ViewSurface& view) const;
    void CopyChip32x32(ViewSurface& view, int x, int y, int width, int height, int chip) const;
    // Any rectangle of a paletted image onto a view, scaled to the destination rectangle.
    void CopyToView(ViewSurface& view, const ImageRect& destination, const PalettedImage& source,
                    const ImageRect& sourceRect) const;

    // Overlays: one-pixel outlines, clipped to the view.
    void DrawFrame(ViewSurface& view, int x, int y, int size) const;
    // The frame around a rectangle of cells (one cell: the hover frame of every view).
    void DrawFrame(ViewSurface& view, const ImageRect& cells) const;
    // A hover frame over the square cells of grid on *view; the view is looked up at each
    // draw, since editors get their surfaces after they are made.
    HoverFrame GridHoverFrame(const std::unique_ptr<ViewSurface>& view, GridGeometry grid,
                              HoverFrame::ItemPainter repaintItem) const;
    // White text of the type's low byte; needs a QGuiApplication for the font.
    void DrawObjectMarker(ViewSurface& view, int x, int y, int type) const;
    void DrawObjectFrame24(ViewSurface& view, int x, int y) const;
    void DrawObjectFrame32(ViewSurface& view, int x, int y) const;
    // A non-positive spacing draws no lines in that direction.
    void DrawGrid(ViewSurface& view, int dx, int dy) const;
    // The resolved marker font (needs a QGuiApplication).
    static QFont ObjectMarkerFont();

    // Palette animation.
    void SetAnimationTables(const PaletteAnimationTables& tables) { AnimationTables = tables; }
    const PaletteAnimationTables& AnimationTableOffsets() const { return AnimationTables; }
    void ResetPaletteAnimation();
    // One tick with the four animation bytes of the chosen palette set; true when a colour of
    // StageColorImage changed. Changes nothing (and returns false) while the tables are not
    // configured or any offset this tick would read lies outside the cartridge buffer.
    bool StepPaletteAnimation(const std::uint8_t animation[4]);
    // How many ticks from now the next one changes a colour, counting that one (at least 1);
    // nothing when no tick would ever change one (no entry animated, tables not configured or
    // an offset outside the buffer). Lets the frame timer sleep through the ticks between.
    std::optional<int> TicksUntilAnimationChange(const std::uint8_t animation[4]) const;

    PalettedImage& Chip16x16Sheet() { return Sheet16x16; }
    PalettedImage& Chip32x32Sheet() { return Sheet32x32; }
    const PalettedImage& Chip16x16Sheet() const { return Sheet16x16; }
    const PalettedImage& Chip32x32Sheet() const { return Sheet32x32; }
    const PalettedImage& MasterColorImage() const { return MasterColors; }
    const PalettedImage& StageColorImage() const { return StageColors; }

private:
    void DrawSquare(ViewSurface& view, int left, int top, int size, std::uint32_t color) const;
    void DrawOutline(ViewSurface& view, const ImageRect& area, std::uint32_t color) const;
    void CopyChip32x32Quarters(PalettedImage& image, std::span<const std::uint8_t> table, int chip);
    // Every write into a paletted image passes here first: drawing into an engine sheet makes
    // its last whole render no longer the whole story.
    void Touch(const PalettedImage& image) const;

    const FcPaletteData& Palette;
    std::span<const std::uint8_t> Cartridge;
    PalettedImage MasterColors;
    PalettedImage StageColors;
    PalettedImage Sheet16x16;
    PalettedImage Sheet32x32;
    mutable SheetInputs Sheet16x16Inputs;
    mutable SheetInputs Sheet32x32Inputs;
    // Counts the writes into Sheet16x16, which the 32x32 sheet is copied from.
    mutable std::uint64_t Sheet16x16Writes = 0;
    struct AnimationRecord {
        std::int64_t Offset; // file offset of the record: last step, period, colour sets
        int LastStep;
        int Period;
    };
    std::optional<std::uint8_t> CartridgeByte(std::int64_t offset) const;
    std::optional<AnimationRecord> AnimationRecordOf(std::uint8_t control) const;
    // The three colour numbers a record's step sets, unless one of them lies outside the buffer.
    std::optional<std::array<std::uint8_t, 3>> AnimationColorsOf(const AnimationRecord& record,
                                                                 int step) const;

    PaletteAnimationTables AnimationTables;
    std::array<int, 4> AnimeTimer{};
    std::array<int, 4> AnimeStep{};
};
