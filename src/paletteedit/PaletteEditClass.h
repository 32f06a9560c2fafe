#pragma once

#include "base/LevelFormat.h"
#include "graphics/HoverFrame.h"
#include "history/StepPlace.h"

#include <QObject>
#include <Qt>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class EditorGraphics;
class LanguageChangeWatch;
class LevelDocument;
struct ByteNotice;
struct ChangeList;
struct StepPlace;
class PalettedImage;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;
class RomImageData;
class TImageEx;
class TUpDown;
class UserPrompts;
class ViewSurface;

// The palette tab: the chosen palette set of the current stage as sixteen colour cells with
// a two-digit field each, the 64 master colours to pick from, and the palette animation bytes
// of that set. It also hands the engine the stage colours every other editor draws with, which
// is why its LoadStage runs first among the editors.
//
// Palette edits go into the stage data, each one step of the edit history. With the
// write-back check box on, a save re-encodes them into the image where they fit; an edit goes
// to every stage and set that reads the same palette block (decided when the edit is made: its
// undo puts back the same sets, whatever the box says then), and the entries a save could not
// write are marked on the tab. With it off, the edits stay in memory as they always did.
class PaletteEditClass {
public:
    static constexpr int SetCount = 2;
    // Per set: four sub-palettes of four colours.
    static constexpr int EntryCount = LevelFormat::StageColorCount;
    static constexpr int SubPaletteCount = 4;
    static constexpr int MasterColorCount = LevelFormat::ColorNumberCount;
    static constexpr int CellSize = 24;
    static constexpr int ColorTableColumns = 16;
    static constexpr int PalViewWidth = CellSize * 4;                           // 96
    static constexpr int StripWidth = CellSize * EntryCount;                    // 384
    static constexpr int ColorTableWidth = CellSize * ColorTableColumns;        // 384
    static constexpr int ColorTableHeight = CellSize * (MasterColorCount / 16); // 96
    static constexpr int SelectColorSize = 32;
    static constexpr int HighestColorNumber = LevelFormat::HighestColorNumber;
    // Animation bytes: 00 is off, 80..FF animate; 01..7F are refused.
    static constexpr int AnimatedFlag = 0x80;

    static constexpr const char* CaptionWhileSaved =
        QT_TRANSLATE_NOOP("PaletteEditClass", "パレット編集");
    static constexpr const char* CaptionWhileNotSaved = QT_TRANSLATE_NOOP(
        "PaletteEditClass", "パレット編集(現時点でファイルの保存を行っても反映されません)");
    // Before the reason of a set that a save would leave out of the file.
    static constexpr const char* NotWritableHint =
        QT_TRANSLATE_NOOP("PaletteEditClass", "この定義はファイルに保存できません: ");

    static constexpr const char* ReloadQuestion = QT_TRANSLATE_NOOP(
        "PaletteEditClass", "このステージのパレットを読み込み直します。よろしいですか？");
    static constexpr const char* AnimeReloadQuestion = QT_TRANSLATE_NOOP(
        "PaletteEditClass",
        "このステージのアニメーションパレットを読み込み直します。よろしいですか？");

    static constexpr const char* EntryCaption = QT_TRANSLATE_NOOP("EditHistory", "パレットの変更");
    static constexpr const char* AnimeEntryCaption =
        QT_TRANSLATE_NOOP("EditHistory", "アニメーションパレットの変更");
    static constexpr const char* ReloadCaption =
        QT_TRANSLATE_NOOP("EditHistory", "パレットの読み込み直し");
    static constexpr const char* AnimeReloadCaption =
        QT_TRANSLATE_NOOP("EditHistory", "アニメーションパレットの読み込み直し");

    PaletteEditClass(LevelDocument& document, EditorGraphics& graphics, UserPrompts& prompts);
    ~PaletteEditClass();
    PaletteEditClass(const PaletteEditClass&) = delete;
    PaletteEditClass& operator=(const PaletteEditClass&) = delete;

    // Binding, in this order.
    void SetImages(const std::array<TImageEx*, 4>& palViews, TImageEx* colorTable,
                   TImageEx* selectColor, const std::array<TImageEx*, 4>& animePals);
    // Gives every bound image its view surface.
    void CreateBitmaps();
    void SetEditFields(const std::array<QLineEdit*, EntryCount>& palette,
                       const std::array<QLineEdit*, SubPaletteCount>& animation);
    void SetSelectColorLabel(QLabel* label);
    void SetAnimeUpDowns(const std::array<TUpDown*, SubPaletteCount>& upDowns);
    void SetPaletteSetSelector(QComboBox* selector);
    // The write-back check box, the group whose caption follows it, and the hint beside the
    // entries; also applies the check box's current state.
    void SetWriteBackControls(QCheckBox* save, QGroupBox* group, QLabel* hint);

    // Stage and reloads. The shell restarts the frame timer after each command that changes
    // what animates (reloads, the set selector, an animation entry).
    void LoadStage();
    // The engine's master colours changed: the views of colour numbers take them, and the
    // stage's colours are looked up again.
    void ShowMasterColors();
    void ReloadStage();
    void ReloadAnimePalette();
    // The palette set selector changed.
    void ChangePaletteSet();
    // The tab became the active page.
    void ActivateTab();
    // The write-back check box was toggled.
    void ChangeWriteBack();
    void ShowWriteBackTexts();
    // Marks the shown entries a save could not write, and says why; clears the marks when
    // there are none or write-back is off. Also after every save (the image changed).
    void ShowWriteMarks();

    // Entries. Every palette entry edit ends in SetEntryColor: it stores value (a colour
    // number) as entry `entry` of set `set` of the current stage, as one step, and shows it.
    // SetPaletteEntry takes entry field i as typed.
    void SetEntryColor(int set, int entry, int value);
    // The sixteen colours of the set shown, for the clipboard, and written into it as one step
    // (shared blocks follow, as for any entry edit).
    static constexpr const char* PasteCaption =
        QT_TRANSLATE_NOOP("EditHistory", "パレットの貼り付け");
    std::array<std::uint8_t, EntryCount> ShownSetColours() const;
    void PasteSetColours(const std::array<std::uint8_t, EntryCount>& colours);
    void SetPaletteEntry(int i);
    void AssignColor(int i);
    void SelectColor(int n);
    void SetAnimeEntry(int j);
    // direction +1 for the up arrow, -1 for the down arrow.
    void StepAnimeEntry(int j, int direction);

    void ShowPaletteTexts();
    void ShowAnimeTexts();
    void DrawAnimeStrip();

    // One tick of the frame timer; true when a stage colour changed.
    bool StepAnimation();
    // Ticks from now to the next one that changes a stage colour (see EditorGraphics).
    std::optional<int> TicksUntilAnimationChange();

    // Mouse on the colour table and on palette view k (0..3), positions in view pixels.
    void ColorTableMouseDown(Qt::MouseButton button, int x, int y);
    void ColorTableMouseMove(int x, int y);
    void ColorTableMouseLeave();
    void PalViewMouseDown(int k, Qt::MouseButton button, int x, int y);
    void PalViewMouseMove(int k, int x, int y);
    void PalViewMouseLeave(int k);

    // Item under a position; -1 outside the view.
    static int ColorUnder(int x, int y);
    static int EntryUnder(int k, int x, int y);

    int LoadedStage() const { return LoadedStageNumber; }
    int SelectColorIndex() const { return SelectedColor; }
    int PaletteSet() const;
    const HoverPair& ColorTableHover() const { return ColorTableHoverFrame.Pair(); }
    const HoverPair& PalViewHover() const { return PalViewHoverFrame.Pair(); }

private:
    const std::uint8_t* ChosenSet() const;
    const std::uint8_t* ChosenAnimeRow() const;
    // The sets an edit of (current stage, set) goes to, that one first.
    struct SetRef {
        int Stage;
        int Set;
    };
    // The set itself first, then, with write-back on, every set reading the same block.
    std::vector<SetRef> SetsSharing(int stage, int set) const;
    // Adds, for every stage colour the list changes, the same change of every set sharing it.
    void AddSharingSets(ChangeList& list) const;
    QWidget* PromptParent() const;
    StepPlace Place() const;
    void BytesWritten(const ByteNotice& notice);
    void PlaceRequested(const StepPlace& place);

    void RepaintPaletteCell(int i);
    void RepaintColorTableCell(int n);
    void ShowSelectColor();
    void CopyAnimeCell(int i);

    LevelDocument& Document;
    const RomImageData& Holder;
    EditorGraphics& Graphics;
    UserPrompts& Prompts;

    int LoadedStageNumber = 0;
    int LoadedOpenCount = 0; // the image holder's OpenCount at the last load
    int SelectedColor = 0;

    std::unique_ptr<PalettedImage> PaletteStrip;
    std::unique_ptr<PalettedImage> ColorTableImage;
    std::unique_ptr<PalettedImage> AnimeStrip;

    std::array<TImageEx*, 4> ImgPalView{};
    TImageEx* ImgColorTable = nullptr;
    TImageEx* ImgSelectColor = nullptr;
    std::array<TImageEx*, 4> ImgAnimePal{};
    std::array<std::unique_ptr<ViewSurface>, 4> PalViewSurfaces;
    std::unique_ptr<ViewSurface> ColorTableSurface;
    std::unique_ptr<ViewSurface> SelectColorSurface;
    std::array<std::unique_ptr<ViewSurface>, 4> AnimePalSurfaces;
    HoverFrame ColorTableHoverFrame;
    HoverFrame PalViewHoverFrame;

    std::array<QLineEdit*, EntryCount> EditPal{};
    std::array<QLineEdit*, SubPaletteCount> EditAnimePal{};
    QLabel* LblSelectColor = nullptr;
    std::array<TUpDown*, SubPaletteCount> UDAnimePal{};
    QComboBox* CBSelectPaletteSet = nullptr;
    QCheckBox* ChkSave = nullptr;
    QGroupBox* GBPalette = nullptr;
    QLabel* LblWriteHint = nullptr;
    // The document's notices reach this editor while it lives.
    QObject Listener;
    // Shows the editor's texts again when the language changes.
    std::unique_ptr<LanguageChangeWatch> LanguageWatch;
};
