#pragma once

#include "ToolbarItem.h"

#include <QPointer>

#include <QLineEdit>

// A toolbar item holding a search field. Every edit of the field sends the item's action, and the
// receiver reads the text through the "stringValue" property of the sender.
class SearchToolbarItem : public ToolbarItem {
    Q_OBJECT
    Q_PROPERTY(QString stringValue READ stringValue)

public:
    static inline const QString Placeholder = QStringLiteral("Search Cards");

    explicit SearchToolbarItem(QString itemIdentifier, QObject* parent = nullptr);
    ~SearchToolbarItem() override;

    QWidget* view() const override;
    QLineEdit* field() const { return m_field; }
    QString stringValue() const;

    // The window whose responder chain receives the action when the item has no target.
    void setWindow(QWidget* window) { m_window = window; }

private:
    QPointer<QLineEdit> m_field;
    QPointer<QWidget> m_window;
};
