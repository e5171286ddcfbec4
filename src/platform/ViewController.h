#pragma once

#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

class NavigationController;
class NavigationItem;
class FormSheetDialog;

enum class PresentationStyle { FullScreen, FormSheet };

// One screen: a widget whose load and appearance hooks are run explicitly by whoever shows or hides it
// (a navigation push or pop, a presentation, a change of the window's root). Qt's own show and hide
// events are not used, so minimising or covering the window never runs a disappear hook.
//
// Presentation: a controller presents at most one other controller. A full-screen presentation covers
// the presenting screen and runs its disappear hooks; a form sheet is a window-modal dialog over the
// presenting window that never blocks the caller, and the presenting screen stays on screen.
// The presenter owns what it presents; a dismissed controller is deleted once control returns to the
// event loop, after the completion has run.
class ViewController : public QWidget {
    Q_OBJECT

public:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    // Runs viewDidLoad once, the first time the screen is needed.
    void loadViewIfNeeded();
    bool isViewLoaded() const { return m_loaded; }

    QString title() const { return m_title; }
    // Also becomes the navigation item's title, as the bar shows that.
    void setTitle(const QString& title);
    NavigationItem* navigationItem();

    // The nearest navigation controller holding this screen (itself excluded), or nullptr.
    NavigationController* navigationController() const;
    // The container this screen is a child of, or nullptr.
    ViewController* parentViewController() const { return m_parentController; }
    QList<ViewController*> childViewControllers() const;
    // Containers call these to adopt or release a child; the child's appearance is theirs to drive.
    void addChildViewController(ViewController* child);
    void removeFromParentViewController();

    // The screen that presented this one (or one of its containers), or nullptr.
    ViewController* presentingViewController() const;
    // What this screen, or a container holding it, presents; nullptr when nothing is presented.
    ViewController* presentedViewController() const;

    void present(ViewController* controller, bool animated, std::function<void()> completion = {},
                 PresentationStyle style = PresentationStyle::FullScreen);
    // Called on a presenter, dismisses what it presents (and all presented above that); called on a
    // presented screen or one of its children, dismisses that screen. The completion runs after the
    // disappear hooks, also when there was nothing to dismiss.
    void dismiss(bool animated, std::function<void()> completion = {});

    // Size of a form sheet holding this controller; an empty size takes the default sheet size.
    QSize preferredContentSize() const { return m_preferredContentSize; }
    void setPreferredContentSize(const QSize& size) { m_preferredContentSize = size; }
    // A screen modal in presentation is not dismissed by Escape or by the sheet's close button.
    bool isModalInPresentation() const { return m_modalInPresentation; }
    void setModalInPresentation(bool modal) { m_modalInPresentation = modal; }
    // Escape or the sheet's close button asked a sheet that is modal in presentation to close. A screen that
    // must ask first (unsaved text) answers here; containers pass it to the screen on top.
    virtual void presentationDidAttemptToDismiss() {}
    // The style this controller was presented with; FullScreen when it was not presented.
    PresentationStyle modalPresentationStyle() const { return m_presentationStyle; }

    Appearance appearance() const { return m_appearance; }
    // True between viewWillAppear and viewWillDisappear.
    bool isOnScreen() const { return m_appearance == Appearance::Appearing || m_appearance == Appearance::Appeared; }

    // Containers and root changes drive the hooks through these: beginAppearance runs viewWillAppear (loading
    // first) or viewWillDisappear, endAppearance the matching did-hook; both reach the children the controller
    // forwards appearance to. A begin that would not change the state does nothing.
    static void beginAppearance(ViewController* controller, bool appearing, bool animated);
    static void endAppearance(ViewController* controller);
    // begin and end at once.
    static void transitionAppearance(ViewController* controller, bool appearing, bool animated);
    // Follows presentedViewController from root to the last one presented; nullptr for a null root.
    static ViewController* topmostPresented(ViewController* root);

    // The size a form sheet takes when the controller asks for none.
    static constexpr QSize defaultFormSheetSize{540, 620};

signals:
    void titleChanged(const QString& title);

protected:
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated) }
    // The children whose appearance follows this controller's; all children unless a container says otherwise.
    virtual QList<ViewController*> appearanceChildren() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class FormSheetDialog;

    ViewController* presentationRoot();
    const ViewController* presentationRoot() const;
    void showPresented(ViewController* controller, PresentationStyle style);
    void dismissPresented(bool animated, std::function<void()> completion);
    void tearDownPresented(bool animated, bool restore);
    void coverWithPresented();
    QSize sheetSize() const;

    bool m_loaded = false;
    Appearance m_appearance = Appearance::Disappeared;
    bool m_lastAnimated = false;
    QString m_title;
    NavigationItem* m_navigationItem = nullptr;
    ViewController* m_parentController = nullptr;
    QList<QPointer<ViewController>> m_children;
    QPointer<ViewController> m_presented;
    QPointer<ViewController> m_presenting;
    QPointer<FormSheetDialog> m_sheet;
    PresentationStyle m_presentationStyle = PresentationStyle::FullScreen;
    QSize m_preferredContentSize;
    bool m_modalInPresentation = false;
    // Set on a presenter that was on screen when a full-screen presentation covered it.
    bool m_restoreOnDismiss = false;
};
