#pragma once

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAction;
class QMenuBar;

// Keeps the application's own commands within reach while a window-modal dialog covers the window that
// holds the menu bar. The platform drops every click, key and close request aimed at a blocked window, its
// menu bar included, yet commands such as About and Quit belong to the application, not to the covered
// screen. So, while the window is blocked:
// - a borderless stand-in lies over the bar, shows the bar's picture and opens the menu pressed on it (an
//   open menu takes the pointer as usual, so the writer may also slide to another menu title);
// - only the menus and items of the carried commands stay enabled, so nothing reaches the covered screen;
// - the carried commands keep their shortcuts in every dialog shown over the window.
// The stand-in is a window of its own, without a parent, so that no modal dialog counts it as blocked.
class MenuBarStandIn : public QWidget {
    Q_OBJECT

public:
    // The stand-in of bar, made on first use; it goes with the bar.
    static MenuBarStandIn* of(QMenuBar* bar);

    // Keeps action within reach while a dialog covers the bar's window.
    void carry(QAction* action);
    QList<QAction*> carried() const;
    // Null once the bar is on its way out.
    QMenuBar* bar() const;
    // Whether a modal dialog blocks the bar's window.
    bool isCovering() const { return m_blocked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit MenuBarStandIn(QMenuBar* bar);

    void setBlocked(bool blocked);
    void follow();
    void narrowMenus();
    void restoreMenus();
    bool holdsCarried(const QAction* action) const;
    bool isOverBarWindow(const QWidget* window) const;
    bool isBarMenu(const QObject* object) const;

    // Held as a widget: the bar's window still sends events while the bar is taken apart.
    QPointer<QWidget> m_bar;
    QList<QPointer<QAction>> m_carried;
    QList<QPointer<QAction>> m_narrowed;
    QPixmap m_picture;
    bool m_blocked = false;
};
