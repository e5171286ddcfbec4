#pragma once

#include "platform/NavigationController.h"
#include "platform/SideMenuSettings.h"

#include <QPointer>
#include <functional>

class QVariantAnimation;
class SideMenuBackdrop;

// A navigation controller shown as a panel that slides in from the left edge of another screen, over it,
// while that screen stays where it is. The screen behind is tinted; a click on it, or Escape, closes the
// panel, and the focus goes back to where it was inside that screen. The panel's screens get their
// appearance hooks as it slides in and out.
//
// The first presentation makes the panel a child of the presenting widget, which owns it from then on: a
// dismissed panel stays there hidden, ready to be presented again.
class SideMenuNavigationController : public NavigationController {
    Q_OBJECT

public:
    explicit SideMenuNavigationController(ViewController* root, const SideMenuSettings& settings = {},
                                          QWidget* parent = nullptr);
    ~SideMenuNavigationController() override;

    const SideMenuSettings& settings() const { return m_settings; }
    void setSettings(const SideMenuSettings& settings);
    double menuWidth() const { return m_settings.menuWidth; }
    void setMenuWidth(double width);

    void presentFrom(QWidget* presenter, bool animated, std::function<void()> completion = {});
    void dismissMenu(bool animated, std::function<void()> completion = {});
    // From the start of a presentation until the end of the dismissal that follows it.
    bool isMenuPresented() const { return m_presented; }
    // The tinted layer over the presenting screen; nullptr before the first presentation.
    QWidget* backdrop() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void attachTo(QWidget* presenter);
    void placeFor(double shown);
    void slide(double from, double to, int durationMs, std::function<void()> finished);
    int hiddenX() const;

    SideMenuSettings m_settings;
    QPointer<QWidget> m_presenter;
    QPointer<QWidget> m_focusBefore;
    QPointer<SideMenuBackdrop> m_backdrop;
    QPointer<QVariantAnimation> m_animation;
    double m_progress = 0;
    bool m_presented = false;
};
