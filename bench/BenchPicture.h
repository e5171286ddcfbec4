#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

// A 640 × 480 PNG of scribbled lines, different for every seed, as a photograph in a card would weigh.
inline QByteArray benchPicture(int seed)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor::fromHsv(seed * 60 % 360, 120, 220));
    QRandomGenerator random{quint32(seed)};
    for (int i = 0; i < 200; ++i) {
        painter.setPen(QColor::fromRgb(random.generate()));
        painter.drawLine(random.bounded(640), random.bounded(480), random.bounded(640), random.bounded(480));
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
