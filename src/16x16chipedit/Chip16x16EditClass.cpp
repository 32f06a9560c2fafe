#include "16x16chipedit/Chip16x16EditClass.h"

#include "base/LevelFormat.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "address/AddressData.h"
#include "dib/ImageRect.h"
#include "dib/PalettedImage.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/ChipUses.h"
#include "editdata/PatternLoadEntry.h"
#include "editdata/StageData.h"
#include "editdata/UnusedNumbers.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/GridGeometry.h"
#include "graphics/HexText.h"
#include "graphics/ViewSurface.h"
#include "history/LanguageChangeWatch.h"
#include "history/StageArrays.h"
#include "prompts/UserPrompts.h"

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <QCoreApplication>

#include <algorithm>

namespace {

constexpr int TileSize = 8;
constexpr int CellsPerRow = LevelFormat::SheetChipsPerRow;
constexpr int QuarterCount = 4;
constexpr int SubPaletteCount = 4;
constexpr int ColoursPerSubPalette = 4;

// The bank table and the chip view: 16 x 16 cells of a tile or a chip.
constexpr GridGeometry TableGrid =
    GridGeometry::Square(CellsPerRow, CellsPerRow, Chip16x16EditClass::TableCellSize);
// The bank table image holds the tiles at their own size.
constexpr GridGeometry TileGrid = GridGeometry::Square(CellsPerRow, CellsPerRow, TileSize);
// The edited chip, its four quarters enlarged.
constexpr GridGeometry QuarterGrid =
    GridGeometry::Square(2, 2, Chip16x16EditClass::QuarterViewSize);

QColor ToQColor(std::uint32_t packed) {
    // Packed colours hold red in the lowest byte.
    return QColor(static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                  static_cast<int>((packed >> 16) & 0xFF));
}

} // namespace

Chip16x16EditClass::Chip16x16EditClass(LevelDocument& document, EditorGraphics& graphics,
                                       UserPrompts& prompts)
    : Document(document), Holder(document.Image()), Graphics(graphics), Prompts(prompts),
      BankTableImage(graphics.CreateSheet(BankTableImageSize, BankTableImageSize)),
      BankTableHover(graphics.GridHoverFrame(BankTableSurface, TableGrid,
                                             [this](int tile) { RepaintBankTableCell(tile); })),
      ChipViewHover(graphics.GridHoverFrame(ChipViewSurface, TableGrid,
                                            [this](int chip) { DrawSheetCell(chip); })),
      QuarterHover(
          graphics.GridHoverFrame(EditChipSurface, QuarterGrid, [this](int) { DrawEditChip(); })) {
    QObject::connect(&document, &LevelDocument::BytesWritten, &Listener,
                     [this](const ByteNotice& notice) { BytesWritten(notice); });
    QObject::connect(&document, &LevelDocument::PlaceRequested, &Listener,
                     [this](const StepPlace& place) { PlaceRequested(place); });
}

// The surfaces tell their views when they go, so no view keeps showing a freed one.
Chip16x16EditClass::~Chip16x16EditClass() = default;

// ---- Binding ----

void Chip16x16EditClass::BindImages(const Images& images) {
    ImgBGBankTable = images.BankTable;
    ImgEdit16x16ChipView = images.ChipView;
    ImgEdit16x16Chip = images.EditChip;
    ImgSelectTile = images.SelectTile;
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

void Chip16x16EditClass::BindLabels(const Labels& labels) {
    LblSelectChipIndex = labels.SelectChipIndex;
    LblSelectBGBankTileIndex = labels.SelectBankTileIndex;
    LblSelectChipTile = labels.SelectChipTiles;
    LblSelectChipProperty = labels.SelectChipProperty;
    LblSelectScrollIndex = labels.SelectScrollIndex;
    LblUseCount = labels.UseCount;
}

void Chip16x16EditClass::BindRadioGroups(TRadioGroup* chipPropertySelect,
                                         TRadioGroup* paletteSelect) {
    RGChipPropertySelect = chipPropertySelect;
    RGPaletteSelect = paletteSelect;
    ShowPropertyCaptions();
}

void Chip16x16EditClass::BindScrollBar(QScrollBar* selectScrollIndex) {
    ScrBarSelectScrollIndex = selectScrollIndex;
    const QSignalBlocker blocker(ScrBarSelectScrollIndex);
    ScrBarSelectScrollIndex->setRange(0, ScrollIndexMaximum);
}

void Chip16x16EditClass::BindSwitchButton(QPushButton* switchChipSet) {
    BtnSwitch16X16ChipSet = switchChipSet;
    LanguageWatch = std::make_unique<LanguageChangeWatch>(switchChipSet, [this] {
        if (HasStage())
            ShowSwitchCaption();
        ShowPropertyCaptions();
        ShowUseCount();
    });
}

// ---- Helpers ----

bool Chip16x16EditClass::HasStage() const {
    return Holder.HasStages() && Holder.Address() != nullptr;
}

const StageData& Chip16x16EditClass::Stage() const {
    return Holder.CurrentStageData();
}

std::span<const std::uint8_t> Chip16x16EditClass::FirstPatternTable() const {
    return std::span<const std::uint8_t>(PatternTableBuffer).first(PatternTableBytes);
}

int Chip16x16EditClass::OwnPatternSetNumber() const {
    return Holder.Address()
        ->TableByte(Holder.Buffer(), LevelDataKey::PatternTableDataNo, Holder.CurrentStage())
        .value_or(0);
}

// ---- History ----

EditorArray Chip16x16EditClass::TileArray() const {
    return Stage().Chip16x16SetIndexValue() == 0 ? EditorArray::NormalChip16x16
                                                 : EditorArray::DestroyedChip16x16;
}

EditorArray Chip16x16EditClass::PropertyArray() const {
    return Stage().Chip16x16SetIndexValue() == 0 ? EditorArray::NormalProperty
                                                 : EditorArray::DestroyedProperty;
}

void Chip16x16EditClass::WriteByte(EditorArray array, int index, std::uint8_t value,
                                   const char* caption, HoverFrame* underPointer) {
    const int stage = Holder.CurrentStage();
    const auto bytes = StageArrays::Bytes(Holder.Stage(stage), array);
    ChangeList list;
    list.Place = {stage, EditorTabId::Chip16x16, Stage().Chip16x16SetIndexValue()};
    list.Bytes.push_back({static_cast<std::uint8_t>(stage), array,
                          static_cast<std::uint16_t>(index), bytes[static_cast<std::size_t>(index)],
                          value});
    FrameUnderPointer = underPointer;
    Document.Apply(std::move(list), caption);
    FrameUnderPointer = nullptr;
}

std::array<std::uint8_t, Chip16x16EditClass::ChipByteCount>
Chip16x16EditClass::EditChipBytes() const {
    std::array<std::uint8_t, ChipByteCount> bytes{};
    if (!HasStage())
        return bytes;
    const int stage = Holder.CurrentStage();
    const auto tiles = StageArrays::Bytes(Holder.Stage(stage), TileArray());
    const auto attributes = StageArrays::Bytes(Holder.Stage(stage), PropertyArray());
    for (int q = 0; q < QuarterCount; ++q)
        bytes[static_cast<std::size_t>(q)] =
            tiles[static_cast<std::size_t>(q * ChipCount + EditChipIndex)];
    bytes[QuarterCount] = attributes[static_cast<std::size_t>(EditChipIndex)];
    return bytes;
}

void Chip16x16EditClass::PasteChipBytes(const std::array<std::uint8_t, ChipByteCount>& bytes) {
    if (!HasStage())
        return;
    const int stage = Holder.CurrentStage();
    const auto before = EditChipBytes();
    ChangeList list;
    list.Place = {stage, EditorTabId::Chip16x16, Stage().Chip16x16SetIndexValue()};
    for (int q = 0; q <= QuarterCount; ++q) {
        const bool attribute = q == QuarterCount;
        const int index = attribute ? EditChipIndex : q * ChipCount + EditChipIndex;
        const auto at = static_cast<std::size_t>(q);
        list.Bytes.push_back({static_cast<std::uint8_t>(stage),
                              attribute ? PropertyArray() : TileArray(),
                              static_cast<std::uint16_t>(index), before[at], bytes[at]});
    }
    Document.Apply(std::move(list), PasteCaption);
}

// A step of the other chip set shows that set first.
void Chip16x16EditClass::PlaceRequested(const StepPlace& place) {
    if (place.Tab == EditorTabId::Chip16x16 && place.Set >= 0 && HasStage() &&
        Stage().Chip16x16SetIndexValue() != place.Set)
        SwitchChipSet();
}

bool Chip16x16EditClass::ShowsChange(const ByteChange& change) const {
    if (change.Array != TileArray() && change.Array != PropertyArray())
        return false;
    if (change.Stage == Holder.CurrentStage())
        return true;
    return StageArrays::Bytes(Holder.Stage(change.Stage), change.Array).data() ==
           StageArrays::Bytes(Stage(), change.Array).data();
}

// The written chips are drawn again in the sheet, and the panels show the edited chip's values.
void Chip16x16EditClass::BytesWritten(const ByteNotice& notice) {
    if (!HasStage())
        return;
    std::array<bool, ChipCount> written{};
    bool any = false;
    const int stage = Holder.CurrentStage();
    if (std::ranges::any_of(notice.Changes, [stage](const ByteChange& change) {
            return change.Array == EditorArray::Chip32x32 && change.Stage == stage;
        }))
        ShowUseCount();
    for (const ByteChange& change : notice.Changes) {
        if (!ShowsChange(change))
            continue;
        written[change.Index % ChipCount] = true;
        any = true;
    }
    if (!any)
        return;
    for (int chip = 0; chip < ChipCount; ++chip)
        if (written[static_cast<std::size_t>(chip)])
            RedrawChip(chip);
    // The panel and its labels show the edited chip's values.
    if (written[static_cast<std::size_t>(EditChipIndex)])
        SelectChip(EditChipIndex);
    // The view was repainted under the pointer: show its frame again.
    if (FrameUnderPointer != nullptr)
        FrameUnderPointer->Refresh();
}

// ---- Stage and tab ----

void Chip16x16EditClass::LoadStage() {
    if (!HasStage())
        return;
    ShowSwitchCaption();
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
    if (!Prompts.AskYesNo(ImgBGBankTable->window(),
                          QCoreApplication::translate("Chip16x16EditClass", ReloadQuestion)))
        return;
    const int stage = Holder.CurrentStage();
    Document.Apply(
        Document.ReloadChanges(stage, ReloadScope::Chip16x16,
                               {stage, EditorTabId::Chip16x16, Stage().Chip16x16SetIndexValue()}),
        ReloadCaption);
    LoadStage();
}

void Chip16x16EditClass::RedrawAll() {
    if (!HasStage())
        return;
    DrawBankTable();
    BankTableHover.Refresh();
    DrawChipView();
    ChipViewHover.Refresh();
    DrawEditChip();
    QuarterHover.Refresh();
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
    Document.SwitchChip16x16Set();
    LoadStage();
}

void Chip16x16EditClass::ShowUseCount() {
    if (LblUseCount != nullptr && HasStage())
        LblUseCount->setText(QCoreApplication::translate("Chip16x16EditClass", UseCountCaption) +
                             QString::number(ChipUseCount(Stage().Chip32x32Table, EditChipIndex)));
}

// Every stage shows the same set, so the last one tells which the button switches to.
void Chip16x16EditClass::ShowSwitchCaption() {
    const bool normal = Holder.Stage(LevelFormat::StageCount - 1).Chip16x16SetIndexValue() == 0;
    BtnSwitch16X16ChipSet->setText(QCoreApplication::translate(
        "Chip16x16EditClass", normal ? SwitchToDestroyedCaption : SwitchToNormalCaption));
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
    const std::uint8_t attribute = Stage().ChipPropertyTable()[static_cast<std::size_t>(chip)];
    LblSelectChipProperty->setText(HexText::Two(attribute));
    // Showing the stored values is no choice of the user's: these raise no click.
    RGChipPropertySelect->SetItemIndex(LevelFormat::AttributeTypeOf(attribute));
    RGPaletteSelect->SetItemIndex(LevelFormat::SubPaletteOf(attribute));
    ShowUseCount();
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
    WriteByte(TileArray(), quarter * ChipCount + EditChipIndex,
              static_cast<std::uint8_t>(SelectTileIndex), SetTileCaption, &QuarterHover);
}

void Chip16x16EditClass::SetChipProperty() {
    if (!HasStage())
        return;
    const int type = RGChipPropertySelect->ItemIndex();
    const std::uint8_t attribute =
        Stage().ChipPropertyTable()[static_cast<std::size_t>(EditChipIndex)];
    if (type < 0)
        return;
    WriteByte(PropertyArray(), EditChipIndex, LevelFormat::WithAttributeType(attribute, type),
              SetTypeCaption);
}

void Chip16x16EditClass::SetChipPalette() {
    if (!HasStage())
        return;
    const int subPalette = RGPaletteSelect->ItemIndex();
    const std::uint8_t attribute =
        Stage().ChipPropertyTable()[static_cast<std::size_t>(EditChipIndex)];
    if (subPalette < 0)
        return;
    WriteByte(PropertyArray(), EditChipIndex, LevelFormat::WithSubPalette(attribute, subPalette),
              SetSubPaletteCaption);
}

// ---- Mouse ----

void Chip16x16EditClass::BankTableMouseDown(Qt::MouseButton button, int x, int y) {
    const int tile = TableGrid.ItemAt(x, y);
    if (!HasStage() || tile < 0)
        return;
    if (button == Qt::LeftButton) {
        BankTableHover.Press(tile);
        SelectTile(tile);
    } else if (button == Qt::RightButton) {
        BankTablePalette = (BankTablePalette + 1) % SubPaletteCount;
        DrawBankTable();
    }
}

void Chip16x16EditClass::ChipViewMouseDown(Qt::MouseButton button, int x, int y) {
    const int chip = TableGrid.ItemAt(x, y);
    if (!HasStage() || chip < 0)
        return;
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    ChipViewHover.Press(chip);
    if (button == Qt::LeftButton) {
        SelectChip(chip);
    } else {
        const int quarter = ((y % TableCellSize) / TileSize) * 2 + (x % TableCellSize) / TileSize;
        SelectTile(Stage().Chip16x16Table()[static_cast<std::size_t>(quarter * ChipCount + chip)]);
    }
}

void Chip16x16EditClass::EditChipMouseDown(Qt::MouseButton button, int x, int y) {
    const int quarter = QuarterGrid.ItemAt(x, y);
    if (!HasStage() || quarter < 0)
        return;
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    QuarterHover.Press(quarter);
    if (button == Qt::LeftButton) {
        SetQuarter(quarter);
    } else {
        SelectTile(
            Stage()
                .Chip16x16Table()[static_cast<std::size_t>(quarter * ChipCount + EditChipIndex)]);
    }
}

void Chip16x16EditClass::BankTableMouseMove(int x, int y) {
    if (!HasStage())
        return;
    BankTableHover.MoveTo(TableGrid.ItemAt(x, y));
}

void Chip16x16EditClass::ChipViewMouseMove(int x, int y) {
    if (!HasStage())
        return;
    ChipViewHover.MoveTo(TableGrid.ItemAt(x, y));
}

void Chip16x16EditClass::EditChipMouseMove(int x, int y) {
    if (!HasStage())
        return;
    QuarterHover.MoveTo(QuarterGrid.ItemAt(x, y));
}

void Chip16x16EditClass::BankTableMouseLeave() {
    LeaveHover(BankTableHover);
}

void Chip16x16EditClass::ChipViewMouseLeave() {
    LeaveHover(ChipViewHover);
}

void Chip16x16EditClass::EditChipMouseLeave() {
    LeaveHover(QuarterHover);
}

// ---- Hover frames ----

void Chip16x16EditClass::LeaveHover(HoverFrame& frame) {
    // Without a stage the views show nothing to put back.
    if (HasStage())
        frame.Leave();
    else
        frame.Reset();
}

void Chip16x16EditClass::RepaintBankTableCell(int tile) {
    Graphics.CopyToView(*BankTableSurface, TableGrid.CellRect(tile), *BankTableImage,
                        TileGrid.CellRect(tile));
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
    PatternLoadEntry::Apply(Holder.Buffer(), Holder.Address()->PatternEntryOffset(entry),
                            PatternTableBuffer);
}

void Chip16x16EditClass::LoadPropertyCaptions() {
    if (!HasStage())
        return;
    const auto codes =
        ChipTypeCaptions::CodesOfStage(Holder.Buffer(), *Holder.Address(), Holder.CurrentStage());
    auto& captions = Document.PropertyCaptions();
    for (std::size_t i = 0; i < captions.size(); ++i)
        captions[i] = ChipTypeCaptions::Of(codes[i]);
    ShowPropertyCaptions();
}

void Chip16x16EditClass::ShowPropertyCaptions() {
    if (RGChipPropertySelect == nullptr)
        return;
    const auto& captions = Holder.PropertyCaptions();
    for (int i = 0; i < RGChipPropertySelect->Count() && i < LevelFormat::AttributeTypeCount; ++i)
        RGChipPropertySelect->SetItemText(
            i, QString::number(i, 16).toUpper() + "x " +
                   DisplayText::Of(captions[static_cast<std::size_t>(i)]));
}

// ---- Drawing ----

void Chip16x16EditClass::RenderBankTable() {
    Graphics.DrawPatternSheet(*BankTableImage, FirstPatternTable(), 0);
}

void Chip16x16EditClass::RenderChipSheet() {
    if (!HasStage())
        return;
    const StageData& stage = Stage();
    Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), FirstPatternTable(),
                                stage.Chip16x16Table(), stage.ChipPropertyTable());
}

void Chip16x16EditClass::SetChipSheetPalette() {
    Graphics.Chip16x16Sheet().SetColorTable(Graphics.StageColorTable());
}

void Chip16x16EditClass::DrawSheetCell(int chip) {
    Graphics.CopyToView(*ChipViewSurface, TableGrid.CellRect(chip), Graphics.Chip16x16Sheet(),
                        TableGrid.CellRect(chip));
}

void Chip16x16EditClass::RedrawChip(int chip) {
    if (!HasStage() || chip < 0 || chip >= ChipCount)
        return;
    const StageData& stage = Stage();
    const ImageRect cell = TableGrid.CellRect(chip);
    Graphics.DrawChip16x16(
        Graphics.Chip16x16Sheet(), FirstPatternTable(), stage.Chip16x16Table(), cell.Left, cell.Top,
        chip, LevelFormat::SubPaletteOf(stage.ChipPropertyTable()[static_cast<std::size_t>(chip)]));
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
                        Graphics.Chip16x16Sheet(), TableGrid.CellRect(EditChipIndex));
}

void Chip16x16EditClass::DrawSelectTile() {
    Graphics.CopyToView(*SelectTileSurface, {0, 0, SelectTileViewSize, SelectTileViewSize},
                        *BankTableImage, TileGrid.CellRect(SelectTileIndex));
}

void Chip16x16EditClass::DrawPaletteColors() {
    for (int i = 0; i < LevelFormat::StageColorCount; ++i) {
        QFrame* panel = PanelPaletteColor[static_cast<std::size_t>(i)];
        const QColor colour = ToQColor(Graphics.GetStageColor(i));
        // Setting a palette walks the panel's children and repaints it even when nothing changed.
        if (panel->palette().color(QPalette::Window) == colour)
            continue;
        QPalette colours = panel->palette();
        colours.setColor(QPalette::Window, colour);
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
