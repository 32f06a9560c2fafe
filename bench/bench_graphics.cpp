// The drawing engine's share of a stage load and of one palette animation tick.

#include "base/LevelFormat.h"
#include "dib/ImageRect.h"
#include "fileio/FcPaletteData.h"
#include "graphics/EditorGraphics.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr std::size_t CartridgeSize = LevelFormat::CartridgeSize;

// Random stage data: a first pattern table, both chip tables, attributes and two map pages,
// plus one animation record (period 0, so every tick recolours) at fixed offsets.
struct StageFixture {
    StageFixture() {
        std::mt19937 random(6);
        const auto fill = [&](std::vector<std::uint8_t>& bytes) {
            for (auto& byte : bytes) {
                byte = static_cast<std::uint8_t>(random());
            }
        };
        fill(Tiles);
        fill(Chips16);
        fill(Attributes);
        fill(Chips32);
        fill(Map);
        Cartridge[0x1000] = 0x43; // animation 0: record at AnimeBase
        Cartridge[0x1100] = 0xBB;
        Cartridge[0x3000] = 3; // last step
        Cartridge[0x3001] = 0; // period
        for (std::size_t i = 0; i < 4; ++i) {
            Cartridge[0x3002 + i] = static_cast<std::uint8_t>(i + 1);
        }
        for (std::size_t i = 0; i < 15; ++i) {
            Cartridge[0x2000 + i] = static_cast<std::uint8_t>(0x10 + i);
        }
        Graphics.SetAnimationTables({0x1000, 0x1100, 0x2000, 0x3000});
        std::array<std::uint8_t, 16> stagePalette{};
        for (std::size_t i = 0; i < stagePalette.size(); ++i) {
            stagePalette[i] = static_cast<std::uint8_t>(i * 3);
        }
        Graphics.SetStagePalette(stagePalette);
        RenderSheets();
    }

    static FcPaletteData MakePalette() {
        std::array<std::uint8_t, FcPaletteData::FileSize> triples{};
        for (std::size_t i = 0; i < triples.size(); ++i) {
            triples[i] = static_cast<std::uint8_t>(i * 37);
        }
        return FcPaletteData(triples);
    }

    void RenderSheets() {
        Graphics.Chip16x16Sheet().CopyColorTable(Graphics.StageColorImage());
        Graphics.DrawChip16x16Sheet(Graphics.Chip16x16Sheet(), Tiles, Chips16, Attributes);
        Graphics.RefreshChip32x32SheetColors();
        Graphics.DrawChip32x32Sheet(Graphics.Chip32x32Sheet(), Chips32);
    }

    std::span<const std::uint8_t> Page(int page) const {
        return std::span(Map).subspan(static_cast<std::size_t>(page) * 64, 64);
    }

    FcPaletteData Palette = MakePalette();
    std::vector<std::uint8_t> Cartridge = std::vector<std::uint8_t>(CartridgeSize, 0);
    EditorGraphics Graphics{Palette, Cartridge};
    std::vector<std::uint8_t> Tiles = std::vector<std::uint8_t>(4096);
    std::vector<std::uint8_t> Chips16 = std::vector<std::uint8_t>(1024);
    std::vector<std::uint8_t> Attributes = std::vector<std::uint8_t>(256);
    std::vector<std::uint8_t> Chips32 = std::vector<std::uint8_t>(1024);
    std::vector<std::uint8_t> Map = std::vector<std::uint8_t>(2048);
    std::unique_ptr<ViewSurface> Page0 = Graphics.CreateViewBitmap(256, 256);
    std::unique_ptr<ViewSurface> Page1 = Graphics.CreateViewBitmap(256, 256);
    std::unique_ptr<ViewSurface> ChipTable = Graphics.CreateViewBitmap(256, 256);
    std::unique_ptr<ViewSurface> SheetHalf = Graphics.CreateViewBitmap(512, 256);
};

void BM_DrawChip16x16Sheet(benchmark::State& state) {
    StageFixture stage;
    for (auto _ : state) {
        stage.Graphics.DrawChip16x16Sheet(stage.Graphics.Chip16x16Sheet(), stage.Tiles,
                                          stage.Chips16, stage.Attributes);
        benchmark::DoNotOptimize(stage.Graphics.Chip16x16Sheet().Row(0).data());
    }
}
BENCHMARK(BM_DrawChip16x16Sheet);

void BM_DrawChip32x32Sheet(benchmark::State& state) {
    StageFixture stage;
    for (auto _ : state) {
        stage.Graphics.DrawChip32x32Sheet(stage.Graphics.Chip32x32Sheet(), stage.Chips32);
        benchmark::DoNotOptimize(stage.Graphics.Chip32x32Sheet().Row(0).data());
    }
}
BENCHMARK(BM_DrawChip32x32Sheet);

void BM_DrawMapPage(benchmark::State& state) {
    StageFixture stage;
    for (auto _ : state) {
        stage.Graphics.DrawMapPage(*stage.Page0, stage.Page(3));
        benchmark::DoNotOptimize(stage.Page0->Image().constBits());
    }
}
BENCHMARK(BM_DrawMapPage);

void BM_CopySheetHalfToView(benchmark::State& state) {
    StageFixture stage;
    const PalettedImage& sheet = stage.Graphics.Chip32x32Sheet();
    for (auto _ : state) {
        stage.Graphics.CopyToView(*stage.SheetHalf, {0, 0, 512, 256}, sheet, {0, 256, 512, 512});
        benchmark::DoNotOptimize(stage.SheetHalf->Image().constBits());
    }
}
BENCHMARK(BM_CopySheetHalfToView);

void BM_ShowChip32x32SheetReduced(benchmark::State& state) {
    StageFixture stage;
    for (auto _ : state) {
        stage.Graphics.ShowChip32x32Sheet(*stage.ChipTable);
        benchmark::DoNotOptimize(stage.ChipTable->Image().constBits());
    }
}
BENCHMARK(BM_ShowChip32x32SheetReduced);

// What a stage load asks of the engine: both sheets and the two visible map pages.
void BM_StageRender(benchmark::State& state) {
    StageFixture stage;
    for (auto _ : state) {
        stage.RenderSheets();
        stage.Graphics.DrawMapPage(*stage.Page0, stage.Page(0));
        stage.Graphics.DrawMapPage(*stage.Page1, stage.Page(1));
        benchmark::DoNotOptimize(stage.Page1->Image().constBits());
    }
}
BENCHMARK(BM_StageRender);

// One animation tick that changes colours, with the map-set tab's recolour and recopy: the
// sheet takes the new colours, both pages and the reduced chip table are copied again.
void BM_AnimationTickWithRecopy(benchmark::State& state) {
    StageFixture stage;
    const std::uint8_t animation[4] = {0x80, 0x80, 0x80, 0x80};
    for (auto _ : state) {
        const bool changed = stage.Graphics.StepPaletteAnimation(animation);
        if (changed) {
            stage.Graphics.RefreshChip32x32SheetColors();
            stage.Graphics.DrawMapPage(*stage.Page0, stage.Page(0));
            stage.Graphics.DrawMapPage(*stage.Page1, stage.Page(1));
            stage.Graphics.ShowChip32x32Sheet(*stage.ChipTable);
        }
        benchmark::DoNotOptimize(changed);
    }
}
BENCHMARK(BM_AnimationTickWithRecopy);

void BM_AnimationTickAlone(benchmark::State& state) {
    StageFixture stage;
    const std::uint8_t animation[4] = {0x80, 0x80, 0x80, 0x80};
    for (auto _ : state) {
        benchmark::DoNotOptimize(stage.Graphics.StepPaletteAnimation(animation));
    }
}
BENCHMARK(BM_AnimationTickAlone);

} // namespace
