#include "FloatingEntryOverlay.h"

#include "platform/ViewController.h"

#include <QEasingCurve>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>

namespace {

// Progress of one part of an animation that lasts partMs within the whole run, eased like a spring without
// overshoot (damping 1).
double partProgress(double wholeProgress, int wholeMs, int partMs)
{
    if (partMs <= 0 || wholeMs <= 0)
        return 1.0;
    const double t = std::clamp(wholeProgress * wholeMs / partMs, 0.0, 1.0);
    return QEasingCurve(QEasingCurve::OutCubic).valueForProgress(t);
}

int longest(const FloatingEntryAttributes::Animation& animation)
{
    return std::max({animation.slideMs, animation.scaleMs, animation.fadeMs});
}

QRect lerp(const QRect& from, const QRect& to, double t)
{
    auto mix = [t](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * t));
    };
    return QRect(mix(from.x(), to.x()), mix(from.y(), to.y()), mix(from.width(), to.width()),
                 mix(from.height(), to.height()));
}

QRect scaledAround(const QRect& rect, double scale)
{
    const QSize size(static_cast<int>(std::lround(rect.width() * scale)),
                     static_cast<int>(std::lround(rect.height() * scale)));
    QRect scaled(QPoint(0, 0), size);
    scaled.moveCenter(rect.center());
    return scaled;
}

} // namespace

FloatingEntryOverlay::FloatingEntryOverlay(ViewController* entry, const FloatingEntryAttributes& attributes,
                                           QWidget* window)
    : QWidget(window), m_entry(entry), m_attributes(attributes)
{
    setObjectName(QStringLiteral("floatingEntryOverlay"));
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(window->rect());
    window->installEventFilter(this);
    entry->setParent(this);
    entry->setAutoFillBackground(m_attributes.entryBackground.alpha() > 0);
    entry->setGeometry(restingGeometry());
    entry->show();
    show();
    raise();
}

FloatingEntryOverlay::~FloatingEntryOverlay() = default;

QRect FloatingEntryOverlay::restingGeometry() const
{
    QRect rect(QPoint(0, 0), m_attributes.size.boundedTo(size()));
    rect.moveCenter(this->rect().center());
    return rect;
}

QRect FloatingEntryOverlay::offscreenGeometry() const
{
    QRect rect = restingGeometry();
    rect.moveTop(height());
    return rect;
}

void FloatingEntryOverlay::placeEntry(double progress, bool entering)
{
    if (!m_entry)
        return;
    const FloatingEntryAttributes::Animation& animation = entering ? m_attributes.entrance : m_attributes.exit;
    const int whole = longest(animation);
    const double slide = partProgress(progress, whole, animation.slideMs);
    QRect rect = entering ? lerp(offscreenGeometry(), restingGeometry(), slide)
                          : lerp(restingGeometry(), offscreenGeometry(), slide);
    if (entering && animation.scaleMs > 0) {
        const double scale = partProgress(progress, whole, animation.scaleMs);
        rect = scaledAround(rect, animation.scaleFrom + (animation.scaleTo - animation.scaleFrom) * scale);
    }
    m_dimming = entering ? slide : 1.0 - slide;
    m_entry->setGeometry(rect);
    if (m_attributes.cornerRadius > 0) {
        QPainterPath path;
        path.addRoundedRect(QRectF(QPoint(0, 0), rect.size()), m_attributes.cornerRadius, m_attributes.cornerRadius);
        m_entry->setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    if (auto* fade = qobject_cast<QGraphicsOpacityEffect*>(m_entry->graphicsEffect())) {
        const double t = partProgress(progress, whole, animation.fadeMs);
        fade->setOpacity(animation.fadeFrom + (animation.fadeTo - animation.fadeFrom) * t);
    }
    update();
}

void FloatingEntryOverlay::animateIn()
{
    const FloatingEntryAttributes::Animation& entrance = m_attributes.entrance;
    if (m_entry && entrance.fadeMs > 0)
        m_entry->setGraphicsEffect(new QGraphicsOpacityEffect);
    placeEntry(0.0, true);
    m_animation = new QVariantAnimation(this);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(std::max(1, longest(entrance)));
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { placeEntry(value.toDouble(), true); });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        placeEntry(1.0, true);
        // The fade is over; the effect would only cost an offscreen pass on every repaint.
        if (m_entry)
            m_entry->setGraphicsEffect(nullptr);
    });
    m_animation->start();
}

void FloatingEntryOverlay::animateOut()
{
    if (m_leaving)
        return;
    m_leaving = true;
    if (m_animation)
        m_animation->stop();
    if (m_entry)
        m_entry->setGraphicsEffect(nullptr);
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(std::max(1, longest(m_attributes.exit)));
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { placeEntry(value.toDouble(), false); });
    connect(animation, &QVariantAnimation::finished, this, [this] {
        if (m_entry)
            ViewController::endAppearance(m_entry);
        hide();
        deleteLater();
    });
    animation->start();
}

void FloatingEntryOverlay::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QColor dim = m_attributes.screenBackground;
    dim.setAlphaF(dim.alphaF() * m_dimming);
    painter.fillRect(rect(), dim);
    if (!m_entry || m_attributes.shadowOpacity <= 0)
        return;
    // A soft edge: rings that grow outwards and fade, centred on the entry (no offset).
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF entryRect = m_entry->geometry();
    const int radius = static_cast<int>(std::lround(m_attributes.shadowRadius));
    for (int ring = radius; ring >= 1; --ring) {
        QColor color = m_attributes.shadowColor;
        color.setAlphaF(m_attributes.shadowOpacity * (1.0 - double(ring) / (radius + 1)) / 2.0);
        painter.setBrush(color);
        const double corner = m_attributes.cornerRadius + ring;
        painter.drawRoundedRect(entryRect.adjusted(-ring, -ring, ring, ring), corner, corner);
    }
}

void FloatingEntryOverlay::mousePressEvent(QMouseEvent* event)
{
    // The dimmed screen takes every press, so nothing behind the entry reacts to it.
    event->accept();
    if (m_leaving || !m_entry || m_entry->geometry().contains(event->position().toPoint()))
        return;
    if (m_attributes.screenInteraction == FloatingEntryAttributes::ScreenInteraction::Dismiss)
        emit outsideDismissRequested();
}

bool FloatingEntryOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        if (m_entry && !m_leaving && !(m_animation && m_animation->state() == QAbstractAnimation::Running))
            placeEntry(1.0, true);
    }
    return QWidget::eventFilter(watched, event);
}
