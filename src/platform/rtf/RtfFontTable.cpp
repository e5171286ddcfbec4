#include "RtfFontTable.h"

#include "RtfCodePage.h"
#include "RtfTextDecoder.h"

#include <algorithm>

namespace {

// Font names are short; a longer run is not a name and must not grow without bound.
constexpr qsizetype MaxNameBytes = 256;
// A document that declares more fonts than this is not a document.
constexpr qsizetype MaxFonts = 4096;

} // namespace

void RtfFontTable::beginEntry(int number)
{
    m_number = number;
    m_codePage = 0;
    m_name.clear();
}

void RtfFontTable::setCharset(int charset)
{
    m_codePage = RtfCodePage::forCharset(charset);
}

void RtfFontTable::setCodePage(int codePage)
{
    m_codePage = std::max(codePage, 0);
}

void RtfFontTable::appendName(QByteArrayView bytes)
{
    if (m_number < 0)
        return;
    m_name.append(bytes.first(std::min(bytes.size(), MaxNameBytes - m_name.size())));
}

void RtfFontTable::endEntry(RtfTextDecoder& decoder)
{
    if (m_number < 0)
        return;
    if (m_fonts.size() < MaxFonts || m_fonts.contains(m_number))
        m_fonts.insert(m_number, Font{decoder.decode(m_name, m_codePage).trimmed(), m_codePage});
    m_number = -1;
    m_name.clear();
}

QString RtfFontTable::family(int number) const
{
    return m_fonts.value(number).family;
}

int RtfFontTable::codePage(int number) const
{
    return m_fonts.value(number).codePage;
}
