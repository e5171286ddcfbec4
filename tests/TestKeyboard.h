#pragma once

#include "TestWait.h"
#include "platform/Alert.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

// The keyboard and the alerts as a writer meets them: keys go to the window the platform last made the focus
// window, and an alert is answered once it is there to be seen, after the platform has given it the keyboard.

// Presses key into the focus window; with no window of the program taking keys, the test fails.
inline void pressOnTheKeyboard(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, const QString& text = {})
{
    QWindow* focus = QGuiApplication::focusWindow();
    ASSERT_NE(focus, nullptr) << "no window of the program takes the keys";
    QTest::sendKeyEvent(QTest::Click, focus, key, text, modifiers);
}

inline void typeOnTheKeyboard(const QString& letters)
{
    for (const QChar letter : letters)
        ASSERT_NO_FATAL_FAILURE(pressOnTheKeyboard(Qt::Key(letter.toUpper().unicode()), {}, letter));
}

// Waits until window (a dialog, or the window of a screen) is the one the keyboard types into.
[[nodiscard]] inline bool hasTheKeys(const QWidget* window)
{
    return waitFor(
        [window] { return window->windowHandle() && QGuiApplication::focusWindow() == window->windowHandle(); });
}

// Presses button index of alert with the mouse once the alert has the keyboard.
[[nodiscard]] inline bool press(Alert* alert, int index)
{
    auto* button = alert ? alert->findChild<QPushButton*>(QStringLiteral("alertAction%1").arg(index)) : nullptr;
    if (!button || !hasTheKeys(alert))
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

// Counts the moments the application spends without a focus window of its own. It takes each for going to the
// background and saves the whole store context then, whatever a refused save left pending in it; a test that
// allows one (an alert or a sheet closed before the platform had activated it) stores that whenever the timing of
// a busy machine lets it.
class BackgroundWatch {
public:
    BackgroundWatch()
    {
        QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &m_receiver,
                         [this](Qt::ApplicationState state) { m_moments += state != Qt::ApplicationActive; });
    }
    int moments() const { return m_moments; }

private:
    QObject m_receiver;
    int m_moments = 0;
};
