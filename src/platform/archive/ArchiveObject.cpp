#include "platform/archive/ArchiveObject.h"

ArchiveObject::ArchiveObject(Kind kind, Storage storage, QString className, QStringList classes)
    : m_kind(kind), m_storage(std::move(storage)), m_className(std::move(className)), m_classes(std::move(classes))
{
}

ArchiveRef ArchiveObject::null()
{
    static const ArchiveRef shared(new ArchiveObject(Kind::Null, std::monostate{}));
    return shared;
}

ArchiveRef ArchiveObject::boolean(bool value)
{
    return ArchiveRef(new ArchiveObject(Kind::Boolean, value));
}

ArchiveRef ArchiveObject::integer(qint64 value)
{
    return ArchiveRef(new ArchiveObject(Kind::Integer, value));
}

ArchiveRef ArchiveObject::real(double value)
{
    return ArchiveRef(new ArchiveObject(Kind::Real, value));
}

ArchiveRef ArchiveObject::string(const QString& value, const QString& className)
{
    return ArchiveRef(new ArchiveObject(Kind::String, value, className));
}

ArchiveRef ArchiveObject::data(const QByteArray& value, const QString& className)
{
    return ArchiveRef(new ArchiveObject(Kind::Data, value, className));
}

ArchiveRef ArchiveObject::date(const QDateTime& value)
{
    return ArchiveRef(new ArchiveObject(Kind::Date, value, QStringLiteral("NSDate")));
}

ArchiveRef ArchiveObject::array(const QList<ArchiveRef>& items, const QString& className)
{
    return ArchiveRef(new ArchiveObject(Kind::Array, items, className));
}

ArchiveRef ArchiveObject::dictionary(const Entries& entries, const QString& className)
{
    return ArchiveRef(new ArchiveObject(Kind::Dictionary, entries, className));
}

ArchiveRef ArchiveObject::dictionary(const QList<std::pair<QString, ArchiveRef>>& entries, const QString& className)
{
    Entries keyed;
    keyed.reserve(entries.size());
    for (const auto& [key, value] : entries) {
        keyed.append({string(key), value});
    }
    return dictionary(keyed, className);
}

ArchiveRef ArchiveObject::instance(const QString& className, const Fields& fields, const QStringList& classes)
{
    return ArchiveRef(new ArchiveObject(Kind::Instance, fields, className, classes));
}

bool ArchiveObject::isKindOf(const QString& name) const
{
    return m_className == name || m_classes.contains(name);
}

bool ArchiveObject::toBool(bool fallback) const
{
    switch (m_kind) {
    case Kind::Boolean:
        return std::get<bool>(m_storage);
    case Kind::Integer:
        return std::get<qint64>(m_storage) != 0;
    case Kind::Real:
        return std::get<double>(m_storage) != 0.0;
    default:
        return fallback;
    }
}

qint64 ArchiveObject::toInteger(qint64 fallback) const
{
    switch (m_kind) {
    case Kind::Boolean:
        return std::get<bool>(m_storage) ? 1 : 0;
    case Kind::Integer:
        return std::get<qint64>(m_storage);
    case Kind::Real: {
        // Out-of-range and NaN reals would be undefined behaviour as integers.
        const double value = std::get<double>(m_storage);
        if (!(value > -9.2e18 && value < 9.2e18)) {
            return fallback;
        }
        return qint64(value);
    }
    default:
        return fallback;
    }
}

double ArchiveObject::toReal(double fallback) const
{
    switch (m_kind) {
    case Kind::Boolean:
        return std::get<bool>(m_storage) ? 1.0 : 0.0;
    case Kind::Integer:
        return double(std::get<qint64>(m_storage));
    case Kind::Real:
        return std::get<double>(m_storage);
    default:
        return fallback;
    }
}

QString ArchiveObject::toString() const
{
    const auto* value = std::get_if<QString>(&m_storage);
    return value ? *value : QString();
}

QByteArray ArchiveObject::toData() const
{
    const auto* value = std::get_if<QByteArray>(&m_storage);
    return value ? *value : QByteArray();
}

QDateTime ArchiveObject::toDate() const
{
    const auto* value = std::get_if<QDateTime>(&m_storage);
    return value ? *value : QDateTime();
}

const QList<ArchiveRef>& ArchiveObject::items() const
{
    static const QList<ArchiveRef> none;
    const auto* value = std::get_if<QList<ArchiveRef>>(&m_storage);
    return value ? *value : none;
}

const ArchiveObject::Entries& ArchiveObject::entries() const
{
    static const Entries none;
    const auto* value = std::get_if<Entries>(&m_storage);
    return value ? *value : none;
}

const ArchiveObject::Fields& ArchiveObject::fields() const
{
    static const Fields none;
    const auto* value = std::get_if<Fields>(&m_storage);
    return value ? *value : none;
}

ArchiveRef ArchiveObject::value(const QString& key) const
{
    if (m_kind == Kind::Instance) {
        return fields().value(key);
    }
    for (const auto& [entryKey, entryValue] : entries()) {
        if (entryKey && entryKey->kind() == Kind::String && entryKey->toString() == key) {
            return entryValue;
        }
    }
    return nullptr;
}
