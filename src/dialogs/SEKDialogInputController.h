#pragma once

#include "dialogs/DialogBaseController.h"
#include "dialogs/DialogInputController.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The floating one-line input: a coloured header with the title, a label, the field, OK and Cancel. Enabling
// and trimming work as in the plain input dialog; each button closes the entry, then runs its action. A click
// outside the entry closes it and runs neither action.
class SEKDialogInputController : public DialogBaseController {
    Q_OBJECT

public:
    SEKDialogInputController(const QString& title, const QString& label, const QString& placeholder,
                             const QString& initialText, DialogInputController::OkAction okAction,
                             DialogInputController::CancelAction cancelAction, QWidget* parent = nullptr);

    QString dialogTitle() const { return m_dialogTitle; }
    QString dialogLabel() const { return m_dialogLabel; }
    QString dialogPlaceholder() const { return m_dialogPlaceholder; }
    QString dialogInitialText() const { return m_dialogInitialText; }

    QWidget* contentView() const { return m_contentView; }
    QLabel* titleView() const { return m_titleView; }
    QWidget* headerView() const { return m_headerView; }
    QWidget* separatorView() const { return m_separatorView; }
    QWidget* bottomSeparatorView() const { return m_bottomSeparatorView; }
    QLabel* labelView() const { return m_labelView; }
    QLineEdit* inputField() const { return m_inputField; }
    QPushButton* okButtonView() const { return m_okButtonView; }
    QPushButton* cancelButtonView() const { return m_cancelButtonView; }

    void okTapped();
    void cancelTapped();
    void inputTextFieldDidChange();

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void applyColors() override;

private:
    void buildLayout();

    QString m_dialogTitle;
    QString m_dialogLabel;
    QString m_dialogPlaceholder;
    QString m_dialogInitialText;
    DialogInputController::OkAction m_dialogOKAction;
    DialogInputController::CancelAction m_dialogCancelAction;
    bool m_finished = false;

    QWidget* m_contentView = nullptr;
    QLabel* m_titleView = nullptr;
    QWidget* m_headerView = nullptr;
    QWidget* m_separatorView = nullptr;
    QWidget* m_bottomSeparatorView = nullptr;
    QLabel* m_labelView = nullptr;
    QLineEdit* m_inputField = nullptr;
    QPushButton* m_okButtonView = nullptr;
    QPushButton* m_cancelButtonView = nullptr;
};
