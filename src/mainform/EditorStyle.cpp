#include "mainform/EditorStyle.h"

#include "mainform/ClassicFrames.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QStyleOptionGroupBox>

#include <cstring>
#include <optional>

namespace {

constexpr const char* FallbackStyleName = "fusion";
constexpr const char* ClassicStyleName = "Windows";

bool IsIndicator(QStyle::PrimitiveElement element) {
    return element == QStyle::PE_IndicatorRadioButton || element == QStyle::PE_IndicatorCheckBox;
}

// A copy of a drawing stands for the drawing only where the painter would put it unchanged.
bool PaintsAsIs(const QPainter* painter) {
    return painter->transform().type() <= QTransform::TxTranslate && painter->opacity() == 1.0 &&
           painter->compositionMode() == QPainter::CompositionMode_SourceOver;
}

ClassicFrames::Bevel ButtonBevel(const QPalette& palette, bool sunken) {
    if (sunken)
        return {palette.shadow().color(), palette.light().color(), palette.dark().color(),
                palette.button().color()};
    return {palette.light().color(), palette.shadow().color(), palette.button().color(),
            palette.dark().color()};
}

ClassicFrames::Bevel PanelBevel(const QPalette& palette, bool sunken) {
    if (sunken)
        return {palette.dark().color(), palette.light().color(), palette.shadow().color(),
                palette.midlight().color()};
    return {palette.light().color(), palette.shadow().color(), palette.midlight().color(),
            palette.dark().color()};
}

// The bevel the classic style gives a frame of this kind, if it is one drawn as a bevel.
std::optional<ClassicFrames::Bevel> FrameBevel(QStyle::PrimitiveElement element,
                                               const QStyleOption& option) {
    switch (element) {
    case QStyle::PE_FrameTabWidget:
        return ButtonBevel(option.palette, false);
    case QStyle::PE_Frame: {
        // Frames two pixels wide, as line edits have.
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(&option);
        if (frame == nullptr || frame->lineWidth != 2)
            return std::nullopt;
        if (option.state & QStyle::State_Raised)
            return ButtonBevel(option.palette, (option.state & QStyle::State_Sunken) != 0);
        if (option.state & QStyle::State_Sunken) {
            QPalette palette = option.palette;
            palette.setColor(QPalette::Midlight, option.palette.window().color());
            return PanelBevel(palette, true);
        }
        return PanelBevel(option.palette, false);
    }
    case QStyle::PE_PanelButtonCommand:
    case QStyle::PE_PanelButtonBevel: {
        const QStyle::State state = option.state;
        if (element == QStyle::PE_PanelButtonCommand) {
            // A pressed default button is a plain outline.
            const auto* button = qstyleoption_cast<const QStyleOptionButton*>(&option);
            if (button == nullptr || ((button->features & QStyleOptionButton::DefaultButton) &&
                                      (state & QStyle::State_Sunken)))
                return std::nullopt;
        }
        // A button neither raised, on nor pressed is a plain fill.
        if (!(state & (QStyle::State_Raised | QStyle::State_On | QStyle::State_Sunken)))
            return std::nullopt;
        return ButtonBevel(option.palette,
                           (state & (QStyle::State_Sunken | QStyle::State_On)) != 0);
    }
    default:
        return std::nullopt;
    }
}

// What the classic style fills a push button with.
QBrush ButtonFill(const QStyleOption& option) {
    if (!(option.state & QStyle::State_Sunken) && (option.state & QStyle::State_On))
        return QBrush(option.palette.light().color(), Qt::Dense4Pattern);
    return option.palette.brush(QPalette::Button);
}

bool IsEtchedGroupFrame(QStyle::PrimitiveElement element, const QStyleOption& option) {
    if (element != QStyle::PE_FrameGroupBox)
        return false;
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(&option);
    return frame != nullptr && !(frame->features & QStyleOptionFrame::Flat) &&
           frame->lineWidth == 1 && frame->midLineWidth == 0 &&
           option.palette.dark().color().alpha() == 255 &&
           option.palette.light().color().alpha() == 255;
}

} // namespace

bool EditorStyle::UserNamedStyle(int argc, const char* const* argv) {
    if (qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "-style") == 0 || std::strcmp(argument, "--style") == 0 ||
            std::strncmp(argument, "-style=", 7) == 0 || std::strncmp(argument, "--style=", 8) == 0)
            return true;
    }
    return false;
}

void EditorStyle::Apply(bool userNamedStyle) {
    if (userNamedStyle)
        return;
    if (QApplication::style()->name().compare(FallbackStyleName, Qt::CaseInsensitive) != 0)
        return;
    QApplication::setStyle(new EditorStyle);
}

EditorStyle::EditorStyle() : QProxyStyle(QStyleFactory::create(ClassicStyleName)) {}

void EditorStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (IsIndicator(element) && option != nullptr && !option->rect.isEmpty() &&
        PaintsAsIs(painter)) {
        DrawCachedIndicator(element, option, painter, widget);
        return;
    }
    if (option != nullptr && DrawFrameWithFills(element, *option, *painter))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

bool EditorStyle::DrawFrameWithFills(PrimitiveElement element, const QStyleOption& option,
                                     QPainter& painter) const {
    if (!ClassicFrames::LargeEnough(option.rect) || !ClassicFrames::CanFill(painter))
        return false;
    if (IsEtchedGroupFrame(element, option)) {
        ClassicFrames::DrawEtchedRect(painter, option.rect, option.palette.dark().color(),
                                      option.palette.light().color());
        return true;
    }
    const std::optional<ClassicFrames::Bevel> bevel = FrameBevel(element, option);
    if (!bevel || !ClassicFrames::Opaque(*bevel))
        return false;
    if (element == PE_PanelButtonCommand) {
        const QBrush fill = ButtonFill(option);
        ClassicFrames::DrawBevel(painter, option.rect, *bevel, &fill);
    } else if (element == PE_PanelButtonBevel) {
        // Where the stipple of a button that is on starts is the classic style's own affair.
        const QBrush fill = ButtonFill(option);
        if (fill.style() != Qt::SolidPattern)
            return false;
        ClassicFrames::DrawBevel(painter, option.rect, *bevel, &fill);
    } else {
        ClassicFrames::DrawBevel(painter, option.rect, *bevel, nullptr);
    }
    return true;
}

void EditorStyle::DrawCachedIndicator(PrimitiveElement element, const QStyleOption* option,
                                      QPainter* painter, const QWidget* widget) const {
    const qreal scale = painter->device()->devicePixelRatio();
    const IndicatorLook key{element,
                            option->rect.size(),
                            static_cast<uint>(option->state),
                            static_cast<int>(option->direction),
                            option->palette.cacheKey(),
                            scale};
    auto found = Indicators.constFind(key);
    if (found == Indicators.cend()) {
        QImage image(option->rect.size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        {
            // The option as given (it may be a button's option), the drawing moved to the corner.
            QPainter imagePainter(&image);
            imagePainter.translate(-option->rect.topLeft());
            QProxyStyle::drawPrimitive(element, option, &imagePainter, widget);
        }
        if (Indicators.size() >= IndicatorCapacity)
            Indicators.clear();
        found = Indicators.insert(key, QPixmap::fromImage(std::move(image)));
    }
    painter->drawPixmap(option->rect.topLeft(), *found);
}

bool EditorStyle::GroupBoxPlace::SameLayout(const GroupBoxPlace& other) const {
    return Part == other.Part && Rect == other.Rect && TitleAlignment == other.TitleAlignment &&
           Features == other.Features && SubControls == other.SubControls &&
           LineWidth == other.LineWidth && MidLineWidth == other.MidLineWidth &&
           State == other.State && Direction == other.Direction && Title == other.Title &&
           Metrics == other.Metrics;
}

QRect EditorStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                  SubControl subControl, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    GroupBoxPlace place{subControl,
                        box->rect,
                        box->text,
                        static_cast<int>(box->textAlignment),
                        static_cast<int>(box->features),
                        static_cast<uint>(box->subControls),
                        box->lineWidth,
                        box->midLineWidth,
                        static_cast<uint>(box->state),
                        static_cast<int>(box->direction),
                        box->fontMetrics,
                        {}};
    for (const GroupBoxPlace& known : std::as_const(GroupBoxPlaces)) {
        if (known.SameLayout(place))
            return known.Result;
    }
    place.Result = QProxyStyle::subControlRect(control, option, subControl, widget);
    if (GroupBoxPlaces.size() >= GroupBoxCapacity)
        GroupBoxPlaces.clear();
    GroupBoxPlaces.append(place);
    return place.Result;
}

void EditorStyle::drawItemText(QPainter* painter, const QRect& rect, int flags,
                               const QPalette& palette, bool enabled, const QString& text,
                               QPalette::ColorRole textRole) const {
    // Disabled text may be etched or dithered; the classic style draws that itself.
    if (!enabled) {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        return;
    }
    const QPen savedPen = painter->pen();
    if (textRole != QPalette::NoRole)
        painter->setPen(QPen(palette.brush(textRole), savedPen.widthF()));
    const bool drawn = Captions.Draw(*painter, rect, flags, text);
    if (textRole != QPalette::NoRole)
        painter->setPen(savedPen);
    if (!drawn)
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
}
