#include "MenuBarStandIn.h"

#include "LivePointers.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

MenuBarStandIn* MenuBarStandIn::of(QMenuBar* bar)
{
    if (!bar)
        return nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* standIn = qobject_cast<MenuBarStandIn*>(window); standIn && standIn->m_bar == bar)
            return standIn;
    }
    return new MenuBarStandIn(bar);
}

MenuBarStandIn::MenuBarStandIn(QMenuBar* bar) : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), m_bar(bar)
{
    setObjectName(QStringLiteral("menuBarStandIn"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    connect(bar, &QObject::destroyed, this, &QObject::deleteLater);
    // Blocking, the dialogs over the window and the menus closing are all seen from here.
    qApp->installEventFilter(this);
}

QMenuBar* MenuBarStandIn::bar() const
{
    return qobject_cast<QMenuBar*>(m_bar.data());
}

void MenuBarStandIn::carry(QAction* action)
{
    if (action && !holdsCarried(action))
        m_carried.append(action);
}

QList<QAction*> MenuBarStandIn::carried() const
{
    return livePointers(m_carried);
}

bool MenuBarStandIn::eventFilter(QObject* watched, QEvent* event)
{
    if (!bar())
        return false;
    const QEvent::Type type = event->type();
    const bool window = watched == m_bar->window();
    if (window && (type == QEvent::WindowBlocked || type == QEvent::WindowUnblocked)) {
        setBlocked(type == QEvent::WindowBlocked);
    } else if ((window || watched == m_bar) &&
               (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide ||
                type == QEvent::WindowStateChange)) {
        // The bar is laid out after its window has changed size, so both are followed.
        follow();
    } else if (type == QEvent::Show) {
        // The dialog will be the active window: the commands' shortcuts have to be in it.
        if (auto* dialog = qobject_cast<QWidget*>(watched); dialog && isOverBarWindow(dialog))
            dialog->addActions(carried());
    } else if (type == QEvent::Hide && isBarMenu(watched)) {
        // Later, as the writer may be sliding to the next menu, which is then already open.
        QTimer::singleShot(0, this, &MenuBarStandIn::follow);
    } else if (type == QEvent::ApplicationStateChange && watched == qApp) {
        follow();
    }
    return false;
}

void MenuBarStandIn::setBlocked(bool blocked)
{
    if (blocked == m_blocked)
        return;
    m_blocked = blocked;
    if (blocked)
        narrowMenus();
    else
        restoreMenus();
    follow();
}

void MenuBarStandIn::follow()
{
    QWidget* window = bar() ? m_bar->window() : nullptr;
    // A stand-in floats above every window on the screen, so it shows only while the application is in front,
    // and steps aside while a menu is open: the bar then shows which one.
    const bool wanted = m_blocked && window && window->isVisible() && !window->isMinimized() &&
                        m_bar->isVisibleTo(window) && !QApplication::activePopupWidget() &&
                        QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (!wanted) {
        hide();
        return;
    }
    m_picture = m_bar->grab();
    setGeometry(QRect(m_bar->mapToGlobal(QPoint(0, 0)), m_bar->size()));
    show();
    raise();
    update();
}

void MenuBarStandIn::narrowMenus()
{
    // Everything else would act on the covered screen or on the dialog as if it were the window.
    for (QAction* title : m_bar->actions()) {
        QList<QAction*> items{title};
        if (title->menu() && holdsCarried(title))
            items = title->menu()->actions();
        for (QAction* item : items) {
            if (item->isSeparator() || !item->isEnabled() || holdsCarried(item))
                continue;
            item->setEnabled(false);
            m_narrowed.append(item);
        }
    }
}

void MenuBarStandIn::restoreMenus()
{
    for (const QPointer<QAction>& item : std::as_const(m_narrowed)) {
        if (item)
            item->setEnabled(true);
    }
    m_narrowed.clear();
}

bool MenuBarStandIn::holdsCarried(const QAction* action) const
{
    for (const QPointer<QAction>& carried : m_carried) {
        if (carried == action)
            return true;
    }
    if (const QMenu* menu = action->menu()) {
        for (const QAction* child : menu->actions()) {
            if (holdsCarried(child))
                return true;
        }
    }
    return false;
}

bool MenuBarStandIn::isOverBarWindow(const QWidget* window) const
{
    if (!window->isWindow() || (window->windowType() != Qt::Dialog && window->windowType() != Qt::Sheet))
        return false;
    for (const QWidget* parent = window->parentWidget(); parent; parent = parent->parentWidget()) {
        if (parent->window() == m_bar->window())
            return true;
    }
    return false;
}

bool MenuBarStandIn::isBarMenu(const QObject* object) const
{
    const auto* menu = qobject_cast<const QMenu*>(object);
    return menu && m_bar->actions().contains(menu->menuAction());
}

void MenuBarStandIn::mousePressEvent(QMouseEvent* event)
{
    QMenuBar* menuBar = bar();
    QAction* title = menuBar ? menuBar->actionAt(event->position().toPoint()) : nullptr;
    if (!title || !title->isEnabled())
        return;
    // The bar itself shows the open menu; an open menu takes the pointer whatever blocks the window.
    hide();
    menuBar->setActiveAction(title);
}

void MenuBarStandIn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
