// Undo and redo of single edits on the real window (offscreen), each with its redraw, and the
// memory a long history of single-cell edits holds.

#include "document/LevelDocument.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"
#include "mainform/TMainForm.h"
#include "mapsetedit/MapSetEditClass.h"
#include "objectedit/ObjectEditClass.h"
#include "paletteedit/PaletteEditClass.h"
#include "prompts/UserPrompts.h"
#include "romgen/CartridgeGenerator.h"

#include <QApplication>
#include <QTabWidget>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

// Answers every question with "yes" and shows nothing.
class SilentPrompts : public UserPrompts {
public:
    void ShowMessage(QWidget*, const QString&) override {}
    Answer AskYesNoCancel(QWidget*, const QString&, const QString&) override { return Answer::No; }
    bool AskYesNo(QWidget*, const QString&) override { return true; }
    QString ChooseOpenFile(QWidget*, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    void ShowModal(QDialog*) override {}
    void PopupMenu(QMenu*, const QPoint&) override {}
};

void WriteFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// One application and one main window with the generated cartridge open, shared by all
// benchmarks of this file; each starts from an empty history.
class OpenWindow {
public:
    static OpenWindow& Get() {
        static OpenWindow window;
        return window;
    }
    TMainForm& Form() { return *Window; }
    QUndoStack& Stack() { return Window->History().Stack(); }
    const StageData& Stage() { return Window->ImageHolder().CurrentStageData(); }
    void Reset(QWidget* tab) {
        Stack().clear();
        Window->EditPageControl->setCurrentWidget(tab);
    }

private:
    OpenWindow() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        App = std::make_unique<QApplication>(Argc, Argv);
        Dir = std::filesystem::temp_directory_path() /
              ("k6bench-history-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        const auto palette = CartridgeGenerator::MakeMasterPalette();
        WriteFile(Dir / "fcpalette.pal", palette.data(), palette.size());
        const auto image = CartridgeGenerator::MakeImage();
        WriteFile(Dir / "stage.nes", image.data(), image.size());
        StartupOptions options;
        options.ExecutableDir = QString::fromStdString(Dir.string());
        options.MasterPaletteName = QString::fromStdString((Dir / "fcpalette.pal").string());
        options.Prompts = &Prompts;
        Window = std::make_unique<TMainForm>(options);
        Window->show();
        Window->OpenChosenFile(QString::fromStdString((Dir / "stage.nes").string()));
    }
    ~OpenWindow() {
        Window.reset();
        App.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Dir, ignored);
    }

    static inline int Argc = 1;
    static inline char ProgramName[] = "k6bench";
    static inline char* Argv[] = {ProgramName, nullptr};
    std::unique_ptr<QApplication> App;
    std::filesystem::path Dir;
    SilentPrompts Prompts;
    std::unique_ptr<TMainForm> Window;
};

// One undo and one redo per iteration.
void UndoRedo(benchmark::State& state, QUndoStack& stack) {
    for (auto _ : state) {
        stack.undo();
        stack.redo();
    }
}

void BM_UndoRedoMapCell(benchmark::State& state) {
    OpenWindow& window = OpenWindow::Get();
    window.Reset(window.Form().TabMapSetEdit);
    MapSetEditClass& editor = *window.Form().MapSetEdit;
    editor.ShowPlaceChip(editor.ChipAt(0, 10) == 0x21 ? 0x22 : 0x21);
    editor.PlaceChip(0, 10);
    UndoRedo(state, window.Stack());
}
BENCHMARK(BM_UndoRedoMapCell)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoPagePaste(benchmark::State& state) {
    OpenWindow& window = OpenWindow::Get();
    window.Reset(window.Form().TabMapSetEdit);
    MapSetEditClass& editor = *window.Form().MapSetEdit;
    // Page 9 differs from page 3 in every cell.
    const auto& map = window.Stage().MapSetTable;
    ChangeList setUp;
    const int stage = window.Form().ImageHolder().CurrentStage();
    for (std::size_t cell = 0; cell < 64; ++cell)
        setUp.Bytes.push_back({static_cast<std::uint8_t>(stage), EditorArray::MapSet,
                               static_cast<std::uint16_t>(9 * 64 + cell), map[9 * 64 + cell],
                               static_cast<std::uint8_t>(map[3 * 64 + cell] + 1)});
    window.Form().Doc().Apply(std::move(setUp), "set-up");
    window.Stack().clear();
    editor.SetPage(0, 3);
    editor.SetPage(1, 9);
    editor.CopyPage(0);
    editor.PastePage(1);
    if (window.Stack().count() != 1)
        state.SkipWithError("the paste was not one step");
    UndoRedo(state, window.Stack());
}
BENCHMARK(BM_UndoRedoPagePaste)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoObjectDrag500(benchmark::State& state) {
    OpenWindow& window = OpenWindow::Get();
    window.Reset(window.Form().TabObjectEdit);
    ObjectEditClass& editor = *window.Form().ObjectEdit;
    ChangeList setUp;
    setUp.Place = {window.Form().ImageHolder().CurrentStage(), EditorTabId::Object, -1};
    setUp.ObjectPages.push_back(
        {0, window.Stage().PageRecords(0), {{window.Stage().NextFreeObjectId(), 0x20, 0x20, 1}}});
    window.Form().Doc().Apply(std::move(setUp), "set-up");
    window.Stack().clear();
    editor.SetRooms(0);
    editor.RoomMouseMove(0, Qt::NoButton, Qt::NoModifier, 0x20, 0x20);
    editor.RoomMouseDown(0, Qt::LeftButton, 0x20, 0x20);
    for (int move = 0; move < 500; ++move)
        editor.RoomMouseMove(0, Qt::LeftButton, Qt::NoModifier, 0x20 + move % 200, 0x20 + move / 4);
    editor.RoomMouseUp(Qt::LeftButton);
    if (window.Stack().count() != 1)
        state.SkipWithError("the drag was not one step");
    UndoRedo(state, window.Stack());
}
BENCHMARK(BM_UndoRedoObjectDrag500)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoPaletteEntry(benchmark::State& state) {
    OpenWindow& window = OpenWindow::Get();
    window.Reset(window.Form().TabPaletteEdit);
    const std::uint8_t old = window.Stage().StagePalette[5];
    window.Form().PaletteEdit->SetEntryColor(window.Form().PaletteEdit->PaletteSet(), 5,
                                             old == 0x21 ? 0x22 : 0x21);
    UndoRedo(state, window.Stack());
}
BENCHMARK(BM_UndoRedoPaletteEntry)->Unit(benchmark::kMicrosecond);

// Heap bytes held by 10,000 single-cell steps (mallinfo2: bytes in use before and after).
void BM_MemoryOf10000CellSteps(benchmark::State& state) {
    OpenWindow& window = OpenWindow::Get();
    MapSetEditClass& editor = *window.Form().MapSetEdit;
    for (auto _ : state) {
        window.Reset(window.Form().TabMapSetEdit);
        const std::size_t before = mallinfo2().uordblks;
        for (int step = 0; step < 10000; ++step) {
            const int cell = step % 64;
            editor.ShowPlaceChip((editor.ChipAt(0, cell) + 1) % 256);
            editor.PlaceChip(0, cell);
        }
        const std::size_t after = mallinfo2().uordblks;
        state.counters["steps"] = window.Stack().count();
        state.counters["bytes"] = static_cast<double>(after - before);
        state.counters["bytes_per_step"] = static_cast<double>(after - before) / 10000.0;
    }
    window.Stack().clear();
}
BENCHMARK(BM_MemoryOf10000CellSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
