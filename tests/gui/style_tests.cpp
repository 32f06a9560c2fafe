// The window's style: where Qt would fall back to Fusion the editor draws in the classic style,
// a style the user names is left alone, and the indicators it copies from its cache look as the
// classic style draws them (to the rounding of a radio button's rim), whatever state came before.
#include "mainform/EditorStyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// ---- Which style ----

struct NamedStyleCase {
    std::vector<const char*> Arguments;
    bool Named;
};

class UserNamedStyle : public testing::TestWithParam<NamedStyleCase> {};

TEST_P(UserNamedStyle, IsReadFromTheArguments) {
    const NamedStyleCase& c = GetParam();
    const QByteArray saved = qgetenv("QT_STYLE_OVERRIDE");
    qunsetenv("QT_STYLE_OVERRIDE");
    EXPECT_EQ(EditorStyle::UserNamedStyle(static_cast<int>(c.Arguments.size()), c.Arguments.data()),
              c.Named);
    if (!saved.isNull())
        qputenv("QT_STYLE_OVERRIDE", saved);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UserNamedStyle,
    testing::Values(NamedStyleCase{{"editor"}, false},
                    NamedStyleCase{{"editor", "stage.nes"}, false},
                    NamedStyleCase{{"editor", "-style", "fusion"}, true},
                    NamedStyleCase{{"editor", "-style=fusion", "stage.nes"}, true},
                    NamedStyleCase{{"editor", "--style", "fusion"}, true},
                    NamedStyleCase{{"editor", "--style=fusion"}, true},
                    // Another option of Qt's, and a file whose name only looks like one.
                    NamedStyleCase{{"editor", "-stylesheet", "look.qss"}, false},
                    NamedStyleCase{{"editor", "my-style.nes"}, false}));

TEST(UserNamedStyleEnvironment, CountsAsNamed) {
    const QByteArray saved = qgetenv("QT_STYLE_OVERRIDE");
    qputenv("QT_STYLE_OVERRIDE", "fusion");
    const char* arguments[] = {"editor"};
    EXPECT_TRUE(EditorStyle::UserNamedStyle(1, arguments));
    if (saved.isNull())
        qunsetenv("QT_STYLE_OVERRIDE");
    else
        qputenv("QT_STYLE_OVERRIDE", saved);
}

// Each case starts from the style Qt would have chosen and puts the program's style back after.
class EditorStyleChoice : public testing::Test {
protected:
    ~EditorStyleChoice() override { QApplication::setStyle(new EditorStyle); }
    static const EditorStyle* Installed() {
        return dynamic_cast<const EditorStyle*>(QApplication::style());
    }
};

TEST_F(EditorStyleChoice, ReplacesOnlyQtsFallback) {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    EditorStyle::Apply(false);
    ASSERT_NE(Installed(), nullptr);
    EXPECT_EQ(Installed()->baseStyle()->name(), "windows");
    // Applied again (another window's start), it stays as it is.
    const QStyle* first = QApplication::style();
    EditorStyle::Apply(false);
    EXPECT_EQ(QApplication::style(), first);
}

TEST_F(EditorStyleChoice, KeepsAStyleTheUserNamed) {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    EditorStyle::Apply(true);
    EXPECT_EQ(Installed(), nullptr);
    EXPECT_EQ(QApplication::style()->name(), "fusion");
}

// ---- Cached indicators ----

struct IndicatorCase {
    QStyle::PrimitiveElement Element;
    QStyle::State State;
    int Size;
    bool OwnPalette;
};

// The indicator drawn by a style at an odd spot of a filled picture.
QImage Drawn(const QStyle& style, const IndicatorCase& c) {
    QStyleOptionButton option;
    option.state = c.State;
    option.rect = QRect(7, 5, c.Size, c.Size);
    option.palette = QApplication::palette();
    if (c.OwnPalette) {
        option.palette.setColor(QPalette::Base, QColor(0x20, 0x80, 0x40));
        option.palette.setColor(QPalette::Text, QColor(0xF0, 0xE0, 0x10));
    }
    QImage picture(c.Size + 14, c.Size + 10, QImage::Format_RGB32);
    picture.fill(QColor(0xC0, 0x90, 0x60));
    QPainter painter(&picture);
    style.drawPrimitive(c.Element, &option, &painter);
    return picture;
}

// The largest difference of one colour channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// A copied radio button's antialiased rim is laid over the background once more than a drawn
// one, which may round its pixels differently by a step or two; another look differs by far more.
constexpr int EdgeRounding = 2;

TEST(CachedIndicators, LookAsTheClassicStyleDrawsThem) {
    const std::unique_ptr<QStyle> classic(QStyleFactory::create("Windows"));
    const EditorStyle cached;
    const QStyle::State on = QStyle::State_Enabled | QStyle::State_On;
    const QStyle::State off = QStyle::State_Enabled | QStyle::State_Off;
    // Every look follows another of the same size, so a cache that ignored a difference would
    // hand back the look before.
    std::vector<IndicatorCase> cases;
    for (const auto element : {QStyle::PE_IndicatorRadioButton, QStyle::PE_IndicatorCheckBox}) {
        for (const int size : {13, 16}) {
            for (const bool ownPalette : {false, true}) {
                for (const QStyle::State state :
                     {off, on, on | QStyle::State_Sunken, QStyle::State_On | QStyle::State_Off,
                      QStyle::State(QStyle::State_Enabled | QStyle::State_NoChange),
                      QStyle::State(QStyle::State_On), off})
                    cases.push_back({element, state, size, ownPalette});
            }
        }
    }
    for (const IndicatorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "element " << c.Element << " state 0x" << std::hex
                                        << static_cast<uint>(c.State) << std::dec << " size "
                                        << c.Size << " own palette " << c.OwnPalette);
        EXPECT_LE(LargestDifference(Drawn(cached, c), Drawn(*classic, c)), EdgeRounding);
    }
}

} // namespace
