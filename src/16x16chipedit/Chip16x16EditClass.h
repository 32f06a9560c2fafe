#pragma once

#include "base/LevelFormat.h"
#include "graphics/HoverFrame.h"
#include "history/StepPlace.h"

#include <QObject>
#include <QString>
#include <Qt>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class EditorGraphics;
class LanguageChangeWatch;
class LevelDocument;
struct ByteNotice;
class PalettedImage;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class RomImageData;
class StageData;
class TImageEx;
class TRadioGroup;
class UserPrompts;
class ViewSurface;

// The 16x16 chip tab: which four tiles make up each 16x16 chip of the current stage, and each
// chip's attribute type and sub-palette. It also renders the shared Chip16x16Sheet the other
// chip tabs draw from, keeps the stage's attribute captions in the image holder, and switches
// every stage between its normal and after-destruction chip set.
class Chip16x16EditClass {
public:
    static constexpr int TileCount = LevelFormat::TileCount;
    static constexpr int ChipCount = LevelFormat::ChipCount;
    static constexpr int PatternTableBytes = LevelFormat::PatternTableBytes;
    static constexpr int PatternBufferBytes = 2 * PatternTableBytes;
    static constexpr int TileBytes = LevelFormat::TileBytes;
    static constexpr int BankTableImageSize = 128; // 16 x 16 tiles of 8 pixels
    static constexpr int TableViewSize = 256;
    static constexpr int TableCellSize = 16; // one tile or chip of the two 256 x 256 views
    static constexpr int EditChipViewSize = 64;
    static constexpr int QuarterViewSize = 32;
    static constexpr int SelectTileViewSize = 32;
    static constexpr int ScrollIndexMaximum = 255;

    // Before the use count in its label.
    static constexpr const char* UseCountCaption =
        QT_TRANSLATE_NOOP("Chip16x16EditClass", "使用数: ");
    static constexpr const char* ReloadQuestion = QT_TRANSLATE_NOOP(
        "Chip16x16EditClass", "このステージのチップ・BGバンクを読み込み直します。よろしいですか？");
    static constexpr const char* SwitchToDestroyedCaption =
        QT_TRANSLATE_NOOP("Chip16x16EditClass", "破壊後に切替");
    static constexpr const char* SwitchToNormalCaption =
        QT_TRANSLATE_NOOP("Chip16x16EditClass", "破壊前に切替");

    static constexpr const char* SetTileCaption =
        QT_TRANSLATE_NOOP("EditHistory", "16x16チップのタイルの変更");
    static constexpr const char* SetTypeCaption =
        QT_TRANSLATE_NOOP("EditHistory", "属性タイプの変更");
    static constexpr const char* SetSubPaletteCaption =
        QT_TRANSLATE_NOOP("EditHistory", "サブパレットの変更");
    static constexpr const char* ReloadCaption =
        QT_TRANSLATE_NOOP("EditHistory", "16x16チップの読み込み直し");

    Chip16x16EditClass(LevelDocument& document, EditorGraphics& graphics, UserPrompts& prompts);
    ~Chip16x16EditClass();
    Chip16x16EditClass(const Chip16x16EditClass&) = delete;
    Chip16x16EditClass& operator=(const Chip16x16EditClass&) = delete;

    struct Images {
        TImageEx* BankTable = nullptr;
        TImageEx* ChipView = nullptr;
        TImageEx* EditChip = nullptr;
        TImageEx* SelectTile = nullptr;
    };
    struct Labels {
        QLabel* SelectChipIndex = nullptr;
        QLabel* SelectBankTileIndex = nullptr;
        std::array<QLabel*, 4> SelectChipTiles{};
        QLabel* SelectChipProperty = nullptr;
        QLabel* SelectScrollIndex = nullptr;
        // How many quarters of the stage's 32x32 chips hold the edited chip.
        QLabel* UseCount = nullptr;
    };

    // Binding, in this order. Each image gets a surface of its own size.
    void BindImages(const Images& images);
    void BindPanels(const std::array<QFrame*, 16>& paletteColors);
    void BindLabels(const Labels& labels);
    void BindRadioGroups(TRadioGroup* chipPropertySelect, TRadioGroup* paletteSelect);
    void BindScrollBar(QScrollBar* selectScrollIndex);
    // The chip-set button, whose caption names the set a click switches to.
    void BindSwitchButton(QPushButton* switchChipSet);

    // Stage and tab.
    void LoadStage();
    void ReloadStage();
    void RedrawAll();
    void ActivateTab();
    void SwitchChipSet();
    // The PT write number's bar moved to position.
    void SelectScrollIndexChanged(int position);

    // Edits and selections.
    void SelectChip(int chip);
    void SelectTile(int tile);
    void SetQuarter(int quarter);
    void SetChipProperty();
    void SetChipPalette();
    // The edited chip of the set shown: its four tiles in quarter order and its attribute byte,
    // for the clipboard, and written back from it as one step.
    static constexpr const char* PasteCaption =
        QT_TRANSLATE_NOOP("EditHistory", "16x16チップの貼り付け");
    static constexpr int ChipByteCount = LevelFormat::QuartersPerChip + 1;
    std::array<std::uint8_t, ChipByteCount> EditChipBytes() const;
    void PasteChipBytes(const std::array<std::uint8_t, ChipByteCount>& bytes);

    // Mouse on the three views (positions in view pixels).
    void BankTableMouseDown(Qt::MouseButton button, int x, int y);
    void ChipViewMouseDown(Qt::MouseButton button, int x, int y);
    void EditChipMouseDown(Qt::MouseButton button, int x, int y);
    void BankTableMouseMove(int x, int y);
    void ChipViewMouseMove(int x, int y);
    void EditChipMouseMove(int x, int y);
    void BankTableMouseLeave();
    void ChipViewMouseLeave();
    void EditChipMouseLeave();

    // Pattern tables and captions of the current stage.
    void LoadPatternTables();
    void ApplyPatternEntry(int entry);
    void LoadPropertyCaptions();
    void ShowPropertyCaptions();

    // Drawing.
    void RenderBankTable();
    void RenderChipSheet();
    void SetChipSheetPalette();
    void RedrawChip(int chip);
    void DrawChipView();
    void DrawBankTable();
    void DrawEditChip();
    void DrawSelectTile();
    void DrawPaletteColors();

    // The unused-number reports of this tab, for the current stage: 16x16 chips that no 32x32
    // chip uses, and tiles that no 16x16 chip of the set in effect uses.
    QString UnusedChipList();
    QString UnusedTileList();

    int LoadedStageNumber() const { return LoadedStage; }
    int CurrentEditChip() const { return EditChipIndex; }
    int CurrentSelectTile() const { return SelectTileIndex; }
    int CurrentBankTablePalette() const { return BankTablePalette; }
    std::span<const std::uint8_t> PatternTables() const { return PatternTableBuffer; }

private:
    bool HasStage() const;
    const StageData& Stage() const;
    // The arrays of the set shown: the normal set, or the shared after-destruction set.
    EditorArray TileArray() const;
    EditorArray PropertyArray() const;
    // One step: byte index of array (of the chip set shown) takes value.
    void WriteByte(EditorArray array, int index, std::uint8_t value, const char* caption,
                   HoverFrame* underPointer = nullptr);
    // Whether the current stage shows what change wrote (the after-destruction arrays are
    // shared by the stages of a chip bank).
    bool ShowsChange(const ByteChange& change) const;
    void BytesWritten(const ByteNotice& notice);
    void PlaceRequested(const StepPlace& place);
    std::span<const std::uint8_t> FirstPatternTable() const;
    int OwnPatternSetNumber() const;
    void DrawSheetCell(int chip);
    void ShowSwitchCaption();
    void ShowUseCount();

    void LeaveHover(HoverFrame& frame);
    void RepaintBankTableCell(int tile);

    LevelDocument& Document;
    const RomImageData& Holder;
    EditorGraphics& Graphics;
    UserPrompts& Prompts;

    TImageEx* ImgBGBankTable = nullptr;
    TImageEx* ImgEdit16x16ChipView = nullptr;
    TImageEx* ImgEdit16x16Chip = nullptr;
    TImageEx* ImgSelectTile = nullptr;
    std::array<QFrame*, 16> PanelPaletteColor{};
    QLabel* LblSelectChipIndex = nullptr;
    QLabel* LblSelectBGBankTileIndex = nullptr;
    std::array<QLabel*, 4> LblSelectChipTile{};
    QLabel* LblSelectChipProperty = nullptr;
    QLabel* LblSelectScrollIndex = nullptr;
    QLabel* LblUseCount = nullptr;
    TRadioGroup* RGChipPropertySelect = nullptr;
    TRadioGroup* RGPaletteSelect = nullptr;
    QScrollBar* ScrBarSelectScrollIndex = nullptr;
    QPushButton* BtnSwitch16X16ChipSet = nullptr;

    std::unique_ptr<ViewSurface> BankTableSurface;
    std::unique_ptr<ViewSurface> ChipViewSurface;
    std::unique_ptr<ViewSurface> EditChipSurface;
    std::unique_ptr<ViewSurface> SelectTileSurface;
    std::unique_ptr<PalettedImage> BankTableImage;

    int LoadedStage = -1;
    int LoadedOpenCount = 0; // the image holder's OpenCount at the last load
    int EditChipIndex = 0;
    int SelectTileIndex = 0;
    int BankTablePalette = 0;
    HoverFrame BankTableHover;
    HoverFrame ChipViewHover;
    HoverFrame QuarterHover;
    std::array<std::uint8_t, PatternBufferBytes> PatternTableBuffer{};
    // The frame of the view the user edits in, drawn again over what the edit redrew; none
    // for an undo or redo, made from the menu.
    HoverFrame* FrameUnderPointer = nullptr;
    // The document's notices reach this editor while it lives.
    QObject Listener;
    // Shows the editor's texts again when the language changes.
    std::unique_ptr<LanguageChangeWatch> LanguageWatch;
};
