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
class QCheckBox;
class QLabel;
class QWidget;
class RomImageData;
class StageData;
class TImageEx;
class TUpDown;
class UserPrompts;
class ViewSurface;

// The 32x32 chip tab: which four 16x16 chips make up each 32x32 chip of the current stage.
// Shows half of the stage's 32x32 chips, the 16x16 chips to pick from and an enlarged edit
// panel; every change goes straight into the stage's Chip32x32Table and marks it modified.
// It also renders the shared Chip32x32Sheet the map-set and object tabs copy from.
class Chip32x32EditClass {
public:
    static constexpr int ChipCount = LevelFormat::ChipCount;
    static constexpr int QuarterCount = LevelFormat::QuartersPerChip;
    static constexpr int HalfChipCount = 128;
    static constexpr int ViewWidth = 512;  // 16 chips of 32 pixels
    static constexpr int ViewHeight = 256; // 8 rows of chips
    static constexpr int ChipTableSize = 256;
    static constexpr int EditChipSize = 64; // the edited chip enlarged twice
    static constexpr int SelectChipSize = 32;
    static constexpr int Chip32Size = 32;
    static constexpr int Chip16Size = 16;
    static constexpr int ChipsPerRow = LevelFormat::SheetChipsPerRow;
    static constexpr int GridSpacing = 32;

    // Before the use count in its label.
    static constexpr const char* UseCountCaption =
        QT_TRANSLATE_NOOP("Chip32x32EditClass", "使用数: ");
    static constexpr const char* FirstHalfCaption = "00-7F";
    static constexpr const char* SecondHalfCaption = "80-FF";
    static constexpr const char* ReloadQuestion =
        QT_TRANSLATE_NOOP("Chip32x32EditClass",
                          "このステージの32x32チップデータを読み込み直します。よろしいですか？");

    static constexpr const char* SetQuarterCaption =
        QT_TRANSLATE_NOOP("EditHistory", "32x32チップの変更");
    static constexpr const char* PasteStructCaption =
        QT_TRANSLATE_NOOP("EditHistory", "構造の貼り付け");
    static constexpr const char* ReloadCaption =
        QT_TRANSLATE_NOOP("EditHistory", "32x32チップの読み込み直し");

    Chip32x32EditClass(LevelDocument& document, EditorGraphics& graphics, UserPrompts& prompts);
    ~Chip32x32EditClass();
    Chip32x32EditClass(const Chip32x32EditClass&) = delete;
    Chip32x32EditClass& operator=(const Chip32x32EditClass&) = delete;

    struct Images {
        TImageEx* ChipTable = nullptr;
        TImageEx* ChipView = nullptr;
        TImageEx* EditChip = nullptr;
        TImageEx* SelectChip = nullptr;
    };
    struct Labels {
        QLabel* EditView = nullptr;
        QLabel* Select16x16Index = nullptr;
        QLabel* Select16x16Property = nullptr;
        std::array<QLabel*, 4> StructIndex{};
        std::array<QLabel*, 4> StructProperty{};
        QLabel* Select32x32Index = nullptr;
        // How many map cells of the stage hold the edited chip.
        QLabel* UseCount = nullptr;
    };

    // Binding, in this order. Each image gets a surface of its own size.
    void BindImages(const Images& images);
    void BindUpDown(TUpDown* changeView);
    void BindLabels(const Labels& labels);
    void BindGridCheckBox(QCheckBox* drawGrid);

    // Stage, sheets and tab.
    void LoadStage();
    void SetChipSheetPalette();
    void RenderChipSheet();
    void ReloadStage();
    void RedrawAll();
    // The tab became active (after the shell has refreshed both chip sheets).
    void ActivateTab();

    // Drawing.
    void SetViewHalf(int half);
    void DrawView();
    void DrawChipTable();
    void ShowEditChip(int chip);
    void ShowSelectChip(int chip);
    void RedrawChip32x32(int chip);

    // Edits.
    void SetQuarter(int quarter);
    void SetQuarterAt(int x, int y);
    int QuarterAt(int x, int y);
    void CopyStruct(int chip);
    void PasteStruct(int chip);
    // The edited chip's four quarters, for the clipboard, and written back from it as one step.
    std::array<std::uint8_t, QuarterCount> EditChipQuarters() const;
    void PasteQuarters(const std::array<std::uint8_t, QuarterCount>& quarters);

    // Mouse on the three images, positions in image pixels. The view's press returns the chip
    // a plain left press made the edited one (the shell hands it on to the map-set tab), or -1.
    int ChipViewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void EditChipMouseDown(Qt::MouseButton button, int x, int y);
    void ChipTableMouseDown(Qt::MouseButton button, int x, int y);
    void ChipViewMouseMove(int x, int y);
    void EditChipMouseMove(int x, int y);
    void ChipTableMouseMove(int x, int y);
    void ChipViewMouseLeave();
    void EditChipMouseLeave();
    void ChipTableMouseLeave();

    // The unused-number report of this tab: 32x32 chips no map-set cell uses.
    QString UnusedChipList();

    int EditChip() const { return EditChipIndex; }
    int SelectChip() const { return SelectChipIndex; }
    int ViewHalfShown() const { return ViewHalf; }
    const std::array<std::uint8_t, QuarterCount>& CopiedComposition() const { return CopiedStruct; }

private:
    bool HasStage() const;
    const StageData& Stage() const;
    QWidget* DialogParent() const;
    bool GridEnabled() const;
    void DrawGrid();
    // One step writing copied into the quarters of chip that differ.
    void WriteQuarters(int chip, std::span<const std::uint8_t> quarters, int firstQuarter,
                       const char* caption, HoverFrame* underPointer);
    void BytesWritten(const ByteNotice& notice);
    void CopyEditPanel();
    void ShowUseCount();
    void CopySelectChip();
    QString CaptionOf16x16Chip(int chip);
    void ShowPropertyCaptions();

    // Position arithmetic; only computes.
    int ViewChipAt(int x, int y) const;
    static int ViewQuarterOf(int x, int y);

    void RepaintViewCell(int chip);
    void FrameViewCell(int chip);

    LevelDocument& Document;
    const RomImageData& Holder;
    EditorGraphics& Graphics;
    UserPrompts& Prompts;

    TImageEx* Img16x16ChipTable = nullptr;
    TImageEx* ImgEdit32x32ChipView = nullptr;
    TImageEx* ImgEdit32x32Chip = nullptr;
    TImageEx* ImgSelect16x16Chip = nullptr;
    TUpDown* UDChange32x32ChipView = nullptr;
    QLabel* LblEdit32x32ChipView = nullptr;
    QLabel* LblSelect16x16ChipIndex = nullptr;
    QLabel* LblSelect16x16ChipProperty = nullptr;
    std::array<QLabel*, 4> LblStructChipIndex{};
    std::array<QLabel*, 4> LblStructChipProperty{};
    QLabel* LblSelect32x32ChipIndex = nullptr;
    QLabel* LblUseCount = nullptr;
    QCheckBox* Chk32x32ChipEditDrawGrid = nullptr;

    std::unique_ptr<ViewSurface> ChipTableSurface;
    std::unique_ptr<ViewSurface> ChipViewSurface;
    std::unique_ptr<ViewSurface> EditChipSurface;
    std::unique_ptr<ViewSurface> SelectChipSurface;

    int EditChipIndex = 0;
    int SelectChipIndex = 0;
    int ViewHalf = 0;
    // Survives stage changes and reloads: a composition can be carried to another stage.
    std::array<std::uint8_t, QuarterCount> CopiedStruct{};
    HoverFrame ViewHover;
    HoverFrame TableHover;
    HoverFrame QuarterHover;
    // The frame of the view the user edits in, drawn again over what the edit redrew; none
    // for an undo or redo, made from the menu.
    HoverFrame* FrameUnderPointer = nullptr;
    // The document's notices reach this editor while it lives.
    QObject Listener;
    // Shows the editor's texts again when the language changes.
    std::unique_ptr<LanguageChangeWatch> LanguageWatch;
};
