#pragma once

#include "base/LevelFormat.h"
#include "document/ChangeList.h"
#include "document/MapStamp.h"
#include "graphics/HoverFrame.h"
#include "graphics/ViewRecord.h"
#include "history/StepPlace.h"

#include <QObject>
#include <Qt>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

class EditorGraphics;
class LanguageChangeWatch;
class LevelDocument;
struct ByteNotice;
class QCheckBox;
class QLabel;
class QScrollBar;
class RomImageData;
class TImageEx;
class UserPrompts;
class ViewSurface;

// The map-set tab: two pages of the current stage side by side, the 256 32x32 chips at half
// size to pick from, and the chip to place. Every edit is a change list handed to the document;
// the cells are drawn again when the document announces what it wrote.
//
// Chips are never rendered here: pages and the chip table are copied out of Chip32x32Sheet,
// which the 32x32 chip editor draws before this editor loads or its tab is activated.
class MapSetEditClass {
public:
    static constexpr int SideCount = 2;
    static constexpr int PageCount = LevelFormat::PageCount;
    static constexpr int LastPage = PageCount - 1;
    // ScrBarMapSet moves side 0 over 0..30 so that side 1 can still show the page after it.
    static constexpr int LastScrollPosition = PageCount - 2;
    static constexpr int CellsPerRow = LevelFormat::MapCellsPerRow;
    static constexpr int CellsPerPage = LevelFormat::MapCellsPerPage;
    static constexpr int CellSize = 32;
    static constexpr int PageSize = CellsPerRow * CellSize; // 256
    static constexpr int ChipCount = LevelFormat::ChipCount;
    static constexpr int ChipsPerTableRow = LevelFormat::SheetChipsPerRow;
    static constexpr int TableCellSize = 16; // a 32x32 chip at half size
    static constexpr int ChipTableSize = ChipsPerTableRow * TableCellSize; // 256
    static constexpr int PlaceChipViewSize = 64; // the chip enlarged twice
    static constexpr int GridSpacing = 32;

    static constexpr const char* ReloadQuestion = QT_TRANSLATE_NOOP(
        "MapSetEditClass", "このステージのマップセットデータを読み込み直します。よろしいですか？");

    static constexpr const char* PlaceChipCaption =
        QT_TRANSLATE_NOOP("EditHistory", "マップチップの配置");
    static constexpr const char* FillCaption =
        QT_TRANSLATE_NOOP("EditHistory", "マップの塗りつぶし");
    static constexpr const char* PastePageCaption =
        QT_TRANSLATE_NOOP("EditHistory", "ページの貼り付け");
    static constexpr const char* ReloadCaption =
        QT_TRANSLATE_NOOP("EditHistory", "マップセットの読み込み直し");

    MapSetEditClass(LevelDocument& document, EditorGraphics& graphics, UserPrompts& prompts);
    ~MapSetEditClass();
    MapSetEditClass(const MapSetEditClass&) = delete;
    MapSetEditClass& operator=(const MapSetEditClass&) = delete;

    struct Images {
        std::array<TImageEx*, SideCount> Pages{};
        TImageEx* PlaceChip = nullptr;
        TImageEx* ChipTable = nullptr;
    };
    struct Labels {
        std::array<QLabel*, SideCount> Pages{};
        QLabel* PlaceChipIndex = nullptr;
        std::array<QLabel*, 4> StructChipIndex{};
        std::array<QLabel*, 4> StructChipProperty{};
        QLabel* StampSize = nullptr;
    };
    struct ScrollBars {
        QScrollBar* BothPages = nullptr;
        std::array<QScrollBar*, SideCount> Pages{};
    };

    // Binding, in this order, once after creation. Each image gets a view surface of its size.
    void BindImages(const Images& images);
    void BindLabels(const Labels& labels);
    void BindScrollBars(const ScrollBars& bars);
    void BindGridCheckBox(QCheckBox* grid);
    void BindFillCheckBox(QCheckBox* fill);

    // Stage selection, the reload button, the palette animation and tab activation.
    void LoadStage();
    void ReloadStage();
    void RedrawAll();
    void ActivateTab();

    void ScrollPages(int position);
    void SetPage(int side, int page);
    void DrawPage(int side);

    // The cell under (x, y) of a page image, -1 outside it.
    static int CellAt(int x, int y);
    int ChipAt(int side, int cell) const;
    // The stamp with its top-left at cell, as one step of its own.
    void PlaceChip(int side, int cell);
    // The region of cell's chip around cell, tiled with the stamp.
    void FillAt(int side, int cell);
    void CopyPage(int side);
    void PastePage(int side);

    // A one-chip stamp.
    void ShowPlaceChip(int chip);
    // Any stamp, as the clipboard or a right drag gives it; an invalid one is ignored.
    void SetStamp(const MapStamp& stamp);
    const MapStamp& Stamp() const { return CurrentStamp; }
    void DrawChipTable();
    // The 32x32 chip editor's plain left press: the chip to place, shown at the next activation.
    void SetPlaceChipIndex(int chip);

    // Mouse, as the views report it.
    void PageMouseDown(int side, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                       int y);
    void PageMouseMove(int side, Qt::MouseButtons buttons, int x, int y);
    void PageMouseUp(int side, Qt::MouseButton button, int x, int y);
    void PageMouseLeave(int side);
    void ChipTableMouseDown(Qt::MouseButton button, int x, int y);
    void ChipTableMouseMove(int x, int y);
    void ChipTableMouseLeave();
    // The grid check box changed.
    void GridChanged();
    // Told whenever the pages shown or the chip to place change.
    void SetShownStateListener(std::function<void()> listener) {
        ShownStateChanged = std::move(listener);
    }

    int PageIndex(int side) const { return PageIndices.at(Side(side)); }
    int PlaceChipIndex() const { return CurrentStamp.Cells.front(); }
    const std::array<std::uint8_t, CellsPerPage>& CopiedPage() const { return Copied; }
    const HoverPair& PageHover(int side) const { return PageHovers.at(Side(side)).Pair(); }
    const HoverPair& ChipTableHover() const { return TableHover.Pair(); }

private:
    static std::size_t Side(int side) { return side == 0 ? 0U : 1U; }
    bool HasStage() const;
    StepPlace Place() const;
    std::span<const std::uint8_t, CellsPerPage> PageBytes(int side) const;
    // Draws the written cells of the current stage on the sides that show them.
    void BytesWritten(const ByteNotice& notice);
    bool GridEnabled() const;
    ViewSurface& PageSurface(int side) { return *PageSurfaces.at(Side(side)); }

    void ShowPageLabel(int side);
    void TellShownState();
    void SetScrollPosition(QScrollBar* bar, int position);
    void RepaintCell(int side, int cell);
    // The pixels of the stamp's cells with their top-left at cell, cut at the page's edges.
    static ImageRect StampArea(int cell, int width, int height);
    void RepaintFramedArea(int side, int cell);
    // The stamp changed size: each page's frame is drawn again at its new size.
    void RedrawStampFrames();
    void ShowStampPanel();
    void PlaceStamp(int side, int cell, ChangeList::Merge merge);
    void WriteCells(int side, const MapStampWrites::CellWrites& writes, ChangeList::Merge merge,
                    const char* caption);
    bool FillEnabled() const;
    HoverFrame PageHoverFrame(int side);
    void RepaintPageGrid(int side);
    // The chip under (x, y) of the chip table, -1 outside it.
    int TableChipAt(int x, int y) const;

    LevelDocument& Document;
    const RomImageData& ImageHolder;
    EditorGraphics& Graphics;
    UserPrompts& Prompts;

    std::array<TImageEx*, SideCount> PageImages{};
    TImageEx* PlaceChipImage = nullptr;
    TImageEx* ChipTableImage = nullptr;
    std::array<std::unique_ptr<ViewSurface>, SideCount> PageSurfaces;
    std::unique_ptr<ViewSurface> PlaceChipSurface;
    std::unique_ptr<ViewSurface> ChipTableSurface;
    // What the pages and the chip table were last drawn from.
    std::array<ViewRecord, SideCount> PageRecords;
    ViewRecord ChipTableRecord;

    std::array<QLabel*, SideCount> PageLabels{};
    QLabel* PlaceChipLabel = nullptr;
    std::array<QLabel*, 4> StructChipIndexLabels{};
    std::array<QLabel*, 4> StructChipPropertyLabels{};
    QScrollBar* BothPagesBar = nullptr;
    std::array<QScrollBar*, SideCount> PageBars{};
    QCheckBox* GridCheckBox = nullptr;
    QCheckBox* FillCheckBox = nullptr;
    QLabel* StampSizeLabel = nullptr;

    std::array<int, SideCount> PageIndices{};
    MapStamp CurrentStamp;
    // The stamp size each page's frame was last drawn with, to put those cells back.
    std::array<std::pair<int, int>, SideCount> FramedSizes{{{1, 1}, {1, 1}}};
    // The left button's stroke: its side (-1: none), the cell placed last, and its number for
    // merging its placements into one step.
    int StrokeSide = -1;
    int StrokeCell = -1;
    std::uint32_t StrokeGesture = 0;
    // The right press that may become a rectangle pick on release (-1: none).
    int PickSide = -1;
    int PickCell = -1;
    std::array<std::uint8_t, CellsPerPage> Copied{};
    std::array<HoverFrame, SideCount> PageHovers;
    HoverFrame TableHover;
    // The frame of the page the user edits in, drawn again over what the edit redrew; none
    // for an undo or redo, made from the menu.
    HoverFrame* FrameUnderPointer = nullptr;
    std::function<void()> ShownStateChanged;
    // The document's notices reach this editor while it lives.
    QObject Listener;
    // Shows the editor's texts again when the language changes.
    std::unique_ptr<LanguageChangeWatch> LanguageWatch;
};
