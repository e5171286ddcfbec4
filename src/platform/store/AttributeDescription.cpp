#include "AttributeDescription.h"

#include <QByteArray>
#include <QDateTime>
#include <cmath>

AttributeDescription::AttributeDescription(QString name, AttributeType type) : m_name(std::move(name)), m_type(type)
{
}

namespace {

QVariant toDate(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().isValid() ? value : QVariant();
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (!ok)
        return {};
    // UTC: a local-time date asks the C library for the zone on every conversion, which dominated
    // listing large folders. Screens convert with toLocalTime() where they show a date.
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds * 1000.0)), Qt::UTC);
}

QVariant toInteger(const QVariant& value)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (ok)
        return QVariant::fromValue(number);
    const double real = value.toDouble(&ok);
    return ok ? QVariant::fromValue(qint64(real)) : QVariant();
}

QVariant toReal(const QVariant& value)
{
    bool ok = false;
    const double real = value.toDouble(&ok);
    return ok ? QVariant(real) : QVariant();
}

}  // namespace

namespace {

// Qt 6 no longer calls a variant holding a null string, bytes or date null; the store means nil by them.
bool holdsNil(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    case QMetaType::QDateTime:
        return !value.toDateTime().isValid();
    default:
        return false;
    }
}

}  // namespace

QVariant AttributeDescription::coerce(const QVariant& value) const
{
    if (holdsNil(value))
        return {};
    switch (m_type) {
    case AttributeType::String:
        return value.toString();
    case AttributeType::Integer:
        return toInteger(value);
    case AttributeType::Double:
        return toReal(value);
    case AttributeType::Boolean:
        return value.toBool();
    case AttributeType::Date:
        return toDate(value);
    case AttributeType::Binary:
        return value.toByteArray();
    }
    return {};
}

QString AttributeDescription::sqlType() const
{
    switch (m_type) {
    case AttributeType::String:
        return QStringLiteral("TEXT");
    case AttributeType::Integer:
    case AttributeType::Boolean:
        return QStringLiteral("INTEGER");
    case AttributeType::Double:
    case AttributeType::Date:
        return QStringLiteral("REAL");
    case AttributeType::Binary:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("BLOB");
}
