#include "RtfColorTable.h"

#include <algorithm>

namespace {

constexpr qsizetype MaxColors = 4096;

int component(int value)
{
    return std::clamp(value, 0, 255);
}

} // namespace

void RtfColorTable::endEntry()
{
    const bool automatic = m_red < 0 && m_green < 0 && m_blue < 0;
    if (m_colors.size() < MaxColors)
        m_colors.append(automatic ? QColor() : QColor(component(m_red), component(m_green), component(m_blue)));
    m_red = m_green = m_blue = -1;
}

void RtfColorTable::endPendingEntry()
{
    if (m_red >= 0 || m_green >= 0 || m_blue >= 0)
        endEntry();
}

QColor RtfColorTable::color(int index) const
{
    return m_colors.value(index);
}
