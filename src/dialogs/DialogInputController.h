#pragma once

#include "dialogs/DialogBaseController.h"

#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// A one-line text input with OK and Cancel under a navigation bar. OK stays disabled until an edit leaves a
// trimmed text that is not empty and differs from the initial text; each button closes the dialog and then
// runs its own action, exactly once.
class DialogInputController : public DialogBaseController {
    Q_OBJECT

public:
    // The OK action receives the field's text without leading and trailing blanks and tabs.
    using OkAction = std::function<void(std::optional<QString>)>;
    using CancelAction = std::function<void()>;

    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString CancelTitle = QStringLiteral("Cancel");

    DialogInputController(const QString& title, const QString& label, const QString& placeholder,
                          const QString& initialText, OkAction okAction, CancelAction cancelAction,
                          QWidget* parent = nullptr);

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
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void applyColors() override;
    // Escape closes through the same path as the dialog's own buttons.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();

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
