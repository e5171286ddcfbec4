#pragma once

#include <QByteArray>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace Deskbridge {

// The window toolbar's search item: a search field that sends the action to the target on every edit, with
// the item as the sender. The application hosts the field ("view") in its toolbar and reads the typed text
// through "stringValue"; it never needs this type, only those two properties.
class SearchItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString itemIdentifier READ itemIdentifier CONSTANT)
    Q_PROPERTY(QString stringValue READ stringValue)
    Q_PROPERTY(QWidget* view READ view)

public:
    // The field's placeholder before translation.
    static constexpr const char* Placeholder = "Search Cards";

    SearchItem(QString itemIdentifier, QObject* target, QByteArray action, QObject* parent = nullptr);
    ~SearchItem() override;

    QString itemIdentifier() const { return m_itemIdentifier; }
    QString stringValue() const;
    QWidget* view() const { return m_field; }
    QObject* target() const { return m_target; }
    QByteArray action() const { return m_action; }

private:
    void sendAction();

    QString m_itemIdentifier;
    QPointer<QObject> m_target;
    QByteArray m_action;
    QPointer<QLineEdit> m_field;
};

} // namespace Deskbridge
