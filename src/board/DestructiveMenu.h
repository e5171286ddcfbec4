#pragma once

#include <QMenu>

// A menu whose rows marked destructive (BoardMenus::markDestructive) show their label in the destructive red as
// well as their symbol; a highlighted row keeps the highlight's colours, so it stays readable.
class DestructiveMenu : public QMenu {
    Q_OBJECT

public:
    explicit DestructiveMenu(QWidget* parent = nullptr);

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
};
