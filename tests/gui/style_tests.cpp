// The window's style: where Qt would fall back to Fusion the editor draws in the classic style,
// a style the user names is left alone, the indicators it copies from its cache look as the
// classic style draws them (to the rounding of a radio button's rim), whatever state came before,
// and the frames it fills and the captions it draws from stored layouts look exactly as the
// classic style and Qt draw them.
#include "mainform/CaptionLayouts.h"
#include "mainform/EditorStyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
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

// ---- Frames drawn with fills ----

struct FrameCase {
    QStyle::PrimitiveElement Element;
    QStyle::State State;
    int LineWidth;
    int MidLineWidth;
    bool Flat;
    bool DefaultButton;
    QSize Size;
    int Palette; // 0 the application's, 1 colours of its own, 2 a translucent shadow
};

QPalette FramePalette(int which) {
    QPalette palette = QApplication::palette();
    if (which >= 1) {
        palette.setColor(QPalette::Light, QColor(0xF8, 0xF0, 0xE0));
        palette.setColor(QPalette::Midlight, QColor(0xD0, 0xC8, 0xB0));
        palette.setColor(QPalette::Button, QColor(0xB0, 0xA0, 0x90));
        palette.setColor(QPalette::Window, QColor(0xA8, 0xB8, 0xC8));
        palette.setColor(QPalette::Dark, QColor(0x60, 0x50, 0x40));
        palette.setColor(QPalette::Shadow, QColor(0x10, 0x20, 0x30));
    }
    if (which == 2) {
        palette.setColor(QPalette::Shadow, QColor(0x10, 0x20, 0x30, 0x80));
        palette.setColor(QPalette::Dark, QColor(0x60, 0x50, 0x40, 0x80));
    }
    return palette;
}

// The frame drawn by a style at an odd spot of a filled picture, through a painter moved by a
// few pixels as a child widget's painter is.
QImage Drawn(const QStyle& style, const FrameCase& c) {
    QStyleOptionFrame frame;
    QStyleOptionButton button;
    QStyleOption* option = &frame;
    if (c.Element == QStyle::PE_PanelButtonCommand) {
        option = &button;
        if (c.DefaultButton)
            button.features |= QStyleOptionButton::DefaultButton;
    } else {
        frame.lineWidth = c.LineWidth;
        frame.midLineWidth = c.MidLineWidth;
        if (c.Flat)
            frame.features |= QStyleOptionFrame::Flat;
    }
    option->state = c.State;
    option->rect = QRect(QPoint(5, 3), c.Size);
    option->palette = FramePalette(c.Palette);
    QImage picture(c.Size.width() + 14, c.Size.height() + 10, QImage::Format_RGB32);
    picture.fill(QColor(0x90, 0x70, 0xC0));
    QPainter painter(&picture);
    painter.translate(2, 1);
    style.drawPrimitive(c.Element, option, &painter);
    return picture;
}

TEST(FramesWithFills, LookAsTheClassicStyleDrawsThem) {
    const std::unique_ptr<QStyle> classic(QStyleFactory::create("Windows"));
    const EditorStyle filled;
    const QStyle::State enabled = QStyle::State_Enabled;
    std::vector<FrameCase> cases;
    // Down to sizes the fills leave to the classic style.
    for (const QSize size : {QSize(120, 80), QSize(7, 6), QSize(5, 5), QSize(4, 9), QSize(9, 2)}) {
        for (int palette = 0; palette < 3; ++palette) {
            const auto add = [&](QStyle::PrimitiveElement element, QStyle::State state, int line,
                                 int midLine, bool flat, bool defaultButton) {
                cases.push_back(
                    {element, state, line, midLine, flat, defaultButton, size, palette});
            };
            add(QStyle::PE_FrameTabWidget, enabled, 0, 0, false, false);
            for (const bool flat : {false, true}) {
                for (const int line : {1, 2})
                    add(QStyle::PE_FrameGroupBox, enabled, line, 0, flat, false);
                add(QStyle::PE_FrameGroupBox, enabled, 1, 1, flat, false);
            }
            for (const int line : {1, 2, 3}) {
                for (const QStyle::State state :
                     {enabled, enabled | QStyle::State_Sunken, enabled | QStyle::State_Raised,
                      enabled | QStyle::State_Raised | QStyle::State_Sunken})
                    add(QStyle::PE_Frame, state, line, 0, false, false);
            }
            for (const bool defaultButton : {false, true}) {
                for (const QStyle::State state :
                     {enabled, enabled | QStyle::State_Raised, enabled | QStyle::State_Sunken,
                      enabled | QStyle::State_On, enabled | QStyle::State_Raised | QStyle::State_On,
                      enabled | QStyle::State_Sunken | QStyle::State_On})
                    add(QStyle::PE_PanelButtonCommand, state, 0, 0, false, defaultButton);
            }
            for (const QStyle::State state :
                 {enabled, enabled | QStyle::State_Raised, enabled | QStyle::State_Sunken,
                  enabled | QStyle::State_On, enabled | QStyle::State_Sunken | QStyle::State_On})
                add(QStyle::PE_PanelButtonBevel, state, 0, 0, false, false);
        }
    }
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "element " << c.Element << " state 0x" << std::hex
                     << static_cast<uint>(c.State) << std::dec << " line " << c.LineWidth << "/"
                     << c.MidLineWidth << " flat " << c.Flat << " default " << c.DefaultButton
                     << " size " << c.Size.width() << "x" << c.Size.height() << " palette "
                     << c.Palette);
        EXPECT_EQ(LargestDifference(Drawn(filled, c), Drawn(*classic, c)), 0);
    }
}

// ---- Whole widgets ----

struct WidgetCase {
    const char* Name;
    std::function<QWidget*()> Make;
    int Tolerance = 0; // EdgeRounding where a radio button shows
};

// A widget in each style, shown, drawn as the window would draw it.
QImage Grabbed(QStyle& style, const WidgetCase& c) {
    std::unique_ptr<QWidget> widget(c.Make());
    widget->setStyle(&style);
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->setStyle(&style);
    widget->show();
    QCoreApplication::processEvents();
    // Drawn again, as a page is when it comes back: captions come from stored layouts then.
    widget->grab();
    return widget->grab().toImage();
}

TEST(StyledWidgets, LookAsInTheClassicStyle) {
    const std::unique_ptr<QStyle> classic(QStyleFactory::create("Windows"));
    EditorStyle editor;
    const auto button = [](const QString& text, bool checked, bool isDefault) {
        auto* b = new QPushButton(text);
        b->setCheckable(checked);
        b->setChecked(checked);
        b->setDefault(isDefault);
        b->resize(120, 30);
        return b;
    };
    const auto bar = [](Qt::Orientation orientation, int value) {
        auto* b = new QScrollBar(orientation);
        b->setRange(0, 40);
        b->setValue(value);
        b->resize(orientation == Qt::Horizontal ? QSize(203 + value % 2, 17)
                                                : QSize(17, 151 + value % 2));
        return b;
    };
    const std::vector<WidgetCase> cases = {
        {"push button", [&] { return button("未使用チップ番号表示", false, false); }},
        {"checked button", [&] { return button("x0", true, false); }},
        {"default button", [&] { return button("OK", false, true); }},
        {"horizontal bar", [&] { return bar(Qt::Horizontal, 0); }},
        {"horizontal bar, moved", [&] { return bar(Qt::Horizontal, 17); }},
        {"vertical bar, moved", [&] { return bar(Qt::Vertical, 21); }},
        {"vertical bar", [&] { return bar(Qt::Vertical, 40); }},
        {"line edit",
         [] {
             auto* edit = new QLineEdit("3F");
             edit->resize(40, 22);
             return edit;
         }},
        {"group box with a label and radio buttons",
         [] {
             auto* box = new QGroupBox("使用パレット");
             auto* layout = new QVBoxLayout(box);
             layout->addWidget(new QLabel("PT書き込み番号:"));
             auto* on = new QRadioButton("x1");
             on->setChecked(true);
             layout->addWidget(on);
             layout->addWidget(new QRadioButton("x2"));
             box->resize(180, 120);
             return box;
         },
         EdgeRounding},
        {"tab widget",
         [] {
             auto* tabs = new QTabWidget;
             tabs->addTab(new QWidget, "マップセット");
             tabs->addTab(new QWidget, "パレット");
             tabs->resize(260, 140);
             return tabs;
         }},
    };
    for (const WidgetCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QImage expected = Grabbed(*classic, c);
        const QImage drawn = Grabbed(editor, c);
        ASSERT_EQ(drawn.size(), expected.size());
        EXPECT_LE(LargestDifference(drawn, expected), c.Tolerance);
    }
}

// ---- Group box layouts ----

TEST(GroupBoxLayouts, AreTheClassicStylesWhateverCameBefore) {
    const std::unique_ptr<QStyle> classic(QStyleFactory::create("Windows"));
    const EditorStyle kept;
    QFont bold = QApplication::font();
    bold.setBold(true);
    bold.setPixelSize(17);
    // Each box is asked about twice, and right after a box that differs from it in one thing,
    // so a layout kept for one would be handed to the next.
    int asked = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (const QString& title :
             {QStringLiteral("使用パレット"), QStringLiteral("No"), QString()}) {
            for (const QFont& font : {QApplication::font(), bold}) {
                for (const int alignment : {int(Qt::AlignLeft), int(Qt::AlignHCenter)}) {
                    for (const bool checkable : {false, true}) {
                        for (const Qt::LayoutDirection direction :
                             {Qt::LeftToRight, Qt::RightToLeft}) {
                            for (const QStyle::SubControl part :
                                 {QStyle::SC_GroupBoxLabel, QStyle::SC_GroupBoxCheckBox,
                                  QStyle::SC_GroupBoxFrame, QStyle::SC_GroupBoxContents}) {
                                QStyleOptionGroupBox box;
                                box.rect = QRect(3, 4, 200 + asked % 2, 120);
                                box.text = title;
                                box.textAlignment = Qt::Alignment(alignment);
                                box.fontMetrics = QFontMetrics(font);
                                box.direction = direction;
                                box.lineWidth = 1;
                                box.state = QStyle::State_Enabled;
                                box.subControls =
                                    QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
                                if (checkable)
                                    box.subControls |= QStyle::SC_GroupBoxCheckBox;
                                SCOPED_TRACE(testing::Message()
                                             << "title \"" << title.toStdString() << "\" bold "
                                             << font.bold() << " alignment " << alignment
                                             << " checkable " << checkable << " direction "
                                             << direction << " part " << part << " width "
                                             << box.rect.width());
                                EXPECT_EQ(kept.subControlRect(QStyle::CC_GroupBox, &box, part),
                                          classic->subControlRect(QStyle::CC_GroupBox, &box, part));
                                ++asked;
                            }
                        }
                    }
                }
            }
        }
    }
}

// ---- Captions from stored layouts ----

struct CaptionCase {
    QString Text;
    int Flags;
    QSize Box;
    bool Bold;
    bool Enabled;
};

// The caption drawn by a style into a box at an odd spot of a filled picture, in a colour of the
// palette's own.
QImage Drawn(const QStyle& style, const CaptionCase& c) {
    QImage picture(c.Box.width() + 40, c.Box.height() + 20, QImage::Format_RGB32);
    picture.fill(QColor(0xE0, 0xD8, 0xC0));
    QPainter painter(&picture);
    QFont font = QApplication::font();
    font.setBold(c.Bold);
    painter.setFont(font);
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::WindowText, QColor(0x20, 0x30, 0xA0));
    style.drawItemText(&painter, QRect(QPoint(13, 7), c.Box), c.Flags, palette, c.Enabled, c.Text,
                       QPalette::WindowText);
    return picture;
}

TEST(CachedCaptions, LookAsQtDrawsThem) {
    const std::unique_ptr<QStyle> classic(QStyleFactory::create("Windows"));
    const EditorStyle cached;
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    // Every caption is drawn in several boxes and alignments in a row, so a layout kept for one
    // would show up in the next.
    std::vector<CaptionCase> cases;
    for (const QString& text :
         {QStringLiteral("BG表示切り替え"), QStringLiteral("00"), QStringLiteral("  No:"),
          QStringLiteral("Tile: "), QStringLiteral("OK"),
          // Not drawn from the cache: a mnemonic, two lines, a tab.
          QStringLiteral("再読み込み(&R)"), QStringLiteral("a\nb"), QStringLiteral("a\tb")}) {
        for (const bool bold : {false, true}) {
            for (const int flags : std::initializer_list<int>{
                     left, left | Qt::TextShowMnemonic, Qt::AlignCenter,
                     // What a label asks for, and a direction forced the other way.
                     left | Qt::TextExpandTabs | Qt::TextForceLeftToRight | Qt::AlignAbsolute,
                     left | Qt::TextForceRightToLeft, Qt::AlignRight | Qt::AlignBottom,
                     Qt::AlignLeft | Qt::AlignTop,
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, left | Qt::TextWordWrap}) {
                for (const QSize box :
                     {QSize(160, 24), QSize(161, 25), QSize(116, 26), QSize(12, 9)})
                    cases.push_back({text, flags, box, bold, true});
            }
        }
        cases.push_back({text, left, QSize(160, 24), false, false});
    }
    // Three times over: drawn by Qt the first time, then laid out and drawn, then drawn from
    // the stored layouts.
    for (int pass = 0; pass < 3; ++pass) {
        for (const CaptionCase& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "pass " << pass << " text \"" << c.Text.toStdString() << "\" flags 0x"
                         << std::hex << c.Flags << std::dec << " box " << c.Box.width() << "x"
                         << c.Box.height() << " bold " << c.Bold << " enabled " << c.Enabled);
            EXPECT_EQ(LargestDifference(Drawn(cached, c), Drawn(*classic, c)), 0);
        }
    }
}

TEST(CachedCaptions, KeepABoundedNumber) {
    CaptionLayouts layouts;
    QImage picture(64, 24, QImage::Format_RGB32);
    QPainter painter(&picture);
    const QRect box(0, 0, 64, 24);
    for (int number = 0; number < CaptionLayouts::Capacity + 10; ++number) {
        const QString caption = QString::number(number);
        // Drawn by Qt the first time, from a layout the second.
        ASSERT_FALSE(layouts.Draw(painter, box, Qt::AlignLeft | Qt::AlignVCenter, caption));
        ASSERT_TRUE(layouts.Draw(painter, box, Qt::AlignLeft | Qt::AlignVCenter, caption));
        ASSERT_LE(layouts.Size(), CaptionLayouts::Capacity);
    }
    EXPECT_GT(layouts.Size(), 0);
}

} // namespace
