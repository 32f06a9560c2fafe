#include "base/LevelFormat.h"
#include "graphics/EditorGraphics.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

namespace {

// A cartridge buffer holding one animation record for animation number 5:
//   low/high tables at 0x1000/0x1100 give the record address 0xBB50, which with the base
//   0x3000 standing for 0xBB43 puts the record at 0x300D: last step 2, period 3, colour sets
//   1, 4, 2. Colour set s holds colour numbers 0x30 + s, 0x20 + s, 0x10 + s.
// Animation 6 has its record at 0x301D: last step 1, period 5, colour sets 3, 6.
class PaletteAnimationTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t LowTable = 0x1000;
    static constexpr std::uint32_t HighTable = 0x1100;
    static constexpr std::uint32_t ColorTable = 0x2000;
    static constexpr std::uint32_t Base = 0x3000;
    static constexpr std::size_t Record = 0x300D;
    static constexpr std::size_t Record6 = 0x301D;

    void SetUp() override {
        Cartridge[LowTable + 5] = 0x50;
        Cartridge[HighTable + 5] = 0xBB;
        SetRecord(2, 3, {1, 4, 2});
        Cartridge[LowTable + 6] = 0x60;
        Cartridge[HighTable + 6] = 0xBB;
        Cartridge[Record6] = 1;
        Cartridge[Record6 + 1] = 5;
        Cartridge[Record6 + 2] = 3;
        Cartridge[Record6 + 3] = 6;
        for (std::size_t s = 0; s < 8; ++s) {
            Cartridge[ColorTable + s * 3] = static_cast<std::uint8_t>(0x30 + s);
            Cartridge[ColorTable + s * 3 + 1] = static_cast<std::uint8_t>(0x20 + s);
            Cartridge[ColorTable + s * 3 + 2] = static_cast<std::uint8_t>(0x10 + s);
        }
        Graphics.SetAnimationTables(Configured());
        SetNumberedStagePalette();
    }

    // Stage palette entry i holds colour number i.
    void SetNumberedStagePalette() {
        std::array<std::uint8_t, 16> numbers{};
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            numbers[i] = static_cast<std::uint8_t>(i);
        }
        Graphics.SetStagePalette(numbers);
    }

    void SetRecord(std::uint8_t lastStep, std::uint8_t period, std::vector<std::uint8_t> sets) {
        Cartridge[Record] = lastStep;
        Cartridge[Record + 1] = period;
        std::copy(sets.begin(), sets.end(), Cartridge.begin() + Record + 2);
    }

    static PaletteAnimationTables Configured() { return {LowTable, HighTable, ColorTable, Base}; }

    // The colours sub-palette 1 shows for colour set s.
    std::array<std::uint32_t, 3> SetColours(int s) const {
        return {Palette.ColorOf(0x30 + s), Palette.ColorOf(0x20 + s), Palette.ColorOf(0x10 + s)};
    }
    std::array<std::uint32_t, 3> SubPalette1() const {
        return {Graphics.GetStageColor(5), Graphics.GetStageColor(6), Graphics.GetStageColor(7)};
    }

    // Ticks until a colour changes; -1 if none within limit ticks.
    int TicksUntilChange(const std::uint8_t* animation, int limit = 20) {
        for (int tick = 1; tick <= limit; ++tick) {
            if (Graphics.StepPaletteAnimation(animation)) {
                return tick;
            }
        }
        return -1;
    }

    FcPaletteData Palette = DistinctMasterPalette();
    std::vector<std::uint8_t> Cartridge = std::vector<std::uint8_t>(LevelFormat::CartridgeSize, 0);
    EditorGraphics Graphics{Palette, Cartridge};
    const std::uint8_t SubPalette1Animated[4] = {0x00, 0x85, 0x00, 0x00};
};

} // namespace

TEST_F(PaletteAnimationTest, StepsThroughTheColourSetsWithThePeriodAndWrapsAround) {
    const auto untouched = Graphics.StageColorTable();
    const std::vector<int> expectedSets = {1, 4, 2, 1, 4};
    for (const int set : expectedSets) {
        EXPECT_EQ(TicksUntilChange(SubPalette1Animated), 3);
        EXPECT_EQ(SubPalette1(), SetColours(set)) << "colour set " << set;
        // Only entries 5, 6 and 7 ever change.
        for (int i = 0; i < PalettedImage::ColorCount; ++i) {
            if (i < 5 || i > 7) {
                ASSERT_EQ(Graphics.GetStageColor(i), untouched[static_cast<std::size_t>(i)]) << i;
            }
        }
    }
}

TEST_F(PaletteAnimationTest, PeriodsZeroAndOneAdvanceOnEveryTick) {
    for (const std::uint8_t period : {std::uint8_t{0}, std::uint8_t{1}}) {
        SetRecord(1, period, {3, 6});
        Graphics.ResetPaletteAnimation();
        for (const int set : {3, 6, 3}) {
            EXPECT_TRUE(Graphics.StepPaletteAnimation(SubPalette1Animated));
            EXPECT_EQ(SubPalette1(), SetColours(set)) << "period " << int{period};
        }
    }
}

TEST_F(PaletteAnimationTest, ResetStartsAgainFromTheFirstStep) {
    EXPECT_EQ(TicksUntilChange(SubPalette1Animated), 3);
    EXPECT_EQ(TicksUntilChange(SubPalette1Animated), 3);
    EXPECT_EQ(SubPalette1(), SetColours(4));
    EXPECT_FALSE(Graphics.StepPaletteAnimation(SubPalette1Animated)); // timer at 1
    Graphics.ResetPaletteAnimation();
    EXPECT_EQ(TicksUntilChange(SubPalette1Animated), 3);
    EXPECT_EQ(SubPalette1(), SetColours(1));
}

TEST_F(PaletteAnimationTest, BytesBelow80AnimateNothing) {
    const std::uint8_t none[4] = {0x00, 0x05, 0x7F, 0x00};
    const auto before = Graphics.StageColorTable();
    EXPECT_EQ(Graphics.TicksUntilAnimationChange(none), std::nullopt);
    EXPECT_EQ(TicksUntilChange(none), -1);
    EXPECT_EQ(Graphics.StageColorTable(), before);
}

TEST_F(PaletteAnimationTest, EverySubPaletteWithItsOwnCounters) {
    const std::uint8_t all[4] = {0x85, 0x85, 0x85, 0x85};
    EXPECT_EQ(TicksUntilChange(all), 3);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Graphics.GetStageColor(k * 4), Palette.ColorOf(k * 4)) << "entry 4k stays";
        EXPECT_EQ(Graphics.GetStageColor(k * 4 + 1), Palette.ColorOf(0x31)) << k;
    }
}

TEST_F(PaletteAnimationTest, ColourNumbersFromTheCartridgeUseSixBits) {
    Cartridge[ColorTable + 3] = 0xFF; // colour set 1, first colour
    EXPECT_EQ(TicksUntilChange(SubPalette1Animated), 3);
    EXPECT_EQ(Graphics.GetStageColor(5), Palette.ColorOf(0x3F));
}

TEST_F(PaletteAnimationTest, UnsetTablesTurnTheAnimationOff) {
    const auto before = Graphics.StageColorTable();
    PaletteAnimationTables tables = Configured();
    using Offset = std::optional<std::uint32_t> PaletteAnimationTables::*;
    for (const Offset table :
         {&PaletteAnimationTables::AnimeLowTable, &PaletteAnimationTables::AnimeHighTable,
          &PaletteAnimationTables::AnimeColorTable, &PaletteAnimationTables::AnimeBase}) {
        PaletteAnimationTables missing = tables;
        (missing.*table).reset();
        Graphics.SetAnimationTables(missing);
        EXPECT_EQ(Graphics.TicksUntilAnimationChange(SubPalette1Animated), std::nullopt);
        EXPECT_EQ(TicksUntilChange(SubPalette1Animated), -1);
    }
    Graphics.SetAnimationTables({});
    EXPECT_EQ(Graphics.TicksUntilAnimationChange(SubPalette1Animated), std::nullopt);
    EXPECT_EQ(TicksUntilChange(SubPalette1Animated), -1);
    EXPECT_EQ(Graphics.StageColorTable(), before);
    // Nothing counted meanwhile: configured again, the first change comes after one period.
    Graphics.SetAnimationTables(Configured());
    EXPECT_EQ(TicksUntilChange(SubPalette1Animated), 3);
}

// Any offset a tick would read outside the buffer leaves that tick without effect: no colour,
// no counter, whichever sub-palette it belongs to. Sub-palette 0 runs animation 0 beside the
// faulty animation 5 of sub-palette 1; its own record is always readable.
TEST_F(PaletteAnimationTest, OffsetsOutsideTheBufferChangeNothing) {
    struct Case {
        const char* Name;
        PaletteAnimationTables Tables;
        void (*Prepare)(std::vector<std::uint8_t>&);
    };
    constexpr auto size = static_cast<std::uint32_t>(LevelFormat::CartridgeSize);
    const auto nothing = [](std::vector<std::uint8_t>&) {};
    const std::vector<Case> cases = {
        {"low table past the end", {size - 3, HighTable, ColorTable, Base}, nothing},
        {"high table past the end", {LowTable, size, ColorTable, Base}, nothing},
        {"huge offsets", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, nothing},
        {"record before the start", Configured(),
         [](std::vector<std::uint8_t>& c) { c[HighTable + 5] = 0x00; }},
        {"record past the end", {LowTable, HighTable, ColorTable, size - 0x0C}, nothing},
        {"colour table past the end", {LowTable, HighTable, size - 4, Base}, nothing},
        {"step past the end", {LowTable, HighTable, ColorTable, size - 2 - 0x0D}, nothing},
        {"colour set past the end",
         {LowTable, HighTable, size - 300, Base},
         [](std::vector<std::uint8_t>& c) { c[Record + 2] = 0xFF; }},
    };
    const std::uint8_t both[4] = {0x80, 0x85, 0x00, 0x00};
    const std::vector<std::uint8_t> pristine = Cartridge;
    for (const Case& c : cases) {
        std::copy(pristine.begin(), pristine.end(), Cartridge.begin());
        // Animation 0: record at AnimeBase itself, last step 0, period 3, colour set 0.
        Cartridge[LowTable] = 0x43;
        Cartridge[HighTable] = 0xBB;
        Cartridge[Base + 1] = 3;
        c.Prepare(Cartridge);
        Graphics.ResetPaletteAnimation();
        Graphics.SetAnimationTables(c.Tables);
        const auto before = Graphics.StageColorTable();
        EXPECT_EQ(Graphics.TicksUntilAnimationChange(both), std::nullopt) << c.Name;
        EXPECT_EQ(TicksUntilChange(both), -1) << c.Name;
        EXPECT_EQ(Graphics.StageColorTable(), before) << c.Name;
    }
}

// Ticks from now to the tick that changes a colour, counting that one: each animated entry
// advances when its count reaches its period, the soonest entry decides.
TEST_F(PaletteAnimationTest, TicksUntilAChangeFollowThePeriodsAndTheCountsSoFar) {
    struct Case {
        const char* Name;
        std::uint8_t Period;
        int TicksBefore; // single ticks taken before asking
        std::array<std::uint8_t, 4> Animation;
        int Expected;
    };
    const Case cases[] = {
        {"fresh", 3, 0, {0x00, 0x85, 0x00, 0x00}, 3},
        {"after one tick", 3, 1, {0x00, 0x85, 0x00, 0x00}, 2},
        {"after two ticks", 3, 2, {0x00, 0x85, 0x00, 0x00}, 1},
        {"right after a change", 3, 3, {0x00, 0x85, 0x00, 0x00}, 3},
        {"longest period", 255, 10, {0x00, 0x85, 0x00, 0x00}, 245},
        {"period 0", 0, 0, {0x00, 0x85, 0x00, 0x00}, 1},
        {"period 1", 1, 0, {0x00, 0x85, 0x00, 0x00}, 1},
        {"period 7 beside period 5", 7, 0, {0x86, 0x85, 0x00, 0x00}, 5},
        {"period 3 beside period 5", 3, 0, {0x86, 0x00, 0x85, 0x00}, 3},
        {"period 3 beside period 5, later", 3, 4, {0x86, 0x00, 0x85, 0x00}, 1},
        {"four entries", 4, 6, {0x85, 0x86, 0x85, 0x86}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Cartridge[Record + 1] = c.Period;
        Graphics.ResetPaletteAnimation();
        for (int tick = 0; tick < c.TicksBefore; ++tick) {
            Graphics.StepPaletteAnimation(c.Animation.data());
        }
        EXPECT_EQ(Graphics.TicksUntilAnimationChange(c.Animation.data()), c.Expected);
    }
}

// What the frame timer relies on when it sleeps: the ticks before the one named change no
// colour, the one named changes one (every step here shows other colours than the one before
// it). Over several wake-ups in a row, also with entries whose counts started apart.
TEST_F(PaletteAnimationTest, NoColourChangesBeforeTheTickNamedAndOneChangesAtIt) {
    struct Case {
        const char* Name;
        std::uint8_t Period;
        std::array<std::uint8_t, 4> Lead; // ticked first, for entries counting apart
        int LeadTicks;
        std::array<std::uint8_t, 4> Animation;
    };
    const Case cases[] = {
        {"one entry", 3, {}, 0, {0x00, 0x85, 0x00, 0x00}},
        {"period 0", 0, {}, 0, {0x00, 0x85, 0x00, 0x00}},
        {"periods 3 and 5", 3, {}, 0, {0x86, 0x85, 0x00, 0x00}},
        {"periods 7 and 5, the second started later",
         7,
         {0x00, 0x85, 0x00, 0x00},
         4,
         {0x86, 0x85, 0x00, 0x00}},
        {"one record on all four", 4, {0x85, 0x00, 0x00, 0x00}, 2, {0x85, 0x85, 0x85, 0x85}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Cartridge[Record + 1] = c.Period;
        Graphics.ResetPaletteAnimation();
        SetNumberedStagePalette();
        for (int tick = 0; tick < c.LeadTicks; ++tick) {
            Graphics.StepPaletteAnimation(c.Lead.data());
        }
        for (int wake = 0; wake < 12; ++wake) {
            const std::optional<int> due = Graphics.TicksUntilAnimationChange(c.Animation.data());
            ASSERT_TRUE(due.has_value()) << "wake " << wake;
            const auto before = Graphics.StageColorTable();
            for (int tick = 1; tick < *due; ++tick) {
                EXPECT_FALSE(Graphics.StepPaletteAnimation(c.Animation.data()));
                ASSERT_EQ(Graphics.StageColorTable(), before)
                    << "wake " << wake << " tick " << tick;
            }
            EXPECT_TRUE(Graphics.StepPaletteAnimation(c.Animation.data()));
            ASSERT_NE(Graphics.StageColorTable(), before) << "wake " << wake;
        }
    }
}
