#pragma once

#include "dialogs/DialogMenuItem.h"
#include "dialogs/FloatingEntryAttributes.h"

#include <QList>
#include <QSize>
#include <QString>
#include <functional>

class SEKDialogMenuController;

// Shows the floating menu over the main window. Keeps nothing.
class SEKDialogMenu {
public:
    static constexpr QSize EntrySize{300, 400};

    SEKDialogMenu() = default;

    // The floating menu has no completion of its own; completion is accepted and never called, as callers pass none.
    void show(const QString& title, const QList<DialogMenuItem>& items, std::function<void()> completion = {}) const;
    // Displays a menu controller built elsewhere (the tag picker, the filter menu) the way show() does.
    static void display(SEKDialogMenuController* controller);
    static FloatingEntryAttributes attributes();
};
