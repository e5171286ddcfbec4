#include "SideMenuBackdrop.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The tint at full strength; a blur would cost a grab of the covered screen on every frame of the slide.
QColor tintFor(BlurEffectStyle style)
{
    switch (style) {
    case BlurEffectStyle::Dark:
        return QColor(0, 0, 0, 110);
    case BlurEffectStyle::ExtraLight:
        return QColor(255, 255, 255, 140);
    case BlurEffectStyle::Light:
        break;
    }
    return QColor(255, 255, 255, 90);
}

} // namespace

SideMenuBackdrop::SideMenuBackdrop(QWidget* menu, QWidget* parent) : QWidget(parent), m_menu(menu)
{
    setObjectName(QStringLiteral("sideMenuBackdrop"));
    setAttribute(Qt::WA_NoSystemBackground);
}

void SideMenuBackdrop::setStyle(BlurEffectStyle style, double shadowOpacity)
{
    m_style = style;
    m_shadowOpacity = qBound(0.0, shadowOpacity, 1.0);
    update();
}

void SideMenuBackdrop::setProgress(double progress)
{
    m_progress = qBound(0.0, progress, 1.0);
    update();
}

void SideMenuBackdrop::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QColor tint = tintFor(m_style);
    tint.setAlphaF(tint.alphaF() * m_progress);
    painter.fillRect(rect(), tint);
    if (!m_menu || m_shadowOpacity <= 0)
        return;
    const int edge = m_menu->geometry().right() + 1;
    QLinearGradient shadow(edge, 0, edge + ShadowWidth, 0);
    shadow.setColorAt(0, QColor::fromRgbF(0, 0, 0, float(m_shadowOpacity)));
    shadow.setColorAt(1, Qt::transparent);
    painter.fillRect(QRect(edge, 0, ShadowWidth, height()), shadow);
}

void SideMenuBackdrop::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit tapped();
}
