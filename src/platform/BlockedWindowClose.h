#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

class QWidget;

// Lets the window manager's close request reach a window while a modal dialog blocks it. Qt drops such a
// request without a word, which suits a window whose close would tear down the dialog's owner, but not one
// whose close is a command with its own guard (closing the main window is Quit): that window is handed the
// close, and its close event decides. On X11 the request is a WM_DELETE_WINDOW client message, seen here before
// Qt drops it; other window systems keep Qt's behaviour. An unblocked window is left to Qt entirely.
class BlockedWindowClose : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Watches window's close requests; lives as long as window.
    explicit BlockedWindowClose(QWidget* window);
    ~BlockedWindowClose() override;

    // The atoms that name a close request (WM_PROTOCOLS and WM_DELETE_WINDOW); asked of the X server when
    // left unset.
    void setCloseAtoms(quint32 protocols, quint32 deleteWindow);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isCloseRequest(const void* message);
    bool resolveAtoms();

    QPointer<QWidget> m_window;
    quint32 m_protocols = 0;
    quint32 m_deleteWindow = 0;
    bool m_blocked = false;
};
