#pragma once

#include <QDialog>
#include <QPointer>

class ViewController;

// The window-modal dialog that holds a controller presented as a form sheet. It is shown without exec(), so
// presenting never blocks; Escape and the close button dismiss the controller through its presenter, or, when
// the controller is modal in presentation, tell it of the attempt instead.
class FormSheetDialog : public QDialog {
    Q_OBJECT

public:
    FormSheetDialog(ViewController* content, QWidget* parentWindow);

    ViewController* content() const { return m_content; }
    // Lets the dialog close for good; until then closing only asks the presenter to dismiss.
    void release();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void requestDismiss();

    QPointer<ViewController> m_content;
    bool m_released = false;
};
