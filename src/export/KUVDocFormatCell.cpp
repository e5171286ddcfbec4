#include "KUVDocFormatCell.h"

#include "platform/ColorScheme.h"
#include "platform/SymbolIcons.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Padding = 10;
constexpr qreal Corner = 8;

} // namespace

KUVDocFormatCell::KUVDocFormatCell(QObject* parent) : QStyledItemDelegate(parent)
{
}

QSize KUVDocFormatCell::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const QVariant size = index.data(Qt::SizeHintRole);
    return size.isValid() ? size.toSize() : m_tileSize;
}

QColor KUVDocFormatCell::tileBackground() const
{
    const bool dark = ColorScheme::isDark();
    if (m_appearanceChanged)
        return QColor(dark ? ChangedDarkBackground : ChangedLightBackground);
    return QColor(dark ? DarkBackground : LightBackground);
}

void KUVDocFormatCell::paintHeader(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    QFont font = option.font;
    font.setPixelSize(HeaderFontSize);
    painter->save();
    painter->setFont(font);
    painter->setPen(ColorScheme::isDark() ? QColor(0xc0, 0xc0, 0xc4) : QColor(0x50, 0x50, 0x56));
    // The header's cell starts at the grid's inset, the tiles' left edge. A taller cell (the first, which carries
    // the grid's top inset) keeps its title in its last HeaderHeight points.
    QRect band = option.rect;
    band.setTop(band.bottom() + 1 - HeaderHeight);
    painter->drawText(band, Qt::AlignVCenter | Qt::AlignLeft, index.data(TitleRole).toString());
    painter->restore();
}

void KUVDocFormatCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.data(HeaderRole).toBool())
        return paintHeader(painter, option, index);
    const bool dark = ColorScheme::isDark();
    const bool selected = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    const QRectF tile = QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(tile, Corner, Corner);
    QColor fill = tileBackground();
    if (selected)
        fill = option.palette.color(QPalette::Highlight).lighter(dark ? 80 : 170);
    painter->fillPath(shape, fill);
    painter->setPen(QPen(dark ? QColor(0x60, 0x60, 0x66) : QColor(0xd0, 0xd0, 0xd4), 1));
    painter->drawPath(shape);

    const QRect inner = option.rect.adjusted(Padding, Padding, -Padding, -Padding);
    QFont titleFont = option.font;
    titleFont.setPixelSize(14);
    titleFont.setBold(true);
    QFont descriptionFont = option.font;
    descriptionFont.setPixelSize(11);
    const int textHeight = QFontMetrics(titleFont).height() + QFontMetrics(descriptionFont).height() + 4;
    const QRect pictureArea(inner.left(), inner.top(), inner.width(), inner.height() - textHeight - 6);
    QIcon picture = index.data(ImageRole).value<QIcon>();
    if (picture.isNull())
        picture = SymbolIcons::icon(FallbackSymbol);
    const int side = std::min(pictureArea.width(), pictureArea.height()) * 2 / 3;
    picture.paint(painter, QRect(pictureArea.center().x() - side / 2, pictureArea.center().y() - side / 2, side, side));

    painter->setPen(dark ? QColor(Qt::white) : QColor(0x20, 0x20, 0x24));
    painter->setFont(titleFont);
    const QFontMetrics titleMetrics(titleFont);
    const QRect titleRect(inner.left(), pictureArea.bottom() + 6, inner.width(), titleMetrics.height());
    painter->drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop,
                      titleMetrics.elidedText(index.data(TitleRole).toString(), Qt::ElideRight, inner.width()));
    painter->setPen(Qt::gray);
    painter->setFont(descriptionFont);
    const QFontMetrics descriptionMetrics(descriptionFont);
    painter->drawText(
        QRect(inner.left(), titleRect.bottom() + 4, inner.width(), descriptionMetrics.height()),
        Qt::AlignHCenter | Qt::AlignTop,
        descriptionMetrics.elidedText(index.data(DescriptionRole).toString(), Qt::ElideRight, inner.width()));
    painter->restore();
}
