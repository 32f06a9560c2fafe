#include "32x32chipedit/Chip32x32EditClass.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "editdata/ChipUses.h"
#include "editdata/StageData.h"
#include "editdata/UnusedNumbers.h"
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
#include <QString>

namespace {

// The up-down's position stands for the half shown: up (1) is 00-7F, down (0) is 80-FF.
constexpr int UpPosition = 1;
constexpr int ViewRows = 8;

std::size_t EntryOf(int chip, int quarter) {
    return static_cast<std::size_t>(chip * Chip32x32EditClass::QuarterCount + quarter);
}

// One half of the chips in the view, 16 x 8 cells of 32 pixels.
constexpr GridGeometry ViewGrid =
    GridGeometry::Square(Chip32x32EditClass::ChipsPerRow, ViewRows, Chip32x32EditClass::Chip32Size);
// The 16x16 chips, in Chip16x16Sheet and in the chip table alike.
constexpr GridGeometry TableGrid =
    GridGeometry::Square(Chip32x32EditClass::ChipsPerRow, Chip32x32EditClass::ChipsPerRow,
                         Chip32x32EditClass::Chip16Size);
// The edited chip, its four quarters enlarged.
constexpr GridGeometry QuarterGrid = GridGeometry::Square(2, 2, Chip32x32EditClass::Chip32Size);

// The cell of a chip in the view, whichever half it belongs to.
ImageRect ViewCellOf(int chip) {
    return ViewGrid.CellRect(chip % Chip32x32EditClass::HalfChipCount);
}

} // namespace

Chip32x32EditClass::Chip32x32EditClass(LevelDocument& document, EditorGraphics& graphics,
                                       UserPrompts& prompts)
    : Document(document), Holder(document.Image()), Graphics(graphics), Prompts(prompts),
      ViewHover([this](int chip) { RepaintViewCell(chip); },
                [this](int chip) { FrameViewCell(chip); }),
      TableHover(graphics.GridHoverFrame(ChipTableSurface, TableGrid,
                                         [this](int chip) {
                                             Graphics.CopyToView(*ChipTableSurface,
                                                                 TableGrid.CellRect(chip),
                                                                 Graphics.Chip16x16Sheet(),
                                                                 TableGrid.CellRect(chip));
                                         })),
      QuarterHover(
          graphics.GridHoverFrame(EditChipSurface, QuarterGrid, [this](int) { CopyEditPanel(); })) {
    QObject::connect(&document, &LevelDocument::BytesWritten, &Listener,
                     [this](const ByteNotice& notice) { BytesWritten(notice); });
}

Chip32x32EditClass::~Chip32x32EditClass() = default;

// ---- Binding ----

void Chip32x32EditClass::BindImages(const Images& images) {
    Img16x16ChipTable = images.ChipTable;
    ImgEdit32x32ChipView = images.ChipView;
    ImgEdit32x32Chip = images.EditChip;
    ImgSelect16x16Chip = images.SelectChip;
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

void Chip32x32EditClass::BindLabels(const Labels& labels) {
    LblEdit32x32ChipView = labels.EditView;
    LblSelect16x16ChipIndex = labels.Select16x16Index;
    LblSelect16x16ChipProperty = labels.Select16x16Property;
    LblStructChipIndex = labels.StructIndex;
    LblStructChipProperty = labels.StructProperty;
    LblSelect32x32ChipIndex = labels.Select32x32Index;
    LanguageWatch = std::make_unique<LanguageChangeWatch>(LblSelect16x16ChipProperty, [this] {
        if (HasStage()) {
            ShowPropertyCaptions();
            ShowUseCount();
        }
    });
    LblUseCount = labels.UseCount;
}

void Chip32x32EditClass::BindGridCheckBox(QCheckBox* drawGrid) {
    Chk32x32ChipEditDrawGrid = drawGrid;
}

// ---- Helpers ----

bool Chip32x32EditClass::HasStage() const {
    return Holder.HasStages();
}

const StageData& Chip32x32EditClass::Stage() const {
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

void Chip32x32EditClass::WriteQuarters(int chip, std::span<const std::uint8_t> quarters,
                                       int firstQuarter, const char* caption,
                                       HoverFrame* underPointer) {
    ChangeList list;
    list.Place = {Holder.CurrentStage(), EditorTabId::Chip32x32, -1};
    for (std::size_t i = 0; i < quarters.size(); ++i) {
        const std::size_t index = EntryOf(chip, firstQuarter + static_cast<int>(i));
        list.Bytes.push_back({static_cast<std::uint8_t>(Holder.CurrentStage()),
                              EditorArray::Chip32x32, static_cast<std::uint16_t>(index),
                              Stage().Chip32x32Table[index], quarters[i]});
    }
    FrameUnderPointer = underPointer;
    Document.Apply(std::move(list), caption);
    FrameUnderPointer = nullptr;
}

// The written chips are drawn again in the sheet and wherever this tab shows them.
void Chip32x32EditClass::BytesWritten(const ByteNotice& notice) {
    if (!HasStage())
        return;
    std::array<bool, ChipCount> written{};
    bool any = false;
    const int stage = Holder.CurrentStage();
    if (std::ranges::any_of(notice.Changes, [stage](const ByteChange& change) {
            return change.Array == EditorArray::MapSet && change.Stage == stage;
        }))
        ShowUseCount();
    for (const ByteChange& change : notice.Changes) {
        if (change.Array == EditorArray::Chip32x32 && change.Stage == Holder.CurrentStage()) {
            written[change.Index / QuarterCount] = true;
            any = true;
        }
    }
    if (!any)
        return;
    for (int chip = 0; chip < ChipCount; ++chip)
        if (written[static_cast<std::size_t>(chip)])
            RedrawChip32x32(chip);
    ShowEditChip(EditChipIndex);
    if (FrameUnderPointer != nullptr)
        FrameUnderPointer->Refresh();
}

void Chip32x32EditClass::CopyEditPanel() {
    Graphics.CopyChip32x32(*EditChipSurface, 0, 0, EditChipSize, EditChipSize, EditChipIndex);
}

void Chip32x32EditClass::CopySelectChip() {
    Graphics.CopyToView(*SelectChipSurface, {0, 0, SelectChipSize, SelectChipSize},
                        Graphics.Chip16x16Sheet(), TableGrid.CellRect(SelectChipIndex));
}

QString Chip32x32EditClass::CaptionOf16x16Chip(int chip) {
    const int type =
        LevelFormat::AttributeTypeOf(Stage().ChipPropertyTable()[static_cast<std::size_t>(chip)]);
    return DisplayText::Of(Holder.PropertyCaptions()[static_cast<std::size_t>(type)]);
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
    if (!Prompts.AskYesNo(DialogParent(),
                          QCoreApplication::translate("Chip32x32EditClass", ReloadQuestion)))
        return;
    // Only this tab's table comes back.
    Document.Apply(Document.ReloadChanges(Holder.CurrentStage(), ReloadScope::Chip32x32,
                                          {Holder.CurrentStage(), EditorTabId::Chip32x32, -1}),
                   ReloadCaption);
    LoadStage();
}

void Chip32x32EditClass::RedrawAll() {
    DrawView();
    DrawChipTable();
    CopyEditPanel();
    CopySelectChip();
    for (HoverFrame* frame : {&ViewHover, &TableHover, &QuarterHover})
        frame->Refresh();
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
    }
    ShowPropertyCaptions();
    ShowUseCount();
}

void Chip32x32EditClass::ShowUseCount() {
    if (LblUseCount != nullptr && HasStage())
        LblUseCount->setText(QCoreApplication::translate("Chip32x32EditClass", UseCountCaption) +
                             QString::number(ChipUseCount(Stage().MapSetTable, EditChipIndex)));
}

void Chip32x32EditClass::ShowSelectChip(int chip) {
    SelectChipIndex = chip;
    CopySelectChip();
    LblSelect16x16ChipIndex->setText(HexText::Two(chip));
    ShowPropertyCaptions();
}

// The attribute captions of the edited chip's quarters and of the chosen 16x16 chip.
void Chip32x32EditClass::ShowPropertyCaptions() {
    for (int q = 0; q < QuarterCount; ++q) {
        const int part = Stage().Chip32x32Table[EntryOf(EditChipIndex, q)];
        LblStructChipProperty[static_cast<std::size_t>(q)]->setText(CaptionOf16x16Chip(part));
    }
    LblSelect16x16ChipProperty->setText(CaptionOf16x16Chip(SelectChipIndex));
}

void Chip32x32EditClass::RedrawChip32x32(int chip) {
    Graphics.DrawChip32x32(Graphics.Chip32x32Sheet(), Stage().Chip32x32Table, chip);
    if (chip / HalfChipCount != ViewHalf)
        return;
    const ImageRect cell = ViewCellOf(chip);
    Graphics.CopyChip32x32(*ChipViewSurface, cell.Left, cell.Top, Chip32Size, Chip32Size, chip);
    // The copied cell covered its share of the grid lines.
    if (GridEnabled())
        DrawGrid();
}

// ---- Edits ----

void Chip32x32EditClass::SetQuarter(int quarter) {
    const std::array<std::uint8_t, 1> chip16{static_cast<std::uint8_t>(SelectChipIndex)};
    WriteQuarters(EditChipIndex, chip16, quarter, SetQuarterCaption, &QuarterHover);
}

void Chip32x32EditClass::SetQuarterAt(int x, int y) {
    const std::array<std::uint8_t, 1> chip16{static_cast<std::uint8_t>(SelectChipIndex)};
    WriteQuarters(ViewChipAt(x, y), chip16, ViewQuarterOf(x, y), SetQuarterCaption, &ViewHover);
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
    WriteQuarters(chip, CopiedStruct, 0, PasteStructCaption, &ViewHover);
}

std::array<std::uint8_t, Chip32x32EditClass::QuarterCount>
Chip32x32EditClass::EditChipQuarters() const {
    std::array<std::uint8_t, QuarterCount> quarters{};
    if (!HasStage())
        return quarters;
    for (int q = 0; q < QuarterCount; ++q)
        quarters[static_cast<std::size_t>(q)] = Stage().Chip32x32Table[EntryOf(EditChipIndex, q)];
    return quarters;
}

void Chip32x32EditClass::PasteQuarters(const std::array<std::uint8_t, QuarterCount>& quarters) {
    if (!HasStage())
        return;
    WriteQuarters(EditChipIndex, quarters, 0, PasteStructCaption, nullptr);
}

// ---- Mouse ----

int Chip32x32EditClass::ChipViewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                          int x, int y) {
    if (!HasStage() || !ViewGrid.Contains(x, y))
        return -1;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const int chip = ViewChipAt(x, y);
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return -1;
    ViewHover.Press(chip);
    if (button == Qt::LeftButton) {
        if (ctrl) {
            PasteStruct(chip);
        } else if (shift) {
            SetQuarterAt(x, y);
        } else {
            ShowEditChip(chip);
            return chip;
        }
    } else {
        if (ctrl)
            CopyStruct(chip);
        else
            ShowSelectChip(QuarterAt(x, y));
    }
    return -1;
}

void Chip32x32EditClass::EditChipMouseDown(Qt::MouseButton button, int x, int y) {
    const int quarter = QuarterGrid.ItemAt(x, y);
    if (!HasStage() || quarter < 0)
        return;
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    QuarterHover.Press(quarter);
    if (button == Qt::LeftButton) {
        SetQuarter(quarter);
    } else {
        ShowSelectChip(Stage().Chip32x32Table[EntryOf(EditChipIndex, quarter)]);
    }
}

void Chip32x32EditClass::ChipTableMouseDown(Qt::MouseButton button, int x, int y) {
    const int chip = TableGrid.ItemAt(x, y);
    if (!HasStage() || chip < 0 || button != Qt::LeftButton)
        return;
    TableHover.Press(chip);
    ShowSelectChip(chip);
}

// A move outside an image (a drag that left it) points at nothing new.
void Chip32x32EditClass::ChipViewMouseMove(int x, int y) {
    if (HasStage() && ViewGrid.Contains(x, y))
        ViewHover.MoveTo(ViewChipAt(x, y));
}

void Chip32x32EditClass::EditChipMouseMove(int x, int y) {
    if (HasStage() && QuarterGrid.Contains(x, y))
        QuarterHover.MoveTo(QuarterGrid.ItemAt(x, y));
}

void Chip32x32EditClass::ChipTableMouseMove(int x, int y) {
    if (HasStage() && TableGrid.Contains(x, y))
        TableHover.MoveTo(TableGrid.ItemAt(x, y));
}

void Chip32x32EditClass::ChipViewMouseLeave() {
    if (HasStage())
        ViewHover.Leave();
}

void Chip32x32EditClass::EditChipMouseLeave() {
    if (HasStage())
        QuarterHover.Leave();
}

void Chip32x32EditClass::ChipTableMouseLeave() {
    if (HasStage())
        TableHover.Leave();
}

// ---- Position arithmetic ----

int Chip32x32EditClass::ViewChipAt(int x, int y) const {
    return ViewHalf * HalfChipCount + ViewGrid.ItemAt(x, y);
}

int Chip32x32EditClass::ViewQuarterOf(int x, int y) {
    return ((y % Chip32Size) / Chip16Size) * 2 + (x % Chip32Size) / Chip16Size;
}

// ---- Hover frames ----

void Chip32x32EditClass::RepaintViewCell(int chip) {
    // The cell shows whatever the current half puts there.
    const ImageRect cell = ViewCellOf(chip);
    ImageRect source = cell;
    source.Top += ViewHalf * ViewHeight;
    source.Bottom += ViewHalf * ViewHeight;
    Graphics.CopyToView(*ChipViewSurface, cell, Graphics.Chip32x32Sheet(), source);
    if (GridEnabled())
        DrawGrid();
}

void Chip32x32EditClass::FrameViewCell(int chip) {
    // The grid goes under the frame, so the frame stays whole.
    if (GridEnabled())
        DrawGrid();
    Graphics.DrawFrame(*ChipViewSurface, ViewCellOf(chip));
}

// ---- Report ----

QString Chip32x32EditClass::UnusedChipList() {
    if (!HasStage())
        return {};
    return QString::fromStdString(UnusedNumberList(Stage().MapSetTable));
}
