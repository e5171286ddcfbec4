#pragma once

#include <QLineEdit>

// A text field that can refuse to give up the keyboard focus. The peek panel holds the focus here while
// it rebuilds its list after each keystroke, so that typing goes on uninterrupted.
class NoResignTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit NoResignTextField(QWidget* parent = nullptr);

    bool canResign() const { return m_canResign; }
    void setCanResign(bool canResign) { m_canResign = canResign; }

    bool canResignFirstResponder() const { return m_canResign; }
    // Gives up the focus when allowed; answers whether it did.
    bool resignFirstResponder();
    // Takes the keyboard focus; answers whether the field has it.
    bool becomeFirstResponder();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_canResign = true;
};
