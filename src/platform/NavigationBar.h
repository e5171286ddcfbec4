#pragma once

#include <QPointer>
#include <QWidget>

class NavigationItem;
class QHBoxLayout;
class QLabel;
class QToolButton;

// The bar above a navigation stack: left items (or a back button), the title or title view in the middle,
// right items. Its tool buttons are named after their items; the back button is "navigationBackButton" and
// the title label "navigationTitle". Their glyphs take the bar's button text colour, as their titles do.
class NavigationBar : public QWidget {
    Q_OBJECT

public:
    explicit NavigationBar(QWidget* parent = nullptr);

    // Shows item; backTitle is the title of the screen below, or empty at the root (no back button).
    void setItem(NavigationItem* item, bool canGoBack, const QString& backTitle);
    NavigationItem* item() const { return m_item; }
    QToolButton* backButton() const { return m_back; }

signals:
    void backRequested();

private:
    void rebuild();
    void clearSide(QHBoxLayout* side);
    void fillSide(QHBoxLayout* side, const QList<class BarButtonItem*>& items);

    QPointer<NavigationItem> m_item;
    bool m_canGoBack = false;
    QHBoxLayout* m_left;
    QHBoxLayout* m_center;
    QHBoxLayout* m_right;
    QLabel* m_title;
    QToolButton* m_back;
    QPointer<QWidget> m_titleView;
};
