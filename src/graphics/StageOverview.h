#pragma once

#include "graphics/StagePicture.h"

#include <QImage>
#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class EditorGraphics;
class FcPaletteData;
class RomImageData;
class ViewSurface;

// The whole map of one stage at half size: pixel (x, y) is pixel (2x, 2y) of the map picture
// the export draws with the same options. Drawn whole once, then kept up to date piece by
// piece: each change redraws only the cells it touched. Every drawing call returns the part of
// the picture it changed (empty: nothing).
class StageOverview {
public:
    static constexpr int Scale = 2;
    static constexpr int PageSize = StagePicture::PageSize / Scale; // 128
    static constexpr int CellSize = 32 / Scale;                     // 16
    static constexpr int Width = StagePicture::MapWidth / Scale;    // 1024
    static constexpr int Height = StagePicture::MapHeight / Scale;  // 512
    static constexpr int CellsPerRow = 8;
    static constexpr int CellsPerPage = CellsPerRow * CellsPerRow;
    static constexpr int MapCells =
        CellsPerPage * StagePicture::PageColumns * StagePicture::PageRows;

    // Keeps references to both; they must outlive the overview.
    StageOverview(const FcPaletteData& palette, const RomImageData& rom);
    ~StageOverview();
    StageOverview(const StageOverview&) = delete;
    StageOverview& operator=(const StageOverview&) = delete;

    // Draws everything anew from the stage and options the export would use (the kind is
    // ignored; Objects chooses the marks). Without such a stage the picture becomes null.
    // The master palette's colours changed in place: the next drawing uses them.
    void ReloadMasterColors();
    QRect DrawWhole(const StagePicture::Options& source);
    void Clear();
    // The image may have been closed since the picture was drawn.
    bool HasStage() const;
    const StagePicture::Options& Source() const { return Drawn; }
    const QImage& Image() const { return Picture; }

    // Map cells (page * 64 + cell) drawn again from the stage's map set.
    QRect DrawCells(std::span<const int> mapIndices);
    // 32x32 chips whose quarters changed: drawn again, with the cells that show them.
    QRect RedrawChips32x32(std::span<const int> chips);
    // The 16x16 chips, their attributes or the stage colours changed: both sheets drawn again;
    // the cells of every chip whose picture changed are drawn again, all of them on a new
    // colour.
    QRect RefreshSheets();
    // Rooms whose objects changed, drawn again with their marks.
    QRect RedrawPages(std::span<const int> pages);
    // The marks on or off: the rooms with objects drawn again.
    QRect ShowObjects(bool shown);

    // Where page and cell lie in the picture.
    static QRect PageRect(int page);
    static QRect CellRect(int mapIndex);

private:
    void SampleChip(int chip);
    void CopyCell(int mapIndex);
    QRect ComposePage(int page);
    void DrawPageMarks(int page);
    void ReadColors();
    bool PageHasObjects(int page) const;

    const FcPaletteData& Palette;
    const RomImageData& Rom;
    std::unique_ptr<EditorGraphics> Engine;
    std::span<const std::uint8_t> EngineBuffer;
    std::unique_ptr<ViewSurface> MarkSurface;
    StagePicture::Options Drawn;
    // The 32x32 chips at half size, 16x16 sheet indices each, and the picture in indices.
    std::vector<std::uint8_t> HalfChips;
    std::vector<std::uint8_t> Indices;
    std::array<QRgb, 256> Colors{};
    QImage Picture;
};
