#include "CardCellBackground.h"

#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <cmath>

namespace {

QColor cellColor(bool folder, bool selected, bool dark)
{
    if (folder)
        return dark ? QColor(selected ? 0x55 : 0x3a, selected ? 0x5a : 0x3d, selected ? 0x66 : 0x44)
                    : QColor(selected ? 0xc9 : 0xe4, selected ? 0xd9 : 0xea, selected ? 0xf2 : 0xf2);
    return dark ? QColor(selected ? 0x48 : 0x2c, selected ? 0x48 : 0x2c, selected ? 0x52 : 0x2e)
                : QColor(selected ? 0xdd : 0xff, selected ? 0xe8 : 0xff, selected ? 0xfa : 0xff);
}

// Only a whole-pixel shift keeps a copied tile on the same pixels as one drawn in place.
bool shiftsByWholePixels(const QTransform& transform)
{
    return transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx()) &&
           transform.dy() == std::floor(transform.dy());
}

// What tells one look's tile from another's of the same size.
QByteArray lookKey(const CardCellBackground::Look& look)
{
    const QLine& rule = look.rule;
    QByteArray key;
    for (const int value :
         {int(look.folder), int(look.selected), int(look.dark), rule.x1(), rule.y1(), rule.x2(), rule.y2()})
        key += QByteArray::number(value) + ',';
    return key;
}

} // namespace

void CardCellBackground::paint(QPainter* painter, const QRect& cell, const Look& look)
{
    if (cell.isEmpty())
        return;
    if (!shiftsByWholePixels(painter->transform())) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(cell.topLeft());
        draw(painter, QRect(QPoint(0, 0), cell.size()), look);
        painter->restore();
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    const QRect tile(QPoint(0, 0), cell.size());
    painter->drawPixmap(cell.topLeft(), m_tiles.pixmap(lookKey(look), cell.size(), ratio,
                                                       [&](QPainter& drawn) { draw(&drawn, tile, look); }));
}

void CardCellBackground::draw(QPainter* painter, const QRect& rect, const Look& look)
{
    // Half-pixel inset: the one-pixel outline then covers whole pixels instead of smearing over two.
    const QRectF cell = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(cell, CornerRadius, CornerRadius);
    painter->fillPath(shape, cellColor(look.folder, look.selected, look.dark));
    painter->setPen(QPen(look.dark ? QColor(0x50, 0x50, 0x58) : QColor(0xcc, 0xcc, 0xd0), 1));
    painter->drawPath(shape);
    if (look.folder) {
        // A folder tab along the top edge tells folders from cards at a glance.
        QPainterPath tab;
        tab.addRoundedRect(QRectF(cell.left() + 14, cell.top() - 0.5, cell.width() * 0.35, 8), 3, 3);
        painter->fillPath(tab, look.dark ? QColor(0x6b, 0x76, 0x8c) : QColor(0x9d, 0xb4, 0xd8));
    }
    if (!look.rule.isNull()) {
        painter->setPen(QPen(Qt::lightGray, 1));
        painter->drawLine(look.rule);
    }
}
