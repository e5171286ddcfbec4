#include "ProgressHud.h"

#include "ProgressHudView.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace {

constexpr int defaultGraceMs = 100;
constexpr int defaultMinimumMs = 2000;
const QColor defaultBackground(255, 255, 255, 235);
const QColor defaultForeground(40, 40, 40);

} // namespace

ProgressHud::ProgressHud()
    : QObject(qApp), m_background(defaultBackground), m_foreground(defaultForeground), m_graceMs(defaultGraceMs),
      m_minimumMs(defaultMinimumMs)
{
    m_graceTimer.setSingleShot(true);
    m_dismissTimer.setSingleShot(true);
    connect(&m_graceTimer, &QTimer::timeout, this, &ProgressHud::appear);
    connect(&m_dismissTimer, &QTimer::timeout, this, &ProgressHud::disappear);
}

ProgressHud& ProgressHud::instance()
{
    static QPointer<ProgressHud> hud;
    if (!hud)
        hud = new ProgressHud;
    return *hud;
}

void ProgressHud::show()
{
    instance().request(QString());
}

void ProgressHud::showWithStatus(const QString& status)
{
    instance().request(status);
}

void ProgressHud::dismiss()
{
    instance().release({});
}

void ProgressHud::dismissWithCompletion(std::function<void()> completion)
{
    instance().release(std::move(completion));
}

bool ProgressHud::isVisible()
{
    return instance().m_state == State::Shown;
}

bool ProgressHud::isActive()
{
    return instance().m_state != State::Hidden;
}

QString ProgressHud::status()
{
    return instance().m_status;
}

QWidget* ProgressHud::view()
{
    return instance().m_view;
}

void ProgressHud::setDefaultMaskType(MaskType type)
{
    instance().m_maskType = type;
}

ProgressHud::MaskType ProgressHud::defaultMaskType()
{
    return instance().m_maskType;
}

void ProgressHud::setBackgroundColor(const QColor& color)
{
    instance().m_background = color;
}

void ProgressHud::setForegroundColor(const QColor& color)
{
    instance().m_foreground = color;
}

void ProgressHud::setHapticsEnabled(bool enabled)
{
    instance().m_haptics = enabled;
}

bool ProgressHud::hapticsEnabled()
{
    return instance().m_haptics;
}

void ProgressHud::setGraceTime(int milliseconds)
{
    instance().m_graceMs = std::max(0, milliseconds);
}

void ProgressHud::setMinimumDismissTime(int milliseconds)
{
    instance().m_minimumMs = std::max(0, milliseconds);
}

int ProgressHud::graceTime()
{
    return instance().m_graceMs;
}

int ProgressHud::minimumDismissTime()
{
    return instance().m_minimumMs;
}

void ProgressHud::reset()
{
    ProgressHud& hud = instance();
    hud.m_graceTimer.stop();
    hud.m_dismissTimer.stop();
    hud.m_completions.clear();
    if (hud.m_view)
        hud.m_view->deleteLater();
    hud.m_view = nullptr;
    hud.m_state = State::Hidden;
    hud.m_status.clear();
    hud.m_maskType = MaskType::None;
    hud.m_background = defaultBackground;
    hud.m_foreground = defaultForeground;
    hud.m_haptics = false;
    hud.m_graceMs = defaultGraceMs;
    hud.m_minimumMs = defaultMinimumMs;
}

void ProgressHud::request(const QString& status)
{
    m_status = status;
    // A new show cancels a pending dismissal; its completions wait for the dismissal that follows.
    m_dismissTimer.stop();
    switch (m_state) {
    case State::Hidden:
        m_state = State::Waiting;
        m_graceTimer.start(m_graceMs);
        break;
    case State::Waiting:
        break;
    case State::Shown:
        if (m_view)
            m_view->setStatus(status);
        break;
    }
}

void ProgressHud::release(std::function<void()> completion)
{
    if (completion)
        m_completions.append(std::move(completion));
    switch (m_state) {
    case State::Hidden:
        runCompletions();
        break;
    case State::Waiting:
        // Work that ended within the grace time never shows the indicator at all.
        m_graceTimer.stop();
        m_state = State::Hidden;
        runCompletions();
        break;
    case State::Shown:
        if (!m_dismissTimer.isActive())
            m_dismissTimer.start(int(std::max<qint64>(0, m_minimumMs - m_shownFor.elapsed())));
        break;
    }
}

void ProgressHud::appear()
{
    m_state = State::Shown;
    m_shownFor.start();
    if (QWidget* window = hostWindow()) {
        const bool blocks = m_maskType != MaskType::None;
        const bool dims = m_maskType == MaskType::Black || m_maskType == MaskType::Gradient;
        m_view = new ProgressHudView(window, blocks, dims, m_background, m_foreground);
        m_view->setStatus(m_status);
        m_view->show();
        m_view->raise();
    }
}

void ProgressHud::disappear()
{
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();
    }
    m_view = nullptr;
    m_state = State::Hidden;
    runCompletions();
}

void ProgressHud::runCompletions()
{
    // A completion may show the indicator again; it then owns a fresh list.
    const QList<std::function<void()>> completions = std::exchange(m_completions, {});
    for (const std::function<void()>& completion : completions)
        completion();
}

QWidget* ProgressHud::hostWindow()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    // Without a focused window (offscreen, or while another program is in front) the last shown window serves.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget* window = *it;
        if (window->isVisible() && !(window->windowFlags() & Qt::Popup) && window->windowType() != Qt::ToolTip)
            return window;
    }
    return nullptr;
}
