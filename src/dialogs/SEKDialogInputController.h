#pragma once

#include "dialogs/DialogInputBaseController.h"

// The floating one-line input: a coloured header with the title over the input form. A click outside the entry
// closes it and runs neither action.
class SEKDialogInputController : public DialogInputBaseController {
    Q_OBJECT

public:
    SEKDialogInputController(const QString& title, const QString& label, const QString& placeholder,
                             const QString& initialText, OkAction okAction, CancelAction cancelAction,
                             QWidget* parent = nullptr);

    QLabel* titleView() const { return m_titleView; }
    QWidget* headerView() const { return m_headerView; }
    QWidget* separatorView() const { return m_separatorView; }

protected:
    void viewDidLoad() override;
    void applyColors() override;
    void closeDialog() override;

private:
    QLabel* m_titleView = nullptr;
    QWidget* m_headerView = nullptr;
    QWidget* m_separatorView = nullptr;
};
