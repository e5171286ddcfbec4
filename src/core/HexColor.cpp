#include "HexColor.h"

#include "InvalidColorValue.h"

#include <QStringView>

namespace {

bool isHexDigits(QStringView digits)
{
    for (const QChar unit : digits) {
        const char16_t c = unit.unicode();
        const bool digit = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
        if (!digit)
            return false;
    }
    return true;
}

} // namespace

std::optional<QColor> HexColor::colorFromHexString(const QString& hexString)
{
    const QString digits = QString(hexString).remove(u'#').toUpper();
    // A letter beyond F would otherwise scan as part of a smaller number and give a colour nobody wrote.
    if (!isHexDigits(digits))
        return std::nullopt;
    switch (digits.size()) {
    case 3:
        return QColor::fromRgbF(colorComponentFrom(digits, 0, 1), colorComponentFrom(digits, 1, 1),
                                colorComponentFrom(digits, 2, 1), 1.0);
    case 4:
        return QColor::fromRgbF(colorComponentFrom(digits, 1, 1), colorComponentFrom(digits, 2, 1),
                                colorComponentFrom(digits, 3, 1), colorComponentFrom(digits, 0, 1));
    case 6:
        return QColor::fromRgbF(colorComponentFrom(digits, 0, 2), colorComponentFrom(digits, 2, 2),
                                colorComponentFrom(digits, 4, 2), 1.0);
    case 8:
        return QColor::fromRgbF(colorComponentFrom(digits, 2, 2), colorComponentFrom(digits, 4, 2),
                                colorComponentFrom(digits, 6, 2), colorComponentFrom(digits, 0, 2));
    default:
        return std::nullopt;
    }
}

QColor HexColor::colorWithHexString(const QString& hexString)
{
    const std::optional<QColor> color = colorFromHexString(hexString);
    if (!color)
        throw InvalidColorValue(hexString);
    return *color;
}

double HexColor::colorComponentFrom(const QString& string, int start, int length)
{
    const QString substring = string.mid(start, length);
    const QString full = length == 2 ? substring : substring + substring;
    bool ok = false;
    const uint value = full.toUInt(&ok, 16);
    return ok ? value / 255.0 : 0.0;
}
