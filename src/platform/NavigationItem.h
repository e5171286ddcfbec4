#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class BarButtonItem;
class QWidget;

// What a screen shows in the bar of the navigation controller holding it: a title or a custom title widget,
// and bar-button items on the left and right, left to right in list order. Items without a parent are
// adopted by the navigation item.
class NavigationItem : public QObject {
    Q_OBJECT

public:
    explicit NavigationItem(QObject* parent = nullptr);
    ~NavigationItem() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // A widget shown instead of the title; the bar reparents it while the screen is on top.
    QWidget* titleView() const { return m_titleView; }
    void setTitleView(QWidget* view);

    QList<BarButtonItem*> leftBarButtonItems() const { return m_left; }
    void setLeftBarButtonItems(const QList<BarButtonItem*>& items);
    void setLeftBarButtonItem(BarButtonItem* item);
    QList<BarButtonItem*> rightBarButtonItems() const { return m_right; }
    void setRightBarButtonItems(const QList<BarButtonItem*>& items);
    void setRightBarButtonItem(BarButtonItem* item);

    // The bar offers a back button below the root unless it is hidden or left items replace it.
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides);

signals:
    void changed();

private:
    void adopt(const QList<BarButtonItem*>& items);
    void forget(QObject* item);

    QString m_title;
    QPointer<QWidget> m_titleView;
    QList<BarButtonItem*> m_left;
    QList<BarButtonItem*> m_right;
    bool m_hidesBackButton = false;
};
