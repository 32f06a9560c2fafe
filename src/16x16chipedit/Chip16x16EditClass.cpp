#include "16x16chipedit/Chip16x16EditClass.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "address/AddressData.h"
#include "dib/ImageRect.h"
#include "dib/PalettedImage.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/StageData.h"
#include "editdata/UnusedNumbers.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/HexText.h"
#include "graphics/ViewSurface.h"
#include "prompts/UserPrompts.h"

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int TileSize = 8;
constexpr int CellsPerRow = 16;
constexpr int QuarterCount = 4;
constexpr int SubPaletteCount = 4;
constexpr int ColoursPerSubPalette = 4;
constexpr int StageColourCount = 16;
// Pattern load entry: byte 0 tile count (0 means 256), byte 1 first destination tile, byte 2
// first source tile, byte 3 bit 7 destination table, bits 0-6 source block of 4 KiB.
constexpr int SecondTableFlag = 0x80;
constexpr int SourceBlockMask = 0x7F;
constexpr std::int64_t SourceBlockBytes = 0x1000;
constexpr std::int64_t CartridgeHeaderBytes = 0x10;

// Cell of a 16 x 16 grid under (x, y), -1 outside the grid.
int CellAt(int x, int y, int viewSize, int cellSize) {
    if (x < 0 || y < 0 || x >= viewSize || y >= viewSize)
        return -1;
    return (y / cellSize) * CellsPerRow + x / cellSize;
}

ImageRect GridCell(int item, int cellSize) {
    return ImageRect::FromSize((item % CellsPerRow) * cellSize, (item / CellsPerRow) * cellSize,
                               cellSize, cellSize);
}

QColor ToQColor(std::uint32_t packed) {
    // Packed colours hold red in the lowest byte.
    return QColor(static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                  static_cast<int>((packed >> 16) & 0xFF));
}

} // namespace

Chip16x16EditClass::Chip16x16EditClass(RomImageData& holder, EditFlagManagement& tracker,
                                       EditorGraphics& graphics, UserPrompts& prompts)
    : Holder(holder), Tracker(tracker), Graphics(graphics), Prompts(prompts),
      BankTableImage(graphics.CreateSheet(BankTableImageSize, BankTableImageSize)) {}

// The surfaces tell their views when they go, so no view keeps showing a freed one.
Chip16x16EditClass::~Chip16x16EditClass() = default;

// ---- Binding ----

void Chip16x16EditClass::BindImages(TImageEx* bankTable, TImageEx* chipView, TImageEx* editChip,
                                    TImageEx* selectTile) {
    ImgBGBankTable = bankTable;
    ImgEdit16x16ChipView = chipView;
    ImgEdit16x16Chip = editChip;
    ImgSelectTile = selectTile;
    BankTableSurface = Graphics.CreateViewBitmap(TableViewSize, TableViewSize);
    ChipViewSurface = Graphics.CreateViewBitmap(TableViewSize, TableViewSize);
    EditChipSurface = Graphics.CreateViewBitmap(EditChipViewSize, EditChipViewSize);
    SelectTileSurface = Graphics.CreateViewBitmap(SelectTileViewSize, SelectTileViewSize);
    ImgBGBankTable->SetSurface(BankTableSurface.get());
    ImgEdit16x16ChipView->SetSurface(ChipViewSurface.get());
    ImgEdit16x16Chip->SetSurface(EditChipSurface.get());
    ImgSelectTile->SetSurface(SelectTileSurface.get());
}

void Chip16x16EditClass::BindPanels(const std::array<QFrame*, 16>& paletteColors) {
    PanelPaletteColor = paletteColors;
}

void Chip16x16EditClass::BindLabels(QLabel* selectChipIndex, QLabel* selectBankTileIndex,
                                    const std::array<QLabel*, 4>& selectChipTiles,
                                    QLabel* selectChipProperty, QLabel* selectScrollIndex) {
    LblSelectChipIndex = selectChipIndex;
    LblSelectBGBankTileIndex = selectBankTileIndex;
    LblSelectChipTile = selectChipTiles;
    LblSelectChipProperty = selectChipProperty;
    LblSelectScrollIndex = selectScrollIndex;
}

void Chip16x16EditClass::BindRadioGroups(TRadioGroup* chipPropertySelect,
                                         TRadioGroup* paletteSelect) {
    RGChipPropertySelect = chipPropertySelect;
    RGPaletteSelect = paletteSelect;
    const auto& captions = Holder.PropertyCaptions();
    for (int i = 0; i < RGChipPropertySelect->Count() && i < 16; ++i)
        RGChipPropertySelect->SetItemText(
            i, QString::number(i, 16).toUpper() + "x " +
                   QString::fromStdString(captions[static_cast<std::size_t>(i)]));
}

void Chip16x16EditClass::BindScrollBar(QScrollBar* selectScrollIndex) {
    ScrBarSelectScrollIndex = selectScrollIndex;
    const QSignalBlocker blocker(ScrBarSelectScrollIndex);
    ScrBarSelectScrollIndex->setRange(0, ScrollIndexMaximum);
}

void Chip16x16EditClass::BindSwitchButton(QPushButton* switchChipSet) {
    BtnSwitch16X16ChipSet = switchChipSet;
}

// ---- Helpers ----

bool Chip16x16EditClass::HasStage() const {
    return Holder.HasStages() && Holder.Address() != nullptr;
}

StageData& Chip16x16EditClass::Stage() {
    return Holder.CurrentStageData();
}

std::uint8_t Chip16x16EditClass::CartridgeByte(std::int64_t offset) const {
    const auto image = Holder.Buffer();
    if (offset < 0 || offset >= static_cast<std::int64_t>(image.size()))
        return 0;
    return image[static_cast<std::size_t>(offset)];
}

std::span<const std::uint8_t> Chip16x16EditClass::FirstPatternTable() const {
    return std::span<const std::uint8_t>(PatternTableBuffer).first(PatternTableBytes);
}

int Chip16x16EditClass::OwnPatternSetNumber() const {
    return CartridgeByte(
        std::int64_t{Holder.Address()->KeyValue(LevelDataKey::PatternTableDataNo)} +
        Holder.CurrentStage());
}

// ---- Stage and tab ----

void Chip16x16EditClass::LoadStage() {
    if (!HasStage())
        return;
    const int stage = Holder.CurrentStage();
    if (stage != LoadedStage || Holder.OpenCount() != LoadedOpenCount) {
        LoadPropertyCaptions();
        {
            const QSignalBlocker blocker(ScrBarSelectScrollIndex);
            ScrBarSelectScrollIndex->setValue(OwnPatternSetNumber());
        }
        BankTablePalette = 0;
        SelectTileIndex = 0;
        EditChipIndex = 0;
    }
    LoadedStage = stage;
    LoadedOpenCount = Holder.OpenCount();
    LblSelectScrollIndex->setText(HexText::Two(ScrBarSelectScrollIndex->value()));
    LoadPatternTables();
    BankTableHover.Reset();
    ChipViewHover.Reset();
    QuarterHover.Reset();
    RenderBankTable();
    DrawBankTable();
    RenderChipSheet();
    DrawChipView();
    SelectChip(EditChipIndex);
    SelectTile(SelectTileIndex);
    DrawPaletteColors();
}

void Chip16x16EditClass::ReloadStage() {
    if (!HasStage())
        return;
    if (!Prompts.AskYesNo(ImgBGBankTable->window(), ReloadQuestion))
        return;
    StageData& stage = Stage();
    stage.DecodeChip16x16Tables();
    stage.DecodeChipPropertyTables();
    LoadStage();
}

void Chip16x16EditClass::RedrawAll() {
    if (!HasStage())
        return;
    DrawBankTable();
    BankTableHover.Previous = -1;
    RedrawHover(HoverView::BankTable);
    DrawChipView();
    ChipViewHover.Previous = -1;
    RedrawHover(HoverView::ChipView);
    DrawEditChip();
    QuarterHover.Previous = -1;
    RedrawHover(HoverView::EditChip);
    DrawSelectTile();
    DrawPaletteColors();
}

void Chip16x16EditClass::ActivateTab() {
    if (!HasStage())
        return;
    DrawBankTable();
    DrawChipView();
    DrawEditChip();
    DrawSelectTile();
    DrawPaletteColors();
}

void Chip16x16EditClass::SwitchChipSet() {
    if (!HasStage())
        return;
    for (int s = 0; s < RomImageData::StageCount; ++s)
        Holder.Stage(s).ToggleChip16x16Set();
    const bool normal = Holder.Stage(RomImageData::StageCount - 1).Chip16x16SetIndexValue() == 0;
    BtnSwitch16X16ChipSet->setText(normal ? SwitchToDestroyedCaption : SwitchToNormalCaption);
    LoadStage();
}

void Chip16x16EditClass::SelectScrollIndexChanged(int /*position*/) {
    // The bar reports only real moves, so a scroll onto the current position never gets here.
    LoadStage();
}

// ---- Selections and edits ----

void Chip16x16EditClass::SelectChip(int chip) {
    if (!HasStage() || chip < 0 || chip >= ChipCount)
        return;
    EditChipIndex = chip;
    DrawEditChip();
    LblSelectChipIndex->setText(HexText::Two(chip));
    const auto& table = Stage().Chip16x16Table();
    for (int q = 0; q < QuarterCount; ++q)
        LblSelectChipTile[static_cast<std::size_t>(q)]->setText(
            HexText::Two(table[static_cast<std::size_t>(q * ChipCount + chip)]));
    const int attribute = Stage().ChipPropertyTable()[static_cast<std::size_t>(chip)];
    LblSelectChipProperty->setText(HexText::Two(attribute));
    // Showing the stored values is no choice of the user's: these raise no click.
    RGChipPropertySelect->SetItemIndex(attribute >> 4);
    RGPaletteSelect->SetItemIndex(attribute & 3);
}

void Chip16x16EditClass::SelectTile(int tile) {
    if (tile < 0 || tile >= TileCount)
        return;
    SelectTileIndex = tile;
    DrawSelectTile();
    LblSelectBGBankTileIndex->setText(HexText::Two(tile));
}

void Chip16x16EditClass::SetQuarter(int quarter) {
    if (!HasStage() || quarter < 0 || quarter >= QuarterCount)
        return;
    auto& table = Stage().Chip16x16Table();
    auto& entry = table[static_cast<std::size_t>(quarter * ChipCount + EditChipIndex)];
    if (entry == SelectTileIndex)
        return;
    entry = static_cast<std::uint8_t>(SelectTileIndex);
    LblSelectChipTile[static_cast<std::size_t>(quarter)]->setText(HexText::Two(SelectTileIndex));
    RedrawChip(EditChipIndex);
    DrawEditChip();
    // The panel was repainted under the pointer: show its frame again.
    QuarterHover.Previous = -1;
    RedrawHover(HoverView::EditChip);
    Tracker.SetChip16x16Modified(Holder.CurrentStage(), true);
}

void Chip16x16EditClass::SetChipProperty() {
    if (!HasStage())
        return;
    const int type = RGChipPropertySelect->ItemIndex();
    auto& attribute = Stage().ChipPropertyTable()[static_cast<std::size_t>(EditChipIndex)];
    if (type < 0 || type == attribute >> 4)
        return;
    attribute = static_cast<std::uint8_t>((type << 4) | (attribute & 0x0F));
    LblSelectChipProperty->setText(HexText::Two(attribute));
    Tracker.SetChip16x16Modified(Holder.CurrentStage(), true);
}

void Chip16x16EditClass::SetChipPalette() {
    if (!HasStage())
        return;
    const int subPalette = RGPaletteSelect->ItemIndex();
    auto& attribute = Stage().ChipPropertyTable()[static_cast<std::size_t>(EditChipIndex)];
    if (subPalette < 0 || subPalette == (attribute & 3))
        return;
    attribute = static_cast<std::uint8_t>((attribute & 0xFC) + subPalette);
    LblSelectChipProperty->setText(HexText::Two(attribute));
    RedrawChip(EditChipIndex);
    DrawEditChip();
    Tracker.SetChip16x16Modified(Holder.CurrentStage(), true);
}

// ---- Mouse ----

void Chip16x16EditClass::BankTableMouseDown(Qt::MouseButton button, int x, int y) {
    const int tile = CellAt(x, y, TableViewSize, TableCellSize);
    if (!HasStage() || tile < 0)
        return;
    if (button == Qt::LeftButton) {
        BankTableHover.Shift(tile);
        SelectTile(tile);
    } else if (button == Qt::RightButton) {
        BankTablePalette = (BankTablePalette + 1) % SubPaletteCount;
        DrawBankTable();
    }
}

void Chip16x16EditClass::ChipViewMouseDown(Qt::MouseButton button, int x, int y) {
    const int chip = CellAt(x, y, TableViewSize, TableCellSize);
    if (!HasStage() || chip < 0)
        return;
    if (button == Qt::LeftButton) {
        ChipViewHover.Shift(chip);
        SelectChip(chip);
    } else if (button == Qt::RightButton) {
        ChipViewHover.Shift(chip);
        const int quarter = ((y % TableCellSize) / TileSize) * 2 + (x % TableCellSize) / TileSize;
        SelectTile(Stage().Chip16x16Table()[static_cast<std::size_t>(quarter * ChipCount + chip)]);
    }
}

void Chip16x16EditClass::EditChipMouseDown(Qt::MouseButton button, int x, int y) {
    if (!HasStage() || x < 0 || y < 0 || x >= EditChipViewSize || y >= EditChipViewSize)
        return;
    const int quarter = (y / QuarterViewSize) * 2 + x / QuarterViewSize;
    if (button == Qt::LeftButton) {
        QuarterHover.Shift(quarter);
        SetQuarter(quarter);
    } else if (button == Qt::RightButton) {
        QuarterHover.Shift(quarter);
        SelectTile(
            Stage()
                .Chip16x16Table()[static_cast<std::size_t>(quarter * ChipCount + EditChipIndex)]);
    }
}

void Chip16x16EditClass::BankTableMouseMove(int x, int y) {
    if (!HasStage())
        return;
    BankTableHover.Shift(CellAt(x, y, TableViewSize, TableCellSize));
    RedrawHover(HoverView::BankTable);
}

void Chip16x16EditClass::ChipViewMouseMove(int x, int y) {
    if (!HasStage())
        return;
    ChipViewHover.Shift(CellAt(x, y, TableViewSize, TableCellSize));
    RedrawHover(HoverView::ChipView);
}

void Chip16x16EditClass::EditChipMouseMove(int x, int y) {
    if (!HasStage())
        return;
    const bool inside = x >= 0 && y >= 0 && x < EditChipViewSize && y < EditChipViewSize;
    QuarterHover.Shift(inside ? (y / QuarterViewSize) * 2 + x / QuarterViewSize : -1);
    RedrawHover(HoverView::EditChip);
}

void Chip16x16EditClass::BankTableMouseLeave() {
    LeaveHover(HoverView::BankTable);
}

void Chip16x16EditClass::ChipViewMouseLeave() {
    LeaveHover(HoverView::ChipView);
}

void Chip16x16EditClass::EditChipMouseLeave() {
    LeaveHover(HoverView::EditChip);
}

// ---- Hover frames ----

HoverPair& Chip16x16EditClass::PairOf(HoverView view) {
    switch (view) {
    case HoverView::BankTable:
        return BankTableHover;
    case HoverView::ChipView:
        return ChipViewHover;
    case HoverView::EditChip:
        break;
    }
    return QuarterHover;
}

void Chip16x16EditClass::RedrawHover(HoverView view) {
    const HoverPair& pair = PairOf(view);
    if (pair.Previous == pair.Current)
        return;
    if (pair.Previous != -1)
        RepaintHoverItem(view, pair.Previous);
    if (pair.Current != -1)
        DrawHoverFrame(view, pair.Current);
}

void Chip16x16EditClass::LeaveHover(HoverView view) {
    HoverPair& pair = PairOf(view);
    if (HasStage() && pair.Current != -1)
        RepaintHoverItem(view, pair.Current);
    pair.Reset();
}

void Chip16x16EditClass::RepaintHoverItem(HoverView view, int item) {
    switch (view) {
    case HoverView::BankTable:
        Graphics.CopyToView(*BankTableSurface, GridCell(item, TableCellSize), *BankTableImage,
                            GridCell(item, TileSize));
        break;
    case HoverView::ChipView:
        Graphics.CopyToView(*ChipViewSurface, GridCell(item, TableCellSize),
                            Graphics.Chip16x16Sheet(), GridCell(item, TableCellSize));
        break;
    case HoverView::EditChip:
        DrawEditChip();
        break;
    }
}

void Chip16x16EditClass::DrawHoverFrame(HoverView view, int item) {
    switch (view) {
    case HoverView::BankTable:
        Graphics.DrawFrame(*BankTableSurface, (item % CellsPerRow) * TableCellSize,
                           (item / CellsPerRow) * TableCellSize, TableCellSize);
        break;
    case HoverView::ChipView:
        Graphics.DrawFrame(*ChipViewSurface, (item % CellsPerRow) * TableCellSize,
                           (item / CellsPerRow) * TableCellSize, TableCellSize);
        break;
    case HoverView::EditChip:
        Graphics.DrawFrame(*EditChipSurface, (item % 2) * QuarterViewSize,
                           (item / 2) * QuarterViewSize, QuarterViewSize);
        break;
    }
}

// ---- Pattern tables and captions ----

void Chip16x16EditClass::LoadPatternTables() {
    if (!HasStage())
        return;
    // Only the first table is cleared: entries may fill the second, which nothing shows.
    std::fill_n(PatternTableBuffer.begin(), PatternTableBytes, std::uint8_t{0});
    const int own = OwnPatternSetNumber();
    ApplyPatternEntry(own);
    if (ScrBarSelectScrollIndex->value() != own)
        ApplyPatternEntry(ScrBarSelectScrollIndex->value());
}

void Chip16x16EditClass::ApplyPatternEntry(int entry) {
    if (!HasStage())
        return;
    const std::int64_t at =
        std::int64_t{Holder.Address()->KeyValue(LevelDataKey::PatternTableData)} +
        std::int64_t{PatternEntryBytes} * entry;
    const int count = CartridgeByte(at) == 0 ? TileCount : CartridgeByte(at);
    const int firstDestination = CartridgeByte(at + 1);
    const int firstSource = CartridgeByte(at + 2);
    const int table = CartridgeByte(at + 3);
    const std::int64_t destination = ((table & SecondTableFlag) ? PatternTableBytes : 0) +
                                     std::int64_t{firstDestination} * TileBytes;
    const std::int64_t source = CartridgeHeaderBytes +
                                (table & SourceBlockMask) * SourceBlockBytes +
                                std::int64_t{firstSource} * TileBytes;
    // A copy that would run past either buffer is cut short there.
    const auto image = Holder.Buffer();
    const std::int64_t length =
        std::min({std::int64_t{count} * TileBytes, std::int64_t{PatternBufferBytes} - destination,
                  static_cast<std::int64_t>(image.size()) - source});
    for (std::int64_t i = 0; i < length; ++i)
        PatternTableBuffer[static_cast<std::size_t>(destination + i)] =
            image[static_cast<std::size_t>(source + i)];
}

void Chip16x16EditClass::LoadPropertyCaptions() {
    if (!HasStage())
        return;
    const AddressData& address = *Holder.Address();
    const int row = CartridgeByte(std::int64_t{address.KeyValue(LevelDataKey::RefChipTypeTable)} +
                                  Holder.CurrentStage());
    auto& captions = Holder.PropertyCaptions();
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t code = CartridgeByte(
            std::int64_t{address.KeyValue(LevelDataKey::ChipTypeTable)} + row * 16 + i);
        const std::string& caption = ChipTypeCaptions::Of(code);
        captions[static_cast<std::size_t>(i)] = caption;
        RGChipPropertySelect->SetItemText(i, QString::number(i, 16).toUpper() + "x " +
                                                 QString::fromStdString(caption));
    }
}

// ---- Drawing ----

void Chip16x16EditClass::RenderBankTable() {
    Graphics.DrawPatternSheet(*BankTableImage, FirstPatternTable(), 0);
}

void Chip16x16EditClass::RenderChipSheet() {
    if (!HasStage())
        return;
    StageData& stage = Stage();
    Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), FirstPatternTable(),
                                stage.Chip16x16Table(), stage.ChipPropertyTable());
}

void Chip16x16EditClass::SetChipSheetPalette() {
    Graphics.Chip16x16Sheet().SetColorTable(Graphics.StageColorTable());
}

void Chip16x16EditClass::DrawSheetCell(int chip) {
    Graphics.CopyToView(*ChipViewSurface, GridCell(chip, TableCellSize), Graphics.Chip16x16Sheet(),
                        GridCell(chip, TableCellSize));
}

void Chip16x16EditClass::RedrawChip(int chip) {
    if (!HasStage() || chip < 0 || chip >= ChipCount)
        return;
    StageData& stage = Stage();
    const ImageRect cell = GridCell(chip, TableCellSize);
    Graphics.DrawChip16x16(Graphics.Chip16x16Sheet(), FirstPatternTable(), stage.Chip16x16Table(),
                           cell.Left, cell.Top, chip,
                           stage.ChipPropertyTable()[static_cast<std::size_t>(chip)] & 3);
    DrawSheetCell(chip);
}

void Chip16x16EditClass::DrawChipView() {
    SetChipSheetPalette();
    Graphics.CopyToView(*ChipViewSurface, {0, 0, TableViewSize, TableViewSize},
                        Graphics.Chip16x16Sheet(), {0, 0, TableViewSize, TableViewSize});
}

void Chip16x16EditClass::DrawBankTable() {
    for (int i = 0; i < ColoursPerSubPalette; ++i)
        BankTableImage->SetColor(i, Graphics.GetStageColor(BankTablePalette * 4 + i));
    Graphics.CopyToView(*BankTableSurface, {0, 0, TableViewSize, TableViewSize}, *BankTableImage,
                        {0, 0, BankTableImageSize, BankTableImageSize});
    DrawSelectTile();
}

void Chip16x16EditClass::DrawEditChip() {
    Graphics.CopyToView(*EditChipSurface, {0, 0, EditChipViewSize, EditChipViewSize},
                        Graphics.Chip16x16Sheet(), GridCell(EditChipIndex, TableCellSize));
}

void Chip16x16EditClass::DrawSelectTile() {
    Graphics.CopyToView(*SelectTileSurface, {0, 0, SelectTileViewSize, SelectTileViewSize},
                        *BankTableImage, GridCell(SelectTileIndex, TileSize));
}

void Chip16x16EditClass::DrawPaletteColors() {
    for (int i = 0; i < StageColourCount; ++i) {
        QFrame* panel = PanelPaletteColor[static_cast<std::size_t>(i)];
        QPalette colours = panel->palette();
        colours.setColor(QPalette::Window, ToQColor(Graphics.GetStageColor(i)));
        panel->setPalette(colours);
    }
}

// ---- Reports ----

QString Chip16x16EditClass::UnusedChipList() {
    if (!HasStage())
        return {};
    return QString::fromStdString(UnusedNumberList(Stage().Chip32x32Table));
}

QString Chip16x16EditClass::UnusedTileList() {
    if (!HasStage())
        return {};
    return QString::fromStdString(UnusedNumberList(Stage().Chip16x16Table()));
}
