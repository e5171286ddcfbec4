#include "CheckboxImages.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace {

// Drawn at twice the point size so that the box stays sharp on high-density screens.
constexpr qreal PixelRatio = 2.0;

} // namespace

QString CheckboxImages::nameFor(bool checked, bool dark)
{
    if (checked)
        return dark ? CheckedDarkName : CheckedName;
    return dark ? UncheckedDarkName : UncheckedName;
}

QImage CheckboxImages::imageNamed(const QString& name)
{
    static QHash<QString, QImage> cache;
    const auto found = cache.constFind(name);
    if (found != cache.constEnd())
        return *found;
    QImage image;
    if (name == CheckedName || name == CheckedDarkName || name == UncheckedName || name == UncheckedDarkName)
        image =
            draw(name == CheckedName || name == CheckedDarkName, name == CheckedDarkName || name == UncheckedDarkName);
    if (!image.isNull())
        cache.insert(name, image);
    return image;
}

QImage CheckboxImages::draw(bool checked, bool dark)
{
    QImage image(QSize(Side, Side) * PixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(PixelRatio);
    image.fill(Qt::transparent);

    const QColor ink = dark ? QColor(0xDE, 0xDE, 0xDF) : QColor(0x33, 0x33, 0x33);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink, 1.5));
    const QRectF box(1.5, 1.5, Side - 3.0, Side - 3.0);
    painter.drawRoundedRect(box, 3.0, 3.0);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + 3.0, box.center().y());
        tick.lineTo(box.left() + box.width() * 0.42, box.bottom() - 3.5);
        tick.lineTo(box.right() - 2.5, box.top() + 3.0);
        painter.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
    }
    painter.end();
    return image;
}
