#pragma once

#include "dialogs/DialogInputBaseController.h"

// A one-line text input with OK and Cancel under a navigation bar, shown as a form sheet. Escape closes it as
// Cancel does.
class DialogInputController : public DialogInputBaseController {
    Q_OBJECT

public:
    DialogInputController(const QString& title, const QString& label, const QString& placeholder,
                          const QString& initialText, OkAction okAction, CancelAction cancelAction,
                          QWidget* parent = nullptr);

protected:
    void viewWillAppear(bool animated) override;
    // Escape closes through the same path as the dialog's own buttons.
    void keyPressEvent(QKeyEvent* event) override;
    void closeDialog() override;
};
