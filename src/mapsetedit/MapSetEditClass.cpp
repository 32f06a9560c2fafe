#include "mapsetedit/MapSetEditClass.h"

#include "ImageEx/TImageEx.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/GridGeometry.h"
#include "graphics/HexText.h"
#include "graphics/ViewSurface.h"
#include "history/LanguageChangeWatch.h"
#include "prompts/UserPrompts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace {

constexpr GridGeometry PageGrid = GridGeometry::Square(
    MapSetEditClass::CellsPerRow, MapSetEditClass::CellsPerRow, MapSetEditClass::CellSize);
constexpr GridGeometry TableGrid =
    GridGeometry::Square(MapSetEditClass::ChipsPerTableRow, MapSetEditClass::ChipsPerTableRow,
                         MapSetEditClass::TableCellSize);

} // namespace

MapSetEditClass::MapSetEditClass(LevelDocument& document, EditorGraphics& graphics,
                                 UserPrompts& prompts)
    : Document(document), ImageHolder(document.Image()), Graphics(graphics),
      Prompts(prompts), PageHovers{PageHoverFrame(0), PageHoverFrame(1)},
      TableHover(graphics.GridHoverFrame(ChipTableSurface, TableGrid, [this](int chip) {
          const ImageRect cell = TableGrid.CellRect(chip);
          Graphics.CopyChip32x32(*ChipTableSurface, cell.Left, cell.Top, TableCellSize,
                                 TableCellSize, chip);
      })) {
    QObject::connect(&document, &LevelDocument::BytesWritten, &Listener,
                     [this](const ByteNotice& notice) { BytesWritten(notice); });
}

// A page's frame outlines the cells the stamp would cover: the grid, when shown, stays under
// it and comes back where the frame was.
HoverFrame MapSetEditClass::PageHoverFrame(int side) {
    return HoverFrame(
        [this, side](int cell) {
            if (!HasStage()) {
                return;
            }
            RepaintFramedArea(side, cell);
            RepaintPageGrid(side);
        },
        [this, side](int cell) {
            if (!HasStage()) {
                return;
            }
            RepaintPageGrid(side);
            FramedSizes.at(Side(side)) = {CurrentStamp.Width, CurrentStamp.Height};
            Graphics.DrawFrame(PageSurface(side),
                               StampArea(cell, CurrentStamp.Width, CurrentStamp.Height));
        });
}

ImageRect MapSetEditClass::StampArea(int cell, int width, int height) {
    const int column = cell % CellsPerRow;
    const int row = cell / CellsPerRow;
    return {column * CellSize, row * CellSize, std::min(CellsPerRow, column + width) * CellSize,
            std::min(CellsPerRow, row + height) * CellSize};
}

void MapSetEditClass::RepaintFramedArea(int side, int cell) {
    const auto [width, height] = FramedSizes.at(Side(side));
    const ImageRect area = StampArea(cell, width, height);
    for (int top = area.Top; top < area.Bottom; top += CellSize) {
        for (int left = area.Left; left < area.Right; left += CellSize) {
            RepaintCell(side, PageGrid.ItemAt(left, top));
        }
    }
}

void MapSetEditClass::RedrawStampFrames() {
    if (!HasStage()) {
        return;
    }
    for (int side = 0; side < SideCount; ++side) {
        HoverFrame& hover = PageHovers.at(Side(side));
        if (hover.Current() == -1) {
            continue;
        }
        RepaintFramedArea(side, hover.Current());
        hover.Refresh();
    }
}

void MapSetEditClass::RepaintPageGrid(int side) {
    if (GridEnabled()) {
        Graphics.DrawGrid(PageSurface(side), GridSpacing, GridSpacing);
    }
}

MapSetEditClass::~MapSetEditClass() = default;

// ---- Binding ----

void MapSetEditClass::BindImages(const Images& images) {
    PageImages = images.Pages;
    PlaceChipImage = images.PlaceChip;
    ChipTableImage = images.ChipTable;
    for (std::size_t side = 0; side < PageImages.size(); ++side) {
        PageSurfaces[side] = Graphics.CreateViewBitmap(PageSize, PageSize);
        PageImages[side]->SetSurface(PageSurfaces[side].get());
    }
    PlaceChipSurface = Graphics.CreateViewBitmap(PlaceChipViewSize, PlaceChipViewSize);
    PlaceChipImage->SetSurface(PlaceChipSurface.get());
    ChipTableSurface = Graphics.CreateViewBitmap(ChipTableSize, ChipTableSize);
    ChipTableImage->SetSurface(ChipTableSurface.get());
}

void MapSetEditClass::BindLabels(const Labels& labels) {
    PageLabels = labels.Pages;
    PlaceChipLabel = labels.PlaceChipIndex;
    StructChipIndexLabels = labels.StructChipIndex;
    StructChipPropertyLabels = labels.StructChipProperty;
    StampSizeLabel = labels.StampSize;
    LanguageWatch = std::make_unique<LanguageChangeWatch>(PlaceChipLabel, [this] {
        if (HasStage())
            ShowStampPanel();
    });
}

void MapSetEditClass::BindScrollBars(const ScrollBars& bars) {
    BothPagesBar = bars.BothPages;
    PageBars = bars.Pages;
}

void MapSetEditClass::BindGridCheckBox(QCheckBox* grid) {
    GridCheckBox = grid;
}

void MapSetEditClass::BindFillCheckBox(QCheckBox* fill) {
    FillCheckBox = fill;
}

// ---- Helpers ----

bool MapSetEditClass::HasStage() const {
    return ImageHolder.HasStages();
}

StepPlace MapSetEditClass::Place() const {
    return {ImageHolder.CurrentStage(), EditorTabId::MapSet, -1};
}

std::span<const std::uint8_t, MapSetEditClass::CellsPerPage>
MapSetEditClass::PageBytes(int side) const {
    const auto& table = ImageHolder.CurrentStageData().MapSetTable;
    const auto first = static_cast<std::size_t>(PageIndex(side) * CellsPerPage);
    return std::span<const std::uint8_t, CellsPerPage>(table.data() + first, CellsPerPage);
}

bool MapSetEditClass::GridEnabled() const {
    return GridCheckBox != nullptr && GridCheckBox->isChecked();
}

bool MapSetEditClass::FillEnabled() const {
    return FillCheckBox != nullptr && FillCheckBox->isChecked();
}

void MapSetEditClass::ShowPageLabel(int side) {
    PageLabels.at(Side(side))->setText(HexText::Two(PageIndex(side)));
}

void MapSetEditClass::TellShownState() {
    if (ShownStateChanged)
        ShownStateChanged();
}

// Programmatic positions never come back as a scroll event.
void MapSetEditClass::SetScrollPosition(QScrollBar* bar, int position) {
    const QSignalBlocker blocker(bar);
    bar->setValue(position);
}

void MapSetEditClass::RepaintCell(int side, int cell) {
    const ImageRect place = PageGrid.CellRect(cell);
    Graphics.CopyChip32x32(PageSurface(side), place.Left, place.Top, CellSize, CellSize,
                           ChipAt(side, cell));
}

// ---- Stage, reload, animation, activation ----

void MapSetEditClass::LoadStage() {
    PageIndices = {0, 1};
    DrawPage(0);
    DrawPage(1);
    for (HoverFrame& hover : PageHovers) {
        hover.Reset();
    }
    TableHover.Reset();
    ShowPageLabel(0);
    ShowPageLabel(1);
    DrawChipTable();
    ShowPlaceChip(0);
    SetScrollPosition(BothPagesBar, 0);
    SetScrollPosition(PageBars[0], 0);
    SetScrollPosition(PageBars[1], 1);
    TellShownState();
}

void MapSetEditClass::ReloadStage() {
    if (!HasStage()) {
        return;
    }
    QWidget* parent = PageImages[0] != nullptr ? PageImages[0]->window() : nullptr;
    if (!Prompts.AskYesNo(parent, QCoreApplication::translate("MapSetEditClass", ReloadQuestion))) {
        return;
    }
    // Only the map set goes back to the cartridge's bytes.
    Document.Apply(Document.ReloadChanges(ImageHolder.CurrentStage(), ReloadScope::MapSet, Place()),
                   ReloadCaption);
    LoadStage();
}

void MapSetEditClass::RedrawAll() {
    Graphics.RefreshChip32x32SheetColors();
    DrawPage(0);
    DrawPage(1);
    DrawChipTable();
    Graphics.CopyChip32x32(*PlaceChipSurface, 0, 0, PlaceChipViewSize, PlaceChipViewSize,
                           PlaceChipIndex());
    for (HoverFrame& hover : PageHovers) {
        hover.Refresh();
    }
    TableHover.Refresh();
}

void MapSetEditClass::ActivateTab() {
    DrawPage(0);
    DrawPage(1);
    DrawChipTable();
    ShowStampPanel();
}

// ---- Pages ----

void MapSetEditClass::ScrollPages(int position) {
    position = std::clamp(position, 0, LastScrollPosition);
    // Side 1 keeps its distance to side 0 while it fits and is pressed against the ends.
    const int side1 = std::clamp(PageIndices[1] + (position - PageIndices[0]), 1, LastPage);
    PageIndices = {position, side1};
    DrawPage(0);
    DrawPage(1);
    ShowPageLabel(0);
    ShowPageLabel(1);
    SetScrollPosition(PageBars[0], PageIndices[0]);
    SetScrollPosition(PageBars[1], PageIndices[1]);
    TellShownState();
}

void MapSetEditClass::SetPage(int side, int page) {
    PageIndices.at(Side(side)) = std::clamp(page, 0, LastPage);
    DrawPage(side);
    ShowPageLabel(side);
    TellShownState();
}

void MapSetEditClass::DrawPage(int side) {
    if (!HasStage()) {
        return;
    }
    ViewSurface& surface = PageSurface(side);
    const bool grid = GridEnabled();
    ViewRecord::Inputs inputs;
    inputs.Add(PageBytes(side)).Add(Graphics.Chip32x32Sheet()).Add(grid ? 1 : 0);
    ViewRecord& record = PageRecords.at(Side(side));
    if (record.Shows(surface, inputs)) {
        return;
    }
    Graphics.DrawMapPage(surface, PageBytes(side));
    if (grid) {
        Graphics.DrawGrid(surface, GridSpacing, GridSpacing);
    }
    record.Remember(surface, std::move(inputs));
}

// ---- Cells ----

int MapSetEditClass::CellAt(int x, int y) {
    // A drag that leaves the view reports positions outside it: no cell there.
    return PageGrid.ItemAt(x, y);
}

int MapSetEditClass::ChipAt(int side, int cell) const {
    if (!HasStage() || cell < 0 || cell >= CellsPerPage) {
        return -1;
    }
    const auto& table = ImageHolder.CurrentStageData().MapSetTable;
    return table[static_cast<std::size_t>(PageIndex(side) * CellsPerPage + cell)];
}

void MapSetEditClass::PlaceChip(int side, int cell) {
    PlaceStamp(side, cell, ChangeList::Merge::Never);
}

void MapSetEditClass::PlaceStamp(int side, int cell, ChangeList::Merge merge) {
    WriteCells(side, MapStampWrites::Place(CurrentStamp, cell), merge, PlaceChipCaption);
}

void MapSetEditClass::FillAt(int side, int cell) {
    if (!HasStage()) {
        return;
    }
    WriteCells(side, MapStampWrites::Fill(PageBytes(side), CurrentStamp, cell),
               ChangeList::Merge::Never, FillCaption);
}

void MapSetEditClass::WriteCells(int side, const MapStampWrites::CellWrites& writes,
                                 ChangeList::Merge merge, const char* caption) {
    if (!HasStage() || writes.empty()) {
        return;
    }
    const auto bytes = PageBytes(side);
    const int first = PageIndex(side) * CellsPerPage;
    ChangeList list;
    list.Place = Place();
    list.MergeKind = merge;
    list.Gesture = StrokeGesture;
    for (const auto& [cell, chip] : writes) {
        list.Bytes.push_back({static_cast<std::uint8_t>(ImageHolder.CurrentStage()),
                              EditorArray::MapSet, static_cast<std::uint16_t>(first + cell),
                              bytes[static_cast<std::size_t>(cell)], chip});
    }
    FrameUnderPointer = &PageHovers[Side(side)];
    Document.Apply(std::move(list), caption);
    FrameUnderPointer = nullptr;
}

// Both sides may show the same page: each shows what was written.
void MapSetEditClass::BytesWritten(const ByteNotice& notice) {
    if (!HasStage()) {
        return;
    }
    const int stage = ImageHolder.CurrentStage();
    std::array<bool, SideCount> drawn{};
    for (const ByteChange& change : notice.Changes) {
        if (change.Array != EditorArray::MapSet || change.Stage != stage) {
            continue;
        }
        for (int side = 0; side < SideCount; ++side) {
            if (PageIndex(side) == change.Index / CellsPerPage) {
                RepaintCell(side, change.Index % CellsPerPage);
                drawn[Side(side)] = true;
            }
        }
    }
    for (int side = 0; side < SideCount; ++side) {
        if (drawn[Side(side)]) {
            RepaintPageGrid(side);
        }
    }
    if (FrameUnderPointer != nullptr) {
        FrameUnderPointer->Refresh();
    }
}

void MapSetEditClass::CopyPage(int side) {
    if (!HasStage()) {
        return;
    }
    const auto bytes = PageBytes(side);
    std::copy(bytes.begin(), bytes.end(), Copied.begin());
}

void MapSetEditClass::PastePage(int side) {
    if (!HasStage()) {
        return;
    }
    const auto bytes = PageBytes(side);
    const int first = PageIndex(side) * CellsPerPage;
    ChangeList list;
    list.Place = Place();
    for (int cell = 0; cell < CellsPerPage; ++cell) {
        const auto at = static_cast<std::size_t>(cell);
        list.Bytes.push_back({static_cast<std::uint8_t>(ImageHolder.CurrentStage()),
                              EditorArray::MapSet, static_cast<std::uint16_t>(first + cell),
                              bytes[at], Copied[at]});
    }
    FrameUnderPointer = &PageHovers[Side(side)];
    Document.Apply(std::move(list), PastePageCaption);
    FrameUnderPointer = nullptr;
}

// ---- The chip to place and the chip table ----

void MapSetEditClass::ShowPlaceChip(int chip) {
    if (chip < 0 || chip >= ChipCount) {
        return;
    }
    SetStamp(MapStamp::Single(static_cast<std::uint8_t>(chip)));
}

void MapSetEditClass::SetStamp(const MapStamp& stamp) {
    if (!stamp.Valid()) {
        return;
    }
    CurrentStamp = stamp;
    ShowStampPanel();
    RedrawStampFrames();
    TellShownState();
}

// The panel shows the stamp's top-left chip and the stamp's size.
void MapSetEditClass::ShowStampPanel() {
    const int chip = PlaceChipIndex();
    Graphics.CopyChip32x32(*PlaceChipSurface, 0, 0, PlaceChipViewSize, PlaceChipViewSize, chip);
    PlaceChipLabel->setText(HexText::Two(chip));
    if (StampSizeLabel != nullptr) {
        StampSizeLabel->setText(
            QStringLiteral("%1x%2").arg(CurrentStamp.Width).arg(CurrentStamp.Height));
    }
    if (!HasStage()) {
        return;
    }
    const StageData& stage = ImageHolder.CurrentStageData();
    const auto& captions = ImageHolder.PropertyCaptions();
    const auto& properties = stage.ChipPropertyTable();
    for (std::size_t q = 0; q < StructChipIndexLabels.size(); ++q) {
        const int chip16 = stage.Chip32x32Table[static_cast<std::size_t>(chip) * 4 + q];
        StructChipIndexLabels[q]->setText(HexText::Two(chip16));
        const auto type = static_cast<std::size_t>(
            LevelFormat::AttributeTypeOf(properties[static_cast<std::size_t>(chip16)]));
        StructChipPropertyLabels[q]->setText(DisplayText::Of(captions[type]));
    }
}

void MapSetEditClass::DrawChipTable() {
    ViewRecord::Inputs inputs;
    inputs.Add(Graphics.Chip32x32Sheet());
    if (ChipTableRecord.Shows(*ChipTableSurface, inputs)) {
        return;
    }
    Graphics.ShowChip32x32Sheet(*ChipTableSurface);
    ChipTableRecord.Remember(*ChipTableSurface, std::move(inputs));
}

void MapSetEditClass::SetPlaceChipIndex(int chip) {
    if (chip >= 0 && chip < ChipCount) {
        CurrentStamp = MapStamp::Single(static_cast<std::uint8_t>(chip));
        TellShownState();
    }
}

int MapSetEditClass::TableChipAt(int x, int y) const {
    return TableGrid.ItemAt(x, y);
}

// ---- Mouse ----

void MapSetEditClass::PageMouseDown(int side, Qt::MouseButton button,
                                    Qt::KeyboardModifiers modifiers, int x, int y) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const int cell = CellAt(x, y);
    if (button == Qt::LeftButton) {
        if (ctrl) {
            PastePage(side);
            return;
        }
        PageHovers.at(Side(side)).Press(cell);
        if (FillEnabled()) {
            FillAt(side, cell);
            return;
        }
        // Every placement until the release merges into this press's step.
        ++StrokeGesture;
        StrokeSide = side;
        StrokeCell = cell;
        PlaceStamp(side, cell, ChangeList::Merge::Paint);
    } else if (button == Qt::RightButton) {
        if (ctrl) {
            CopyPage(side);
            return;
        }
        PageHovers.at(Side(side)).Press(cell);
        PickSide = cell != -1 ? side : -1;
        PickCell = cell;
        ShowPlaceChip(ChipAt(side, cell));
    }
}

void MapSetEditClass::PageMouseMove(int side, Qt::MouseButtons buttons, int x, int y) {
    const int cell = CellAt(x, y);
    PageHovers.at(Side(side)).MoveTo(cell);
    if (StrokeSide == side && buttons.testFlag(Qt::LeftButton) && cell != -1 &&
        cell != StrokeCell) {
        StrokeCell = cell;
        PlaceStamp(side, cell, ChangeList::Merge::Paint);
    }
}

void MapSetEditClass::PageMouseUp(int side, Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) {
        StrokeSide = -1;
        StrokeCell = -1;
    } else if (button == Qt::RightButton && PickSide == side) {
        // A release on another cell of the same page picks the rectangle between the two.
        const int cell = CellAt(x, y);
        if (cell != -1 && cell != PickCell && HasStage()) {
            SetStamp(MapStampWrites::Pick(PageBytes(side), PickCell, cell));
        }
        PickSide = -1;
        PickCell = -1;
    }
}

void MapSetEditClass::PageMouseLeave(int side) {
    PageHovers.at(Side(side)).Leave();
}

void MapSetEditClass::ChipTableMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) {
        ShowPlaceChip(TableChipAt(x, y));
    }
}

void MapSetEditClass::ChipTableMouseMove(int x, int y) {
    TableHover.MoveTo(TableChipAt(x, y));
}

void MapSetEditClass::ChipTableMouseLeave() {
    TableHover.Leave();
}

void MapSetEditClass::GridChanged() {
    DrawPage(0);
    DrawPage(1);
}
