#pragma once

#include "ImageEx/BlockEnlarger.h"
#include "ImageEx/TImageEx.h"
#include "ImageEx/ZoomWheel.h"
#include "graphics/StageOverview.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <vector>

class FcPaletteData;
class LevelDocument;
class QCheckBox;
struct ByteNotice;
struct ObjectNotice;

// The picture of the overview at the window's zoom: each picture pixel a zoom x zoom block,
// never smoothed, with the outlines of the map-set tab's pages and of the cells that hold its
// chip to place. A press on a page names that page.
class TStageOverviewView : public QWidget {
    Q_OBJECT

public:
    explicit TStageOverviewView(const StageOverview& overview, QWidget* parent = nullptr);

    void SetZoom(int zoom);
    int Zoom() const { return ZoomFactor; }
    // Pages outlined as the map-set tab's two sides; -1: none.
    void ShowPages(int page0, int page1);
    // The map cells to outline as holding the chip to place, asked at each paint.
    std::function<std::vector<int>()> UsedCells;
    // Picture rectangle changed: repaints the screen pixels it covers.
    void UpdatePictureRect(const QRect& area);
    // The page under a view position, -1 outside the picture.
    int PageAt(const QPoint& position) const;

    static constexpr QRgb Page0Color = 0xFFFF2020;
    static constexpr QRgb Page1Color = 0xFF20A0FF;
    static constexpr QRgb UseColor = 0xFFFFFF00;

signals:
    void pagePressed(Qt::MouseButton button, int page);
    // Ctrl+wheel over the picture: one step in (+1) or out (-1) per notch.
    void zoomStepRequested(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    const StageOverview& Overview;
    ZoomWheel Wheel{TImageEx::MaxZoom - TImageEx::MinZoom + 1};
    BlockEnlarger Enlarger;
    int ZoomFactor = 1;
    int Page0 = -1;
    int Page1 = -1;
};

// The stage overview window: the 32 rooms of the current stage at half size, as the exported
// map picture shows them, kept up to date through the document's notices. A left press shows
// a room as Page0 of the map-set tab, a right press as Page1.
class TStageOverviewForm : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* Caption =
        QT_TRANSLATE_NOOP("TStageOverviewForm", "ステージ全体図");
    static constexpr const char* DrawObjectsCaption =
        QT_TRANSLATE_NOOP("TStageOverviewForm", "オブジェクトを描く");
    static constexpr const char* ShowUsesCaption =
        QT_TRANSLATE_NOOP("TStageOverviewForm", "使用箇所を表示");
    static constexpr int MinZoom = TImageEx::MinZoom;
    static constexpr int MaxZoom = TImageEx::MaxZoom;

    // sourceOf tells the stage and the export options to draw with (palette set, pattern
    // entry); the document's notices keep the picture up to date.
    TStageOverviewForm(QWidget* parent, const FcPaletteData& palette, LevelDocument& document,
                       std::function<StagePicture::Options()> sourceOf);

    // Each picture pixel becomes a zoom x zoom block (1..4; others are clamped).
    void SetZoom(int zoom);
    int Zoom() const { return View->Zoom(); }
    // The stage or how it is drawn changed: the picture is drawn whole (once shown).
    void RedrawWhole();
    // The master palette's colours changed in place.
    void MasterColorsChanged();
    // What the map-set tab shows.
    void ShowPages(int page0, int page1) { View->ShowPages(page0, page1); }
    void ShowUsesOf(int chip);

    const StageOverview& Overview() const { return Picture; }
    TStageOverviewView* View = nullptr;
    QCheckBox* ChkDrawObjects = nullptr;
    QCheckBox* ChkShowUses = nullptr;

signals:
    // A press on a page: side 0 for the left button, 1 for the right one.
    void pageChosen(int side, int page);
    // The user closed the window.
    void closed();
    // Ctrl+wheel over the picture.
    void zoomStepRequested(int step);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RetranslateUi();
    void BytesWritten(const ByteNotice& notice);
    void ObjectsWritten(const ObjectNotice& notice);
    // Whether the drawn picture still has the stage and options the export would use.
    bool SourceUnchanged() const;
    void UsesToggled();

    LevelDocument& Document;
    std::function<StagePicture::Options()> SourceOf;
    StageOverview Picture;
    // Set while hidden: notices are not followed then, and the next showing draws it whole.
    bool Stale = true;
    // The 16x16 chip set in effect when it was drawn (normal or after destruction).
    int DrawnChipSet = 0;
    int ChipToPlace = -1;
};
