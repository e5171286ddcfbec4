#pragma once

#include "platform/FormSheetDialog.h"
#include "platform/NavigationController.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QWidget>
#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A screen on display that presents the dialogs under test; whatever it still presents is closed at the end.
class DialogTestHost : public ViewController {
public:
    DialogTestHost()
    {
        resize(800, 600);
        show();
        ViewController::transitionAppearance(this, true, false);
    }
    ~DialogTestHost() override
    {
        dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The controller shown in the presented navigation controller, when it is a T.
    template <class T> T* presentedDialog() const
    {
        auto* navigation = qobject_cast<NavigationController*>(presentedViewController());
        return navigation ? qobject_cast<T*>(navigation->topViewController()) : nullptr;
    }
    QWidget* sheetWindow() const
    {
        ViewController* presented = presentedViewController();
        return presented ? presented->window() : nullptr;
    }
};

// The background a widget paints itself with.
inline QColor backgroundOf(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

// Switches the application between a light and a dark palette for the life of the object.
class PaletteSwitch {
public:
    PaletteSwitch() : m_original(QApplication::palette()) {}
    ~PaletteSwitch() { QApplication::setPalette(m_original); }
    void setDark(bool dark)
    {
        QPalette palette = m_original;
        palette.setColor(QPalette::Window, dark ? QColor(30, 30, 30) : QColor(240, 240, 240));
        palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
    }

private:
    QPalette m_original;
};
