#include "ViewController.h"

#include "FormSheetDialog.h"
#include "LivePointers.h"
#include "NavigationController.h"
#include "NavigationItem.h"

#include <QEvent>
#include <QtDebug>

ViewController::ViewController(QWidget* parent) : QWidget(parent)
{
}

ViewController::~ViewController()
{
    // A sheet lives under the presenting window, not under this widget, so it would outlast us.
    if (m_sheet) {
        m_sheet->release();
        m_sheet->hide();
        m_sheet->deleteLater();
    }
    // A screen shown over us full screen watches our resizes; it must not see the events of our own teardown,
    // when we are no longer a ViewController.
    if (m_presented)
        removeEventFilter(m_presented.data());
    for (const QPointer<ViewController>& child : std::as_const(m_children)) {
        if (child)
            child->m_parentController = nullptr;
    }
    if (m_parentController)
        m_parentController->m_children.removeAll(this);
}

void ViewController::loadViewIfNeeded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    viewDidLoad();
}

void ViewController::setTitle(const QString& title)
{
    if (m_title == title)
        return;
    m_title = title;
    navigationItem()->setTitle(title);
    emit titleChanged(title);
}

NavigationItem* ViewController::navigationItem()
{
    if (!m_navigationItem)
        m_navigationItem = new NavigationItem(this);
    return m_navigationItem;
}

NavigationController* ViewController::navigationController() const
{
    for (ViewController* ancestor = m_parentController; ancestor; ancestor = ancestor->m_parentController) {
        if (auto* navigation = qobject_cast<NavigationController*>(ancestor))
            return navigation;
    }
    return nullptr;
}

QList<ViewController*> ViewController::childViewControllers() const
{
    return livePointers(m_children);
}

void ViewController::addChildViewController(ViewController* child)
{
    if (!child || child == this || child->m_parentController == this)
        return;
    child->removeFromParentViewController();
    child->m_parentController = this;
    m_children.append(child);
}

void ViewController::removeFromParentViewController()
{
    if (!m_parentController)
        return;
    m_parentController->m_children.removeAll(this);
    m_parentController = nullptr;
}

ViewController* ViewController::presentationRoot()
{
    ViewController* root = this;
    while (root->m_parentController)
        root = root->m_parentController;
    return root;
}

const ViewController* ViewController::presentationRoot() const
{
    const ViewController* root = this;
    while (root->m_parentController)
        root = root->m_parentController;
    return root;
}

ViewController* ViewController::presentingViewController() const
{
    return presentationRoot()->m_presenting;
}

ViewController* ViewController::presentedViewController() const
{
    for (const ViewController* controller = this; controller; controller = controller->m_parentController) {
        if (controller->m_presented)
            return controller->m_presented;
    }
    return nullptr;
}

QList<ViewController*> ViewController::appearanceChildren() const
{
    return childViewControllers();
}

void ViewController::present(ViewController* controller, bool animated, std::function<void()> completion,
                             PresentationStyle style)
{
    if (!controller || controller == this)
        return;
    // Presentations always come from the outermost container, which is what a full-screen one covers.
    ViewController* host = presentationRoot();
    if (host->m_presented) {
        qWarning() << "ViewController: already presenting a screen; the new one is discarded";
        controller->deleteLater();
        return;
    }
    controller->removeFromParentViewController();
    controller->m_presenting = host;
    controller->m_presentationStyle = style;
    host->m_presented = controller;
    controller->loadViewIfNeeded();

    const bool covers = style == PresentationStyle::FullScreen;
    host->m_restoreOnDismiss = covers && host->isOnScreen();
    if (covers)
        beginAppearance(host, false, animated);
    beginAppearance(controller, true, animated);
    host->showPresented(controller, style);
    if (covers)
        endAppearance(host);
    endAppearance(controller);
    if (completion)
        completion();
}

void ViewController::showPresented(ViewController* controller, PresentationStyle style)
{
    if (style == PresentationStyle::FormSheet) {
        auto* sheet = new FormSheetDialog(controller, window());
        m_sheet = sheet;
        sheet->resize(controller->sheetSize());
        sheet->show();
        sheet->raise();
        controller->setFocus();
        return;
    }
    controller->setParent(this);
    controller->setAutoFillBackground(true);
    installEventFilter(controller);
    controller->coverWithPresented();
    controller->show();
    controller->raise();
    controller->setFocus();
}

QSize ViewController::sheetSize() const
{
    // A container without a size of its own takes the one its visible child asks for, as a navigation
    // controller wrapped around a dialog does.
    if (!m_preferredContentSize.isEmpty())
        return m_preferredContentSize;
    for (const ViewController* child : appearanceChildren()) {
        const QSize size = child->sheetSize();
        if (size != defaultFormSheetSize)
            return size;
    }
    return defaultFormSheetSize;
}

void ViewController::coverWithPresented()
{
    if (parentWidget())
        setGeometry(parentWidget()->rect());
}

bool ViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_presenting && m_presentationStyle == PresentationStyle::FullScreen &&
        event->type() == QEvent::Resize)
        coverWithPresented();
    return QWidget::eventFilter(watched, event);
}

void ViewController::dismiss(bool animated, std::function<void()> completion)
{
    for (ViewController* controller = this; controller; controller = controller->m_parentController) {
        if (controller->m_presented) {
            controller->dismissPresented(animated, std::move(completion));
            return;
        }
    }
    ViewController* root = presentationRoot();
    if (root->m_presenting) {
        root->m_presenting->dismissPresented(animated, std::move(completion));
        return;
    }
    if (completion)
        completion();
}

void ViewController::dismissPresented(bool animated, std::function<void()> completion)
{
    tearDownPresented(animated, true);
    if (completion)
        completion();
}

void ViewController::tearDownPresented(bool animated, bool restore)
{
    ViewController* presented = m_presented;
    if (!presented)
        return;
    // Whatever the presented screen presents goes first, as it sits above; a screen that is itself on its
    // way out does not come back on screen in between.
    presented->tearDownPresented(animated, false);

    const bool covered = presented->m_presentationStyle == PresentationStyle::FullScreen;
    beginAppearance(presented, false, animated);
    // Only a screen that was on screen before it was covered comes back.
    if (restore && covered && m_appearance == Appearance::Disappeared && m_restoreOnDismiss)
        beginAppearance(this, true, animated);

    m_presented = nullptr;
    presented->m_presenting = nullptr;
    if (covered) {
        removeEventFilter(presented);
        presented->hide();
        presented->deleteLater();
    } else if (FormSheetDialog* sheet = m_sheet) {
        m_sheet = nullptr;
        sheet->release();
        sheet->hide();
        sheet->deleteLater();
    }
    endAppearance(presented);
    if (covered)
        endAppearance(this);
    m_restoreOnDismiss = false;
}

void ViewController::beginAppearance(ViewController* controller, bool appearing, bool animated)
{
    if (!controller)
        return;
    if (appearing) {
        if (controller->isOnScreen())
            return;
        controller->loadViewIfNeeded();
        controller->m_appearance = Appearance::Appearing;
        controller->m_lastAnimated = animated;
        controller->viewWillAppear(animated);
    } else {
        if (!controller->isOnScreen())
            return;
        controller->m_appearance = Appearance::Disappearing;
        controller->m_lastAnimated = animated;
        controller->viewWillDisappear(animated);
    }
    for (ViewController* child : controller->appearanceChildren())
        beginAppearance(child, appearing, animated);
}

void ViewController::endAppearance(ViewController* controller)
{
    if (!controller)
        return;
    const bool animated = controller->m_lastAnimated;
    if (controller->m_appearance == Appearance::Appearing) {
        controller->m_appearance = Appearance::Appeared;
        controller->viewDidAppear(animated);
    } else if (controller->m_appearance == Appearance::Disappearing) {
        controller->m_appearance = Appearance::Disappeared;
        controller->viewDidDisappear(animated);
    } else {
        return;
    }
    for (ViewController* child : controller->appearanceChildren())
        endAppearance(child);
}

void ViewController::transitionAppearance(ViewController* controller, bool appearing, bool animated)
{
    beginAppearance(controller, appearing, animated);
    endAppearance(controller);
}

ViewController* ViewController::topmostPresented(ViewController* root)
{
    ViewController* top = root;
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top;
}
