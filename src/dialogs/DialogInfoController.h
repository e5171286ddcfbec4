#pragma once

#include "dialogs/DialogBaseController.h"

#include <QString>

class QTextEdit;

// A title in the navigation bar and a read-only block of text, closed by the bar's "xmark" button.
class DialogInfoController : public DialogBaseController {
    Q_OBJECT

public:
    static inline const QString CloseSymbol = QStringLiteral("xmark");

    DialogInfoController(const QString& title, const QString& text, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QTextEdit* textView() const { return m_textView; }

    // The "xmark" button: closes the dialog; nothing is reported.
    void done();
    // Escape or the window's close button, wherever the focus is in the sheet: the same as done().
    void presentationDidAttemptToDismiss() override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void applyColors() override;

private:
    QString m_text;
    QTextEdit* m_textView = nullptr;
};
