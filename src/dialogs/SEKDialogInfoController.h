#pragma once

#include "dialogs/SEKDialogBaseController.h"

#include <QString>

class QLabel;
class QPushButton;
class QTextEdit;

// The floating information dialog: a coloured header with the title and a close button over read-only text.
class SEKDialogInfoController : public SEKDialogBaseController {
    Q_OBJECT

public:
    SEKDialogInfoController(const QString& title, const QString& text, QWidget* parent = nullptr);

    QString menuTitle() const { return m_menuTitle; }
    QString text() const { return m_text; }

    QLabel* titleView() const { return m_titleView; }
    QTextEdit* textView() const { return m_textView; }
    QWidget* headerView() const { return m_headerView; }
    QWidget* separatorView() const { return m_separatorView; }
    QPushButton* closeButtonView() const { return m_closeButtonView; }

    // The close button: closes the entry; nothing is reported.
    void close();

protected:
    void viewDidLoad() override;
    void applyColors() override;

private:
    QString m_menuTitle;
    QString m_text;
    QLabel* m_titleView = nullptr;
    QTextEdit* m_textView = nullptr;
    QWidget* m_headerView = nullptr;
    QWidget* m_separatorView = nullptr;
    QPushButton* m_closeButtonView = nullptr;
};
