#include "base/LevelFormat.h"
#include "dib/PalettedImageCanvas.h"
#include "graphics/EditorGraphics.h"
#include "graphics/ViewRecord.h"
#include "graphics/ViewSurface.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

class ViewSurfaceTest : public ::testing::Test {
protected:
    FcPaletteData Palette = DistinctMasterPalette();
    std::vector<std::uint8_t> Cartridge = std::vector<std::uint8_t>(LevelFormat::CartridgeSize, 0);
    EditorGraphics Graphics{Palette, Cartridge};
};

} // namespace

TEST_F(ViewSurfaceTest, RefusesNonPositiveSizes) {
    EXPECT_THROW(Graphics.CreateViewBitmap(0, 24), std::invalid_argument);
    EXPECT_THROW(Graphics.CreateViewBitmap(24, -1), std::invalid_argument);
    EXPECT_THROW(Graphics.CreateSheet(0, 1), std::invalid_argument);
}

TEST_F(ViewSurfaceTest, AViewNeverDrawnShowsEntryZeroEverywhere) {
    auto view = Graphics.CreateViewBitmap(40, 30);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{39, 0}, std::pair{0, 29},
                               std::pair{39, 29}, std::pair{17, 11}}) {
        EXPECT_EQ(view->PixelAt(x, y), Palette.ColorOf(0)) << x << "," << y;
    }
    // Painted on directly, it is the same picture at its full size.
    auto painted = Graphics.CreateViewBitmap(40, 30);
    EXPECT_EQ(painted->Image().size(), QSize(40, 30));
    EXPECT_EQ(ViewSurface::FromRgb32(painted->Image().pixel(39, 29)), Palette.ColorOf(0));
}

TEST_F(ViewSurfaceTest, ViewsFillWithMasterColoursByIndex) {
    auto view = Graphics.CreateViewBitmap(48, 24);
    Graphics.FillViewRect(*view, 24, 0, 24, 24, 0x2A);
    Graphics.FillViewRect(*view, 40, 20, 100, 100, EditorGraphics::FrameColorIndex);
    EXPECT_EQ(view->PixelAt(23, 0), Palette.ColorOf(0));
    EXPECT_EQ(view->PixelAt(24, 0), Palette.ColorOf(0x2A));
    EXPECT_EQ(view->PixelAt(47, 19), Palette.ColorOf(0x2A));
    EXPECT_EQ(view->PixelAt(47, 23), Magenta);
    EXPECT_EQ(view->PixelAt(39, 23), Palette.ColorOf(0x2A));
    EXPECT_THROW(Graphics.FillViewRect(*view, 0, 0, 1, 1, 256), std::out_of_range);
    EXPECT_THROW(Graphics.FillViewRect(*view, 0, 0, 1, 1, -1), std::out_of_range);
}

TEST_F(ViewSurfaceTest, ColourTableChangeShowsAtTheNextCopyWithoutRedrawing) {
    auto sheet = Graphics.CreateSheet(16, 16);
    Graphics.FillSheetRect(*sheet, 0, 0, 8, 8, 5);
    auto view = Graphics.CreateViewBitmap(16, 16);
    Graphics.CopyToView(*view, {0, 0, 16, 16}, *sheet, {0, 0, 16, 16});
    const std::uint32_t before = view->PixelAt(0, 0);
    ASSERT_NE(before, Red);

    sheet->SetColor(5, Red);
    EXPECT_EQ(view->PixelAt(0, 0), before) << "the view keeps what it was last given";
    Graphics.CopyToView(*view, {0, 0, 16, 16}, *sheet, {0, 0, 16, 16});
    EXPECT_EQ(view->PixelAt(0, 0), Red);
    EXPECT_EQ(view->PixelAt(7, 7), Red);
    EXPECT_NE(view->PixelAt(8, 8), Red);
}

TEST_F(ViewSurfaceTest, RowZeroIsTheTopRowOfTheView) {
    PalettedImage image(8, 8);
    for (int i = 0; i < 16; ++i) {
        image.SetColor(i, Palette.ColorOf(i));
    }
    const std::uint8_t top[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::copy(std::begin(top), std::end(top), image.Row(0).begin());
    auto view = Graphics.CreateViewBitmap(8, 8);
    Graphics.CopyToView(*view, {0, 0, 8, 8}, image, {0, 0, 8, 8});
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(view->PixelAt(x, 0), Palette.ColorOf(top[x])) << x;
        EXPECT_EQ(view->PixelAt(x, 1), Palette.ColorOf(0)) << x;
    }
}

TEST_F(ViewSurfaceTest, EightByEightIntoSixteenBySixteenDoublesEveryPixel) {
    PalettedImage image(8, 8);
    for (int i = 0; i < 64; ++i) {
        image.SetColor(i, Palette.ColorOf(i));
        image.Row(i / 8)[static_cast<std::size_t>(i % 8)] = static_cast<std::uint8_t>(i);
    }
    auto view = Graphics.CreateViewBitmap(16, 16);
    Graphics.CopyToView(*view, {0, 0, 16, 16}, image, {0, 0, 8, 8});
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(view->PixelAt(x, y), Palette.ColorOf((y / 2) * 8 + x / 2)) << x << "," << y;
        }
    }
}

TEST_F(ViewSurfaceTest, CopyReachingPastTheViewIsClipped) {
    PalettedImage image(8, 8);
    image.SetColor(0, Red);
    auto view = Graphics.CreateViewBitmap(8, 8);
    Graphics.CopyToView(*view, {-4, 4, 12, 20}, image, {0, 0, 8, 8});
    EXPECT_EQ(view->PixelAt(0, 3), Palette.ColorOf(0));
    EXPECT_EQ(view->PixelAt(0, 4), Red);
    EXPECT_EQ(view->PixelAt(7, 7), Red);
}

TEST_F(ViewSurfaceTest, ObserversHearOfChangesAndOfTheEnd) {
    auto view = Graphics.CreateViewBitmap(8, 8);
    int changes = 0;
    int ends = 0;
    int key = 0;
    view->AddObserver(
        &key, [&] { ++changes; }, [&] { ++ends; });
    Graphics.FillViewRect(*view, 0, 0, 2, 2, 1);
    Graphics.DrawFrame(*view, 0, 0, 4);
    EXPECT_EQ(changes, 2);
    view->RemoveObserver(&key);
    Graphics.FillViewRect(*view, 0, 0, 2, 2, 1);
    EXPECT_EQ(changes, 2);
    view->AddObserver(
        &key, [&] { ++changes; }, [&] { ++ends; });
    view.reset();
    EXPECT_EQ(ends, 1);
}

// A view repaints only what its surface says changed: each drawing operation must name all the
// pixels it touched (clipped to the surface), and no more than its own rectangle.
TEST_F(ViewSurfaceTest, ObserversHearWhichRectangleChanged) {
    auto view = Graphics.CreateViewBitmap(64, 48);
    PalettedImage source(16, 16);
    struct Case {
        const char* Name;
        std::function<void()> Draw;
        std::vector<ImageRect> Heard;
    };
    const Case cases[] = {
        {"a fill",
         [&] {
             view->FillRect({3, 4, 10, 20}, 1);
         },
         {{3, 4, 10, 20}}},
        {"a fill over the edge",
         [&] {
             view->FillRect({-5, 40, 8, 60}, 1);
         },
         {{0, 40, 8, 48}}},
        {"a fill outside",
         [&] {
             view->FillRect({70, 0, 80, 8}, 1);
         },
         {}},
        {"a copy enlarged twice",
         [&] {
             view->CopyFrom({8, 8, 40, 24}, source, {0, 0, 16, 8});
         },
         {{8, 8, 40, 24}}},
        {"a copy over the edge",
         [&] {
             view->CopyFrom({56, 40, 72, 56}, source, {0, 0, 16, 16});
         },
         {{56, 40, 64, 48}}},
        {"a frame", [&] { Graphics.DrawFrame(*view, 32, 16, 16); }, {{32, 16, 48, 32}}},
        {"a change notice", [&] { view->NotifyChanged(); }, {{0, 0, 64, 48}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<ImageRect> heard;
        int key = 0;
        view->AddObserver(
            &key, [&](const ImageRect& changed) { heard.push_back(changed); }, nullptr);
        c.Draw();
        view->RemoveObserver(&key);
        EXPECT_EQ(heard, c.Heard);
    }
}

TEST_F(ViewSurfaceTest, EachCopyUsesItsOwnSourcesCurrentTable) {
    PalettedImage first(4, 4);
    PalettedImage second(4, 4);
    first.SetColor(0, Red);
    second.SetColor(0, White);
    auto view = Graphics.CreateViewBitmap(12, 4);
    Graphics.CopyToView(*view, {0, 0, 4, 4}, first, {0, 0, 4, 4});
    Graphics.CopyToView(*view, {4, 0, 8, 4}, second, {0, 0, 4, 4});
    second.CopyColorTable(first);
    Graphics.CopyToView(*view, {8, 0, 12, 4}, second, {0, 0, 4, 4});
    EXPECT_EQ(view->PixelAt(0, 0), Red);
    EXPECT_EQ(view->PixelAt(4, 0), White);
    EXPECT_EQ(view->PixelAt(8, 0), Red);
    first.SetColorTable(PalettedImage::ColorTableArray{});
    Graphics.CopyToView(*view, {0, 0, 4, 4}, first, {0, 0, 4, 4});
    EXPECT_EQ(view->PixelAt(0, 0), 0u);
}

// A view record must never call a view unchanged that could show something else: every way of
// writing pixels, into the view or into the picture it was drawn from, must tell.
TEST_F(ViewSurfaceTest, ARecordHoldsOnlyWhileInputsAndPictureStayAsDrawn) {
    auto view = Graphics.CreateViewBitmap(32, 32);
    auto sheet = Graphics.CreateSheet(32, 32);
    const std::vector<std::uint8_t> cells = {1, 2, 3};
    const auto inputs = [&](std::span<const std::uint8_t> bytes) {
        ViewRecord::Inputs made;
        made.Add(bytes).Add(*sheet);
        return made;
    };
    const auto draw = [&](ViewRecord& record) {
        view->CopyFrom({0, 0, 32, 32}, *sheet, {0, 0, 32, 32});
        record.Remember(*view, inputs(cells));
    };
    struct Change {
        const char* Name;
        std::function<void()> Make;
        bool Redraws;
    };
    const std::vector<Change> changes = {
        {"nothing", [] {}, false},
        {"a look at the view", [&] { (void)std::as_const(*view).Image().pixel(1, 1); }, false},
        {"a read of the sheet", [&] { (void)std::as_const(*sheet).Row(3); }, false},
        {"a writable row of the sheet", [&] { sheet->Row(3)[4] = 7; }, true},
        {"drawing into the sheet",
         [&] {
             sheet->Canvas().CopyRect({0, 0, 4, 4}, sheet->Canvas(), {4, 4, 8, 8});
         },
         true},
        {"a resized sheet", [&] { sheet->SetWidth(32); }, true},
        {"another picture in the sheet's place", [&] { *sheet = PalettedImage(32, 32); }, true},
        {"a colour of the sheet", [&] { sheet->SetColor(5, 0x123456); }, true},
        {"a fill of the view",
         [&] {
             view->FillRect({0, 0, 2, 2}, 1);
         },
         true},
        {"painting on the view", [&] { (void)view->Image(); }, true},
        {"a change notice", [&] { view->NotifyChanged(); }, true},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.Name);
        ViewRecord record;
        EXPECT_FALSE(record.Shows(*view, inputs(cells)));
        draw(record);
        EXPECT_TRUE(record.Shows(*view, inputs(cells)));
        change.Make();
        EXPECT_EQ(record.Shows(*view, inputs(cells)), !change.Redraws);
        // Other inputs are never what was drawn.
        EXPECT_FALSE(record.Shows(*view, inputs(std::vector<std::uint8_t>{1, 2, 4})));
    }
}
