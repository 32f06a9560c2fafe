#include "paletteedit/PaletteEditClass.h"

#include "base/LevelFormat.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "address/AddressData.h"
#include "dib/PalettedImage.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/PaletteBlock.h"
#include "editdata/PaletteEncoder.h"
#include "editdata/PaletteLayout.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/GridGeometry.h"
#include "graphics/HexText.h"
#include "graphics/ViewSurface.h"
#include "history/LanguageChangeWatch.h"
#include "prompts/UserPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int CellSize = PaletteEditClass::CellSize;

// The master colours, 16 a row.
constexpr GridGeometry ColorTableGrid = GridGeometry::Square(
    PaletteEditClass::ColorTableColumns,
    PaletteEditClass::MasterColorCount / PaletteEditClass::ColorTableColumns, CellSize);
// One row of cells: a sub-palette's view holds 4, the strips hold all 16 entries.
constexpr GridGeometry StripGrid = GridGeometry::Square(PaletteEditClass::EntryCount, 1, CellSize);
constexpr GridGeometry SubPaletteGrid = GridGeometry::Square(4, 1, CellSize);

// Strip of sub-palette k (entries 4k .. 4k + 3) in a 384-pixel strip.
ImageRect SubPaletteStrip(int k) {
    return ImageRect::FromSize(k * PaletteEditClass::PalViewWidth, 0,
                               PaletteEditClass::PalViewWidth, CellSize);
}

// An entry field as it is built, and with the frame of an entry a save could not write.
constexpr const char* PlainFieldStyle = "QLineEdit { padding: 0px; }";
constexpr const char* UnwritableFieldStyle = "QLineEdit { padding: 0px; border: 2px solid red; }";

QString Translated(const char* source) {
    return QCoreApplication::translate("PaletteEditClass", source);
}

} // namespace

PaletteEditClass::PaletteEditClass(LevelDocument& document, EditorGraphics& graphics,
                                   UserPrompts& prompts)
    : Document(document), Holder(document.Image()), Graphics(graphics), Prompts(prompts),
      PaletteStrip(std::make_unique<PalettedImage>(StripWidth, CellSize)),
      ColorTableImage(std::make_unique<PalettedImage>(ColorTableWidth, ColorTableHeight)),
      AnimeStrip(Graphics.CreateSheet(StripWidth, CellSize)),
      ColorTableHoverFrame(graphics.GridHoverFrame(ColorTableSurface, ColorTableGrid,
                                                   [this](int n) { RepaintColorTableCell(n); })),
      PalViewHoverFrame([this](int i) { RepaintPaletteCell(i); },
                        [this](int i) {
                            Graphics.DrawFrame(*PalViewSurfaces[static_cast<std::size_t>(i / 4)],
                                               SubPaletteGrid.CellRect(i % 4));
                        }) {
    // The palette strip and the colour table show colour numbers, so they take the master
    // colours; the animation strip shows stage colour indices.
    PaletteStrip->CopyColorTable(Graphics.MasterColorImage());
    ColorTableImage->CopyColorTable(Graphics.MasterColorImage());
    QObject::connect(&document, &LevelDocument::BytesWritten, &Listener,
                     [this](const ByteNotice& notice) { BytesWritten(notice); });
    QObject::connect(&document, &LevelDocument::PlaceRequested, &Listener,
                     [this](const StepPlace& place) { PlaceRequested(place); });
}

PaletteEditClass::~PaletteEditClass() = default;

// ---- Binding ----

void PaletteEditClass::SetImages(const std::array<TImageEx*, 4>& palViews, TImageEx* colorTable,
                                 TImageEx* selectColor, const std::array<TImageEx*, 4>& animePals) {
    ImgPalView = palViews;
    ImgColorTable = colorTable;
    ImgSelectColor = selectColor;
    ImgAnimePal = animePals;
}

void PaletteEditClass::CreateBitmaps() {
    for (int k = 0; k < SubPaletteCount; ++k) {
        const auto index = static_cast<std::size_t>(k);
        PalViewSurfaces[index] = Graphics.CreateViewBitmap(PalViewWidth, CellSize);
        ImgPalView[index]->SetSurface(PalViewSurfaces[index].get());
        AnimePalSurfaces[index] = Graphics.CreateViewBitmap(PalViewWidth, CellSize);
        ImgAnimePal[index]->SetSurface(AnimePalSurfaces[index].get());
    }
    ColorTableSurface = Graphics.CreateViewBitmap(ColorTableWidth, ColorTableHeight);
    ImgColorTable->SetSurface(ColorTableSurface.get());
    SelectColorSurface = Graphics.CreateViewBitmap(SelectColorSize, SelectColorSize);
    ImgSelectColor->SetSurface(SelectColorSurface.get());
}

void PaletteEditClass::SetEditFields(const std::array<QLineEdit*, EntryCount>& palette,
                                     const std::array<QLineEdit*, SubPaletteCount>& animation) {
    EditPal = palette;
    EditAnimePal = animation;
}

void PaletteEditClass::SetSelectColorLabel(QLabel* label) {
    LblSelectColor = label;
}

void PaletteEditClass::SetAnimeUpDowns(const std::array<TUpDown*, SubPaletteCount>& upDowns) {
    UDAnimePal = upDowns;
}

void PaletteEditClass::SetPaletteSetSelector(QComboBox* selector) {
    CBSelectPaletteSet = selector;
}

void PaletteEditClass::SetWriteBackControls(QCheckBox* save, QGroupBox* group, QLabel* hint) {
    ChkSave = save;
    GBPalette = group;
    LblWriteHint = hint;
    LanguageWatch = std::make_unique<LanguageChangeWatch>(hint, [this] { ShowWriteBackTexts(); });
    ChangeWriteBack();
}

// ---- Helpers ----

int PaletteEditClass::PaletteSet() const {
    return std::clamp(CBSelectPaletteSet->currentIndex(), 0, SetCount - 1);
}

const std::uint8_t* PaletteEditClass::ChosenSet() const {
    return Holder.CurrentStageData().StagePalette.data() + PaletteSet() * EntryCount;
}

const std::uint8_t* PaletteEditClass::ChosenAnimeRow() const {
    return Holder.CurrentStageData().AnimePalette.data() + PaletteSet() * SubPaletteCount;
}

std::vector<PaletteEditClass::SetRef> PaletteEditClass::SetsSharing(int stage, int set) const {
    std::vector<SetRef> sets{{stage, set}};
    if (!Holder.PaletteWriteBack() || !Holder.Address()) {
        return sets;
    }
    const PaletteLayout layout(Holder.Buffer(), *Holder.Address());
    for (const PaletteLayout::SetRef& sharer : layout.SharersOf(stage, set)) {
        if (sharer.Stage != stage || sharer.Set != set) {
            sets.push_back({sharer.Stage, sharer.Set});
        }
    }
    return sets;
}

// With write-back on, every set reading the same palette block takes the colour too, so what
// the user sees on each stage is what the game will show. The sets are chosen now and kept in
// the step.
void PaletteEditClass::AddSharingSets(ChangeList& list) const {
    const std::size_t own = list.Bytes.size();
    for (std::size_t i = 0; i < own; ++i) {
        const ByteChange change = list.Bytes[i];
        if (change.Array != EditorArray::StagePalette) {
            continue;
        }
        const int set = change.Index / EntryCount;
        const int entry = change.Index % EntryCount;
        for (const SetRef& sharer : SetsSharing(change.Stage, set)) {
            if (sharer.Stage == change.Stage && sharer.Set == set) {
                continue;
            }
            const auto index = static_cast<std::size_t>(sharer.Set * EntryCount + entry);
            list.Bytes.push_back({static_cast<std::uint8_t>(sharer.Stage),
                                  EditorArray::StagePalette, static_cast<std::uint16_t>(index),
                                  Holder.Stage(sharer.Stage).StagePalette[index], change.New});
        }
    }
}

QWidget* PaletteEditClass::PromptParent() const {
    return ImgPalView[0]->window();
}

StepPlace PaletteEditClass::Place() const {
    return {Holder.CurrentStage(), EditorTabId::Palette, PaletteSet()};
}

// Shows what a step wrote into the set on the tab; the other sets show it when chosen.
void PaletteEditClass::BytesWritten(const ByteNotice& notice) {
    if (!Holder.HasStages()) {
        return;
    }
    const int stage = Holder.CurrentStage();
    const int set = PaletteSet();
    bool colours = false;
    bool animation = false;
    for (const ByteChange& change : notice.Changes) {
        if (change.Stage != stage) {
            continue;
        }
        if (change.Array == EditorArray::StagePalette && change.Index / EntryCount == set) {
            const int entry = change.Index % EntryCount;
            const int value = ChosenSet()[entry];
            {
                const QSignalBlocker blocker(EditPal[static_cast<std::size_t>(entry)]);
                EditPal[static_cast<std::size_t>(entry)]->setText(HexText::Two(value));
            }
            Graphics.SetStageColor(entry, value);
            CopyAnimeCell(entry);
            RepaintPaletteCell(entry);
            colours = true;
        }
        if (change.Array == EditorArray::AnimePalette && change.Index / SubPaletteCount == set) {
            animation = true;
        }
    }
    if (animation) {
        Graphics.ResetPaletteAnimation();
        // The colours return to their stored values before the new animation takes over.
        Graphics.SetStagePalette({ChosenSet(), static_cast<std::size_t>(EntryCount)});
        DrawAnimeStrip();
        ShowAnimeTexts();
    }
    if (colours || animation) {
        ShowWriteMarks();
    }
}

void PaletteEditClass::PlaceRequested(const StepPlace& place) {
    if (place.Tab == EditorTabId::Palette && place.Set >= 0 &&
        CBSelectPaletteSet->currentIndex() != place.Set) {
        CBSelectPaletteSet->setCurrentIndex(place.Set);
    }
}

// Cell i of the palette views from the stored entry.
void PaletteEditClass::RepaintPaletteCell(int i) {
    const int k = i / 4;
    Graphics.FillSheetRect(*PaletteStrip, i * CellSize, 0, CellSize, CellSize,
                           ChosenSet()[i] & LevelFormat::ColorNumberMask);
    Graphics.CopyToView(*PalViewSurfaces[static_cast<std::size_t>(k)],
                        SubPaletteGrid.CellRect(i % 4), *PaletteStrip, StripGrid.CellRect(i));
}

void PaletteEditClass::RepaintColorTableCell(int n) {
    Graphics.CopyToView(*ColorTableSurface, ColorTableGrid.CellRect(n), *ColorTableImage,
                        ColorTableGrid.CellRect(n));
}

void PaletteEditClass::ShowSelectColor() {
    Graphics.CopyToView(*SelectColorSurface,
                        ImageRect::FromSize(0, 0, SelectColorSize, SelectColorSize),
                        *ColorTableImage, ColorTableGrid.CellRect(SelectedColor));
    LblSelectColor->setText(HexText::Two(SelectedColor));
}

// Cell i of the animation strip onto its view, with the engine's colours as they are now.
void PaletteEditClass::CopyAnimeCell(int i) {
    AnimeStrip->CopyColorTable(Graphics.StageColorImage());
    Graphics.CopyToView(*AnimePalSurfaces[static_cast<std::size_t>(i / 4)],
                        SubPaletteGrid.CellRect(i % 4), *AnimeStrip, StripGrid.CellRect(i));
}

// ---- Stage and reloads ----

void PaletteEditClass::LoadStage() {
    if (!Holder.HasStages()) {
        return;
    }
    if (Holder.CurrentStage() != LoadedStageNumber || Holder.OpenCount() != LoadedOpenCount) {
        LoadedStageNumber = Holder.CurrentStage();
        LoadedOpenCount = Holder.OpenCount();
        const QSignalBlocker blocker(CBSelectPaletteSet);
        CBSelectPaletteSet->setCurrentIndex(0);
    }
    ColorTableHoverFrame.Reset();
    PalViewHoverFrame.Reset();

    const std::uint8_t* set = ChosenSet();
    for (int i = 0; i < EntryCount; ++i) {
        Graphics.FillSheetRect(*PaletteStrip, i * CellSize, 0, CellSize, CellSize,
                               set[i] & LevelFormat::ColorNumberMask);
    }
    for (int k = 0; k < SubPaletteCount; ++k) {
        Graphics.CopyToView(*PalViewSurfaces[static_cast<std::size_t>(k)], SubPaletteStrip(0),
                            *PaletteStrip, SubPaletteStrip(k));
    }
    ShowPaletteTexts();

    for (int n = 0; n < MasterColorCount; ++n) {
        const ImageRect cell = ColorTableGrid.CellRect(n);
        Graphics.FillSheetRect(*ColorTableImage, cell.Left, cell.Top, CellSize, CellSize, n);
    }
    Graphics.CopyToView(
        *ColorTableSurface, ImageRect::FromSize(0, 0, ColorTableWidth, ColorTableHeight),
        *ColorTableImage, ImageRect::FromSize(0, 0, ColorTableWidth, ColorTableHeight));
    ShowSelectColor();

    Graphics.SetStagePalette({ChosenSet(), static_cast<std::size_t>(EntryCount)});
    for (int i = 0; i < EntryCount; ++i) {
        Graphics.FillSheetRect(*AnimeStrip, i * CellSize, 0, CellSize, CellSize, i);
    }
    DrawAnimeStrip();
    ShowAnimeTexts();
    ShowWriteMarks();
}

void PaletteEditClass::ShowMasterColors() {
    PaletteStrip->CopyColorTable(Graphics.MasterColorImage());
    ColorTableImage->CopyColorTable(Graphics.MasterColorImage());
    LoadStage();
}

void PaletteEditClass::ReloadStage() {
    if (!Holder.HasStages() || !Prompts.AskYesNo(PromptParent(), Translated(ReloadQuestion))) {
        return;
    }
    ChangeList list = Document.ReloadChanges(Holder.CurrentStage(), ReloadScope::Palettes, Place());
    AddSharingSets(list);
    Document.Apply(std::move(list), ReloadCaption);
    LoadStage();
}

void PaletteEditClass::ReloadAnimePalette() {
    if (!Holder.HasStages() || !Prompts.AskYesNo(PromptParent(), Translated(AnimeReloadQuestion))) {
        return;
    }
    Document.Apply(
        Document.ReloadChanges(Holder.CurrentStage(), ReloadScope::AnimePalette, Place()),
        AnimeReloadCaption);
    LoadStage();
}

void PaletteEditClass::ChangePaletteSet() {
    LoadStage();
    Graphics.ResetPaletteAnimation();
}

void PaletteEditClass::ActivateTab() {
    ShowPaletteTexts();
    ShowAnimeTexts();
}

void PaletteEditClass::ChangeWriteBack() {
    Document.SetPaletteWriteBack(ChkSave->isChecked());
    ShowWriteBackTexts();
}

void PaletteEditClass::ShowWriteBackTexts() {
    GBPalette->setTitle(
        Translated(ChkSave->isChecked() ? CaptionWhileSaved : CaptionWhileNotSaved));
    ShowWriteMarks();
}

void PaletteEditClass::ShowWriteMarks() {
    if (!LblWriteHint) {
        return; // not bound yet
    }
    std::array<bool, EntryCount> marked{};
    QString hint;
    if (Holder.HasStages() && Holder.PaletteWriteBack() && Holder.Address()) {
        const AddressData& address = *Holder.Address();
        const int stage = Holder.CurrentStage();
        const int set = PaletteSet();
        const auto& palette = Holder.CurrentStageData().StagePalette;
        const PaletteSetWrite plan = PaletteEncoder::PlanStage(
            address, stage, palette, Holder.Buffer())[static_cast<std::size_t>(set)];
        if (plan.Outcome == PaletteSetOutcome::Refused) {
            hint = Translated(NotWritableHint) +
                   DisplayText::Of(PaletteEncoder::RefusalText(plan.Reason));
            if (plan.Entry >= 0 && plan.Entry < EntryCount) {
                marked[static_cast<std::size_t>(plan.Entry)] = true;
            } else {
                // No single entry to blame: every entry that differs from the file is.
                const auto decoded =
                    PaletteBlock::Of(Holder.Buffer(), address, set, address.PaletteNumber(stage))
                        .Decoded();
                for (int i = 0; i < EntryCount; ++i) {
                    const auto entry = static_cast<std::size_t>(i);
                    marked[entry] =
                        palette[static_cast<std::size_t>(set * EntryCount + i)] != decoded[entry];
                }
            }
        }
    }
    for (int i = 0; i < EntryCount; ++i) {
        QLineEdit* field = EditPal[static_cast<std::size_t>(i)];
        const bool unwritable = marked[static_cast<std::size_t>(i)];
        const QString style = unwritable ? UnwritableFieldStyle : PlainFieldStyle;
        if (field->styleSheet() != style) {
            field->setStyleSheet(style);
        }
        field->setToolTip(unwritable ? hint : QString());
    }
    LblWriteHint->setText(hint);
    LblWriteHint->setVisible(!hint.isEmpty());
}

// ---- Entries ----

void PaletteEditClass::SetEntryColor(int set, int entry, int value) {
    if (set < 0 || set >= SetCount || entry < 0 || entry >= EntryCount || value < 0 ||
        value > HighestColorNumber || !Holder.HasStages()) {
        return;
    }
    const int stage = Holder.CurrentStage();
    const int index = set * EntryCount + entry;
    const std::uint8_t stored = Holder.Stage(stage).StagePalette[static_cast<std::size_t>(index)];
    if (stored == value) {
        return;
    }
    ChangeList list;
    list.Place = {stage, EditorTabId::Palette, set};
    list.Bytes.push_back({static_cast<std::uint8_t>(stage), EditorArray::StagePalette,
                          static_cast<std::uint16_t>(index), stored,
                          static_cast<std::uint8_t>(value)});
    AddSharingSets(list);
    Document.Apply(std::move(list), EntryCaption);
}

std::array<std::uint8_t, PaletteEditClass::EntryCount> PaletteEditClass::ShownSetColours() const {
    std::array<std::uint8_t, EntryCount> colours{};
    if (Holder.HasStages())
        std::copy(ChosenSet(), ChosenSet() + EntryCount, colours.begin());
    return colours;
}

void PaletteEditClass::PasteSetColours(const std::array<std::uint8_t, EntryCount>& colours) {
    if (!Holder.HasStages() || std::any_of(colours.begin(), colours.end(), [](std::uint8_t colour) {
            return colour > HighestColorNumber;
        }))
        return;
    const int stage = Holder.CurrentStage();
    const int set = PaletteSet();
    const auto before = ShownSetColours();
    ChangeList list;
    list.Place = {stage, EditorTabId::Palette, set};
    for (int entry = 0; entry < EntryCount; ++entry) {
        const auto at = static_cast<std::size_t>(entry);
        if (before[at] != colours[at])
            list.Bytes.push_back({static_cast<std::uint8_t>(stage), EditorArray::StagePalette,
                                  static_cast<std::uint16_t>(set * EntryCount + entry), before[at],
                                  colours[at]});
    }
    AddSharingSets(list);
    Document.Apply(std::move(list), PasteCaption);
}

void PaletteEditClass::SetPaletteEntry(int i) {
    if (i < 0 || i >= EntryCount || !Holder.HasStages()) {
        return;
    }
    QLineEdit* field = EditPal[static_cast<std::size_t>(i)];
    if (field->text().size() != 2) {
        return; // still typing
    }
    const auto value = HexText::ParseTwo(field->text());
    // The field shows the stored value, or the typed one upper-cased; neither is typing.
    const QSignalBlocker blocker(field);
    if (!value || *value > HighestColorNumber) {
        field->setText(HexText::Two(ChosenSet()[i]));
        RepaintPaletteCell(i);
        return;
    }
    field->setText(HexText::Two(*value));
    SetEntryColor(PaletteSet(), i, *value);
}

void PaletteEditClass::AssignColor(int i) {
    if (i < 0 || i >= EntryCount) {
        return;
    }
    SetEntryColor(PaletteSet(), i, SelectedColor);
    // A half-typed field shows the stored colour again.
    EditPal[static_cast<std::size_t>(i)]->setText(HexText::Two(SelectedColor));
}

void PaletteEditClass::SelectColor(int n) {
    if (n < 0 || n >= MasterColorCount) {
        return;
    }
    SelectedColor = n;
    ShowSelectColor();
}

void PaletteEditClass::SetAnimeEntry(int j) {
    if (j < 0 || j >= SubPaletteCount || !Holder.HasStages()) {
        return;
    }
    QLineEdit* field = EditAnimePal[static_cast<std::size_t>(j)];
    if (field->text().size() != 2) {
        return;
    }
    const auto value = HexText::ParseTwo(field->text());
    if (!value || (*value > 0 && *value < AnimatedFlag)) {
        field->setText(HexText::Two(ChosenAnimeRow()[j]));
        return;
    }
    {
        const QSignalBlocker blocker(field);
        field->setText(HexText::Two(*value));
    }
    if (*value == ChosenAnimeRow()[j]) {
        return;
    }
    const int index = PaletteSet() * SubPaletteCount + j;
    ChangeList list;
    list.Place = Place();
    list.Bytes.push_back({static_cast<std::uint8_t>(Holder.CurrentStage()),
                          EditorArray::AnimePalette, static_cast<std::uint16_t>(index),
                          ChosenAnimeRow()[j], static_cast<std::uint8_t>(*value)});
    Document.Apply(std::move(list), AnimeEntryCaption);
}

void PaletteEditClass::StepAnimeEntry(int j, int direction) {
    if (j < 0 || j >= SubPaletteCount || !Holder.HasStages()) {
        return;
    }
    const int current = ChosenAnimeRow()[j];
    int next = 0;
    if (direction > 0) {
        next = current == 0xFF ? 0x00 : current < AnimatedFlag ? AnimatedFlag : current + 1;
    } else {
        next = current == 0x00 ? 0xFF : current <= AnimatedFlag ? 0x00 : current - 1;
    }
    EditAnimePal[static_cast<std::size_t>(j)]->setText(HexText::Two(next));
}

void PaletteEditClass::ShowPaletteTexts() {
    if (!Holder.HasStages()) {
        return;
    }
    for (int i = 0; i < EntryCount; ++i) {
        const QSignalBlocker blocker(EditPal[static_cast<std::size_t>(i)]);
        EditPal[static_cast<std::size_t>(i)]->setText(HexText::Two(ChosenSet()[i]));
    }
}

void PaletteEditClass::ShowAnimeTexts() {
    if (!Holder.HasStages()) {
        return;
    }
    for (int j = 0; j < SubPaletteCount; ++j) {
        const QSignalBlocker blocker(EditAnimePal[static_cast<std::size_t>(j)]);
        EditAnimePal[static_cast<std::size_t>(j)]->setText(HexText::Two(ChosenAnimeRow()[j]));
    }
}

void PaletteEditClass::DrawAnimeStrip() {
    AnimeStrip->CopyColorTable(Graphics.StageColorImage());
    for (int k = 0; k < SubPaletteCount; ++k) {
        Graphics.CopyToView(*AnimePalSurfaces[static_cast<std::size_t>(k)], SubPaletteStrip(0),
                            *AnimeStrip, SubPaletteStrip(k));
    }
}

bool PaletteEditClass::StepAnimation() {
    // Before the first open there is no stage to animate; after a close the stages of the
    // closed image stay and keep ticking.
    if (!Holder.HasStages()) {
        return false;
    }
    return Graphics.StepPaletteAnimation(ChosenAnimeRow());
}

std::optional<int> PaletteEditClass::TicksUntilAnimationChange() {
    if (!Holder.HasStages()) {
        return std::nullopt;
    }
    return Graphics.TicksUntilAnimationChange(ChosenAnimeRow());
}

// ---- Mouse ----

int PaletteEditClass::ColorUnder(int x, int y) {
    return ColorTableGrid.ItemAt(x, y);
}

int PaletteEditClass::EntryUnder(int k, int x, int y) {
    const int entry = SubPaletteGrid.ItemAt(x, y);
    if (k < 0 || k >= SubPaletteCount || entry < 0) {
        return -1;
    }
    return k * 4 + entry;
}

void PaletteEditClass::ColorTableMouseDown(Qt::MouseButton button, int x, int y) {
    const int n = ColorUnder(x, y);
    if (button != Qt::LeftButton || n < 0) {
        return;
    }
    ColorTableHoverFrame.Press(n);
    SelectColor(n);
}

void PaletteEditClass::ColorTableMouseMove(int x, int y) {
    ColorTableHoverFrame.MoveTo(ColorUnder(x, y));
}

void PaletteEditClass::ColorTableMouseLeave() {
    ColorTableHoverFrame.Leave();
}

void PaletteEditClass::PalViewMouseDown(int k, Qt::MouseButton button, int x, int y) {
    const int i = EntryUnder(k, x, y);
    if (button != Qt::LeftButton || i < 0 || !Holder.HasStages()) {
        return;
    }
    PalViewHoverFrame.Press(i);
    AssignColor(i);
}

void PaletteEditClass::PalViewMouseMove(int k, int x, int y) {
    if (Holder.HasStages()) {
        PalViewHoverFrame.MoveTo(EntryUnder(k, x, y));
    }
}

void PaletteEditClass::PalViewMouseLeave(int /*k*/) {
    // Without stages the views show nothing to put back.
    if (Holder.HasStages()) {
        PalViewHoverFrame.Leave();
    } else {
        PalViewHoverFrame.Reset();
    }
}
