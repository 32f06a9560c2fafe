#include "graphics/HoverFrame.h"
#include "graphics/GridGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A 16 x 4 grid of 24-pixel cells: the palette tab's colour table.
constexpr GridGeometry ColorTable = GridGeometry::Square(16, 4, 24);

TEST(GridGeometryTest, ItemAtFindsTheCellUnderAPointAndNothingOutside) {
    struct Case {
        int X, Y, Item;
    };
    const std::vector<Case> cases = {
        {0, 0, 0},     {23, 23, 0},  {24, 0, 1},    {383, 0, 15},    {0, 24, 16},
        {383, 95, 63}, {-1, 0, -1},  {0, -1, -1},   {384, 0, -1},    {0, 96, -1},
        {-24, 5, -1},  {5, -24, -1}, {1000, 5, -1}, {-1000, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorTable.ItemAt(c.X, c.Y), c.Item) << c.X << "," << c.Y;
}

TEST(GridGeometryTest, CellRectIsTheInverseOfItemAt) {
    const GridGeometry wide{8, 2, 32, 16};
    for (int item = 0; item < wide.Count(); ++item) {
        const ImageRect cell = wide.CellRect(item);
        EXPECT_EQ(cell.Width(), 32);
        EXPECT_EQ(cell.Height(), 16);
        EXPECT_EQ(wide.ItemAt(cell.Left, cell.Top), item);
        EXPECT_EQ(wide.ItemAt(cell.Right - 1, cell.Bottom - 1), item);
    }
    EXPECT_EQ(wide.CellRect(9), ImageRect::FromSize(32, 16, 32, 16));
    EXPECT_EQ(wide.Width(), 256);
    EXPECT_EQ(wide.Height(), 32);
}

// Records what the frame asked to draw, in order.
class HoverFrameTest : public ::testing::Test {
protected:
    std::vector<std::string> Drawn;
    HoverFrame Frame{[this](int item) { Drawn.push_back("repaint " + std::to_string(item)); },
                     [this](int item) { Drawn.push_back("frame " + std::to_string(item)); }};
};

TEST_F(HoverFrameTest, AMoveRepaintsThePreviousItemBeforeFramingTheNewOne) {
    Frame.MoveTo(3);
    Frame.MoveTo(3);
    Frame.MoveTo(5);
    Frame.MoveTo(-1);
    Frame.MoveTo(-1);
    EXPECT_EQ(Drawn, (std::vector<std::string>{"frame 3", "repaint 3", "frame 5", "repaint 5"}));
    EXPECT_EQ(Frame.Current(), -1);
}

TEST_F(HoverFrameTest, APressRemembersTheItemWithoutDrawing) {
    Frame.Press(7);
    EXPECT_TRUE(Drawn.empty());
    Frame.MoveTo(7);
    EXPECT_TRUE(Drawn.empty()) << "the press already stood on 7";
    Frame.MoveTo(8);
    EXPECT_EQ(Drawn, (std::vector<std::string>{"repaint 7", "frame 8"}));
}

TEST_F(HoverFrameTest, RefreshFramesTheCurrentItemAgainWithoutRepaintingIt) {
    Frame.MoveTo(2);
    Drawn.clear();
    Frame.Refresh();
    EXPECT_EQ(Drawn, (std::vector<std::string>{"frame 2"}));
    Drawn.clear();
    Frame.Reset();
    Frame.Refresh();
    EXPECT_TRUE(Drawn.empty());
}

TEST_F(HoverFrameTest, LeaveRepaintsTheFramedItemAndForgetsIt) {
    Frame.MoveTo(4);
    Frame.Leave();
    EXPECT_EQ(Drawn, (std::vector<std::string>{"frame 4", "repaint 4"}));
    EXPECT_EQ(Frame.Pair().Previous, -1);
    EXPECT_EQ(Frame.Pair().Current, -1);
    Drawn.clear();
    Frame.Leave();
    EXPECT_TRUE(Drawn.empty());
    Frame.MoveTo(4);
    EXPECT_EQ(Drawn, (std::vector<std::string>{"frame 4"})) << "after a leave the item is new";
}

} // namespace
