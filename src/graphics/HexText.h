#pragma once

#include <QString>

#include <optional>

// Numbers as the editor shows them: two upper-case hexadecimal digits.
namespace HexText {

inline QString Two(int value) {
    return QString("%1").arg(value & 0xFF, 2, 16, QChar('0')).toUpper();
}

// The value of a two-character field when both characters are hexadecimal digits (either
// case); nothing otherwise, signs and prefixes included.
inline std::optional<int> ParseTwo(const QString& text) {
    if (text.size() != 2) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const int digit = u >= u'0' && u <= u'9'   ? u - u'0'
                          : u >= u'a' && u <= u'f' ? u - u'a' + 10
                          : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                                   : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

} // namespace HexText
