#pragma once

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QString>

class QWidget;

// A button of a navigation bar: a title or an icon that triggers like a QAction, or a custom widget shown
// as it is. The bar makes a tool button per item that carries the item's objectName, so tests can press it.
class BarButtonItem : public QAction {
    Q_OBJECT

public:
    explicit BarButtonItem(const QString& title, QObject* parent = nullptr);
    explicit BarButtonItem(const QIcon& icon, QObject* parent = nullptr);
    // The item shows customView instead of a button; the bar takes ownership of the widget while it shows it.
    explicit BarButtonItem(QWidget* customView, QObject* parent = nullptr);
    ~BarButtonItem() override;

    QWidget* customView() const { return m_customView; }
    // A menu that opens when the item is pressed, instead of triggering it.
    void setItemMenu(QMenu* menu);
    QMenu* itemMenu() const { return m_menu; }

signals:
    void menuChanged();

private:
    QPointer<QWidget> m_customView;
    QPointer<QMenu> m_menu;
};
