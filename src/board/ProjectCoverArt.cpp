#include "ProjectCoverArt.h"

#include "core/HexColor.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage ProjectCoverArt::defaultCover()
{
    static const QImage cover = draw();
    return cover;
}

QImage ProjectCoverArt::draw()
{
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor accent = HexColor::accentColor();
    QLinearGradient background(0, 0, 0, Height);
    background.setColorAt(0.0, accent.lighter(125));
    background.setColorAt(1.0, accent.darker(150));
    painter.fillRect(image.rect(), background);

    // Three cards pinned askew, the way a story board starts.
    struct Card {
        qreal x, y, angle;
        QColor stripe;
    };
    const Card cards[] = {
        {190, 330, -8, HexColor::colorWithHexString(QStringLiteral("E8A33D"))},
        {400, 480, 6, HexColor::colorWithHexString(QStringLiteral("D9605A"))},
        {260, 690, -3, HexColor::colorWithHexString(QStringLiteral("5A8DD9"))},
    };
    const QSizeF cardSize(300, 190);
    for (const Card& card : cards) {
        painter.save();
        painter.translate(card.x, card.y);
        painter.rotate(card.angle);
        const QRectF body(-cardSize.width() / 2, -cardSize.height() / 2, cardSize.width(), cardSize.height());
        QPainterPath shadow;
        shadow.addRoundedRect(body.translated(6, 10), 14, 14);
        painter.fillPath(shadow, QColor(0, 0, 0, 50));
        QPainterPath path;
        path.addRoundedRect(body, 14, 14);
        painter.fillPath(path, QColor(252, 252, 248));
        painter.setClipPath(path);
        painter.fillRect(QRectF(body.left(), body.top(), body.width(), 34), card.stripe);
        painter.setClipping(false);
        painter.setPen(QPen(QColor(0, 0, 0, 40), 6, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 4; ++line) {
            const qreal y = body.top() + 66 + line * 30;
            const qreal end = body.right() - 28 - (line == 3 ? 90 : 0);
            painter.drawLine(QPointF(body.left() + 28, y), QPointF(end, y));
        }
        painter.setBrush(QColor(200, 60, 60));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(0, body.top() + 4), 11, 11);
        painter.restore();
    }
    return image;
}
