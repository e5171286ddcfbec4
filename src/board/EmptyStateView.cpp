#include "EmptyStateView.h"

#include "EmptyStateButton.h"
#include "ProjectCoverArt.h"

#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <algorithm>

EmptyStateView::EmptyStateView(QWidget* parent)
    : QWidget(parent), m_image(new QLabel(this)), m_button(new EmptyStateButton(this))
{
    setObjectName(QStringLiteral("emptyStateView"));
    m_image->setObjectName(QStringLiteral("emptyStateImage"));
    m_image->setAlignment(Qt::AlignCenter);
    connect(m_button, &QAbstractButton::clicked, this, &EmptyStateView::newProjectRequested);
}

void EmptyStateView::layoutFor(const QSize& size)
{
    const int w = size.width();
    const int h = size.height();
    const int s = std::max(1, 2 * std::min(w, h) / 3);
    const int x = (w - s) / 2;
    const int y = (h - s) / 2 - ImageRaise;
    m_image->setGeometry(x, y, s, s);
    // Aspect-fit: the whole picture inside the square.
    QPixmap picture = QPixmap::fromImage(ProjectCoverArt::defaultCover().scaled(
        QSize(s, s) * devicePixelRatioF(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(devicePixelRatioF());
    m_image->setPixmap(picture);
    m_button->setGeometry(x, y + s + ButtonGap, s, ButtonHeight);
}

void EmptyStateView::resizeEvent(QResizeEvent* event)
{
    layoutFor(event->size());
    QWidget::resizeEvent(event);
}
