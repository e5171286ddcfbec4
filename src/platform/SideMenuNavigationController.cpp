#include "SideMenuNavigationController.h"

#include "SideMenuBackdrop.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QVariantAnimation>
#include <cmath>

SideMenuNavigationController::SideMenuNavigationController(ViewController* root, const SideMenuSettings& settings,
                                                           QWidget* parent)
    : NavigationController(root, parent), m_settings(settings)
{
    setObjectName(QStringLiteral("sideMenuNavigationController"));
    setAutoFillBackground(true);
    hide();
}

SideMenuNavigationController::~SideMenuNavigationController()
{
    if (m_presenter)
        m_presenter->removeEventFilter(this);
    // The backdrop is the presenter's child; it must not outlive the menu it tints for.
    delete m_backdrop;
}

void SideMenuNavigationController::setSettings(const SideMenuSettings& settings)
{
    m_settings = settings;
    if (m_backdrop)
        m_backdrop->setStyle(m_settings.blurEffectStyle, m_settings.presentationStyle.onTopShadowOpacity);
    if (m_presenter)
        placeFor(m_progress);
}

void SideMenuNavigationController::setMenuWidth(double width)
{
    SideMenuSettings changed = m_settings;
    changed.menuWidth = width;
    setSettings(changed);
}

QWidget* SideMenuNavigationController::backdrop() const
{
    return m_backdrop;
}

void SideMenuNavigationController::presentFrom(QWidget* presenter, bool animated, std::function<void()> completion)
{
    if (!presenter || m_presented)
        return;
    m_presented = true;
    attachTo(presenter);
    // The keys go back where they went before the panel came, the text being written, not the screen around it.
    QWidget* focused = QApplication::focusWidget();
    m_focusBefore = focused && presenter->isAncestorOf(focused) && !isAncestorOf(focused) ? focused : nullptr;
    placeFor(m_progress);
    m_backdrop->show();
    m_backdrop->raise();
    show();
    raise();
    beginAppearance(this, true, animated);
    slide(m_progress, 1, animated ? m_settings.presentDurationMs : 0, [this, completion] {
        endAppearance(this);
        // Keys typed next belong to the panel, not to the screen it covers.
        if (!focusWidget() || !isAncestorOf(QApplication::focusWidget()))
            setFocus(Qt::OtherFocusReason);
        if (completion)
            completion();
    });
}

void SideMenuNavigationController::dismissMenu(bool animated, std::function<void()> completion)
{
    if (!m_presented) {
        if (completion)
            completion();
        return;
    }
    beginAppearance(this, false, animated);
    slide(m_progress, 0, animated ? m_settings.dismissDurationMs : 0, [this, completion] {
        hide();
        if (m_backdrop)
            m_backdrop->hide();
        m_presented = false;
        endAppearance(this);
        if (m_focusBefore && m_focusBefore->isVisible() && m_focusBefore->isEnabled())
            m_focusBefore->setFocus(Qt::OtherFocusReason);
        else if (m_presenter)
            m_presenter->setFocus(Qt::OtherFocusReason);
        if (completion)
            completion();
    });
}

void SideMenuNavigationController::attachTo(QWidget* presenter)
{
    if (m_presenter == presenter)
        return;
    if (m_presenter)
        m_presenter->removeEventFilter(this);
    delete m_backdrop;
    m_presenter = presenter;
    setParent(presenter);
    m_backdrop = new SideMenuBackdrop(this, presenter);
    m_backdrop->setStyle(m_settings.blurEffectStyle, m_settings.presentationStyle.onTopShadowOpacity);
    connect(m_backdrop, &SideMenuBackdrop::tapped, this, [this] { dismissMenu(true); });
    presenter->installEventFilter(this);
}

int SideMenuNavigationController::hiddenX() const
{
    return int(std::lround(m_settings.presentationStyle.menuTranslateFactor * m_settings.menuWidth));
}

void SideMenuNavigationController::placeFor(double shown)
{
    m_progress = shown;
    if (!m_presenter)
        return;
    const int width = int(std::lround(m_settings.menuWidth));
    const int x = int(std::lround(hiddenX() * (1.0 - shown)));
    setGeometry(x, 0, width, m_presenter->height());
    if (m_backdrop) {
        m_backdrop->setGeometry(m_presenter->rect());
        m_backdrop->setProgress(shown);
    }
}

void SideMenuNavigationController::slide(double from, double to, int durationMs, std::function<void()> finished)
{
    if (m_animation)
        m_animation->stop();
    delete m_animation;
    if (durationMs <= 0 || from == to) {
        placeFor(to);
        finished();
        return;
    }
    auto* animation = new QVariantAnimation(this);
    m_animation = animation;
    animation->setStartValue(from);
    animation->setEndValue(to);
    // A partly finished slide that is turned round takes only its share of the time.
    animation->setDuration(std::max(1, int(std::lround(durationMs * std::abs(to - from)))));
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { placeFor(value.toDouble()); });
    connect(animation, &QVariantAnimation::finished, this, [this, to, finished = std::move(finished)] {
        placeFor(to);
        finished();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

bool SideMenuNavigationController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_presenter && event->type() == QEvent::Resize)
        placeFor(m_progress);
    return NavigationController::eventFilter(watched, event);
}

bool SideMenuNavigationController::event(QEvent* event)
{
    // While the panel is in, Escape is its own: a shortcut of the screen it covers (an editor's Cancel) would
    // otherwise take the key first, the panel being that screen's child.
    if (event->type() == QEvent::ShortcutOverride && m_presented &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return NavigationController::event(event);
}

void SideMenuNavigationController::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_presented) {
        dismissMenu(true);
        return;
    }
    NavigationController::keyPressEvent(event);
}
