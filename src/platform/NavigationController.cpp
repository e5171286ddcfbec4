#include "NavigationController.h"

#include "LivePointers.h"
#include "NavigationBar.h"
#include "NavigationItem.h"

#include <QStackedWidget>
#include <QVBoxLayout>

NavigationController::NavigationController(ViewController* root, QWidget* parent)
    : ViewController(parent), m_bar(new NavigationBar(this)), m_stack(new QStackedWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bar);
    layout->addWidget(m_stack, 1);
    connect(m_bar, &NavigationBar::backRequested, this, [this] { popViewController(true); });
    if (root)
        setViewControllers({root}, false);
}

NavigationController::~NavigationController() = default;

QList<ViewController*> NavigationController::viewControllers() const
{
    return livePointers(m_controllers);
}

ViewController* NavigationController::topViewController() const
{
    const QList<ViewController*> controllers = viewControllers();
    return controllers.isEmpty() ? nullptr : controllers.last();
}

void NavigationController::pushViewController(ViewController* controller, bool animated)
{
    if (!controller || viewControllers().contains(controller))
        return;
    ViewController* from = topViewController();
    adopt(controller);
    m_controllers.append(controller);
    switchTop(from, controller, animated);
}

ViewController* NavigationController::popViewController(bool animated)
{
    QList<ViewController*> controllers = viewControllers();
    if (controllers.size() < 2)
        return nullptr;
    ViewController* popped = controllers.takeLast();
    m_controllers.removeAll(popped);
    switchTop(popped, controllers.last(), animated);
    release(popped);
    return popped;
}

QList<ViewController*> NavigationController::popToRootViewController(bool animated)
{
    QList<ViewController*> controllers = viewControllers();
    if (controllers.size() < 2)
        return {};
    const QList<ViewController*> popped = controllers.mid(1);
    setViewControllers({controllers.first()}, animated);
    return popped;
}

void NavigationController::setViewControllers(const QList<ViewController*>& controllers, bool animated)
{
    ViewController* from = topViewController();
    const QList<ViewController*> previous = viewControllers();
    m_controllers.clear();
    for (ViewController* controller : controllers) {
        if (!controller || viewControllers().contains(controller))
            continue;
        adopt(controller);
        m_controllers.append(controller);
    }
    ViewController* to = topViewController();
    if (from != to)
        switchTop(from, to, animated);
    else
        showTopInBar();
    for (ViewController* controller : previous) {
        if (!viewControllers().contains(controller))
            release(controller);
    }
}

bool NavigationController::isNavigationBarHidden() const
{
    return m_bar->isHidden();
}

void NavigationController::setNavigationBarHidden(bool hidden)
{
    m_bar->setHidden(hidden);
}

void NavigationController::presentationDidAttemptToDismiss()
{
    if (ViewController* top = topViewController())
        top->presentationDidAttemptToDismiss();
}

QList<ViewController*> NavigationController::appearanceChildren() const
{
    ViewController* top = topViewController();
    return top ? QList<ViewController*>{top} : QList<ViewController*>{};
}

void NavigationController::adopt(ViewController* controller)
{
    addChildViewController(controller);
    if (m_stack->indexOf(controller) < 0)
        m_stack->addWidget(controller);
}

void NavigationController::release(ViewController* controller)
{
    if (controller->parentViewController() == this)
        controller->removeFromParentViewController();
    m_stack->removeWidget(controller);
    controller->hide();
    controller->setParent(nullptr);
    controller->deleteLater();
}

void NavigationController::switchTop(ViewController* from, ViewController* to, bool animated)
{
    // Only a stack on screen moves its screens' appearance; one off screen just changes what it will show.
    const bool onScreen = isOnScreen();
    if (onScreen) {
        beginAppearance(from, false, animated);
        beginAppearance(to, true, animated);
    }
    if (to)
        m_stack->setCurrentWidget(to);
    showTopInBar();
    if (onScreen) {
        endAppearance(from);
        endAppearance(to);
    }
}

void NavigationController::showTopInBar()
{
    const QList<ViewController*> controllers = viewControllers();
    if (controllers.isEmpty()) {
        m_bar->setItem(nullptr, false, QString());
        return;
    }
    const QString backTitle = controllers.size() > 1 ? controllers.at(controllers.size() - 2)->title() : QString();
    m_bar->setItem(controllers.last()->navigationItem(), controllers.size() > 1, backTitle);
}
