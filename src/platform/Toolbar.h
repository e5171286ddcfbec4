#pragma once

#include <QAction>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QToolBar>

class QMainWindow;
class QWidget;
class ToolbarDelegateInterface;
class ToolbarItem;

// A window's toolbar. Items are inserted and removed by identifier, each built by the delegate, so
// that every screen adds and takes away only its own items.
class Toolbar : public QObject {
    Q_OBJECT

public:
    // The toolbar builds this item itself: a space that takes up whatever width is left.
    static inline const QString FlexibleSpaceItemIdentifier = QStringLiteral("toolbar.flexibleSpace");

    enum class DisplayMode { Default = 0, IconAndLabel = 1, IconOnly = 2, LabelOnly = 3 };

    explicit Toolbar(QString identifier, QObject* parent = nullptr);
    ~Toolbar() override;

    QString identifier() const { return m_identifier; }
    ToolbarDelegateInterface* delegate() const { return m_delegate; }
    // The delegate is not owned; it must outlive the toolbar or be reset first.
    void setDelegate(ToolbarDelegateInterface* delegate);
    DisplayMode displayMode() const { return m_displayMode; }
    void setDisplayMode(DisplayMode mode);

    // Puts the bar along the top edge of window.
    void attach(QMainWindow* window);
    QToolBar* bar() const { return m_bar; }

    // Asks the delegate for the item and inserts it at index (clamped to the item count); an
    // identifier the delegate does not know inserts nothing.
    void insertItemWithItemIdentifier(const QString& identifier, int index);
    // Out of range does nothing.
    void removeItemAtIndex(int index);
    // Takes out the first item of each identifier, wherever it stands, so that a screen takes away exactly
    // what it put in and items another screen added meanwhile stay.
    void removeItemsWithIdentifiers(const QStringList& identifiers);

    QList<ToolbarItem*> items() const;
    QStringList itemIdentifiers() const;
    // The index of the first item with identifier, or -1.
    int indexOfItemWithIdentifier(const QString& identifier) const;

private:
    struct Entry {
        ToolbarItem* item;
        // The window may delete the bar, and with it these, before the toolbar goes.
        QPointer<QAction> action;
        QPointer<QWidget> holder;
        bool owned;
    };

    ToolbarItem* makeItem(const QString& identifier);
    QAction* addToBar(ToolbarItem* item, QAction* before, QWidget** holder);
    void applyDisplayMode();

    QString m_identifier;
    ToolbarDelegateInterface* m_delegate = nullptr;
    DisplayMode m_displayMode = DisplayMode::Default;
    QPointer<QToolBar> m_bar;
    QList<Entry> m_entries;
};
