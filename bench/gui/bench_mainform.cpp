// Every user action through the real main window, offscreen, with real mouse events: each
// measured step is the events of the action followed by the repaint they cause (the posted
// update requests are handled and the frame is flushed). A step that did not repaint its view
// is reported as an error, so a figure never leaves the drawing out.
//
// Set-up between steps (picking what to place, so that every step changes something) is not
// timed.
//
// Every action runs at zoom 1 and at zoom 4 (argument "zoom"); positions on the enlarged views
// are given in console pixels and scaled here. At zoom 4 the window is made as large as its
// views, so that every view is painted whole, as on a screen large enough for it.

#include "FakePrompts.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "document/ChangeList.h"
#include "document/LevelDocument.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"
#include "mainform/TMainForm.h"
#include "mapsetedit/MapSetEditClass.h"
#include "romgen/CartridgeGenerator.h"
#include "stageOverviewForm/TStageOverviewForm.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

// The program's start: master palette and list files in a temporary folder, the generated
// image open.
class OpenWindow {
public:
    OpenWindow() {
        const auto palette = CartridgeGenerator::MakeMasterPalette();
        WriteWholeFile(Dir.File("fcpalette.pal"), {palette.begin(), palette.end()});
        for (const char* name : {"ObjectList.txt", "ScrollList.txt"})
            std::filesystem::copy_file(std::filesystem::path(K6_DATA_DIR) / name, Dir.File(name));
        WriteWholeFile(Dir.File("stage.nes"), CartridgeGenerator::MakeImage());
        QDir::setCurrent(QString::fromStdString(Dir.Path().string()));

        StartupOptions options;
        options.ExecutableDir = QString::fromStdString(Dir.Path().string());
        options.DataDir = QString::fromStdString(Dir.File("share"));
        options.Prompts = &Prompts;
        Form = std::make_unique<TMainForm>(options);
        Form->show();
        Form->OpenChosenFile(QString::fromStdString(Dir.File("stage.nes")));
        QCoreApplication::processEvents();
    }

    TempDir Dir;
    FakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;
};

OpenWindow* Window = nullptr;

TMainForm& Form() {
    return *Window->Form;
}

// Handles what the events left posted: the update requests, hence the paint and the flush.
void Repaint() {
    QCoreApplication::processEvents();
}

void ShowTab(QWidget* page) {
    Form().EditPageControl->setCurrentWidget(page);
    Repaint();
}

// The zoom the benchmark's argument names; the window then shows every view whole.
int UseZoom(const benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    Form().SetZoom(zoom);
    Repaint();
    Form().resize(Form().sizeHint().expandedTo(Form().size()));
    Repaint();
    return zoom;
}

// Counts the paint events a view, or any widget inside it, receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* view) : View(view) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == View || View->isAncestorOf(static_cast<QWidget*>(watched))))
            ++Count;
        return QObject::eventFilter(watched, event);
    }
    // Reports an error unless the view was painted at least once per step.
    void Check(benchmark::State& state) const {
        if (Count < state.iterations())
            state.SkipWithError("a step did not repaint its view");
    }

private:
    QWidget* View;
    benchmark::IterationCount Count = 0;
};

// A left click, the pointer having come to rest there first (untimed).
void TimedLeftClick(benchmark::State& state, QWidget* view, int x, int y) {
    state.PauseTiming();
    ViewDriver::Move(view, x, y);
    Repaint();
    state.ResumeTiming();
    ViewDriver::Press(view, Qt::LeftButton, x, y);
    ViewDriver::Release(view, Qt::LeftButton, x, y);
    Repaint();
}

void UntimedLeftClick(benchmark::State& state, QWidget* view, int x, int y) {
    state.PauseTiming();
    ViewDriver::Move(view, x, y);
    ViewDriver::Click(view, Qt::LeftButton, x, y);
    Repaint();
    state.ResumeTiming();
}

void BM_MapCellPlacement(benchmark::State& state) {
    const int zoom = UseZoom(state);
    ShowTab(Form().TabMapSetEdit);
    TImageEx* page = Form().ImgEditMapSetPage0;
    PaintCounter paints(page);
    int step = 0;
    for (auto _ : state) {
        const int chip = 1 + (step / 64) % 2;
        UntimedLeftClick(state, Form().Img32x32ChipTable, ((chip % 16) * 16 + 7) * zoom, 7 * zoom);
        const int cell = step % 64;
        TimedLeftClick(state, page, ((cell % 8) * 32 + 10) * zoom, ((cell / 8) * 32 + 10) * zoom);
        ++step;
    }
    paints.Check(state);
}
BENCHMARK(BM_MapCellPlacement)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// ---- The stage overview ----

TStageOverviewForm& ShownOverview() {
    if (!Form().StageOverview1->isChecked())
        Form().StageOverview1->trigger();
    Repaint();
    // As large as a common screen holds beside the main window: at zoom 1 the picture shows
    // whole, at zoom 4 its top-left part scrolls into view (the placed cells lie there).
    TStageOverviewForm& overview = *Form().StageOverviewForm;
    overview.resize(1100, 640);
    Repaint();
    return overview;
}

void HideOverview() {
    if (Form().StageOverview1->isChecked())
        Form().StageOverview1->trigger();
    Repaint();
}

// The whole stage drawn again and painted, as a stage switch does.
void BM_OverviewWhole(benchmark::State& state) {
    UseZoom(state);
    TStageOverviewForm& overview = ShownOverview();
    PaintCounter paints(overview.View);
    for (auto _ : state) {
        overview.RedrawWhole();
        Repaint();
    }
    paints.Check(state);
    HideOverview();
}
BENCHMARK(BM_OverviewWhole)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// The map-set tab's cell placement with the overview shown: the difference from the figure
// without it is the overview's update. Each step places a chip the cell does not hold.
void BM_MapCellPlacementWithOverview(benchmark::State& state) {
    const int zoom = UseZoom(state);
    TStageOverviewForm& overview = ShownOverview();
    ShowTab(Form().TabMapSetEdit);
    TImageEx* page = Form().ImgEditMapSetPage0;
    PaintCounter paints(overview.View);
    const StageData& stage = Form().ImageHolder().CurrentStageData();
    int step = 0;
    for (auto _ : state) {
        const int cell = step % 64;
        const int index = Form().MapSetEdit->PageIndex(0) * 64 + cell;
        const int chip = stage.MapSetTable[static_cast<std::size_t>(index)] == 1 ? 2 : 1;
        UntimedLeftClick(state, Form().Img32x32ChipTable, ((chip % 16) * 16 + 7) * zoom, 7 * zoom);
        TimedLeftClick(state, page, ((cell % 8) * 32 + 10) * zoom, ((cell / 8) * 32 + 10) * zoom);
        ++step;
    }
    paints.Check(state);
    HideOverview();
}
BENCHMARK(BM_MapCellPlacementWithOverview)
    ->ArgName("zoom")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);

// ---- Stamps and fill ----

// Page 0 of the current stage made one chip throughout (untimed set-up), as the document
// writes any edit.
void FillPage0With(std::uint8_t chip) {
    const RomImageData& image = Form().ImageHolder();
    const int stage = image.CurrentStage();
    ChangeList list;
    list.Place = {stage, EditorTabId::MapSet, -1};
    for (int cell = 0; cell < 64; ++cell)
        list.Bytes.push_back({static_cast<std::uint8_t>(stage), EditorArray::MapSet,
                              static_cast<std::uint16_t>(cell),
                              image.CurrentStageData().MapSetTable[static_cast<std::size_t>(cell)],
                              chip});
    Form().Doc().Apply(std::move(list), "set-up");
    Repaint();
}

void UndoStep() {
    Form().Undo1->trigger();
    Repaint();
}

// The stamp: all of page 1, picked with a right drag on side 1; page 0 one other chip.
void PrepareStampOnUniformPage(bool fill, int zoom) {
    ShowTab(Form().TabMapSetEdit);
    Form().ChkMapSetFill->setChecked(false);
    FillPage0With(0xFE);
    TImageEx* side1 = Form().ImgEditMapSetPage1;
    if (fill) {
        ViewDriver::Click(Form().Img32x32ChipTable, Qt::LeftButton, 7 * zoom,
                          7 * zoom); // chip 00
        Form().ChkMapSetFill->setChecked(true);
    } else {
        ViewDriver::Press(side1, Qt::RightButton, 5 * zoom, 5 * zoom);
        ViewDriver::Move(side1, 250 * zoom, 250 * zoom, Qt::RightButton);
        ViewDriver::Release(side1, Qt::RightButton, 250 * zoom, 250 * zoom);
    }
    Repaint();
}

// A left press and release on page 0's top-left cell: the whole stamp, or the whole page
// filled; undone untimed.
void StampOrFill(benchmark::State& state, bool fill) {
    const int zoom = UseZoom(state);
    PrepareStampOnUniformPage(fill, zoom);
    TImageEx* page = Form().ImgEditMapSetPage0;
    PaintCounter paints(page);
    const int before = Form().History().Stack().index();
    for (auto _ : state) {
        TimedLeftClick(state, page, 10 * zoom, 10 * zoom);
        state.PauseTiming();
        if (Form().History().Stack().index() != before + 1)
            state.SkipWithError("the press changed nothing");
        UndoStep();
        state.ResumeTiming();
    }
    paints.Check(state);
    Form().ChkMapSetFill->setChecked(false);
}

// The undo of the same, placed untimed.
void UndoStampOrFill(benchmark::State& state, bool fill) {
    const int zoom = UseZoom(state);
    PrepareStampOnUniformPage(fill, zoom);
    TImageEx* page = Form().ImgEditMapSetPage0;
    PaintCounter paints(page);
    for (auto _ : state) {
        UntimedLeftClick(state, page, 10 * zoom, 10 * zoom);
        UndoStep();
    }
    paints.Check(state);
    Form().ChkMapSetFill->setChecked(false);
}

void BM_MapStamp8x8Placement(benchmark::State& state) {
    StampOrFill(state, false);
}
BENCHMARK(BM_MapStamp8x8Placement)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_MapStamp8x8Undo(benchmark::State& state) {
    UndoStampOrFill(state, false);
}
BENCHMARK(BM_MapStamp8x8Undo)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_MapFullPageFill(benchmark::State& state) {
    StampOrFill(state, true);
}
BENCHMARK(BM_MapFullPageFill)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_MapFullPageFillUndo(benchmark::State& state) {
    UndoStampOrFill(state, true);
}
BENCHMARK(BM_MapFullPageFillUndo)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// One quarter of the chip being edited, each step another quarter; every four steps the piece
// picked from the table (pickX, pickY of cell 1 or 2) alternates, so that every click changes
// something.
void QuarterPlacement(benchmark::State& state, QWidget* tab, TImageEx* panel, QWidget* table,
                      int pickX, int pickY, int inset) {
    // The table is enlarged; the edited chip keeps its size.
    const int zoom = UseZoom(state);
    ShowTab(tab);
    // Every quarter starts as piece 2, whatever an earlier run left: the first steps place 1.
    ViewDriver::Click(table, Qt::LeftButton, (2 * 16 + pickX) * zoom, pickY * zoom);
    for (int quarter = 0; quarter < 4; ++quarter)
        ViewDriver::Click(panel, Qt::LeftButton, (quarter % 2) * 32 + inset,
                          (quarter / 2) * 32 + inset);
    Repaint();
    PaintCounter paints(panel);
    int step = 0;
    for (auto _ : state) {
        const int piece = 1 + (step / 4) % 2;
        UntimedLeftClick(state, table, (piece * 16 + pickX) * zoom, pickY * zoom);
        const int quarter = step % 4;
        TimedLeftClick(state, panel, (quarter % 2) * 32 + inset, (quarter / 2) * 32 + inset);
        ++step;
    }
    paints.Check(state);
}

void BM_Chip32x32Quarter(benchmark::State& state) {
    QuarterPlacement(state, Form().Tab32x32ChipEdit, Form().ImgEdit32x32Chip,
                     Form().Img16x16ChipTable, 3, 3, 9);
}
BENCHMARK(BM_Chip32x32Quarter)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_Chip16x16Quarter(benchmark::State& state) {
    QuarterPlacement(state, Form().Tab16x16ChipEdit, Form().ImgEdit16x16Chip, Form().ImgBGBankTable,
                     5, 5, 10);
}
BENCHMARK(BM_Chip16x16Quarter)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_PaletteEntry(benchmark::State& state) {
    // The palette tab keeps its size at every zoom.
    UseZoom(state);
    ShowTab(Form().TabPaletteEdit);
    TImageEx* set = Form().ImgPalView[1];
    PaintCounter paints(set);
    int step = 0;
    for (auto _ : state) {
        // A colour other than the one the entry holds.
        const int entry = step % 4;
        const int colour = Form().EditPal[4 + entry]->text() == "11" ? 0x12 : 0x11;
        UntimedLeftClick(state, Form().ImgColorTable, (colour % 16) * 24 + 3,
                         (colour / 16) * 24 + 3);
        TimedLeftClick(state, set, entry * 24 + 5, 5);
        ++step;
    }
    paints.Check(state);
}
BENCHMARK(BM_PaletteEntry)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// One step of a drag: the pointer moves with the left button held and the object follows.
void BM_ObjectDragStep(benchmark::State& state) {
    const int zoom = UseZoom(state);
    ShowTab(Form().TabObjectEdit);
    // The stage holds one object, in room 0.
    const int current = Form().ImageHolder().CurrentStage();
    const StageData& stage = Form().ImageHolder().Stage(current);
    ChangeList setUp;
    setUp.Place = {current, EditorTabId::Object, -1};
    for (int room = 0; room < 32; ++room) {
        std::vector<ObjectRecord> after;
        if (room == 0)
            after.push_back({stage.NextFreeObjectId(), 0x40, 0x70, 6});
        setUp.ObjectPages.push_back({room, stage.PageRecords(room), std::move(after)});
    }
    Form().Doc().Apply(std::move(setUp), "set-up");
    Form().History().Clear();
    Form().CBStageChange(current);
    TImageEx* view = Form().ImgObjectMapPage0;
    ViewDriver::Move(view, 0x42 * zoom, 0x72 * zoom);
    ViewDriver::Press(view, Qt::LeftButton, 0x42 * zoom, 0x72 * zoom);
    Repaint();
    PaintCounter paints(view);
    int step = 0;
    for (auto _ : state) {
        const int x = 0x42 + (step % 2 ? 0x20 : 0);
        ViewDriver::Move(view, x * zoom, 0x72 * zoom, Qt::LeftButton);
        Repaint();
        ++step;
    }
    paints.Check(state);
    ViewDriver::Release(view, Qt::LeftButton, 0x42 * zoom, 0x72 * zoom);
    Repaint();
}
BENCHMARK(BM_ObjectDragStep)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// A stage chosen with the wheel over the stage box, one notch down then one up, with the given
// tab in front.
void StageSwitch(benchmark::State& state, QWidget* (*page)()) {
    UseZoom(state);
    ShowTab(page());
    QComboBox* stages = Form().CBStage;
    const QPoint centre = stages->rect().center();
    PaintCounter paints(Form().EditPageControl->currentWidget());
    int step = 0;
    for (auto _ : state) {
        ++step;
        ViewDriver::Wheel(stages, centre.x(), centre.y(), step % 2 ? -1 : 1);
        Repaint();
        if (Form().ImageHolder().CurrentStage() != step % 2) {
            state.SkipWithError("the wheel did not switch the stage");
            break;
        }
    }
    paints.Check(state);
    stages->setCurrentIndex(0);
    Repaint();
}
BENCHMARK_CAPTURE(StageSwitch, MapSet, [] { return Form().TabMapSetEdit; })
    ->ArgName("zoom")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(StageSwitch, Chip16x16, [] { return Form().Tab16x16ChipEdit; })
    ->ArgName("zoom")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);

// The same with the overview shown: it is drawn whole for every stage.
void BM_StageSwitchWithOverview(benchmark::State& state) {
    ShownOverview();
    StageSwitch(state, [] { return Form().TabMapSetEdit; });
    HideOverview();
}
BENCHMARK(BM_StageSwitchWithOverview)
    ->ArgName("zoom")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);

// The tabs in turn, each switch one click on its tab (the pointer already resting there).
void BM_TabSwitch(benchmark::State& state) {
    UseZoom(state);
    QTabWidget* tabs = Form().EditPageControl;
    QTabBar* bar = tabs->tabBar();
    PaintCounter paints(tabs);
    int step = 0;
    for (auto _ : state) {
        const QPoint tab = bar->tabRect(++step % tabs->count()).center();
        state.PauseTiming();
        ViewDriver::Move(bar, tab.x(), tab.y());
        Repaint();
        state.ResumeTiming();
        ViewDriver::Click(bar, Qt::LeftButton, tab.x(), tab.y());
        Repaint();
    }
    if (tabs->currentIndex() != step % tabs->count())
        state.SkipWithError("a click did not switch the tab");
    paints.Check(state);
}
BENCHMARK(BM_TabSwitch)->ArgName("zoom")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(TMainForm::ApplicationTitle);
    benchmark::Initialize(&argc, argv);
    OpenWindow window;
    Window = &window;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Window = nullptr;
    return 0;
}
