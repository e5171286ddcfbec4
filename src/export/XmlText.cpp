#include "XmlText.h"

bool XmlText::isAllowed(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString XmlText::sanitized(const QString& text)
{
    // Most texts are clean: answer them without copying.
    qsizetype i = 0;
    const qsizetype n = text.size();
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isSurrogate() || !isAllowed(c.unicode()))
            break;
    }
    if (i == n)
        return text;
    QString clean;
    clean.reserve(n);
    clean.append(QStringView(text).left(i));
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            clean.append(c);
            clean.append(text.at(++i));
        } else if (!c.isSurrogate() && isAllowed(c.unicode())) {
            clean.append(c);
        }
    }
    return clean;
}

QByteArray XmlText::utf8(const QString& text)
{
    return sanitized(text).toUtf8();
}
