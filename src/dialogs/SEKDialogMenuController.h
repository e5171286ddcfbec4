#pragma once

#include "dialogs/DialogBaseController.h"
#include "dialogs/DialogMenuItem.h"

#include <QList>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

// The floating menu: a coloured header with the title and a close button over the rows. Choosing a row
// closes the entry, then runs the row's action with its tag.
class SEKDialogMenuController : public DialogBaseController {
    Q_OBJECT

public:
    static inline const QString ReuseIdentifier = QStringLiteral("menuItemCell");
    static constexpr int RowHeight = 44;

    SEKDialogMenuController(const QString& title, const QList<DialogMenuItem>& items, QWidget* parent = nullptr);

    QString menuTitle() const { return m_menuTitle; }
    QList<DialogMenuItem> items() const { return m_items; }

    QLabel* titleView() const { return m_titleView; }
    QListWidget* tableView() const { return m_tableView; }
    QWidget* headerView() const { return m_headerView; }
    QWidget* separatorView() const { return m_separatorView; }
    QPushButton* closeButtonView() const { return m_closeButtonView; }

    // As choosing the row at index; an index out of range does nothing.
    void didSelectRow(int row);
    // The close button.
    void close();

protected:
    void viewDidLoad() override;
    void applyColors() override;

private:
    void fillRows();

    QString m_menuTitle;
    QList<DialogMenuItem> m_items;
    QLabel* m_titleView = nullptr;
    QListWidget* m_tableView = nullptr;
    QWidget* m_headerView = nullptr;
    QWidget* m_separatorView = nullptr;
    QPushButton* m_closeButtonView = nullptr;
    bool m_closed = false;
};
