#include "graphics/StageOverview.h"

#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/ViewSurface.h"

#include <algorithm>

namespace {

constexpr int ChipPixels = StageOverview::CellSize * StageOverview::CellSize;
constexpr int FullPage = StagePicture::PageSize;

} // namespace

StageOverview::StageOverview(const FcPaletteData& palette, const RomImageData& rom)
    : Palette(palette), Rom(rom),
      HalfChips(static_cast<std::size_t>(LevelFormat::ChipCount * ChipPixels), 0),
      Indices(static_cast<std::size_t>(Width * Height), 0) {}

StageOverview::~StageOverview() = default;

QRect StageOverview::PageRect(int page) {
    return {(page % StagePicture::PageColumns) * PageSize,
            (page / StagePicture::PageColumns) * PageSize, PageSize, PageSize};
}

QRect StageOverview::CellRect(int mapIndex) {
    const QRect page = PageRect(mapIndex / CellsPerPage);
    const int cell = mapIndex % CellsPerPage;
    return {page.left() + (cell % CellsPerRow) * CellSize,
            page.top() + (cell / CellsPerRow) * CellSize, CellSize, CellSize};
}

bool StageOverview::HasStage() const {
    return !Picture.isNull() && Rom.HasStages();
}

void StageOverview::Clear() {
    Picture = QImage();
}

void StageOverview::ReloadMasterColors() {
    if (Engine)
        Engine->LoadMasterColors();
}

QRect StageOverview::DrawWhole(const StagePicture::Options& source) {
    if (!Rom.HasStages() || Rom.Address() == nullptr || source.Stage < 0 ||
        source.Stage >= LevelFormat::StageCount) {
        Clear();
        return {};
    }
    Drawn = source;
    // An engine of its own, as the export has: the window's animation never reaches it. It is
    // kept while the image's buffer stays the same.
    if (!Engine || EngineBuffer.data() != Rom.Buffer().data() ||
        EngineBuffer.size() != Rom.Buffer().size()) {
        Engine = std::make_unique<EditorGraphics>(Palette, Rom.Buffer());
        EngineBuffer = Rom.Buffer();
    }
    StagePicture::DrawSheets(*Engine, Rom, Drawn);
    ReadColors();
    for (int chip = 0; chip < LevelFormat::ChipCount; ++chip)
        SampleChip(chip);
    if (Picture.isNull())
        Picture = QImage(Width, Height, QImage::Format_RGB32);
    for (int index = 0; index < MapCells; ++index)
        CopyCell(index);
    for (int page = 0; page < LevelFormat::PageCount; ++page)
        DrawPageMarks(page);
    return Picture.rect();
}

void StageOverview::ReadColors() {
    const PalettedImage& sheet = Engine->Chip32x32Sheet();
    for (int i = 0; i < PalettedImage::ColorCount; ++i)
        Colors[static_cast<std::size_t>(i)] = ViewSurface::ToRgb32(sheet.GetColor(i)) | 0xFF000000u;
}

void StageOverview::SampleChip(int chip) {
    const PalettedImage& sheet = Engine->Chip32x32Sheet();
    const int left = (chip % EditorGraphics::ChipsPerSheetRow) * EditorGraphics::Chip32x32Size;
    const int top = (chip / EditorGraphics::ChipsPerSheetRow) * EditorGraphics::Chip32x32Size;
    auto* out = HalfChips.data() + static_cast<std::ptrdiff_t>(chip * ChipPixels);
    for (int y = 0; y < CellSize; ++y) {
        const auto row = sheet.Row(top + y * Scale);
        for (int x = 0; x < CellSize; ++x)
            *out++ = row[static_cast<std::size_t>(left + x * Scale)];
    }
}

void StageOverview::CopyCell(int mapIndex) {
    const StageData& stage = Rom.Stage(Drawn.Stage);
    const int chip = stage.MapSetTable[static_cast<std::size_t>(mapIndex)];
    const QRect place = CellRect(mapIndex);
    const std::uint8_t* from = HalfChips.data() + static_cast<std::ptrdiff_t>(chip * ChipPixels);
    for (int y = 0; y < CellSize; ++y, from += CellSize) {
        const int row = place.top() + y;
        std::copy(from, from + CellSize,
                  Indices.begin() + static_cast<std::ptrdiff_t>(row * Width + place.left()));
        auto* rgb = reinterpret_cast<QRgb*>(Picture.scanLine(row)) + place.left();
        for (int x = 0; x < CellSize; ++x)
            rgb[x] = Colors[from[x]];
    }
}

bool StageOverview::PageHasObjects(int page) const {
    return !Rom.Stage(Drawn.Stage).ObjectsOfPage(page).empty();
}

// The export draws a room with marks as the object tab does and keeps its pixels; the same
// drawing, sampled, gives the same picture.
void StageOverview::DrawPageMarks(int page) {
    if (!Drawn.Objects || !PageHasObjects(page))
        return;
    if (!MarkSurface)
        MarkSurface = Engine->CreateViewBitmap(FullPage, FullPage);
    const StageData& stage = Rom.Stage(Drawn.Stage);
    Engine->DrawMapPage(*MarkSurface,
                        std::span<const std::uint8_t>(stage.MapSetTable)
                            .subspan(static_cast<std::size_t>(page * CellsPerPage), CellsPerPage));
    for (const ObjectNode& object : stage.ObjectsOfPage(page))
        Engine->DrawObjectMarker(*MarkSurface, object.X, object.Y, object.Type);
    const QRect place = PageRect(page);
    const QImage& drawn = MarkSurface->Image();
    for (int y = 0; y < PageSize; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(drawn.constScanLine(y * Scale));
        auto* rgb = reinterpret_cast<QRgb*>(Picture.scanLine(place.top() + y)) + place.left();
        for (int x = 0; x < PageSize; ++x)
            rgb[x] = from[x * Scale] | 0xFF000000u;
    }
}

QRect StageOverview::ComposePage(int page) {
    const int first = page * CellsPerPage;
    for (int index = first; index < first + CellsPerPage; ++index)
        CopyCell(index);
    DrawPageMarks(page);
    return PageRect(page);
}

QRect StageOverview::DrawCells(std::span<const int> mapIndices) {
    if (!HasStage())
        return {};
    QRect changed;
    std::array<bool, LevelFormat::PageCount> marked{};
    for (const int index : mapIndices) {
        if (index < 0 || index >= MapCells)
            continue;
        CopyCell(index);
        changed |= CellRect(index);
        marked[static_cast<std::size_t>(index / CellsPerPage)] = true;
    }
    // A mark may reach over the changed cell: the room is drawn with its marks again.
    for (int page = 0; page < LevelFormat::PageCount; ++page) {
        if (marked[static_cast<std::size_t>(page)] && Drawn.Objects && PageHasObjects(page)) {
            DrawPageMarks(page);
            changed |= PageRect(page);
        }
    }
    return changed;
}

QRect StageOverview::RedrawChips32x32(std::span<const int> chips) {
    if (!HasStage())
        return {};
    const StageData& stage = Rom.Stage(Drawn.Stage);
    std::array<bool, LevelFormat::ChipCount> redrawn{};
    for (const int chip : chips) {
        if (chip < 0 || chip >= LevelFormat::ChipCount || redrawn[static_cast<std::size_t>(chip)])
            continue;
        Engine->DrawChip32x32(Engine->Chip32x32Sheet(), stage.Chip32x32Table, chip);
        SampleChip(chip);
        redrawn[static_cast<std::size_t>(chip)] = true;
    }
    std::vector<int> cells;
    for (int index = 0; index < MapCells; ++index)
        if (redrawn[stage.MapSetTable[static_cast<std::size_t>(index)]])
            cells.push_back(index);
    return DrawCells(cells);
}

QRect StageOverview::RefreshSheets() {
    if (!HasStage())
        return {};
    const std::array<QRgb, 256> oldColors = Colors;
    const std::vector<std::uint8_t> oldChips = HalfChips;
    StagePicture::DrawSheets(*Engine, Rom, Drawn);
    ReadColors();
    for (int chip = 0; chip < LevelFormat::ChipCount; ++chip)
        SampleChip(chip);
    if (Colors != oldColors)
        return DrawWhole(Drawn);
    std::array<bool, LevelFormat::ChipCount> changed{};
    for (int chip = 0; chip < LevelFormat::ChipCount; ++chip) {
        const auto first = static_cast<std::ptrdiff_t>(chip * ChipPixels);
        changed[static_cast<std::size_t>(chip)] =
            !std::equal(HalfChips.begin() + first, HalfChips.begin() + first + ChipPixels,
                        oldChips.begin() + first);
    }
    std::vector<int> cells;
    const StageData& stage = Rom.Stage(Drawn.Stage);
    for (int index = 0; index < MapCells; ++index)
        if (changed[stage.MapSetTable[static_cast<std::size_t>(index)]])
            cells.push_back(index);
    return DrawCells(cells);
}

QRect StageOverview::RedrawPages(std::span<const int> pages) {
    if (!HasStage())
        return {};
    QRect changed;
    for (const int page : pages)
        if (page >= 0 && page < LevelFormat::PageCount)
            changed |= ComposePage(page);
    return changed;
}

QRect StageOverview::ShowObjects(bool shown) {
    Drawn.Objects = shown;
    if (!HasStage())
        return {};
    std::vector<int> pages;
    for (int page = 0; page < LevelFormat::PageCount; ++page)
        if (PageHasObjects(page))
            pages.push_back(page);
    return RedrawPages(pages);
}
