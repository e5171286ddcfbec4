#pragma once

#include "dialogs/DialogMenuController.h"

#include <QSize>

class ViewController;

// Shows the menu dialog as a form sheet from a screen. Keeps nothing.
class DialogMenu {
public:
    static constexpr QSize PreferredContentSize{300, 400};

    DialogMenu() = default;

    // completion runs on every close; on a pick it runs before the row's action.
    void show(const QString& title, const QList<DialogMenuItem>& items, ViewController* fromViewController,
              DialogMenuController::Completion completion = {}) const;
    // Wraps controller in a navigation controller and presents it as a 300 x 400 form sheet; the tag picker
    // and the filter menu present their own menu controllers through this.
    static void present(DialogMenuController* controller, ViewController* fromViewController);
};
