#include "mainform/TMainForm.h"

#include "ImageEx/TImageEx.h"
#include "mainform/TabScrollArea.h"

#include <QAction>
#include <QCoreApplication>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

void InvalidateLayouts(QLayout* layout) {
    if (layout == nullptr)
        return;
    layout->invalidate();
    for (int i = 0; i < layout->count(); ++i)
        InvalidateLayouts(layout->itemAt(i)->layout());
}

} // namespace

void TMainForm::CreateZoomMenuItems() {
    ZoomIn1 = Captions.Set(ViewMenu->addAction(QString(), this, [this] { SetZoom(ZoomLevel + 1); }),
                           QT_TR_NOOP("拡大(&I)"));
    ZoomIn1->setShortcut(QKeySequence::ZoomIn);
    ZoomOut1 =
        Captions.Set(ViewMenu->addAction(QString(), this, [this] { SetZoom(ZoomLevel - 1); }),
                     QT_TR_NOOP("縮小(&O)"));
    ZoomOut1->setShortcut(QKeySequence::ZoomOut);
    ZoomReset1 = Captions.Set(ViewMenu->addAction(QString(), this, [this] { SetZoom(MinZoom); }),
                              QT_TR_NOOP("等倍(&N)"));
    ZoomReset1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    UpdateZoomActions();
}

void TMainForm::UpdateZoomActions() {
    ZoomIn1->setEnabled(ZoomLevel < MaxZoom);
    ZoomOut1->setEnabled(ZoomLevel > MinZoom);
}

void TMainForm::SetZoom(int zoom) {
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    const bool changed = zoom != ZoomLevel;
    ZoomLevel = zoom;
    UpdateZoomActions();
    // A zoom chosen before the pages existed reaches the views when they are made.
    if (PagesBuiltFlag && ImgEditMapSetPage0->Zoom() != ZoomLevel)
        ApplyZoom();
    if (changed)
        emit ZoomChanged(ZoomLevel);
}

std::vector<TImageEx*> TMainForm::ZoomingViews() const {
    if (!PagesBuiltFlag)
        return {};
    return {ImgEditMapSetPage0,   ImgEditMapSetPage1, Img32x32ChipTable,
            ImgEdit32x32ChipView, Img16x16ChipTable,  ImgEdit16x16ChipView,
            ImgBGBankTable,       ImgObjectMapPage0,  ImgObjectMapPage1};
}

QWidget* TMainForm::ScrollingContent(QWidget* page) {
    auto* content = new QWidget;
    auto* area = new TabScrollArea(content);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    TabScrollAreas.push_back(area);
    return content;
}

void TMainForm::ApplyZoom() {
    if (!PagesBuiltFlag)
        return;
    for (TImageEx* view : ZoomingViews())
        view->SetZoom(ZoomLevel);
    for (const auto& [control, width] : WidthsFollowingZoom)
        control->setFixedWidth(width * ZoomLevel);
    // Hidden tabs tell nobody that their sizes changed, and a scroll area does not pass on its
    // content's: the sizes are asked for afresh, up to the tab widget.
    for (std::size_t i = 0; i < TabScrollAreas.size(); ++i) {
        TabScrollArea* area = TabScrollAreas[i];
        InvalidateLayouts(area->widget()->layout());
        area->widget()->updateGeometry();
        area->SetMinimumCap(ZoomLevel == MinZoom ? std::nullopt
                                                 : std::optional<QSize>(UnzoomedTabMinimums[i]));
        area->updateGeometry();
    }
    EditPageControl->updateGeometry();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    FitWindowToViews();
}

// The window takes the size its tabs ask for, but never more than the screen offers, and moves
// back onto the screen where it grew past an edge; a maximized or full-screen window keeps its
// size.
void TMainForm::FitWindowToViews() {
    if (!isVisible() || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QScreen* shownOn = screen();
    if (shownOn == nullptr) {
        resize(sizeHint());
        return;
    }
    const QRect available = shownOn->availableGeometry();
    const QSize frameMargins = frameGeometry().size() - geometry().size();
    resize(sizeHint().boundedTo(available.size() - frameMargins).expandedTo(minimumSizeHint()));
    // Past the right or bottom edge it moves back, but never past the left or top edge.
    const QRect frame = frameGeometry();
    const int dx =
        std::max(available.left() - frame.left(), std::min(0, available.right() - frame.right()));
    const int dy =
        std::max(available.top() - frame.top(), std::min(0, available.bottom() - frame.bottom()));
    if (dx != 0 || dy != 0)
        move(pos() + QPoint(dx, dy));
}
