#include "mainform/EditorStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QStyleOption>

#include <cstring>

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

QString IndicatorKey(QStyle::PrimitiveElement element, const QStyleOption* option, qreal scale) {
    return QStringLiteral("k6-indicator-%1-%2x%3-%4-%5-%6-%7")
        .arg(element)
        .arg(option->rect.width())
        .arg(option->rect.height())
        .arg(static_cast<uint>(option->state))
        .arg(static_cast<int>(option->direction))
        .arg(option->palette.cacheKey())
        .arg(scale);
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
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void EditorStyle::DrawCachedIndicator(PrimitiveElement element, const QStyleOption* option,
                                      QPainter* painter, const QWidget* widget) const {
    const qreal scale = painter->device()->devicePixelRatio();
    const QString key = IndicatorKey(element, option, scale);
    QPixmap look;
    if (!QPixmapCache::find(key, &look)) {
        QImage image(option->rect.size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        {
            // The option as given (it may be a button's option), the drawing moved to the corner.
            QPainter imagePainter(&image);
            imagePainter.translate(-option->rect.topLeft());
            QProxyStyle::drawPrimitive(element, option, &imagePainter, widget);
        }
        look = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(key, look);
    }
    painter->drawPixmap(option->rect.topLeft(), look);
}
