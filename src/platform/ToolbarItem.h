#pragma once

#include <QByteArray>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// One entry of a window toolbar: an icon button that sends an action, or a widget shown in its place.
// The action is the name of an invokable member taking the sender (QObject*); it goes to the target,
// or along the responder chain of the toolbar's window when the item has none.
class ToolbarItem : public QObject {
    Q_OBJECT

public:
    explicit ToolbarItem(QString itemIdentifier, QObject* parent = nullptr);
    ~ToolbarItem() override;

    QString itemIdentifier() const { return m_itemIdentifier; }

    QIcon image() const { return m_image; }
    void setImage(const QIcon& image) { m_image = image; }
    QString label() const { return m_label; }
    void setLabel(const QString& label) { m_label = label; }
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip) { m_toolTip = toolTip; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    bool isBordered() const { return m_bordered; }
    void setBordered(bool bordered) { m_bordered = bordered; }
    // Marks an item that moves between screens rather than acting on the one shown.
    bool isNavigational() const { return m_navigational; }
    void setNavigational(bool navigational) { m_navigational = navigational; }

    // A widget the toolbar shows instead of a button, or nullptr. The item keeps it between insertions.
    virtual QWidget* view() const { return nullptr; }

    // Sends the action with this item as the sender; false when no one took it. window starts the
    // responder chain for an item without a target.
    bool sendAction(QWidget* window);

private:
    QString m_itemIdentifier;
    QIcon m_image;
    QString m_label;
    QString m_toolTip;
    QByteArray m_action;
    QPointer<QObject> m_target;
    bool m_bordered = false;
    bool m_navigational = false;
};
