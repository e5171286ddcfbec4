#include "ProgressHudView.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int boxSize = 100;
constexpr int spinnerSize = 36;
constexpr int frameMs = 33;

} // namespace

ProgressHudView::ProgressHudView(QWidget* window, bool blocksInput, bool dims, const QColor& background,
                                 const QColor& foreground)
    : QWidget(window), m_dims(dims), m_background(background), m_foreground(foreground)
{
    setObjectName(QStringLiteral("progressHud"));
    setAttribute(Qt::WA_TransparentForMouseEvents, !blocksInput);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(window->rect());
    window->installEventFilter(this);
    connect(&m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
    m_spin.start(frameMs);
}

void ProgressHudView::setStatus(const QString& status)
{
    m_status = status;
    update();
}

bool ProgressHudView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void ProgressHudView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_dims)
        painter.fillRect(rect(), QColor(0, 0, 0, 100));

    const QFontMetrics metrics(font());
    const int textWidth = m_status.isEmpty() ? 0 : std::min(width() - 40, metrics.horizontalAdvance(m_status) + 24);
    const int boxWidth = std::max(boxSize, textWidth);
    const int boxHeight = m_status.isEmpty() ? boxSize : boxSize + metrics.height() + 8;
    const QRect box(rect().center().x() - boxWidth / 2, rect().center().y() - boxHeight / 2, boxWidth, boxHeight);
    QPainterPath rounded;
    rounded.addRoundedRect(box, 14, 14);
    painter.fillPath(rounded, m_background);

    const QRect spinner(box.center().x() - spinnerSize / 2, box.top() + (boxSize - spinnerSize) / 2, spinnerSize,
                        spinnerSize);
    QPen pen(m_foreground, 4, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawArc(spinner, -m_angle * 16, 270 * 16);

    if (!m_status.isEmpty()) {
        painter.setPen(m_foreground);
        const QRect line(box.left() + 12, box.top() + boxSize - 8, box.width() - 24, metrics.height() + 8);
        painter.drawText(line, Qt::AlignCenter, metrics.elidedText(m_status, Qt::ElideRight, line.width()));
    }
}
