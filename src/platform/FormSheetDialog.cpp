#include "FormSheetDialog.h"

#include "ActivationReturn.h"
#include "ColorScheme.h"
#include "FormSheetBackdrop.h"
#include "ViewController.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPainter>
#include <QVBoxLayout>

FormSheetDialog::FormSheetDialog(ViewController* content, QWidget* parentWindow)
    : QDialog(parentWindow, Qt::Dialog | Qt::FramelessWindowHint), m_content(content)
{
    setObjectName(QStringLiteral("formSheet"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(content->title());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(BorderWidth, BorderWidth, BorderWidth, BorderWidth);
    // The sheet's size is the placement's to choose; content taller than that scrolls inside its own screen.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(content);
    content->show();
    connect(content, &ViewController::titleChanged, this, &QWidget::setWindowTitle);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, qOverload<>(&QWidget::update));

    m_anchor = anchorWindow();
    if (m_anchor)
        m_anchor->installEventFilter(this);
    QCoreApplication::instance()->installEventFilter(this);
    if (parentWindow)
        m_backdrop = new FormSheetBackdrop(parentWindow->window());
    if (m_backdrop)
        m_backdrop->hide();
}

FormSheetDialog::~FormSheetDialog()
{
    // The backdrop belongs to the window behind, which outlives the sheet.
    delete m_backdrop;
}

ViewController* FormSheetDialog::content() const
{
    return m_content;
}

void FormSheetDialog::release()
{
    m_released = true;
}

QWidget* FormSheetDialog::anchorWindow() const
{
    QWidget* window = parentWidget() ? parentWidget()->window() : nullptr;
    while (auto* sheet = qobject_cast<FormSheetDialog*>(window)) {
        if (!sheet->parentWidget())
            break;
        window = sheet->parentWidget()->window();
    }
    return window;
}

QRect FormSheetDialog::contentArea(const QWidget* anchor)
{
    if (!anchor)
        return {};
    if (const auto* main = qobject_cast<const QMainWindow*>(anchor); main && main->centralWidget()) {
        const QWidget* central = main->centralWidget();
        return {central->mapToGlobal(QPoint(0, 0)), central->size()};
    }
    return {anchor->mapToGlobal(QPoint(0, 0)), anchor->size()};
}

QRect FormSheetDialog::placement(const QSize& requested, const QRect& area)
{
    const QRect room = area.adjusted(Margin, Margin, -Margin, -Margin);
    if (room.isEmpty())
        return QRect(area.topLeft(), requested);
    QRect frame(QPoint(0, 0), requested.boundedTo(room.size()));
    frame.moveCenter(room.center());
    return frame;
}

QColor FormSheetDialog::borderColor(bool dark)
{
    return dark ? QColor(0x5c, 0x5c, 0x63) : QColor(0xb4, 0xb4, 0xba);
}

void FormSheetDialog::place()
{
    if (m_placing || !m_anchor || !m_anchor->isVisible())
        return;
    m_placing = true;
    const QRect frame = placement(m_requestedSize.isValid() ? m_requestedSize : size(), contentArea(m_anchor));
    // A minimum the content set for itself gives way to the window it has to fit in.
    setMinimumSize(minimumSize().boundedTo(frame.size()));
    m_placedSize = frame.size();
    setGeometry(frame);
    if (m_backdrop)
        m_backdrop->setSheetRect(frame);
    m_placing = false;
}

void FormSheetDialog::showEvent(QShowEvent* event)
{
    if (!m_requestedSize.isValid())
        m_requestedSize = size();
    place();
    if (m_backdrop) {
        m_backdrop->show();
        m_backdrop->raise();
    }
    QDialog::showEvent(event);
}

void FormSheetDialog::hideEvent(QHideEvent* event)
{
    if (m_backdrop)
        m_backdrop->hide();
    QDialog::hideEvent(event);
}

void FormSheetDialog::setVisible(bool visible)
{
    if (!visible)
        ActivationReturn::beforeClosing(this);
    QDialog::setVisible(visible);
}

void FormSheetDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // Our own placement may come back later from the window system; only someone else's resize is a request.
    if (m_placing || event->size() == m_placedSize)
        return;
    // Someone asked for a new size (a zoom, a sketch's own limits): remember it, then fit and centre it.
    m_requestedSize = event->size();
    if (isVisible())
        place();
}

void FormSheetDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(borderColor(ColorScheme::isDark()), BorderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

bool FormSheetDialog::eventFilter(QObject* watched, QEvent* event)
{
    // An application on its way out closes every window, modal ones first, and gives up at the first that
    // refuses. Whoever asked it to quit has decided for what the sheet shows, so the sheet lets go.
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        release();
    if (watched == m_anchor && (event->type() == QEvent::Resize || event->type() == QEvent::Move) && isVisible())
        place();
    return QDialog::eventFilter(watched, event);
}

void FormSheetDialog::reject()
{
    if (m_released)
        QDialog::reject();
    else
        requestDismiss();
}

void FormSheetDialog::closeEvent(QCloseEvent* event)
{
    if (m_released) {
        QDialog::closeEvent(event);
        return;
    }
    // The window stays until the presenter has run the disappear hooks; dismissing hides it.
    event->ignore();
    requestDismiss();
}

void FormSheetDialog::requestDismiss()
{
    if (!m_content)
        return;
    if (m_content->isModalInPresentation())
        m_content->presentationDidAttemptToDismiss();
    else
        m_content->dismiss(true);
}
