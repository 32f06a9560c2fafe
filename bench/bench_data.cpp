// Opening an image (read, size/header/layout checks, sixteen stages decoded) and saving one
// with the object blocks re-packed; planning the palette write-back of every stage.
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/PaletteEncoder.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "romgen/CartridgeGenerator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

// A folder with the generated image, removed at the end of the benchmark.
class ScratchImage {
public:
    ScratchImage()
        : Folder(std::filesystem::temp_directory_path() /
                 ("k6bench-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(Folder);
        const auto image = CartridgeGenerator::MakeImage();
        std::ofstream(ImagePath(), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }
    ~ScratchImage() {
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }
    std::string ImagePath() const { return (Folder / "stage.nes").string(); }
    std::string SavePath() const { return (Folder / "saved.nes").string(); }

private:
    std::filesystem::path Folder;
};

void BM_OpenImageFile(benchmark::State& state) {
    ScratchImage scratch;
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    for (auto _ : state) {
        const auto outcome = rom.LoadFromFile(scratch.ImagePath());
        if (!outcome.Ok)
            state.SkipWithError(outcome.Message.c_str());
        benchmark::DoNotOptimize(rom.Stage(15).MapSetTable.data());
    }
}
BENCHMARK(BM_OpenImageFile)->Unit(benchmark::kMicrosecond);

void BM_OpenImageBytes(benchmark::State& state) {
    const auto image = CartridgeGenerator::MakeImage();
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    for (auto _ : state) {
        const auto outcome = rom.LoadFromBytes(image, "stage.nes");
        if (!outcome.Ok)
            state.SkipWithError(outcome.Message.c_str());
        benchmark::DoNotOptimize(rom.Stage(15).MapSetTable.data());
    }
}
BENCHMARK(BM_OpenImageBytes)->Unit(benchmark::kMicrosecond);

// The palette tab plans the write-back after each colour edit to mark what cannot be saved.
void BM_PlanAllStagePalettes(benchmark::State& state) {
    const auto image = CartridgeGenerator::MakeImage();
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    if (!rom.LoadFromBytes(image, "stage.nes").Ok)
        state.SkipWithError("generated image did not open");
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        rom.Stage(s).StagePalette[5] ^= 0x20;
    for (auto _ : state)
        for (int s = 0; s < LevelFormat::StageCount; ++s)
            benchmark::DoNotOptimize(PaletteEncoder::PlanStage(
                *rom.Address(), s, rom.Stage(s).StagePalette, rom.Buffer()));
}
BENCHMARK(BM_PlanAllStagePalettes)->Unit(benchmark::kMicrosecond);

// Every category of every stage flagged, objects included: all write-back paths and the
// re-pack, without the file write.
void BM_ComposeSaveWithRepack(benchmark::State& state) {
    ScratchImage scratch;
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    if (!rom.LoadFromFile(scratch.ImagePath()).Ok) {
        state.SkipWithError("generated image refused");
        return;
    }
    std::vector<std::uint8_t> composed;
    for (auto _ : state) {
        state.PauseTiming();
        for (int s = 0; s < LevelFormat::StageCount; ++s) {
            flags.SetChip16x16Modified(s, true);
            flags.SetChip32x32Modified(s, true);
            flags.SetMapSetModified(s, true);
            flags.SetObjectModified(s, true);
        }
        state.ResumeTiming();
        if (!rom.ComposeSavedImage(composed).Ok)
            state.SkipWithError("save refused");
        benchmark::DoNotOptimize(composed.data());
    }
}
BENCHMARK(BM_ComposeSaveWithRepack)->Unit(benchmark::kMicrosecond);

// The whole save: write-back, re-pack of the objects of one edited stage, atomic file write.
void BM_SaveToFileWithRepack(benchmark::State& state) {
    ScratchImage scratch;
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    if (!rom.LoadFromFile(scratch.ImagePath()).Ok) {
        state.SkipWithError("generated image refused");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        rom.Stage(5).AddObject(3, 0x10, 0x20, 0x30);
        rom.Stage(5).RemoveObject(rom.Stage(5).LastObjectOfPage(3), 3);
        flags.SetObjectModified(5, true);
        state.ResumeTiming();
        const auto outcome = rom.SaveToFile(scratch.SavePath());
        if (!outcome.Ok)
            state.SkipWithError(outcome.Message.c_str());
    }
}
BENCHMARK(BM_SaveToFileWithRepack)->Unit(benchmark::kMicrosecond);

} // namespace
