#include "FloatingEntry.h"

#include "core/AppDelegate.h"
#include "core/SharedHelpers.h"
#include "dialogs/FloatingEntryOverlay.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QMainWindow>
#include <QtDebug>

QPointer<FloatingEntryOverlay>& FloatingEntry::current()
{
    static QPointer<FloatingEntryOverlay> overlay;
    return overlay;
}

QWidget* FloatingEntry::mainWindow()
{
    if (AppDelegate* delegate = AppDelegate::shared(); delegate && delegate->window())
        return delegate->window();
    if (QWidget* key = SharedHelpers::keyWindow())
        return key;
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->isVisible() && !window->isModal() && window->windowType() != Qt::Popup &&
            window->windowType() != Qt::ToolTip)
            return window;
    }
    return nullptr;
}

void FloatingEntry::display(ViewController* entry, const FloatingEntryAttributes& attributes,
                            bool presentInsideKeyWindow, QWidget* rollbackWindow)
{
    if (!entry)
        return;
    QWidget* host = presentInsideKeyWindow ? SharedHelpers::keyWindow() : nullptr;
    if (!host)
        host = rollbackWindow ? rollbackWindow : mainWindow();
    if (!host) {
        qWarning() << "FloatingEntry: no window to show the entry over; it is discarded";
        entry->deleteLater();
        return;
    }
    dismiss();
    entry->loadViewIfNeeded();
    ViewController::beginAppearance(entry, true, true);
    auto* overlay = new FloatingEntryOverlay(entry, attributes, host);
    current() = overlay;
    QObject::connect(overlay, &FloatingEntryOverlay::outsideDismissRequested, overlay, [overlay] {
        if (current() == overlay)
            dismiss();
    });
    overlay->animateIn();
    ViewController::endAppearance(entry);
    entry->setFocus(Qt::OtherFocusReason);
}

void FloatingEntry::dismiss()
{
    FloatingEntryOverlay* overlay = current();
    if (!overlay)
        return;
    current() = nullptr;
    if (ViewController* entry = overlay->entry())
        ViewController::beginAppearance(entry, false, true);
    overlay->animateOut();
}

void FloatingEntry::dismiss(ViewController* entry)
{
    if (entry && displayedEntry() == entry)
        dismiss();
}

bool FloatingEntry::isCurrentlyDisplaying()
{
    return current() != nullptr;
}

ViewController* FloatingEntry::displayedEntry()
{
    FloatingEntryOverlay* overlay = current();
    return overlay ? overlay->entry() : nullptr;
}

FloatingEntryOverlay* FloatingEntry::displayedOverlay()
{
    return current();
}
