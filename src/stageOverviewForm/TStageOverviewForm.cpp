#include "stageOverviewForm/TStageOverviewForm.h"

#include "document/LevelDocument.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

// ---- The view ----

TStageOverviewView::TStageOverviewView(const StageOverview& overview, QWidget* parent)
    : QWidget(parent), Overview(overview) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetZoom(1);
}

void TStageOverviewView::SetZoom(int zoom) {
    ZoomFactor = std::clamp(zoom, TStageOverviewForm::MinZoom, TStageOverviewForm::MaxZoom);
    setFixedSize(StageOverview::Width * ZoomFactor, StageOverview::Height * ZoomFactor);
    update();
}

void TStageOverviewView::ShowPages(int page0, int page1) {
    if (page0 == Page0 && page1 == Page1)
        return;
    for (const int page : {Page0, Page1, page0, page1})
        if (page >= 0)
            UpdatePictureRect(StageOverview::PageRect(page));
    Page0 = page0;
    Page1 = page1;
}

void TStageOverviewView::UpdatePictureRect(const QRect& area) {
    if (!area.isEmpty())
        update(QRect(area.topLeft() * ZoomFactor, area.size() * ZoomFactor));
}

int TStageOverviewView::PageAt(const QPoint& position) const {
    const int x = position.x() / ZoomFactor;
    const int y = position.y() / ZoomFactor;
    if (position.x() < 0 || position.y() < 0 || x >= StageOverview::Width ||
        y >= StageOverview::Height)
        return -1;
    return (y / StageOverview::PageSize) * StagePicture::PageColumns + x / StageOverview::PageSize;
}

void TStageOverviewView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    const QImage& picture = Overview.Image();
    if (!Overview.HasStage()) {
        painter.fillRect(exposed, Qt::black);
        return;
    }
    // Only the picture pixels under the exposed area, each an exact block.
    const QRect source =
        QRect(exposed.left() / ZoomFactor, exposed.top() / ZoomFactor,
              exposed.width() / ZoomFactor + 2, exposed.height() / ZoomFactor + 2) &
        picture.rect();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QImage enlarged = Enlarger.Enlarge(picture, source, ZoomFactor);
    if (enlarged.isNull())
        painter.drawImage(QRect(source.topLeft() * ZoomFactor, source.size() * ZoomFactor), picture,
                          source);
    else
        painter.drawImage(source.topLeft() * ZoomFactor, enlarged);
    const auto outline = [&](const QRect& area, QRgb colour) {
        const QRect onScreen(area.topLeft() * ZoomFactor, area.size() * ZoomFactor);
        if (!onScreen.intersects(exposed))
            return;
        // The frame lies on the area's own edge pixels, one picture pixel wide.
        const int width = ZoomFactor;
        const QColor colourOf = QColor::fromRgb(colour);
        const QRect edges[] = {
            {onScreen.left(), onScreen.top(), onScreen.width(), width},
            {onScreen.left(), onScreen.bottom() - width + 1, onScreen.width(), width},
            {onScreen.left(), onScreen.top(), width, onScreen.height()},
            {onScreen.right() - width + 1, onScreen.top(), width, onScreen.height()},
        };
        for (const QRect& edge : edges)
            painter.fillRect(edge, colourOf);
    };
    if (UsedCells)
        for (const int index : UsedCells())
            outline(StageOverview::CellRect(index), UseColor);
    if (Page1 >= 0)
        outline(StageOverview::PageRect(Page1), Page1Color);
    if (Page0 >= 0)
        outline(StageOverview::PageRect(Page0), Page0Color);
}

void TStageOverviewView::mousePressEvent(QMouseEvent* event) {
    const int page = PageAt(event->position().toPoint());
    if (page >= 0 && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        emit pagePressed(event->button(), page);
}

void TStageOverviewView::wheelEvent(QWheelEvent* event) {
    const int steps = Wheel.StepsOf(*event);
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        // The plain wheel scrolls the picture.
        event->ignore();
        return;
    }
    event->accept();
    for (int i = 0; i < std::abs(steps); ++i)
        emit zoomStepRequested(steps > 0 ? 1 : -1);
}

// ---- The window ----

TStageOverviewForm::TStageOverviewForm(QWidget* parent, const FcPaletteData& palette,
                                       LevelDocument& document,
                                       std::function<StagePicture::Options()> sourceOf)
    : QWidget(parent, Qt::Tool), Document(document), SourceOf(std::move(sourceOf)),
      Picture(palette, document.Image()) {
    View = new TStageOverviewView(Picture);
    ChkDrawObjects = new QCheckBox;
    ChkShowUses = new QCheckBox;
    RetranslateUi();
    auto* options = new QHBoxLayout;
    options->addWidget(ChkDrawObjects);
    options->addWidget(ChkShowUses);
    options->addStretch(1);
    // At a high zoom the picture is larger than most screens: it scrolls.
    auto* scroller = new QScrollArea;
    scroller->setWidget(View);
    scroller->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(scroller, 1);
    View->UsedCells = [this] {
        std::vector<int> cells;
        if (!ChkShowUses->isChecked() || !Picture.HasStage() || ChipToPlace < 0)
            return cells;
        const auto& map = Document.Image().Stage(Picture.Source().Stage).MapSetTable;
        for (int index = 0; index < StageOverview::MapCells; ++index)
            if (map[static_cast<std::size_t>(index)] == ChipToPlace)
                cells.push_back(index);
        return cells;
    };
    connect(View, &TStageOverviewView::zoomStepRequested, this,
            &TStageOverviewForm::zoomStepRequested);
    connect(View, &TStageOverviewView::pagePressed, this, [this](Qt::MouseButton button, int page) {
        emit pageChosen(button == Qt::LeftButton ? 0 : 1, page);
    });
    connect(ChkDrawObjects, &QCheckBox::toggled, this,
            [this](bool shown) { View->UpdatePictureRect(Picture.ShowObjects(shown)); });
    connect(ChkShowUses, &QCheckBox::toggled, View, qOverload<>(&QWidget::update));
    connect(&Document, &LevelDocument::BytesWritten, this, &TStageOverviewForm::BytesWritten);
    connect(&Document, &LevelDocument::ObjectsWritten, this, &TStageOverviewForm::ObjectsWritten);
}

void TStageOverviewForm::SetZoom(int zoom) {
    View->SetZoom(zoom);
}

void TStageOverviewForm::ShowUsesOf(int chip) {
    ChipToPlace = chip;
    if (ChkShowUses->isChecked())
        View->update();
}

void TStageOverviewForm::MasterColorsChanged() {
    Picture.ReloadMasterColors();
    RedrawWhole();
}

void TStageOverviewForm::RedrawWhole() {
    if (!isVisible()) {
        Stale = true;
        return;
    }
    Stale = false;
    const RomImageData& image = Document.Image();
    if (!image.HasStages()) {
        Picture.Clear();
    } else {
        StagePicture::Options source = SourceOf();
        source.Objects = ChkDrawObjects->isChecked();
        DrawnChipSet = image.Stage(source.Stage).Chip16x16SetIndexValue();
        Picture.DrawWhole(source);
    }
    View->update();
}

bool TStageOverviewForm::SourceUnchanged() const {
    const StagePicture::Options now = SourceOf();
    const StagePicture::Options& drawn = Picture.Source();
    return now.Stage == drawn.Stage && now.PaletteSet == drawn.PaletteSet &&
           now.ExtraPatternEntry == drawn.ExtraPatternEntry &&
           Document.Image().Stage(now.Stage).Chip16x16SetIndexValue() == DrawnChipSet;
}

void TStageOverviewForm::BytesWritten(const ByteNotice& notice) {
    if (!isVisible()) {
        Stale = true;
        return;
    }
    if (!Picture.HasStage())
        return;
    // An undo may have switched what the stage is drawn with before it wrote.
    if (!SourceUnchanged()) {
        RedrawWhole();
        return;
    }
    const int stage = Picture.Source().Stage;
    const int paletteSet = Picture.Source().PaletteSet;
    std::vector<int> cells;
    std::vector<int> chips;
    bool sheets = false;
    for (const ByteChange& change : notice.Changes) {
        const bool own = change.Stage == stage;
        switch (change.Array) {
        case EditorArray::MapSet:
            if (own)
                cells.push_back(change.Index);
            break;
        case EditorArray::Chip32x32:
            if (own)
                chips.push_back(change.Index / LevelFormat::QuartersPerChip);
            break;
        case EditorArray::NormalChip16x16:
        case EditorArray::NormalProperty:
            sheets = sheets || own;
            break;
        // Shared by the stages of a chip bank: an edit on another stage may show here.
        case EditorArray::DestroyedChip16x16:
        case EditorArray::DestroyedProperty:
            sheets = true;
            break;
        case EditorArray::StagePalette:
            sheets = sheets || (own && change.Index / LevelFormat::StageColorCount == paletteSet);
            break;
        case EditorArray::AnimePalette:
            break;
        }
    }
    QRect changed;
    if (sheets)
        changed |= Picture.RefreshSheets();
    else if (!chips.empty())
        changed |= Picture.RedrawChips32x32(chips);
    if (!cells.empty())
        changed |= Picture.DrawCells(cells);
    View->UpdatePictureRect(changed);
}

void TStageOverviewForm::ObjectsWritten(const ObjectNotice& notice) {
    if (!isVisible()) {
        Stale = true;
        return;
    }
    if (!Picture.HasStage() || notice.Stage != Picture.Source().Stage ||
        !ChkDrawObjects->isChecked())
        return;
    std::vector<int> pages;
    for (const ObjectPageChange& change : notice.Pages)
        pages.push_back(change.Page);
    View->UpdatePictureRect(Picture.RedrawPages(pages));
}

void TStageOverviewForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (Stale)
        RedrawWhole();
}

void TStageOverviewForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void TStageOverviewForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void TStageOverviewForm::RetranslateUi() {
    setWindowTitle(tr(Caption));
    ChkDrawObjects->setText(tr(DrawObjectsCaption));
    ChkShowUses->setText(tr(ShowUsesCaption));
}
