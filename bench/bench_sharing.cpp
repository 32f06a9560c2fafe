// Play-testing the open image, and one stage's map set to and from a Tiled map.
#include "document/TmxMap.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "mainform/PlayTestLauncher.h"
#include "romgen/CartridgeGenerator.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// The generated image open in a holder, with its settings in a folder of its own.
struct OpenImage {
    QTemporaryDir Folder;
    IniFile Settings{QDir(Folder.path()).filePath("kestrin6editor.ini").toStdString()};
    EditFlagManagement Flags{{}};
    RomImageData Rom{Flags, Settings};

    OpenImage() {
        const std::vector<std::uint8_t> image = CartridgeGenerator::MakeImage();
        if (!Rom.LoadFromBytes(image, QDir(Folder.path()).filePath("stage.nes").toStdString()).Ok)
            std::abort();
        Rom.SetCurrentStage(5);
    }
};

// From the menu command to the emulator started: compose, write the test image, start.
void BM_PlayTestLaunch(benchmark::State& state) {
    OpenImage open;
    open.Settings.WriteString(PlayTestLauncher::SettingsSection,
                              PlayTestLauncher::StartStageOffsetKey, "7FF00");
    for (auto _ : state) {
        const Outcome launched = PlayTestLauncher::Launch(open.Rom, open.Settings,
                                                          "/bin/true %image", open.Folder.path());
        if (!launched.Ok)
            state.SkipWithError(launched.Message.c_str());
    }
}
BENCHMARK(BM_PlayTestLaunch)->Unit(benchmark::kMillisecond);

void BM_TmxExportOneStage(benchmark::State& state) {
    OpenImage open;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TmxMap::Write(open.Rom.Stage(5).MapSetTable, "stage.chips.png", "stage"));
}
BENCHMARK(BM_TmxExportOneStage)->Unit(benchmark::kMillisecond);

void BM_TmxImportOneStage(benchmark::State& state) {
    OpenImage open;
    TmxMap::MapSet changed{};
    for (std::size_t i = 0; i < changed.size(); ++i)
        changed[i] = static_cast<std::uint8_t>(i);
    const QByteArray tmx = TmxMap::Write(changed, "stage.chips.png", "stage");
    for (auto _ : state) {
        TmxMap::MapSet read{};
        if (!TmxMap::Read(tmx, {}, read).Ok)
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(TmxMap::ImportChanges(5, open.Rom.Stage(5).MapSetTable, read));
    }
}
BENCHMARK(BM_TmxImportOneStage)->Unit(benchmark::kMillisecond);

} // namespace
