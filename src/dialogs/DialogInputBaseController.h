#pragma once

#include "dialogs/DialogBaseController.h"

#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// What the plain and the floating input dialogs share: a label over a one-line field, a separator, Cancel and OK.
// OK stays disabled until an edit leaves a trimmed text that is not empty and differs from the initial text; the
// first of the buttons (or Return while OK is enabled) closes the dialog, then runs its own action, and nothing
// runs after it. Each presentation frames the form in its own way and closes in its own way.
class DialogInputBaseController : public DialogBaseController {
    Q_OBJECT

public:
    // The OK action receives the field's text without leading and trailing blanks and tabs.
    using OkAction = std::function<void(std::optional<QString>)>;
    using CancelAction = std::function<void()>;

    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString CancelTitle = QStringLiteral("Cancel");

    QString dialogTitle() const { return m_dialogTitle; }
    QString dialogLabel() const { return m_dialogLabel; }
    QString dialogPlaceholder() const { return m_dialogPlaceholder; }
    QString dialogInitialText() const { return m_dialogInitialText; }

    QWidget* contentView() const { return m_contentView; }
    QWidget* bottomSeparatorView() const { return m_bottomSeparatorView; }
    QLabel* labelView() const { return m_labelView; }
    QLineEdit* inputField() const { return m_inputField; }
    QPushButton* okButtonView() const { return m_okButtonView; }
    QPushButton* cancelButtonView() const { return m_cancelButtonView; }

    void okTapped();
    void cancelTapped();
    // Runs on every edit of the field: recomputes whether OK is enabled.
    void inputTextFieldDidChange();

    // Blanks and tabs off both ends; line breaks stay.
    static QString trimmedText(const QString& text);
    // Whether text may be confirmed against initialText (a null or empty initial text accepts any text).
    static bool acceptsText(const QString& text, const QString& initialText);

protected:
    // The sizes in which the two presentations' forms differ.
    struct FormMetrics {
        int topMargin = 0;
        int buttonHeight = 0;
        int buttonsBottomMargin = 0;
    };

    DialogInputBaseController(const QString& title, const QString& label, const QString& placeholder,
                              const QString& initialText, OkAction okAction, CancelAction cancelAction,
                              QWidget* parent);

    // Builds the form in a content view of its own and answers that view, for the presentation to place.
    QWidget* buildForm(const FormMetrics& metrics);
    // Ends the presentation's construction: the view loaded with the texts, rounded, OK waiting for an edit.
    void finishSetUp();
    // Takes the dialog off the screen; the action of the button that closed it runs right after.
    virtual void closeDialog() = 0;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void applyColors() override;

private:
    QString m_dialogTitle;
    QString m_dialogLabel;
    QString m_dialogPlaceholder;
    QString m_dialogInitialText;
    OkAction m_dialogOKAction;
    CancelAction m_dialogCancelAction;
    bool m_finished = false;

    QWidget* m_contentView = nullptr;
    QWidget* m_bottomSeparatorView = nullptr;
    QLabel* m_labelView = nullptr;
    QLineEdit* m_inputField = nullptr;
    QPushButton* m_okButtonView = nullptr;
    QPushButton* m_cancelButtonView = nullptr;
};
