#include "dib/PalettedImage.h"
#include "dib/PalettedImageCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <vector>

namespace {

// Pixel (x, y) holds y * width + x (mod 256), so every copied pixel tells where it came from.
PalettedImage Numbered(int width, int height) {
    PalettedImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.Row(y)[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(y * width + x);
        }
    }
    return image;
}

PalettedImage Filled(int width, int height, std::uint8_t value) {
    PalettedImage image(width, height);
    for (int y = 0; y < height; ++y) {
        std::fill(image.Row(y).begin(), image.Row(y).end(), value);
    }
    return image;
}

std::vector<std::uint8_t> RowOf(const PalettedImage& image, int y) {
    const auto row = image.Row(y);
    return {row.begin(), row.end()};
}

void Copy(PalettedImage& to, const ImageRect& destination, PalettedImage& from,
          const ImageRect& source) {
    to.Canvas().CopyRect(destination, from.Canvas(), source);
}

} // namespace

TEST(PalettedImageTest, StartsAsOnePixelAndResizes) {
    PalettedImage image;
    EXPECT_EQ(image.Width(), 1);
    EXPECT_EQ(image.Height(), 1);
    image.SetWidth(384);
    image.SetHeight(24);
    EXPECT_EQ(image.Width(), 384);
    EXPECT_EQ(image.Height(), 24);
    EXPECT_EQ(image.Row(23).size(), 384u);
}

TEST(PalettedImageTest, RefusesNonPositiveSizesAndKeepsTheOldOne) {
    for (const int bad : {0, -1, INT_MIN}) {
        PalettedImage image(8, 4);
        EXPECT_THROW(image.SetWidth(bad), std::invalid_argument) << bad;
        EXPECT_THROW(image.SetHeight(bad), std::invalid_argument) << bad;
        EXPECT_EQ(image.Width(), 8);
        EXPECT_EQ(image.Height(), 4);
        EXPECT_THROW(PalettedImage(bad, 1), std::invalid_argument) << bad;
        EXPECT_THROW(PalettedImage(1, bad), std::invalid_argument) << bad;
    }
}

TEST(PalettedImageTest, RefusesColourIndicesOutsideTheTable) {
    PalettedImage image;
    image.SetColor(0, 0x010203);
    image.SetColor(255, 0x040506);
    EXPECT_EQ(image.GetColor(0), 0x010203u);
    EXPECT_EQ(image.GetColor(255), 0x040506u);
    for (const int bad : {-1, 256, INT_MIN, INT_MAX}) {
        EXPECT_THROW(image.SetColor(bad, 0), std::out_of_range) << bad;
        EXPECT_THROW(image.GetColor(bad), std::out_of_range) << bad;
    }
}

TEST(PalettedImageTest, RowsAndPixelsOutsideThePictureAreRefused) {
    PalettedImage image(4, 3);
    EXPECT_THROW(image.Row(-1), std::out_of_range);
    EXPECT_THROW(image.Row(3), std::out_of_range);
    EXPECT_THROW(image.PixelAt(4, 0), std::out_of_range);
    EXPECT_THROW(image.PixelAt(0, 3), std::out_of_range);
}

TEST(PalettedImageTest, NewAndResizedPicturesAreAllPixelZero) {
    const auto allZero = [](const PalettedImage& image) {
        for (int y = 0; y < image.Height(); ++y) {
            const auto row = image.Row(y);
            if (!std::all_of(row.begin(), row.end(), [](std::uint8_t p) { return p == 0; })) {
                return false;
            }
        }
        return true;
    };
    PalettedImage image(512, 512);
    EXPECT_TRUE(allZero(image));
    image.Row(511)[511] = 3;
    image.SetWidth(640);
    EXPECT_TRUE(allZero(image));
    image.Row(0)[0] = 3;
    image.SetHeight(8);
    EXPECT_TRUE(allZero(image));
}

TEST(PalettedImageTest, ACopyHasPixelsAndColoursOfItsOwn) {
    PalettedImage original = Numbered(300, 200);
    original.SetColor(7, 0x070707);
    PalettedImage copy = original;
    PalettedImage assigned(2, 2);
    assigned = original;
    for (PalettedImage* other : {&copy, &assigned}) {
        ASSERT_EQ(other->Width(), 300);
        ASSERT_EQ(other->Height(), 200);
        EXPECT_EQ(RowOf(*other, 199), RowOf(original, 199));
        EXPECT_EQ(other->GetColor(7), 0x070707u);
        other->Row(0)[0] = 0xEE;
        other->SetColor(7, 0xEEEEEE);
    }
    EXPECT_EQ(original.PixelAt(0, 0), 0);
    EXPECT_EQ(original.GetColor(7), 0x070707u);
    original.Row(199)[299] = 0xDD;
    EXPECT_NE(copy.PixelAt(299, 199), 0xDD);
    EXPECT_NE(assigned.PixelAt(299, 199), 0xDD);
}

// Whoever drew from one picture must not take another for it: a copy, made or assigned, has a
// pixel stamp no picture had before, and a write into the copy changes it again.
TEST(PalettedImageTest, ACopyTakesAPixelStampOfItsOwn) {
    const PalettedImage original = Numbered(8, 8);
    const std::uint64_t originalStamp = original.PixelStamp();
    PalettedImage made(original);
    PalettedImage assigned(8, 8);
    const std::uint64_t assignedBefore = assigned.PixelStamp();
    assigned = original;
    EXPECT_NE(assigned.PixelStamp(), assignedBefore);
    for (PalettedImage* copy : {&made, &assigned}) {
        const std::uint64_t stamp = copy->PixelStamp();
        EXPECT_NE(stamp, originalStamp);
        copy->Row(2)[3] = 0xEE;
        EXPECT_NE(copy->PixelStamp(), stamp);
        EXPECT_NE(copy->PixelStamp(), originalStamp);
    }
    EXPECT_EQ(original.PixelStamp(), originalStamp);
}

TEST(PalettedImageTest, CopyColorTableTakesEveryEntry) {
    PalettedImage from;
    for (int i = 0; i < PalettedImage::ColorCount; ++i) {
        from.SetColor(i, static_cast<std::uint32_t>(i * 0x010101));
    }
    PalettedImage to(16, 16);
    to.CopyColorTable(from);
    EXPECT_EQ(to.ColorTable(), from.ColorTable());
}

TEST(PalettedImageCanvasTest, CopyKeepsIndicesWhateverTheColourTables) {
    PalettedImage source = Numbered(8, 8);
    source.SetColor(9, 0x123456);
    PalettedImage target(8, 8);
    Copy(target, {0, 0, 8, 8}, source, {0, 0, 8, 8});
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(RowOf(target, y), RowOf(source, y));
    }
    EXPECT_EQ(target.GetColor(9), 0u);
}

TEST(PalettedImageCanvasTest, WholeFactorEnlargementMakesBlocks) {
    PalettedImage source = Numbered(8, 8);
    PalettedImage target(32, 32);
    Copy(target, {0, 0, 16, 16}, source, {0, 0, 8, 8});
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(target.PixelAt(x, y), source.PixelAt(x / 2, y / 2)) << x << "," << y;
        }
    }
    EXPECT_EQ(target.PixelAt(16, 0), 0);
    EXPECT_EQ(target.PixelAt(0, 16), 0);
}

TEST(PalettedImageCanvasTest, WholeFactorReductionKeepsTheTopLeftPixelOfEachBlock) {
    PalettedImage source = Numbered(8, 8);
    PalettedImage target(4, 4);
    Copy(target, {0, 0, 4, 4}, source, {0, 0, 8, 8});
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            ASSERT_EQ(target.PixelAt(x, y), source.PixelAt(2 * x, 2 * y)) << x << "," << y;
        }
    }
}

TEST(PalettedImageCanvasTest, UnevenEnlargementOfOneColourFillsTheWholeRectangle) {
    PalettedImage swatch = Filled(24, 24, 7);
    PalettedImage target(32, 32);
    Copy(target, {0, 0, 32, 32}, swatch, {0, 0, 24, 24});
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(RowOf(target, y), std::vector<std::uint8_t>(32, 7)) << y;
    }
}

// Copies that reach past either picture write only the pixels inside the destination whose
// source is inside the source; everything else stays 0xEE.
TEST(PalettedImageCanvasTest, CopiesAreClippedToBothPictures) {
    struct Case {
        const char* Name;
        ImageRect Destination;
        ImageRect Source;
        std::vector<std::uint8_t> FirstRow; // of the 6 x 2 target
    };
    constexpr std::uint8_t E = 0xEE;
    // Source: 4 x 2, values 0..3 on row 0 and 4..7 on row 1.
    const std::vector<Case> cases = {
        {"destination left of the picture", {-2, 0, 2, 1}, {0, 0, 4, 1}, {2, 3, E, E, E, E}},
        {"destination right of the picture", {4, 0, 8, 1}, {0, 0, 4, 1}, {E, E, E, E, 0, 1}},
        {"source left of the picture", {0, 0, 4, 1}, {-2, 0, 2, 1}, {E, E, 0, 1, E, E}},
        {"source right of the picture", {0, 0, 4, 1}, {2, 0, 6, 1}, {2, 3, E, E, E, E}},
        {"source above the picture", {0, 0, 4, 2}, {0, -1, 4, 1}, {E, E, E, E, E, E}},
        {"enlarged past the left edge", {-2, 0, 4, 1}, {0, 0, 3, 1}, {1, 1, 2, 2, E, E}},
        {"reduced past the right edge", {5, 0, 7, 1}, {0, 0, 4, 1}, {E, E, E, E, E, 0}},
        {"empty destination", {3, 0, 3, 1}, {0, 0, 4, 1}, {E, E, E, E, E, E}},
        {"inverted source", {0, 0, 4, 1}, {4, 0, 0, 1}, {E, E, E, E, E, E}},
        {"wholly outside", {100, 100, 104, 101}, {0, 0, 4, 1}, {E, E, E, E, E, E}},
        // The middle of a 2^32-wide enlargement: every pixel shows source pixel (2, 1).
        {"extreme destination",
         {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
         {0, 0, 4, 2},
         {6, 6, 6, 6, 6, 6}},
        {"extreme source", {0, 0, 6, 2}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {E, E, E, E, E, E}},
    };
    for (const Case& c : cases) {
        PalettedImage source = Numbered(4, 2);
        PalettedImage target = Filled(6, 2, E);
        Copy(target, c.Destination, source, c.Source);
        EXPECT_EQ(RowOf(target, 0), c.FirstRow) << c.Name;
    }
}

TEST(PalettedImageCanvasTest, OverlappingCopyWithinOneImageReadsTheOriginalPixels) {
    PalettedImage image = Numbered(8, 1);
    Copy(image, {2, 0, 8, 1}, image, {0, 0, 6, 1});
    EXPECT_EQ(RowOf(image, 0), (std::vector<std::uint8_t>{0, 1, 0, 1, 2, 3, 4, 5}));
}
