#include "RtfPicture.h"

namespace {

int nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr double TwipsPerPoint = 20.0;

} // namespace

void RtfPicture::appendHex(QByteArrayView text)
{
    // Spaces, tabs and anything else between the digits is layout; only the digits count, in pairs.
    if (m_overflowed)
        return;
    for (const char c : text) {
        const int value = nibble(c);
        if (value < 0)
            continue;
        if (m_highNibble < 0) {
            m_highNibble = value;
            continue;
        }
        m_bytes.append(static_cast<char>(m_highNibble * 16 + value));
        m_highNibble = -1;
    }
    if (m_bytes.size() > m_maxBytes)
        reserveRoom(0);
}

void RtfPicture::appendBinary(QByteArrayView data)
{
    if (reserveRoom(data.size()))
        m_bytes.append(data);
}

bool RtfPicture::reserveRoom(qsizetype count)
{
    if (m_overflowed)
        return false;
    if (count > m_maxBytes - m_bytes.size()) {
        m_overflowed = true;
        m_bytes = QByteArray();
        return false;
    }
    return true;
}

bool RtfPicture::isUsable() const
{
    return !m_overflowed && !m_bytes.isEmpty() && (m_format == Format::Png || m_format == Format::Jpeg);
}

QString RtfPicture::fileType() const
{
    return m_format == Format::Jpeg ? QStringLiteral("public.jpeg") : QStringLiteral("public.png");
}

QSizeF RtfPicture::displaySize() const
{
    if (m_goalWidth <= 0 || m_goalHeight <= 0)
        return {};
    const double scaleX = m_scaleX > 0 ? m_scaleX / 100.0 : 1.0;
    const double scaleY = m_scaleY > 0 ? m_scaleY / 100.0 : 1.0;
    return {m_goalWidth / TwipsPerPoint * scaleX, m_goalHeight / TwipsPerPoint * scaleY};
}
