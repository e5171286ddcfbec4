#include "RtfTextDecoder.h"

#include <QStringDecoder>

#include <algorithm>

bool RtfTextDecoder::isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString RtfTextDecoder::decode(QByteArrayView bytes, int codePage)
{
    return page(codePage > 0 ? codePage : m_documentCodePage).decode(bytes);
}

QString RtfTextDecoder::decodeLiteral(QByteArrayView bytes, int codePage)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decode(bytes, codePage);
}

RtfCodePage& RtfTextDecoder::page(int number)
{
    auto found = m_pages.find(number);
    if (found == m_pages.end())
        found = m_pages.emplace(number, std::make_unique<RtfCodePage>(number)).first;
    return *found->second;
}
