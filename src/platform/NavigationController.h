#pragma once

#include "platform/ViewController.h"

#include <QList>

class NavigationBar;
class QStackedWidget;

// A stack of screens under a bar. Only the top screen is shown and receives appearance hooks while the
// navigation controller is on screen. Controllers taken off the stack are deleted once control returns
// to the event loop.
class NavigationController : public ViewController {
    Q_OBJECT

public:
    explicit NavigationController(ViewController* root = nullptr, QWidget* parent = nullptr);
    ~NavigationController() override;

    void pushViewController(ViewController* controller, bool animated);
    // Takes the top screen off (never the root); answers it, or nullptr when only the root is left.
    ViewController* popViewController(bool animated);
    // Pops down to the root; answers the screens taken off, bottom first.
    QList<ViewController*> popToRootViewController(bool animated);
    void setViewControllers(const QList<ViewController*>& controllers, bool animated);

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    NavigationBar* navigationBar() const { return m_bar; }
    bool isNavigationBarHidden() const;
    void setNavigationBarHidden(bool hidden);
    void presentationDidAttemptToDismiss() override;

protected:
    QList<ViewController*> appearanceChildren() const override;

private:
    void adopt(ViewController* controller);
    void release(ViewController* controller);
    void switchTop(ViewController* from, ViewController* to, bool animated);
    void showTopInBar();

    NavigationBar* m_bar;
    QStackedWidget* m_stack;
    QList<QPointer<ViewController>> m_controllers;
};
