#include "document/LevelDocument.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "mainform/TMainForm.h"
#include "mapsetedit/MapSetEditClass.h"
#include "stageOverviewForm/TStageOverviewForm.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

constexpr const char* ShownKey = "OverviewShown";
constexpr const char* GeometryKey = "OverviewGeometry";
// Sizes beyond any screen are garbage, not a place.
constexpr int LargestSide = 16384;
// Enough of the window on a screen for its title bar to be taken hold of.
constexpr int VisiblePart = 48;

QString GeometryText(const QRect& rect) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

// "x,y,w,h" with a sensible size and enough of it on some screen; nothing otherwise.
std::optional<QRect> GeometryOnScreen(const QString& text) {
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return std::nullopt;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] < 1 || values[3] < 1 || values[2] > LargestSide || values[3] > LargestSide ||
        std::abs(values[0]) > LargestSide || std::abs(values[1]) > LargestSide)
        return std::nullopt;
    const QRect rect(values[0], values[1], values[2], values[3]);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry() & rect;
        if (shared.width() >= VisiblePart && shared.height() >= VisiblePart)
            return rect;
    }
    return std::nullopt;
}

} // namespace

void TMainForm::CreateOverviewMenuItem() {
    ViewMenu->addSeparator();
    StageOverview1 = Captions.Set(ViewMenu->addAction(QString()), QT_TR_NOOP("ステージ全体図(&W)"));
    StageOverview1->setCheckable(true);
    connect(StageOverview1, &QAction::toggled, this, &TMainForm::ShowStageOverview);
}

void TMainForm::ShowStageOverview(bool shown) {
    {
        const QSignalBlocker blocker(StageOverview1);
        StageOverview1->setChecked(shown);
    }
    if (!shown) {
        if (StageOverviewForm != nullptr)
            StageOverviewForm->hide();
        return;
    }
    EnsureStageOverview();
    OverviewFollowMapSetTab();
    StageOverviewForm->show();
    StageOverviewForm->raise();
}

QRect TMainForm::DefaultOverviewGeometry() const {
    const QSize wanted = StageOverviewForm->sizeHint();
    const QScreen* place = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const QRect room = place != nullptr ? place->availableGeometry() : QRect(0, 0, 800, 600);
    const QSize size = wanted.boundedTo(room.size());
    return {room.topLeft() + QPoint(std::max(0, room.width() - size.width()) / 2,
                                    std::max(0, room.height() - size.height()) / 2),
            size};
}

void TMainForm::EnsureStageOverview() {
    if (StageOverviewForm != nullptr)
        return;
    EnsurePages();
    StageOverviewForm = new TStageOverviewForm(this, *MasterPalette, *Document, [this] {
        StagePicture::Options source;
        source.Stage = Document->Image().CurrentStage();
        source.PaletteSet = std::clamp(CBSelectPaletteSet->currentIndex(), 0, 1);
        source.ExtraPatternEntry = ScrBarSelectScrollIndex->value();
        return source;
    });
    StageOverviewForm->setGeometry(
        GeometryOnScreen(OverviewGeometryText).value_or(DefaultOverviewGeometry()));
    connect(StageOverviewForm, &TStageOverviewForm::closed, this, [this] {
        const QSignalBlocker blocker(StageOverview1);
        StageOverview1->setChecked(false);
    });
    connect(StageOverviewForm, &TStageOverviewForm::pageChosen, this, &TMainForm::ShowOverviewPage);
    // The overview is drawn at the views' zoom, and Ctrl+wheel over it zooms them all.
    StageOverviewForm->SetZoom(ZoomLevel);
    connect(this, &TMainForm::ZoomChanged, StageOverviewForm, &TStageOverviewForm::SetZoom);
    connect(StageOverviewForm, &TStageOverviewForm::zoomStepRequested, this,
            [this](int step) { SetZoom(ZoomLevel + step); });
    MapSetEdit->SetShownStateListener([this] { OverviewFollowMapSetTab(); });
    // What the export draws with changed: the palette set, the pattern entry, the chip set.
    const auto redraw = [this] { StageOverviewForm->RedrawWhole(); };
    connect(CBSelectPaletteSet, &QComboBox::currentIndexChanged, StageOverviewForm, redraw);
    connect(ScrBarSelectScrollIndex, &QScrollBar::valueChanged, StageOverviewForm, redraw);
    connect(BtnSwitch16X16ChipSet, &QPushButton::clicked, StageOverviewForm, redraw);
}

void TMainForm::OverviewFollowStage() {
    if (StageOverviewForm == nullptr)
        return;
    StageOverviewForm->RedrawWhole();
    OverviewFollowMapSetTab();
}

void TMainForm::OverviewFollowMapSetTab() {
    if (StageOverviewForm == nullptr)
        return;
    if (!Document->Image().HasStages()) {
        StageOverviewForm->ShowPages(-1, -1);
        StageOverviewForm->ShowUsesOf(-1);
        return;
    }
    StageOverviewForm->ShowPages(MapSetEdit->PageIndex(0), MapSetEdit->PageIndex(1));
    StageOverviewForm->ShowUsesOf(MapSetEdit->PlaceChipIndex());
}

void TMainForm::ShowOverviewPage(int side, int page) {
    if (!Document->Image().HasStages())
        return;
    // A map-set tab still waiting for the stage would reset its pages when it takes it.
    EnsureStageLoaded(TabOf(TabMapSetEdit));
    // Through the bar, as the user would: the label and the page follow.
    QScrollBar* bar = side == 0 ? ScrBarSelectPage0 : ScrBarSelectPage1;
    bar->setValue(page);
}

void TMainForm::ApplyOverviewSettings() {
    OverviewGeometryText =
        QString::fromStdString(Settings->ReadString(ViewSection, GeometryKey, ""));
    const bool shown = Settings->ReadBool(ViewSection, ShownKey, false);
    if (StageOverviewForm != nullptr)
        StageOverviewForm->setGeometry(
            GeometryOnScreen(OverviewGeometryText).value_or(DefaultOverviewGeometry()));
    if (shown && isVisible())
        ShowStageOverview(true);
    else {
        const QSignalBlocker blocker(StageOverview1);
        StageOverview1->setChecked(shown);
    }
}

void TMainForm::SaveOverviewSettings() {
    Settings->WriteBool(ViewSection, ShownKey, StageOverview1->isChecked());
    if (StageOverviewForm != nullptr)
        OverviewGeometryText = GeometryText(StageOverviewForm->geometry());
    if (!OverviewGeometryText.isEmpty())
        Settings->WriteString(ViewSection, GeometryKey, OverviewGeometryText.toStdString());
}
