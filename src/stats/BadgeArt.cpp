#include "BadgeArt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

// What one badge says and in which colour: a short figure in the middle and a word or two under it.
struct BadgeArt::Design {
    QColor color;
    QString figure;
    QString caption;
    QString label;
};

namespace {

const QColor ContentColor(0x2E, 0x9E, 0xA1);
const QColor PersistenceColor(0xE8, 0x7D, 0x1E);
const QColor VolumeColor(0x76, 0x58, 0xD0);
const QColor PlaceholderColor(0xB9, 0xB9, 0xBD);

const QString PlaceholderSuffix = QStringLiteral("-placeholder.png");
const QString ShareSuffix = QStringLiteral("-share.png");
const QString BadgeSuffix = QStringLiteral(".png");

// The text fitted into width by shrinking the font.
QFont fitted(QFont font, const QString& text, double width)
{
    for (int guard = 0; guard < 40 && QFontMetricsF(font).horizontalAdvance(text) > width; ++guard)
        font.setPixelSize(std::max(6, int(font.pixelSize() * 0.9)));
    return font;
}

// A star of points around centre, for the badge's scalloped rim.
QPainterPath rim(const QPointF& centre, double outer, double inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double radius = i % 2 ? inner : outer;
        const double angle = M_PI * i / points - M_PI / 2;
        const QPointF point(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    // Filling closes the outline.
    return path;
}

} // namespace

const BadgeArt::Design* BadgeArt::designFor(const QString& stem)
{
    static const QHash<QString, Design> designs{
        {QStringLiteral("first-1000-words"), {ContentColor, "1K", "WORDS", "First 1000 Words"}},
        {QStringLiteral("first-10000-words"), {ContentColor, "10K", "WORDS", "First 10,000 Words"}},
        {QStringLiteral("first-100-pages"), {ContentColor, "100", "PAGES", "First 100 Pages"}},
        {QStringLiteral("short-story-length"), {ContentColor, "3K", "SHORT STORY", "Short Story Length"}},
        {QStringLiteral("novella-length"), {ContentColor, "17.5K", "NOVELLA", "Novella Length"}},
        {QStringLiteral("novel-length"), {ContentColor, "40K", "NOVEL", "Novel Length"}},
        {QStringLiteral("days-in-row-7"), {PersistenceColor, "7", "DAY STREAK", "7 Day Streak"}},
        {QStringLiteral("days-in-row-14"), {PersistenceColor, "14", "DAY STREAK", "14 Day Streak"}},
        {QStringLiteral("days-in-row-30"), {PersistenceColor, "30", "DAY STREAK", "30 Day Streak"}},
        {QStringLiteral("word-average-200"), {VolumeColor, "200", "WORDS A DAY", "200 Words/Day Average"}},
        {QStringLiteral("word-average-300"), {VolumeColor, "300", "WORDS A DAY", "300 Words/Day Average"}},
        {QStringLiteral("word-average-400"), {VolumeColor, "400", "WORDS A DAY", "400 Words/Day Average"}},
        {QStringLiteral("word-average-500"), {VolumeColor, "500", "WORDS A DAY", "500 Words/Day Average"}},
    };
    const auto found = designs.constFind(stem);
    return found == designs.cend() ? nullptr : &*found;
}

bool BadgeArt::isKnown(const QString& name)
{
    return !image(name, 8).isNull();
}

QImage BadgeArt::image(const QString& name, int side)
{
    auto stemOf = [&name](const QString& suffix) {
        return name.left(name.size() - suffix.size());
    };
    if (name.endsWith(PlaceholderSuffix)) {
        const Design* design = designFor(stemOf(PlaceholderSuffix));
        return design ? badge(*design, true, side) : QImage();
    }
    if (name.endsWith(ShareSuffix)) {
        const Design* design = designFor(stemOf(ShareSuffix));
        return design ? share(*design) : QImage();
    }
    if (name.endsWith(BadgeSuffix)) {
        const Design* design = designFor(stemOf(BadgeSuffix));
        return design ? badge(*design, false, side) : QImage();
    }
    return QImage();
}

QImage BadgeArt::badge(const Design& design, bool placeholder, int side)
{
    side = std::clamp(side, 8, 2048);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(side / 2.0, side / 2.0);
    const double outer = side * 0.48;
    const QColor base = placeholder ? PlaceholderColor : design.color;

    painter.setPen(Qt::NoPen);
    painter.setBrush(base.darker(115));
    painter.drawPath(rim(centre, outer, outer * 0.9, 16));
    const double face = outer * 0.8;
    QRadialGradient gradient(centre - QPointF(face * 0.3, face * 0.3), face * 1.6);
    gradient.setColorAt(0, base.lighter(135));
    gradient.setColorAt(1, base);
    painter.setBrush(gradient);
    painter.drawEllipse(centre, face, face);
    QPen ring(placeholder ? base.darker(125) : QColor(255, 255, 255, 170), std::max(1.0, side * 0.012));
    if (placeholder)
        ring.setStyle(Qt::DashLine);
    painter.setPen(ring);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, face * 0.86, face * 0.86);

    const QColor ink = placeholder ? QColor(0x6E, 0x6E, 0x73) : Qt::white;
    painter.setPen(ink);
    QFont figure;
    figure.setBold(true);
    figure.setPixelSize(std::max(6, int(side * 0.24)));
    figure = fitted(figure, design.figure, face * 1.4);
    painter.setFont(figure);
    const QRectF figureBox(centre.x() - face, centre.y() - face * 0.55, face * 2, face * 0.8);
    painter.drawText(figureBox, Qt::AlignCenter, design.figure);
    QFont caption;
    caption.setBold(true);
    caption.setPixelSize(std::max(5, int(side * 0.075)));
    caption = fitted(caption, design.caption, face * 1.3);
    painter.setFont(caption);
    painter.drawText(QRectF(centre.x() - face, centre.y() + face * 0.22, face * 2, face * 0.35), Qt::AlignCenter,
                     design.caption);
    return image;
}

QImage BadgeArt::share(const Design& design)
{
    QImage image(ShareWidth, ShareHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0xF1, 0xF1, 0xF1));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, ShareWidth, 14), design.color);
    painter.drawImage(QPoint(70, 115), badge(design, false, 400));

    painter.setPen(QColor(0x55, 0x55, 0x5A));
    QFont small;
    small.setPixelSize(34);
    painter.setFont(small);
    painter.drawText(QRectF(540, 170, 600, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Achievement earned"));
    QFont title;
    title.setBold(true);
    title.setPixelSize(72);
    title = fitted(title, design.label, 600);
    painter.setFont(title);
    painter.setPen(QColor(0x1C, 0x1C, 0x1E));
    painter.drawText(QRectF(540, 230, 620, 110), Qt::AlignLeft | Qt::AlignVCenter, design.label);
    painter.setFont(small);
    painter.setPen(design.color.darker(110));
    painter.drawText(QRectF(540, 380, 600, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Plotvane"));
    return image;
}
