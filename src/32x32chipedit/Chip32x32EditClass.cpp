#include "32x32chipedit/Chip32x32EditClass.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "editdata/UnusedNumbers.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/HexText.h"
#include "graphics/ViewSurface.h"
#include "prompts/UserPrompts.h"

#include <QCheckBox>
#include <QLabel>

namespace {

// The up-down's position stands for the half shown: up (1) is 00-7F, down (0) is 80-FF.
constexpr int UpPosition = 1;
constexpr int ViewRows = 8;

std::size_t EntryOf(int chip, int quarter) {
    return static_cast<std::size_t>(chip * Chip32x32EditClass::QuarterCount + quarter);
}

// Top-left corner of a chip's cell in the view (whichever half it belongs to).
int ViewCellX(int chip) {
    return (chip % Chip32x32EditClass::ChipsPerRow) * Chip32x32EditClass::Chip32Size;
}
int ViewCellY(int chip) {
    return ((chip / Chip32x32EditClass::ChipsPerRow) % ViewRows) * Chip32x32EditClass::Chip32Size;
}

// The cell of a 16x16 chip, in Chip16x16Sheet and in the chip table alike.
ImageRect TableCellOf(int chip) {
    return ImageRect::FromSize(
        (chip % Chip32x32EditClass::ChipsPerRow) * Chip32x32EditClass::Chip16Size,
        (chip / Chip32x32EditClass::ChipsPerRow) * Chip32x32EditClass::Chip16Size,
        Chip32x32EditClass::Chip16Size, Chip32x32EditClass::Chip16Size);
}

} // namespace

Chip32x32EditClass::Chip32x32EditClass(RomImageData& holder, EditFlagManagement& tracker,
                                       EditorGraphics& graphics, UserPrompts& prompts)
    : Holder(holder), Tracker(tracker), Graphics(graphics), Prompts(prompts) {}

Chip32x32EditClass::~Chip32x32EditClass() = default;

// ---- Binding ----

void Chip32x32EditClass::BindImages(TImageEx* chipTable, TImageEx* chipView, TImageEx* editChip,
                                    TImageEx* selectChip) {
    Img16x16ChipTable = chipTable;
    ImgEdit32x32ChipView = chipView;
    ImgEdit32x32Chip = editChip;
    ImgSelect16x16Chip = selectChip;
    ChipTableSurface = Graphics.CreateViewBitmap(ChipTableSize, ChipTableSize);
    ChipViewSurface = Graphics.CreateViewBitmap(ViewWidth, ViewHeight);
    EditChipSurface = Graphics.CreateViewBitmap(EditChipSize, EditChipSize);
    SelectChipSurface = Graphics.CreateViewBitmap(SelectChipSize, SelectChipSize);
    Img16x16ChipTable->SetSurface(ChipTableSurface.get());
    ImgEdit32x32ChipView->SetSurface(ChipViewSurface.get());
    ImgEdit32x32Chip->SetSurface(EditChipSurface.get());
    ImgSelect16x16Chip->SetSurface(SelectChipSurface.get());
}

void Chip32x32EditClass::BindUpDown(TUpDown* changeView) {
    UDChange32x32ChipView = changeView;
    UDChange32x32ChipView->SetRange(0, 1);
}

void Chip32x32EditClass::BindLabels(QLabel* editView, QLabel* select16x16Index,
                                    QLabel* select16x16Property,
                                    const std::array<QLabel*, 4>& structIndex,
                                    const std::array<QLabel*, 4>& structProperty,
                                    QLabel* select32x32Index) {
    LblEdit32x32ChipView = editView;
    LblSelect16x16ChipIndex = select16x16Index;
    LblSelect16x16ChipProperty = select16x16Property;
    LblStructChipIndex = structIndex;
    LblStructChipProperty = structProperty;
    LblSelect32x32ChipIndex = select32x32Index;
}

void Chip32x32EditClass::BindGridCheckBox(QCheckBox* drawGrid) {
    Chk32x32ChipEditDrawGrid = drawGrid;
}

// ---- Helpers ----

bool Chip32x32EditClass::HasStage() const {
    return Holder.HasStages();
}

StageData& Chip32x32EditClass::Stage() {
    return Holder.CurrentStageData();
}

QWidget* Chip32x32EditClass::DialogParent() const {
    return ImgEdit32x32ChipView != nullptr ? ImgEdit32x32ChipView->window() : nullptr;
}

bool Chip32x32EditClass::GridEnabled() const {
    return Chk32x32ChipEditDrawGrid != nullptr && Chk32x32ChipEditDrawGrid->isChecked();
}

void Chip32x32EditClass::DrawGrid() {
    Graphics.DrawGrid(*ChipViewSurface, GridSpacing, GridSpacing);
}

void Chip32x32EditClass::MarkModified() {
    Tracker.SetChip32x32Modified(Holder.CurrentStage(), true);
}

void Chip32x32EditClass::CopyEditPanel() {
    Graphics.CopyChip32x32(*EditChipSurface, 0, 0, EditChipSize, EditChipSize, EditChipIndex);
}

void Chip32x32EditClass::CopySelectChip() {
    Graphics.CopyToView(*SelectChipSurface, {0, 0, SelectChipSize, SelectChipSize},
                        Graphics.Chip16x16Sheet(), TableCellOf(SelectChipIndex));
}

QString Chip32x32EditClass::CaptionOf16x16Chip(int chip) {
    const int type = Stage().ChipPropertyTable()[static_cast<std::size_t>(chip)] >> 4;
    return QString::fromStdString(Holder.PropertyCaptions()[static_cast<std::size_t>(type)]);
}

// ---- Stage, sheets and tab ----

void Chip32x32EditClass::LoadStage() {
    EditChipIndex = 0;
    SelectChipIndex = 0;
    ViewHalf = 0;
    UDChange32x32ChipView->SetPosition(UpPosition);
    LblEdit32x32ChipView->setText(FirstHalfCaption);
    ViewHover.Reset();
    TableHover.Reset();
    QuarterHover.Reset();
    SetChipSheetPalette();
    RenderChipSheet();
    DrawView();
    DrawChipTable();
    ShowEditChip(EditChipIndex);
    ShowSelectChip(SelectChipIndex);
}

void Chip32x32EditClass::SetChipSheetPalette() {
    Graphics.RefreshChip32x32SheetColors();
}

void Chip32x32EditClass::RenderChipSheet() {
    Graphics.DrawChip32x32Sheet(Graphics.Chip32x32Sheet(), Stage().Chip32x32Table);
}

void Chip32x32EditClass::ReloadStage() {
    if (!Prompts.AskYesNo(DialogParent(), ReloadQuestion))
        return;
    // Only this tab's table comes back; the modified mark stays as it was.
    Stage().DecodeChip32x32Table();
    LoadStage();
}

void Chip32x32EditClass::RedrawAll() {
    DrawView();
    DrawChipTable();
    CopyEditPanel();
    CopySelectChip();
    for (const HoverImage image :
         {HoverImage::ChipView, HoverImage::ChipTable, HoverImage::EditChip})
        RedrawHoverAfterChange(image);
}

void Chip32x32EditClass::ActivateTab() {
    DrawView();
    DrawChipTable();
    ShowEditChip(EditChipIndex);
    ShowSelectChip(SelectChipIndex);
}

// ---- Drawing ----

void Chip32x32EditClass::SetViewHalf(int half) {
    if (half == ViewHalf || half < 0 || half > 1)
        return;
    ViewHalf = half;
    UDChange32x32ChipView->SetPosition(UpPosition - half);
    LblEdit32x32ChipView->setText(half == 1 ? SecondHalfCaption : FirstHalfCaption);
    DrawView();
}

void Chip32x32EditClass::DrawView() {
    SetChipSheetPalette();
    Graphics.CopyToView(*ChipViewSurface, {0, 0, ViewWidth, ViewHeight}, Graphics.Chip32x32Sheet(),
                        ImageRect::FromSize(0, ViewHalf * ViewHeight, ViewWidth, ViewHeight));
    if (GridEnabled())
        DrawGrid();
}

void Chip32x32EditClass::DrawChipTable() {
    PalettedImage& sheet = Graphics.Chip16x16Sheet();
    sheet.CopyColorTable(Graphics.StageColorImage());
    Graphics.CopyToView(*ChipTableSurface, {0, 0, ChipTableSize, ChipTableSize}, sheet,
                        {0, 0, sheet.Width(), sheet.Height()});
}

void Chip32x32EditClass::ShowEditChip(int chip) {
    EditChipIndex = chip;
    CopyEditPanel();
    LblSelect32x32ChipIndex->setText(HexText::Two(chip));
    for (int q = 0; q < QuarterCount; ++q) {
        const int part = Stage().Chip32x32Table[EntryOf(chip, q)];
        LblStructChipIndex[static_cast<std::size_t>(q)]->setText(HexText::Two(part));
        LblStructChipProperty[static_cast<std::size_t>(q)]->setText(CaptionOf16x16Chip(part));
    }
}

void Chip32x32EditClass::ShowSelectChip(int chip) {
    SelectChipIndex = chip;
    CopySelectChip();
    LblSelect16x16ChipIndex->setText(HexText::Two(chip));
    LblSelect16x16ChipProperty->setText(CaptionOf16x16Chip(chip));
}

void Chip32x32EditClass::RedrawChip32x32(int chip) {
    Graphics.DrawChip32x32(Graphics.Chip32x32Sheet(), Stage().Chip32x32Table, chip);
    if (chip / HalfChipCount != ViewHalf)
        return;
    Graphics.CopyChip32x32(*ChipViewSurface, ViewCellX(chip), ViewCellY(chip), Chip32Size,
                           Chip32Size, chip);
    // The copied cell covered its share of the grid lines.
    if (GridEnabled())
        DrawGrid();
}

// ---- Edits ----

void Chip32x32EditClass::SetQuarter(int quarter) {
    auto& entry = Stage().Chip32x32Table[EntryOf(EditChipIndex, quarter)];
    if (entry == SelectChipIndex)
        return;
    entry = static_cast<std::uint8_t>(SelectChipIndex);
    RedrawChip32x32(EditChipIndex);
    ShowEditChip(EditChipIndex);
    RedrawHoverAfterChange(HoverImage::EditChip);
    MarkModified();
}

void Chip32x32EditClass::SetQuarterAt(int x, int y) {
    const int chip = ViewChipAt(x, y);
    auto& entry = Stage().Chip32x32Table[EntryOf(chip, ViewQuarterOf(x, y))];
    if (entry == SelectChipIndex)
        return;
    entry = static_cast<std::uint8_t>(SelectChipIndex);
    MarkModified();
    RedrawChip32x32(chip);
    // The panel shows the edited chip, which may be the one just changed.
    ShowEditChip(EditChipIndex);
    RedrawHoverAfterChange(HoverImage::ChipView);
}

int Chip32x32EditClass::QuarterAt(int x, int y) {
    const int chip = ViewChipAt(x, y);
    return Stage().Chip32x32Table[EntryOf(chip, ViewQuarterOf(x, y))];
}

void Chip32x32EditClass::CopyStruct(int chip) {
    for (int q = 0; q < QuarterCount; ++q)
        CopiedStruct[static_cast<std::size_t>(q)] = Stage().Chip32x32Table[EntryOf(chip, q)];
}

void Chip32x32EditClass::PasteStruct(int chip) {
    bool changed = false;
    for (int q = 0; q < QuarterCount; ++q) {
        auto& entry = Stage().Chip32x32Table[EntryOf(chip, q)];
        const std::uint8_t copied = CopiedStruct[static_cast<std::size_t>(q)];
        if (entry != copied) {
            entry = copied;
            changed = true;
        }
    }
    if (!changed)
        return;
    MarkModified();
    RedrawChip32x32(chip);
    ShowEditChip(EditChipIndex);
    RedrawHoverAfterChange(HoverImage::ChipView);
}

// ---- Mouse ----

int Chip32x32EditClass::ChipViewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                          int x, int y) {
    if (!HasStage() || !Inside(x, y, ViewWidth, ViewHeight))
        return -1;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    if (button == Qt::LeftButton) {
        if (ctrl) {
            PasteStruct(ViewChipAt(x, y));
        } else if (shift) {
            SetQuarterAt(x, y);
        } else {
            const int chip = ViewChipAt(x, y);
            ShowEditChip(chip);
            return chip;
        }
    } else if (button == Qt::RightButton) {
        if (ctrl)
            CopyStruct(ViewChipAt(x, y));
        else
            ShowSelectChip(QuarterAt(x, y));
    }
    return -1;
}

void Chip32x32EditClass::EditChipMouseDown(Qt::MouseButton button, int x, int y) {
    if (!HasStage() || !Inside(x, y, EditChipSize, EditChipSize))
        return;
    if (button == Qt::LeftButton) {
        SetQuarter(EditQuarterAt(x, y));
    } else if (button == Qt::RightButton) {
        const int quarter = EditQuarterAt(x, y);
        ShowSelectChip(Stage().Chip32x32Table[EntryOf(EditChipIndex, quarter)]);
    }
}

void Chip32x32EditClass::ChipTableMouseDown(Qt::MouseButton button, int x, int y) {
    if (!HasStage() || !Inside(x, y, ChipTableSize, ChipTableSize))
        return;
    if (button == Qt::LeftButton)
        ShowSelectChip(TableChipAt(x, y));
}

// A move outside an image (a drag that left it) points at nothing new.
void Chip32x32EditClass::ChipViewMouseMove(int x, int y) {
    if (!HasStage() || !Inside(x, y, ViewWidth, ViewHeight))
        return;
    ViewChipAt(x, y);
    RedrawHover(HoverImage::ChipView);
}

void Chip32x32EditClass::EditChipMouseMove(int x, int y) {
    if (!HasStage() || !Inside(x, y, EditChipSize, EditChipSize))
        return;
    EditQuarterAt(x, y);
    RedrawHover(HoverImage::EditChip);
}

void Chip32x32EditClass::ChipTableMouseMove(int x, int y) {
    if (!HasStage() || !Inside(x, y, ChipTableSize, ChipTableSize))
        return;
    TableChipAt(x, y);
    RedrawHover(HoverImage::ChipTable);
}

void Chip32x32EditClass::ChipViewMouseLeave() {
    if (HasStage())
        LeaveHover(HoverImage::ChipView);
}

void Chip32x32EditClass::EditChipMouseLeave() {
    if (HasStage())
        LeaveHover(HoverImage::EditChip);
}

void Chip32x32EditClass::ChipTableMouseLeave() {
    if (HasStage())
        LeaveHover(HoverImage::ChipTable);
}

// ---- Position arithmetic ----

bool Chip32x32EditClass::Inside(int x, int y, int width, int height) {
    return x >= 0 && y >= 0 && x < width && y < height;
}

int Chip32x32EditClass::ViewChipAt(int x, int y) {
    const int chip = ViewHalf * HalfChipCount + (y / Chip32Size) * ChipsPerRow + x / Chip32Size;
    ViewHover.Shift(chip);
    return chip;
}

int Chip32x32EditClass::ViewQuarterOf(int x, int y) {
    return ((y % Chip32Size) / Chip16Size) * 2 + (x % Chip32Size) / Chip16Size;
}

int Chip32x32EditClass::EditQuarterAt(int x, int y) {
    const int quarter = (y / Chip32Size) * 2 + x / Chip32Size;
    QuarterHover.Shift(quarter);
    return quarter;
}

int Chip32x32EditClass::TableChipAt(int x, int y) {
    const int chip = (y / Chip16Size) * ChipsPerRow + x / Chip16Size;
    TableHover.Shift(chip);
    return chip;
}

// ---- Hover frames ----

HoverPair& Chip32x32EditClass::PairOf(HoverImage image) {
    switch (image) {
    case HoverImage::ChipView:
        return ViewHover;
    case HoverImage::ChipTable:
        return TableHover;
    case HoverImage::EditChip:
        break;
    }
    return QuarterHover;
}

void Chip32x32EditClass::RedrawHover(HoverImage image) {
    const HoverPair& pair = PairOf(image);
    if (pair.Previous == pair.Current)
        return;
    if (pair.Previous != -1)
        RepaintHoverItem(image, pair.Previous);
    if (image == HoverImage::ChipView && GridEnabled())
        DrawGrid();
    if (pair.Current != -1)
        DrawHoverFrame(image, pair.Current);
}

// After an edit has repainted under the frame: draw it again where it is.
void Chip32x32EditClass::RedrawHoverAfterChange(HoverImage image) {
    PairOf(image).Previous = -1;
    RedrawHover(image);
}

void Chip32x32EditClass::LeaveHover(HoverImage image) {
    HoverPair& pair = PairOf(image);
    if (pair.Current != -1)
        RepaintHoverItem(image, pair.Current);
    if (image == HoverImage::ChipView && GridEnabled())
        DrawGrid();
    pair.Reset();
}

void Chip32x32EditClass::RepaintHoverItem(HoverImage image, int item) {
    switch (image) {
    case HoverImage::ChipView:
        // The cell shows whatever the current half puts there.
        Graphics.CopyToView(
            *ChipViewSurface,
            ImageRect::FromSize(ViewCellX(item), ViewCellY(item), Chip32Size, Chip32Size),
            Graphics.Chip32x32Sheet(),
            ImageRect::FromSize(ViewCellX(item), ViewHalf * ViewHeight + ViewCellY(item),
                                Chip32Size, Chip32Size));
        break;
    case HoverImage::ChipTable:
        Graphics.CopyToView(*ChipTableSurface, TableCellOf(item), Graphics.Chip16x16Sheet(),
                            TableCellOf(item));
        break;
    case HoverImage::EditChip:
        CopyEditPanel();
        break;
    }
}

void Chip32x32EditClass::DrawHoverFrame(HoverImage image, int item) {
    switch (image) {
    case HoverImage::ChipView:
        Graphics.DrawFrame(*ChipViewSurface, ViewCellX(item), ViewCellY(item), Chip32Size);
        break;
    case HoverImage::ChipTable: {
        const ImageRect cell = TableCellOf(item);
        Graphics.DrawFrame(*ChipTableSurface, cell.Left, cell.Top, Chip16Size);
        break;
    }
    case HoverImage::EditChip:
        Graphics.DrawFrame(*EditChipSurface, (item % 2) * Chip32Size, (item / 2) * Chip32Size,
                           Chip32Size);
        break;
    }
}

// ---- Report ----

QString Chip32x32EditClass::UnusedChipList() {
    if (!HasStage())
        return {};
    return QString::fromStdString(UnusedNumberList(Stage().MapSetTable));
}
