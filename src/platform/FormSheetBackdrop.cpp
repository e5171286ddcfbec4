#include "FormSheetBackdrop.h"

#include "ColorScheme.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <cmath>

FormSheetBackdrop::FormSheetBackdrop(QWidget* window) : QWidget(window)
{
    setObjectName(QStringLiteral("formSheetBackdrop"));
    setAttribute(Qt::WA_NoMousePropagation);
    setFocusPolicy(Qt::NoFocus);
    window->installEventFilter(this);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, qOverload<>(&QWidget::update));
    cover();
}

void FormSheetBackdrop::setSheetRect(const QRect& globalRect)
{
    m_sheetRect = globalRect;
    update();
}

QColor FormSheetBackdrop::dimColor(bool dark)
{
    return dark ? QColor(0, 0, 0, 128) : QColor(0, 0, 0, 56);
}

void FormSheetBackdrop::cover()
{
    setGeometry(parentWidget()->rect());
    raise();
}

bool FormSheetBackdrop::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        // Swallowed: the window behind the sheet is out of reach until the sheet goes.
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

bool FormSheetBackdrop::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        cover();
    // A widget the window gains later (a new toolbar item, a replaced screen) stays below the backdrop.
    if (watched == parentWidget() && event->type() == QEvent::ChildAdded)
        raise();
    return QWidget::eventFilter(watched, event);
}

void FormSheetBackdrop::paintEvent(QPaintEvent*)
{
    const bool dark = ColorScheme::isDark();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect sheet =
        m_sheetRect.isValid() ? QRect(mapFromGlobal(m_sheetRect.topLeft()), m_sheetRect.size()) : QRect();
    // The sheet's place is clipped away rather than cut out of each shape: cutting paths costs more than the
    // whole paint, and the backdrop is painted again under every change of the window behind it.
    QRegion outside(rect());
    if (sheet.isValid())
        outside -= QRegion(sheet);
    painter.setClipRegion(outside);
    painter.fillRect(rect(), dimColor(dark));
    if (sheet.isValid())
        paintShadow(painter, sheet, dark);
}

void FormSheetBackdrop::paintShadow(QPainter& painter, const QRect& sheet, bool dark)
{
    // The shadow is drawn once per sheet size and scheme and then copied: the backdrop repaints under every
    // change of the window behind it, and anti-aliasing the rings costs more than the rest of the window.
    const QMargins reach = shadowReach();
    const QRect inShadow(QPoint(reach.left(), reach.top()), sheet.size());
    const QPixmap shadow =
        m_shadow.pixmap(dark ? QByteArrayLiteral("dark") : QByteArrayLiteral("light"), sheet.marginsAdded(reach).size(),
                        devicePixelRatioF(), [&](QPainter& rings) { drawShadow(rings, inShadow, dark); });
    painter.drawPixmap(sheet.topLeft() - QPoint(reach.left(), reach.top()), shadow);
}

QMargins FormSheetBackdrop::shadowReach()
{
    // Whole pixels around the widest ring, so the copy lands on the pixels the rings were drawn on.
    return {ShadowRadius + 1, int(std::ceil(ShadowRadius * 0.6)) + 1, ShadowRadius + 1,
            int(std::ceil(ShadowRadius * 1.2)) + 1};
}

void FormSheetBackdrop::drawShadow(QPainter& painter, const QRect& sheet, bool dark)
{
    // Rings of falling strength, each drawn only outside the sheet (the painter is clipped to it), add up to a
    // soft edge that darkens toward the sheet; it shows a little further down than up, as from a light above.
    const int strongest = dark ? 26 : 18;
    for (int ring = ShadowRadius; ring >= 1; --ring) {
        QPainterPath shape;
        const QRectF around = QRectF(sheet).adjusted(-ring, -ring * 0.6, ring, ring * 1.2);
        shape.addRoundedRect(around, ring, ring);
        const int alpha = strongest * (ShadowRadius - ring + 1) / ShadowRadius;
        painter.fillPath(shape, QColor(0, 0, 0, alpha / 3 + 1));
    }
}
