#include "SidebarBadgeDelegate.h"

#include "platform/ColorScheme.h"
#include "platform/TintedIconEngine.h"

#include <QPainter>

void SidebarBadgeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString count = index.data(CountRole).toString();
    const bool badge = !count.isEmpty() && count != QStringLiteral("0");
    QStyleOptionViewItem rowOption(option);
    QFont font = option.font;
    font.setPixelSize(FontSize);
    const int badgeWidth = badge ? QFontMetrics(font).horizontalAdvance(count) + 12 : 0;
    rowOption.rect.setRight(option.rect.right() - badgeWidth - 8);
    QStyledItemDelegate::paint(painter, rowOption, index);
    if (!badge)
        return;
    const bool dark = ColorScheme::isDark();
    const QRect area(option.rect.right() - badgeWidth - 6, option.rect.center().y() - BadgeHeight / 2, badgeWidth,
                     BadgeHeight);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(dark ? QColor(Qt::darkGray) : QColor::fromRgbF(0.81f, 0.81f, 0.81f));
    painter->drawRoundedRect(area, 8, 8);
    painter->setPen(dark ? QColor(Qt::lightGray) : QColor(Qt::darkGray));
    painter->setFont(font);
    painter->drawText(area, Qt::AlignCenter, count);
    painter->restore();
}

void SidebarBadgeDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!(option->state & QStyle::State_Selected) || !index.data(SymbolRole).toBool())
        return;
    // In the group the view draws the row in, as its title is: a symbol left in its theme's ink would stay dark on
    // the highlight beside a white title.
    option->icon = QIcon(new TintedIconEngine(option->icon, option->palette.color(QPalette::HighlightedText)));
}
