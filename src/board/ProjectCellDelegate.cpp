#include "ProjectCellDelegate.h"

#include "LXReorderableCollectionViewFlowLayout.h"
#include "ProjectCoverArt.h"
#include "ProjectGridMetrics.h"
#include "ProjectListModel.h"
#include "core/HexColor.h"
#include "core/Metrics.h"
#include "platform/ColorScheme.h"
#include "platform/SymbolIcons.h"

#include <QPainter>
#include <QPainterPath>

ProjectCellDelegate::ProjectCellDelegate(LXReorderableCollectionViewFlowLayout* layout, QObject* parent)
    : QStyledItemDelegate(parent), m_layout(layout)
{
}

QSize ProjectCellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return ProjectGridMetrics::cellSize();
}

void ProjectCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (m_layout && m_layout->isHidden(index))
        return;
    const bool dark = ColorScheme::isDark();
    const bool highlighted = m_layout && m_layout->isHighlighted(index);
    const QRectF tile = QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath shape;
    shape.addRoundedRect(tile, CornerRadius, CornerRadius);
    painter->fillPath(shape, HexColor::colorWithHexString(dark ? DarkBackgroundHex : LightBackgroundHex));

    painter->setClipPath(shape);
    const QRectF coverArea(tile.left(), tile.top(), tile.width(), tile.height() - FooterHeight);
    paintCover(painter, coverArea, index);
    const QRectF footer(tile.left(), coverArea.bottom(), tile.width(), FooterHeight);
    paintTitle(painter, footer, index.data(Qt::DisplayRole).toString(), dark);
    if (highlighted)
        painter->fillPath(shape, QColor(0, 0, 0, 70));
    painter->setClipping(false);
    paintMenuButton(painter, option.rect);

    const bool selected = option.state & QStyle::State_Selected;
    const bool hovered = option.state & QStyle::State_MouseOver;
    if (selected || hovered) {
        QColor ring = HexColor::accentColor();
        ring.setAlpha(selected ? 255 : 150);
        painter->setPen(QPen(ring, selected ? 3 : 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(shape);
    }
    painter->restore();
}

QRect ProjectCellDelegate::menuButtonRect(const QRect& tile)
{
    return {tile.right() - MenuButtonMargin - MenuButtonSide + 1, tile.top() + MenuButtonMargin, MenuButtonSide,
            MenuButtonSide};
}

void ProjectCellDelegate::paintMenuButton(QPainter* painter, const QRect& tile) const
{
    // A dark disc keeps the gear readable over any cover picture.
    const QRect button = menuButtonRect(tile);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 110));
    painter->drawEllipse(button);
    const int inset = 6;
    static const QPixmap gear = [] {
        const int side = MenuButtonSide - 2 * inset;
        QPixmap pixmap = SymbolIcons::icon(QStringLiteral("gearshape")).pixmap(side, side);
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(pixmap.rect(), Qt::white);
        return pixmap;
    }();
    painter->drawPixmap(button.adjusted(inset, inset, -inset, -inset), gear);
}

void ProjectCellDelegate::paintCover(QPainter* painter, const QRectF& area, const QModelIndex& index) const
{
    QImage cover = index.data(ProjectListModel::CoverRole).value<QImage>();
    if (cover.isNull())
        cover = ProjectCoverArt::defaultCover();
    // The cover fills its area and is cut at the edges, as a picture in a frame.
    const QSizeF scaled = QSizeF(cover.size()).scaled(area.size(), Qt::KeepAspectRatioByExpanding);
    const QRectF target(area.center().x() - scaled.width() / 2, area.center().y() - scaled.height() / 2, scaled.width(),
                        scaled.height());
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->drawImage(target, cover);
    painter->restore();
}

void ProjectCellDelegate::paintTitle(QPainter* painter, const QRectF& area, const QString& title, bool dark) const
{
    QFont font = painter->font();
    font.setPixelSize(int(Metrics::scaled(17)));
    font.setWeight(QFont::DemiBold);
    painter->setFont(font);
    painter->setPen(dark ? QColor(240, 240, 240) : QColor(30, 30, 32));
    const QRectF text = area.adjusted(12, 0, -12, 0);
    const QString elided = painter->fontMetrics().elidedText(title, Qt::ElideRight, int(text.width()));
    painter->drawText(text, Qt::AlignCenter, elided);
}
