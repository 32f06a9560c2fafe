#include "document/ClipboardContent.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <utility>

namespace {

constexpr const char* FormatKey = "format";
constexpr const char* FormatName = "kestrin6editor";
constexpr const char* KindKey = "kind";
constexpr const char* WidthKey = "width";
constexpr const char* HeightKey = "height";
constexpr const char* ValuesKey = "values";
constexpr int LargestPaletteColour = 0x3F;

struct KindRule {
    ClipboardContent::Kind What;
    const char* Name;
    // Fixed sizes; 0: any size up to MaxCellSide.
    int Width;
    int Height;
    int LargestValue;
};

constexpr std::array<KindRule, 5> KindRules = {{
    {ClipboardContent::Kind::MapCells, "map-cells", 0, 0, 0xFF},
    {ClipboardContent::Kind::Chip32x32, "chip32x32", 4, 1, 0xFF},
    {ClipboardContent::Kind::Chip16x16, "chip16x16", 5, 1, 0xFF},
    {ClipboardContent::Kind::PaletteSet, "palette-set", 4, 4, LargestPaletteColour},
    {ClipboardContent::Kind::ObjectType, "object-type", 1, 1, 0xFF},
}};

const KindRule& RuleOf(ClipboardContent::Kind what) {
    for (const KindRule& rule : KindRules)
        if (rule.What == what)
            return rule;
    return KindRules.front();
}

bool SizeFits(const KindRule& rule, int width, int height) {
    if (rule.Width == 0)
        return width >= 1 && width <= ClipboardFormat::MaxCellSide && height >= 1 &&
               height <= ClipboardFormat::MaxCellSide;
    return width == rule.Width && height == rule.Height;
}

bool Valid(const ClipboardContent& content) {
    const KindRule& rule = RuleOf(content.What);
    if (!SizeFits(rule, content.Width, content.Height) ||
        content.Values.size() != static_cast<std::size_t>(content.Width * content.Height))
        return false;
    for (std::uint8_t value : content.Values)
        if (value > rule.LargestValue)
            return false;
    return true;
}

ClipboardContent Make(ClipboardContent::Kind what, std::vector<std::uint8_t> values) {
    const KindRule& rule = RuleOf(what);
    return {what, rule.Width, rule.Height, std::move(values)};
}

// A JSON number that is a whole number in [low, high].
std::optional<int> WholeNumber(const QJsonValue& value, int low, int high) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= low && number <= high))
        return std::nullopt;
    const int whole = static_cast<int>(number);
    if (whole != number)
        return std::nullopt;
    return whole;
}

// One or two hexadecimal digits.
std::optional<std::uint8_t> HexByte(const QString& word) {
    if (word.isEmpty() || word.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const QChar c : word) {
        const int digit = c.isDigit() && c.unicode() < 0x80            ? c.unicode() - '0'
                          : (c.unicode() >= 'a' && c.unicode() <= 'f') ? c.unicode() - 'a' + 10
                          : (c.unicode() >= 'A' && c.unicode() <= 'F') ? c.unicode() - 'A' + 10
                                                                       : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace

namespace ClipboardFormat {

ClipboardContent MapCells(int width, int height, std::vector<std::uint8_t> values) {
    return {ClipboardContent::Kind::MapCells, width, height, std::move(values)};
}
ClipboardContent Chip32x32(std::vector<std::uint8_t> quarters) {
    return Make(ClipboardContent::Kind::Chip32x32, std::move(quarters));
}
ClipboardContent Chip16x16(std::vector<std::uint8_t> tilesAndAttribute) {
    return Make(ClipboardContent::Kind::Chip16x16, std::move(tilesAndAttribute));
}
ClipboardContent PaletteSet(std::vector<std::uint8_t> colours) {
    return Make(ClipboardContent::Kind::PaletteSet, std::move(colours));
}

ClipboardContent ObjectType(std::uint8_t type) {
    return Make(ClipboardContent::Kind::ObjectType, {type});
}

QByteArray ToJson(const ClipboardContent& content) {
    QJsonArray values;
    for (std::uint8_t value : content.Values)
        values.append(value);
    QJsonObject object;
    object[FormatKey] = FormatName;
    object[KindKey] = RuleOf(content.What).Name;
    object[WidthKey] = content.Width;
    object[HeightKey] = content.Height;
    object[ValuesKey] = values;
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString ToText(const ClipboardContent& content) {
    QStringList rows;
    for (int row = 0; row < content.Height; ++row) {
        QStringList numbers;
        for (int column = 0; column < content.Width; ++column) {
            const auto at = static_cast<std::size_t>(row * content.Width + column);
            if (at < content.Values.size())
                numbers
                    << QStringLiteral("%1").arg(content.Values[at], 2, 16, QChar('0')).toUpper();
        }
        rows << numbers.join(' ');
    }
    return rows.join('\n') + '\n';
}

std::optional<ClipboardContent> ReadJson(const QByteArray& json) {
    if (json.size() > MaxInputSize)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(FormatKey).toString() != FormatName)
        return std::nullopt;
    const QString kind = object.value(KindKey).toString();
    const KindRule* rule = nullptr;
    for (const KindRule& candidate : KindRules)
        if (kind == candidate.Name)
            rule = &candidate;
    if (rule == nullptr)
        return std::nullopt;
    const auto width = WholeNumber(object.value(WidthKey), 1, MaxCellSide);
    const auto height = WholeNumber(object.value(HeightKey), 1, MaxCellSide);
    if (!width || !height || !SizeFits(*rule, *width, *height))
        return std::nullopt;
    const QJsonValue values = object.value(ValuesKey);
    if (!values.isArray() || values.toArray().size() != *width * *height)
        return std::nullopt;
    ClipboardContent content{rule->What, *width, *height, {}};
    for (const QJsonValue& value : values.toArray()) {
        const auto number = WholeNumber(value, 0, rule->LargestValue);
        if (!number)
            return std::nullopt;
        content.Values.push_back(static_cast<std::uint8_t>(*number));
    }
    if (!Valid(content))
        return std::nullopt;
    return content;
}

std::optional<ClipboardContent> ReadCellRows(const QString& text) {
    if (text.size() > MaxInputSize)
        return std::nullopt;
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // One line break may end the last row, as text editors and spreadsheets write it.
    if (lines.endsWith('\n'))
        lines.chop(1);
    if (lines.isEmpty())
        return std::nullopt;
    ClipboardContent content{ClipboardContent::Kind::MapCells, 0, 0, {}};
    for (const QString& line : lines.split('\n')) {
        static const QRegularExpression separators(QStringLiteral("[ \\t]+"));
        const QStringList words = line.split(separators, Qt::SkipEmptyParts);
        if (words.isEmpty() || words.size() > MaxCellSide || content.Height == MaxCellSide)
            return std::nullopt;
        if (content.Height == 0)
            content.Width = static_cast<int>(words.size());
        else if (words.size() != content.Width)
            return std::nullopt;
        for (const QString& word : words) {
            const auto value = HexByte(word);
            if (!value)
                return std::nullopt;
            content.Values.push_back(*value);
        }
        ++content.Height;
    }
    return content;
}

} // namespace ClipboardFormat
