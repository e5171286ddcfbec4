#pragma once

#include "dialogs/DialogInputController.h"

#include <QSize>
#include <QString>

class ViewController;

// Shows the one-line input dialog as a form sheet from a screen. Keeps nothing.
class DialogInput {
public:
    static constexpr QSize PreferredContentSize{300, 146};

    DialogInput() = default;

    // Presents the dialog from fromViewController; okAction gets the trimmed text, cancelAction runs on Cancel.
    // An empty initialText behaves like none.
    void show(const QString& title, const QString& label, const QString& placeholder, const QString& initialText,
              ViewController* fromViewController, DialogInputController::OkAction okAction = {},
              DialogInputController::CancelAction cancelAction = {}) const;
};
