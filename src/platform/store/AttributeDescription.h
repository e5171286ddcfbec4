#pragma once

#include <QString>
#include <QVariant>

enum class AttributeType { String, Integer, Double, Boolean, Date, Binary };

// One attribute of an entity: its key and the kind of value it holds.
class AttributeDescription {
public:
    AttributeDescription(QString name, AttributeType type);

    const QString& name() const { return m_name; }
    AttributeType type() const { return m_type; }

    // The value converted to this attribute's kind; a null QVariant stays null, one that cannot be
    // converted becomes null.
    QVariant coerce(const QVariant& value) const;
    // SQLite column type for the attribute.
    QString sqlType() const;

private:
    QString m_name;
    AttributeType m_type;
};
