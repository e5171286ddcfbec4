#pragma once

#include "dialogs/DialogBaseController.h"
#include "dialogs/DialogMenuItem.h"

#include <QList>
#include <QString>
#include <functional>

class QListWidget;

// A list of rows under a navigation bar with an "xmark" button. Choosing a row closes the menu, runs the
// completion and then the row's action; "xmark" closes it and runs only the completion.
class DialogMenuController : public DialogBaseController {
    Q_OBJECT

public:
    using Completion = std::function<void()>;

    static inline const QString ReuseIdentifier = QStringLiteral("menuItemCell");
    static inline const QString CloseSymbol = QStringLiteral("xmark");

    DialogMenuController(const QString& title, const QList<DialogMenuItem>& items, Completion completion,
                         QWidget* parent = nullptr);

    QList<DialogMenuItem> items() const { return m_items; }
    QListWidget* tableView() const { return m_tableView; }

    // Row height, label font size and icon size on this idiom.
    static int rowHeight();
    static int labelFontSize();
    static int iconSize();

    // As choosing the row at index; an index out of range does nothing.
    void didSelectRow(int row);
    // The "xmark" button.
    void done();
    // Escape or the window's close button, wherever the focus is in the sheet: the same as done().
    void presentationDidAttemptToDismiss() override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void applyColors() override;

private:
    void fillRows();

    QList<DialogMenuItem> m_items;
    Completion m_completion;
    QListWidget* m_tableView = nullptr;
    bool m_closed = false;
};
