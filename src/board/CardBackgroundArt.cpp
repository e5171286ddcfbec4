#include "CardBackgroundArt.h"

#include "core/CardProps.h"
#include "core/HexColor.h"
#include "core/StoreConstants.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

namespace {

namespace Types = ProjectItemTypes;

// The first row of the card-type table that carries the name; Folder and Story share theirs.
const CardProp* rowNamed(const QString& backgroundName)
{
    if (backgroundName.isEmpty())
        return nullptr;
    for (const CardProp& prop : CardProps::defaultProps()) {
        if (prop.cardBackgroundName() == backgroundName)
            return &prop;
    }
    return nullptr;
}

struct Palette {
    QColor paper;
    QColor ink;
    QColor shadow;
    qreal tileTop;
    qreal tileBottom;
};

Palette paletteFor(bool dark)
{
    if (dark)
        return {QColor(0x44, 0x44, 0x4a), QColor(255, 255, 255, 46), QColor(0, 0, 0, 110), 0.20, 0.38};
    return {QColor(252, 252, 248), QColor(0, 0, 0, 40), QColor(0, 0, 0, 34), 0.10, 0.24};
}

// The all-cards row has no colour of its own, so its picture takes the application's.
QColor colourOf(const CardProp& prop)
{
    return prop.itemType() == Types::AllCards ? HexColor::accentColor() : prop.cardColor();
}

QPainterPath circle(qreal x, qreal y, qreal radius)
{
    QPainterPath path;
    path.addEllipse(QPointF(x, y), radius, radius);
    return path;
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 0)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath stroked(const QPainterPath& line, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(line);
}

QPainterPath pin()
{
    return circle(10, 8, 6.5).united(polygon({{4.2, 10.6}, {10, 19}, {15.8, 10.6}})).subtracted(circle(10, 8, 2.6));
}

QPainterPath person()
{
    QPainterPath body;
    body.moveTo(2.5, 19);
    body.cubicTo(2.5, 11, 17.5, 11, 17.5, 19);
    body.closeSubpath();
    return circle(10, 5.8, 4.2).united(body);
}

QPainterPath calendar()
{
    QPainterPath page = rect(2, 4, 16, 15, 2.5).subtracted(rect(3.8, 8.8, 12.4, 8.4));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            page = page.united(rect(5 + column * 3.8, 10 + row * 3.6, 2.4, 2.4, 0.5));
    return page.united(rect(5.5, 1.5, 2.2, 4.5, 1.1)).united(rect(12.3, 1.5, 2.2, 4.5, 1.1));
}

QPainterPath umbrella()
{
    QPainterPath canopy;
    canopy.moveTo(1, 10.5);
    canopy.arcTo(QRectF(1, 2, 18, 17), 180, -180);
    canopy.closeSubpath();
    // Scallops along the canopy's rim.
    for (int scallop = 0; scallop < 3; ++scallop)
        canopy = canopy.subtracted(circle(4 + scallop * 6, 11.8, 2.6));
    QPainterPath handle;
    handle.moveTo(10, 9);
    handle.lineTo(10, 16.5);
    handle.arcTo(QRectF(7, 14.8, 3, 3.4), 0, -180);
    return canopy.united(stroked(handle, 1.8));
}

QPainterPath bulb()
{
    return circle(10, 8, 6.6)
        .united(rect(7, 12.5, 6, 3.6, 1))
        .united(rect(7.6, 16.6, 4.8, 2.6, 1.2))
        .subtracted(rect(6.4, 15.9, 7.2, 0.7));
}

QPainterPath question()
{
    QPainterPath hook;
    hook.moveTo(5.6, 7);
    hook.arcTo(QRectF(5.6, 2, 8.8, 8.8), 180, -220);
    hook.cubicTo(11.8, 11.4, 10, 11.8, 10, 13.6);
    return stroked(hook, 2.8).united(circle(10, 17.6, 1.7));
}

QPainterPath bell()
{
    QPainterPath dome;
    dome.moveTo(3, 15.5);
    dome.cubicTo(5.2, 13.4, 4, 4, 10, 4);
    dome.cubicTo(16, 4, 14.8, 13.4, 17, 15.5);
    dome.closeSubpath();
    return dome.united(circle(10, 17, 2.1)).united(circle(10, 3.4, 1.4));
}

QPainterPath page()
{
    QPainterPath sheet = polygon({{4, 1.5}, {12.5, 1.5}, {16.5, 5.5}, {16.5, 18.5}, {4, 18.5}});
    sheet = sheet.subtracted(polygon({{12.5, 1.5}, {12.5, 5.5}, {16.5, 5.5}}).translated(-0.6, 0.6));
    for (int line = 0; line < 3; ++line)
        sheet = sheet.subtracted(rect(6.2, 8.6 + line * 3.2, line == 2 ? 5 : 8, 1.3));
    return sheet;
}

// The emblem of a type, in a 20 × 20 box.
QPainterPath emblemFor(qint64 itemType)
{
    switch (itemType) {
    case Types::Location:
        return pin();
    case Types::Person:
        return person();
    case Types::Event:
        return calendar();
    case Types::Thing:
        return umbrella();
    case Types::Idea:
        return bulb();
    case Types::Question:
        return question();
    case Types::Reminder:
        return bell();
    default:
        return page();
    }
}

// An index card centred at (x, y), turned by angle, with a stripe in stripe unless it is invalid.
void drawCard(QPainter& painter, const QPointF& centre, qreal angle, const QColor& stripe, const Palette& palette)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    const QRectF body(-27, -18, 54, 36);
    painter.fillPath(rect(body.x() + 1, body.y() + 2, body.width(), body.height(), 4), palette.shadow);
    const QPainterPath card = rect(body.x(), body.y(), body.width(), body.height(), 4);
    painter.fillPath(card, palette.paper);
    if (stripe.isValid()) {
        painter.setClipPath(card);
        painter.fillRect(QRectF(body.left(), body.top(), body.width(), 7), stripe);
        painter.setClipping(false);
    }
    painter.setPen(QPen(palette.ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 3; ++line) {
        const qreal y = body.top() + 14 + line * 6.5;
        painter.drawLine(QPointF(body.left() + 6, y), QPointF(body.right() - (line == 2 ? 22 : 8), y));
    }
    painter.restore();
}

void drawTile(QPainter& painter, const QColor& colour, const Palette& palette)
{
    QColor top = colour;
    top.setAlphaF(float(palette.tileTop));
    QColor bottom = colour;
    bottom.setAlphaF(float(palette.tileBottom));
    QLinearGradient wash(0, 0, 0, CardBackgroundArt::Units);
    wash.setColorAt(0, top);
    wash.setColorAt(1, bottom);
    painter.fillPath(rect(0.5, 0.5, CardBackgroundArt::Units - 1, CardBackgroundArt::Units - 1, 16), wash);
}

void drawEmblem(QPainter& painter, const QPainterPath& emblem, const QColor& colour, const Palette& palette)
{
    const QPointF centre(71, 71);
    painter.fillPath(circle(centre.x(), centre.y(), 16), palette.paper);
    painter.fillPath(circle(centre.x(), centre.y(), 14), colour);
    QTransform place;
    place.translate(centre.x() - 9, centre.y() - 9);
    place.scale(0.9, 0.9);
    painter.fillPath(place.map(emblem), Qt::white);
}

} // namespace

bool CardBackgroundArt::hasPicture(const QString& backgroundName)
{
    return rowNamed(backgroundName) != nullptr;
}

QPixmap CardBackgroundArt::picture(const QString& backgroundName, bool dark, int side, qreal ratio)
{
    if (side <= 0 || !hasPicture(backgroundName))
        return {};
    const QByteArray look = backgroundName.toUtf8() + (dark ? ",dark" : ",light");
    return m_pictures.pixmap(look, QSize(side, side), ratio,
                             [&](QPainter& painter) { draw(painter, backgroundName, dark, side); });
}

void CardBackgroundArt::draw(QPainter& painter, const QString& backgroundName, bool dark, int side)
{
    const CardProp& prop = *rowNamed(backgroundName);
    const QColor colour = colourOf(prop);
    const Palette palette = paletteFor(dark);
    painter.scale(side / Units, side / Units);
    drawTile(painter, colour, palette);
    if (prop.itemType() == Types::AllCards) {
        // Every kind of card at once: three fanned out, striped in the colours of the story, a place and an idea.
        const CardProps table;
        const auto stripeOf = [&](qint64 type) {
            return table.propForIntCardType(type).cardColor();
        };
        drawCard(painter, QPointF(40, 38), -10, stripeOf(Types::Idea), palette);
        drawCard(painter, QPointF(60, 50), 7, stripeOf(Types::Location), palette);
        drawCard(painter, QPointF(47, 64), -2, colour, palette);
        return;
    }
    drawCard(painter, QPointF(42, 40), -8, QColor(), palette);
    drawCard(painter, QPointF(52, 55), 4, colour, palette);
    drawEmblem(painter, emblemFor(prop.itemType()), colour, palette);
}
