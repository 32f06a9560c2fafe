#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "base/LevelFormat.h"
#include "graphics/EditorGraphics.h"

#include "GraphicsTestSupport.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A shown top-level window on the offscreen platform with one 64 x 64 view at (50, 50).
// The pointer is moved with QCursor::setPos, so enter and leave come from the platform.
class TImageExTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window.resize(300, 200);
        View = new TImageEx(&Window);
        View->move(50, 50);
        Surface = Graphics.CreateViewBitmap(64, 64);
        View->SetSurface(Surface.get());
        Window.show();
        QApplication::processEvents();
        QObject::connect(View, &TImageEx::mouseEnter, [this](TImageEx* sender) {
            Events.push_back(sender == View ? "enter" : "enter from another");
        });
        MovePointer({5, 5}); // start outside the view
    }

    void TearDown() override { QCursor::setPos(Window.mapToGlobal(QPoint(5, 5))); }

    // Position in window coordinates.
    void MovePointer(QPoint position) {
        QCursor::setPos(Window.mapToGlobal(position));
        QApplication::processEvents();
    }

    void ListenForLeave() {
        QObject::connect(View, &TImageEx::mouseLeave, [this](TImageEx* sender) {
            Events.push_back(sender == View ? "leave" : "leave from another");
        });
    }

    void SendMouse(QEvent::Type type, QPoint local, Qt::MouseButton button,
                   Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(type, QPointF(local), QPointF(View->mapToGlobal(local)), button, buttons,
                          modifiers);
        QApplication::sendEvent(View, &event);
    }

    FcPaletteData Palette = DistinctMasterPalette();
    std::vector<std::uint8_t> Cartridge = std::vector<std::uint8_t>(LevelFormat::CartridgeSize, 0);
    EditorGraphics Graphics{Palette, Cartridge};
    QWidget Window;
    TImageEx* View = nullptr;
    std::unique_ptr<ViewSurface> Surface;
    std::vector<std::string> Events;
};

} // namespace

TEST_F(TImageExTest, LeavingRaisesOneEventMovingInsideNone) {
    ListenForLeave();
    MovePointer({60, 60});
    MovePointer({80, 70});
    MovePointer({113, 113});
    EXPECT_EQ(Events, (std::vector<std::string>{"enter"}));
    MovePointer({200, 150});
    MovePointer({250, 20});
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
    MovePointer({70, 52});
    MovePointer({20, 52});
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
}

TEST_F(TImageExTest, LeavingTheWindowAltogetherIsALeaveToo) {
    ListenForLeave();
    MovePointer({60, 60});
    QCursor::setPos(Window.mapToGlobal(QPoint(900, 900)));
    QApplication::processEvents();
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(TImageExTest, MovesArriveWithoutAButtonInViewPixels) {
    std::vector<QPoint> moves;
    QObject::connect(View, &TImageEx::mouseMove,
                     [&](Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y) {
                         EXPECT_EQ(buttons, Qt::NoButton);
                         moves.push_back({x, y});
                     });
    MovePointer({60, 61});
    MovePointer({113, 50});
    EXPECT_EQ(moves, (std::vector<QPoint>{{10, 11}, {63, 0}}));
}

TEST_F(TImageExTest, WithoutALeaveHandlerItIsAPlainImageView) {
    struct Press {
        Qt::MouseButton Button;
        Qt::KeyboardModifiers Modifiers;
        int X, Y;
    };
    std::vector<Press> downs;
    std::vector<Press> ups;
    QObject::connect(View, &TImageEx::mouseDown,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         downs.push_back({b, m, x, y});
                     });
    QObject::connect(View, &TImageEx::mouseUp,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         ups.push_back({b, m, x, y});
                     });
    MovePointer({60, 60});
    SendMouse(QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    SendMouse(QEvent::MouseButtonRelease, {3, 4}, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    SendMouse(QEvent::MouseButtonPress, {63, 63}, Qt::RightButton, Qt::RightButton,
              Qt::ControlModifier | Qt::ShiftModifier);
    SendMouse(QEvent::MouseButtonPress, {0, 0}, Qt::MiddleButton, Qt::MiddleButton, Qt::NoModifier);
    MovePointer({200, 150});
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].Button, Qt::LeftButton);
    EXPECT_EQ(downs[0].Modifiers, Qt::ShiftModifier);
    EXPECT_EQ(QPoint(downs[0].X, downs[0].Y), QPoint(3, 4));
    EXPECT_EQ(downs[1].Button, Qt::RightButton);
    EXPECT_EQ(downs[1].Modifiers, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QPoint(downs[1].X, downs[1].Y), QPoint(63, 63));
    EXPECT_EQ(downs[2].Button, Qt::MiddleButton);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(QPoint(ups[0].X, ups[0].Y), QPoint(3, 4));
    EXPECT_EQ(Events, (std::vector<std::string>{"enter"}));
}

TEST_F(TImageExTest, DragOutsideReportsPositionsBeyondTheView) {
    std::vector<QPoint> moves;
    QObject::connect(View, &TImageEx::mouseMove,
                     [&](Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y) {
                         EXPECT_EQ(buttons, Qt::LeftButton);
                         moves.push_back({x, y});
                     });
    SendMouse(QEvent::MouseMove, {-7, 70}, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(moves, (std::vector<QPoint>{{-7, 70}}));
}

TEST_F(TImageExTest, ShowsItsSurfaceOneToOneAndFollowsItsChanges) {
    EXPECT_EQ(View->size(), QSize(64, 64));
    Graphics.FillViewRect(*Surface, 0, 0, 64, 64, 0x21);
    Graphics.DrawFrame(*Surface, 8, 8, 16);
    QApplication::processEvents();
    const QImage shown = View->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(64, 64));
    EXPECT_EQ(shown.pixel(0, 0),
              QColor(Palette.ColorOf(0x21) & 0xFF, (Palette.ColorOf(0x21) >> 8) & 0xFF,
                     (Palette.ColorOf(0x21) >> 16) & 0xFF)
                  .rgb());
    EXPECT_EQ(shown.pixel(8, 8), QColor(255, 0, 255).rgb());
    EXPECT_EQ(shown.pixel(9, 9), shown.pixel(0, 0));
}

TEST_F(TImageExTest, SurfaceFreedFirstLeavesAnEmptyView) {
    Surface.reset();
    EXPECT_EQ(View->Surface(), nullptr);
    View->repaint();
    auto other = Graphics.CreateViewBitmap(32, 16);
    View->SetSurface(other.get());
    EXPECT_EQ(View->size(), QSize(32, 16));
    delete View; // the surface must forget the view
    View = nullptr;
    Graphics.FillViewRect(*other, 0, 0, 4, 4, 1);
}

TEST_F(TImageExTest, HintShowsOnlyWhenEnabledAndNotEmpty) {
    MovePointer({60, 60});
    // Qt hides a tool-tip after a short delay of its own.
    const auto hintGoesAway = [] {
        QElapsedTimer timer;
        timer.start();
        while (QToolTip::isVisible() && timer.elapsed() < 2000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return !QToolTip::isVisible();
    };
    const auto askForHint = [this] {
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), View->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(View, &help);
        QApplication::processEvents();
    };
    View->SetHintText("X:10");
    askForHint();
    EXPECT_FALSE(QToolTip::isVisible()) << "hints are off until ShowHint";
    View->ShowHint(true);
    askForHint();
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "X:10");
    View->SetHintText("X:11");
    EXPECT_EQ(QToolTip::text(), "X:11") << "a visible hint follows the text";
    View->SetHintText("");
    EXPECT_TRUE(hintGoesAway());
    View->SetHintText("X:12");
    askForHint();
    EXPECT_TRUE(QToolTip::isVisible());
    View->ShowHint(false);
    EXPECT_TRUE(hintGoesAway());
    EXPECT_EQ(TImageEx::HintDisplayMs, 10000);
}

TEST(TUpDownTest, ArrowsReportTheirDirectionAndNeverMoveThePosition) {
    for (const Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        TUpDown upDown(orientation);
        upDown.SetRange(0, 1);
        upDown.SetPosition(1);
        int ups = 0;
        int downs = 0;
        QObject::connect(&upDown, &TUpDown::upClicked, [&] { ++ups; });
        QObject::connect(&upDown, &TUpDown::downClicked, [&] { ++downs; });
        upDown.UpButton()->click();
        upDown.UpButton()->click();
        upDown.DownButton()->click();
        EXPECT_EQ(ups, 2);
        EXPECT_EQ(downs, 1);
        EXPECT_EQ(upDown.Position(), 1);
        const Qt::ArrowType up = orientation == Qt::Horizontal ? Qt::RightArrow : Qt::UpArrow;
        EXPECT_EQ(upDown.UpButton()->arrowType(), up);
    }
}

TEST(TUpDownTest, PositionStaysInsideTheRange) {
    TUpDown upDown;
    upDown.SetRange(0, 1);
    upDown.SetPosition(5);
    EXPECT_EQ(upDown.Position(), 1);
    upDown.SetRange(-3, -5);
    EXPECT_EQ(upDown.Maximum(), -3);
    EXPECT_EQ(upDown.Position(), -3);
}
