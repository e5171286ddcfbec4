#include "KUVDocFormatCell.h"

#include "core/CustomCellBackground.h"
#include "platform/ColorScheme.h"
#include "platform/SymbolIcons.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Padding = 10;
constexpr qreal Corner = 8;
constexpr int DescriptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

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

void KUVDocFormatCell::paintTile(QPainter* painter, const QRectF& tile, const QStyleOptionViewItem& option) const
{
    const bool dark = ColorScheme::isDark();
    QPainterPath shape;
    shape.addRoundedRect(tile, Corner, Corner);
    if (option.state & QStyle::State_Selected) {
        // The selected tile's own background: grey under a black line of LineWidth, wholly inside the tile.
        painter->fillPath(shape, QColor::fromRgbF(CustomCellBackground::FillGrey, CustomCellBackground::FillGrey,
                                                  CustomCellBackground::FillGrey));
        const qreal half = CustomCellBackground::LineWidth / 2;
        QPainterPath line;
        line.addRoundedRect(tile.adjusted(half, half, -half, -half), Corner - half, Corner - half);
        painter->strokePath(line, QPen(Qt::black, CustomCellBackground::LineWidth));
        return;
    }
    QColor fill = tileBackground();
    if (option.state & QStyle::State_MouseOver)
        fill = option.palette.color(QPalette::Highlight).lighter(dark ? 80 : 170);
    painter->fillPath(shape, fill);
    painter->setPen(QPen(dark ? QColor(0x60, 0x60, 0x66) : QColor(0xd0, 0xd0, 0xd4), 1));
    painter->drawPath(shape);
}

void KUVDocFormatCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.data(HeaderRole).toBool())
        return paintHeader(painter, option, index);
    const bool dark = ColorScheme::isDark();
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    paintTile(painter, QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5), option);

    const QRect inner = option.rect.adjusted(Padding, Padding, -Padding, -Padding);
    QFont titleFont = option.font;
    titleFont.setPixelSize(14);
    titleFont.setBold(true);
    QFont descriptionFont = option.font;
    descriptionFont.setPixelSize(11);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics descriptionMetrics(descriptionFont);
    // The description wraps onto as many lines as it needs; the picture gives up the room.
    const QString description = index.data(DescriptionRole).toString();
    const int descriptionHeight =
        descriptionMetrics.boundingRect(QRect(0, 0, inner.width(), inner.height()), DescriptionFlags, description)
            .height();
    const int textHeight = titleMetrics.height() + descriptionHeight + 4;
    const QRect pictureArea(inner.left(), inner.top(), inner.width(), inner.height() - textHeight - 6);
    QIcon picture = index.data(ImageRole).value<QIcon>();
    if (picture.isNull())
        picture = SymbolIcons::icon(FallbackSymbol);
    const int side = std::max(0, std::min(pictureArea.width(), pictureArea.height()) * 2 / 3);
    picture.paint(painter, QRect(pictureArea.center().x() - side / 2, pictureArea.center().y() - side / 2, side, side));

    painter->setPen(dark ? QColor(Qt::white) : QColor(0x20, 0x20, 0x24));
    painter->setFont(titleFont);
    const QRect titleRect(inner.left(), pictureArea.bottom() + 6, inner.width(), titleMetrics.height());
    painter->drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop,
                      titleMetrics.elidedText(index.data(TitleRole).toString(), Qt::ElideRight, inner.width()));
    // On the selected grey the usual grey would not read.
    painter->setPen(selected ? QColor(0x20, 0x20, 0x24) : QColor(Qt::gray));
    painter->setFont(descriptionFont);
    painter->drawText(QRect(inner.left(), titleRect.bottom() + 4, inner.width(), descriptionHeight), DescriptionFlags,
                      description);
    painter->restore();
}
