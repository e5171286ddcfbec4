#include "KUVDocFormatCollectionViewCell.h"

#include "core/CustomCellBackground.h"
#include "core/HexColor.h"
#include "platform/ColorScheme.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal FooterShare = 0.3;
constexpr qreal Inset = 10.0;

} // namespace

KUVDocFormatCollectionViewCell::KUVDocFormatCollectionViewCell(const KUVDocFormat& format, QWidget* parent)
    : QAbstractButton(parent), m_format(format)
{
    setObjectName(ReuseIdentifier);
    setAccessibleName(format.formatTitle);
    setCursor(Qt::PointingHandCursor);
}

void KUVDocFormatCollectionViewCell::paintPage(QPainter& painter, const QRectF& area) const
{
    // The picture every tile shows when it has none of its own: a page with a folded corner and lines.
    const qreal width = qMin(area.width() * 0.5, area.height() * 0.7 * 0.75);
    const qreal height = width / 0.75;
    const QRectF page(area.center().x() - width / 2, area.center().y() - height / 2, width, height);
    const qreal fold = width * 0.25;
    QPainterPath outline;
    outline.moveTo(page.topLeft());
    outline.lineTo(page.right() - fold, page.top());
    outline.lineTo(page.right(), page.top() + fold);
    outline.lineTo(page.bottomRight());
    outline.lineTo(page.bottomLeft());
    outline.closeSubpath();
    painter.setPen(QPen(QColor(0x9A, 0x9A, 0x9E), 1.5));
    painter.setBrush(Qt::white);
    painter.drawPath(outline);
    for (int line = 1; line <= 4; ++line) {
        const qreal y = page.top() + fold + line * (page.height() - fold) / 6;
        painter.drawLine(QPointF(page.left() + width * 0.15, y), QPointF(page.right() - width * 0.15, y));
    }
}

void KUVDocFormatCollectionViewCell::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = ColorScheme::isDark();
    painter.fillRect(rect(), HexColor::colorWithHexString(dark ? DarkBackground : LightBackground));
    const qreal footer = height() * FooterShare;
    const QRectF pictureArea(Inset, Inset, width() - 2 * Inset, height() - footer - 2 * Inset);
    if (m_format.formatImage.isNull())
        paintPage(painter, pictureArea);
    else
        painter.drawImage(pictureArea, m_format.formatImage);
    const QRectF footerArea(0, height() - footer, width(), footer);
    painter.fillRect(footerArea, dark ? QColor(0, 0, 0, 60) : QColor(0, 0, 0, 12));
    const QColor text = dark ? Qt::white : Qt::black;
    painter.setPen(text);
    QFont titleFont = font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const QRectF titleArea = footerArea.adjusted(Inset, Inset / 2, -Inset, -footer / 2);
    painter.drawText(titleArea, Qt::AlignLeft | Qt::AlignVCenter, m_format.formatTitle);
    painter.setFont(font());
    painter.setPen(QColor(text.red(), text.green(), text.blue(), 170));
    const QRectF descriptionArea = footerArea.adjusted(Inset, footer / 2, -Inset, -Inset / 2);
    painter.drawText(descriptionArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_format.formatDescription);
    if (isDown()) {
        painter.setPen(QPen(Qt::black, CustomCellBackground::LineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
    }
}
