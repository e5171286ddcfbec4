#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

enum class AlertActionStyle { Default, Cancel, Destructive };
// An action sheet stacks its buttons, cancel buttons last, and takes no text fields.
enum class AlertStyle { Alert, ActionSheet };

// A small message box with buttons that never blocks its caller: present() shows it window-modal over
// the parent and returns at once; pressing a button closes it and then runs that button's handler.
// An alert deletes itself once closed. Tests reach shown alerts through presented() and press their
// buttons with trigger().
//
// Like a sheet, an alert is a dialog of its window rather than a window of its own: it has no frame of the window
// manager's (so no minimize or maximize button, which would hide the whole program with it), stays above its
// window, and draws its own one-pixel edge.
class Alert : public QDialog {
    Q_OBJECT

public:
    Alert(const QString& title, const QString& message, QWidget* parent = nullptr);
    Alert(const QString& title, const QString& message, AlertStyle style, QWidget* parent = nullptr);
    ~Alert() override;
    void setVisible(bool visible) override;

    // Adds a button, left to right in the order of the calls. A Cancel button also answers Escape.
    void addAction(const QString& title, AlertActionStyle style = AlertActionStyle::Default,
                   std::function<void()> handler = {});
    // Adds a one-line field below the message, top to bottom in the order of the calls; configure sets it up
    // (placeholder, text, echo mode). Handlers read the fields while they run. Ignored on an action sheet.
    void addTextField(std::function<void(QLineEdit*)> configure = {});
    QList<QLineEdit*> textFields() const { return m_fields; }
    // Shows the alert over parent's window (or on its own without one) and returns at once.
    void present(QWidget* parent);

    AlertStyle style() const { return m_style; }
    QString title() const { return m_title; }
    QString message() const { return m_message; }
    QStringList actionTitles() const;
    AlertActionStyle actionStyle(int index) const;
    // As pressing button index: closes the alert, then runs the button's handler. Out of range does nothing.
    void trigger(int index);

    // Alerts on screen, oldest first.
    static QList<Alert*> presented();
    // The alert shown last and still on screen, or nullptr.
    static Alert* topmost();

protected:
    // Escape presses the Cancel button, or the only button; an alert with several and none to cancel stays open.
    void reject() override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Action {
        QString title;
        AlertActionStyle style;
        std::function<void()> handler;
        QPushButton* button;
    };

    void forget();
    int buttonPosition(AlertActionStyle style) const;

    QString m_title;
    QString m_message;
    AlertStyle m_style;
    QList<Action> m_actions;
    QList<QLineEdit*> m_fields;
    QVBoxLayout* m_fieldLayout;
    QBoxLayout* m_buttons;
    bool m_handled = false;
};
