#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <variant>

class ArchiveObject;
// Objects are immutable and shared: the same pointer written twice becomes one archived object (one UID).
using ArchiveRef = std::shared_ptr<const ArchiveObject>;

// One node of a keyed-archive object graph, independent of the bytes: property-list values (strings, numbers,
// data), the Foundation containers (arrays, dictionaries, dates, mutable strings and data) and coded instances
// of any other class, which carry their class name, superclass chain and keyed fields.
class ArchiveObject {
public:
    enum class Kind { Null, Boolean, Integer, Real, String, Data, Date, Array, Dictionary, Instance };
    using Entries = QList<std::pair<ArchiveRef, ArchiveRef>>;
    using Fields = QMap<QString, ArchiveRef>;

    static ArchiveRef null();
    static ArchiveRef boolean(bool value);
    static ArchiveRef integer(qint64 value);
    static ArchiveRef real(double value);
    // className empty: a plain property-list string; "NSMutableString": coded with "NS.string".
    static ArchiveRef string(const QString& value, const QString& className = {});
    // className empty: plain property-list data; "NSMutableData": coded with "NS.data".
    static ArchiveRef data(const QByteArray& value, const QString& className = {});
    static ArchiveRef date(const QDateTime& value);
    static ArchiveRef array(const QList<ArchiveRef>& items, const QString& className = QStringLiteral("NSArray"));
    static ArchiveRef dictionary(const Entries& entries, const QString& className = QStringLiteral("NSDictionary"));
    // A dictionary whose keys are plain strings (attribute dictionaries, autosave snapshots).
    static ArchiveRef dictionary(const QList<std::pair<QString, ArchiveRef>>& entries,
                                 const QString& className = QStringLiteral("NSDictionary"));
    // classes: the class followed by its superclasses; empty means the archiver's known chain for className.
    static ArchiveRef instance(const QString& className, const Fields& fields, const QStringList& classes = {});

    Kind kind() const { return m_kind; }
    bool isNumber() const { return m_kind == Kind::Boolean || m_kind == Kind::Integer || m_kind == Kind::Real; }
    // The coded class: empty for plain property-list values.
    const QString& className() const { return m_className; }
    const QStringList& classes() const { return m_classes; }
    // True when className or any of its superclasses is name.
    bool isKindOf(const QString& name) const;

    // Numbers convert among themselves; anything else gives the fallback.
    bool toBool(bool fallback = false) const;
    qint64 toInteger(qint64 fallback = 0) const;
    double toReal(double fallback = 0.0) const;
    QString toString() const;
    QByteArray toData() const;
    QDateTime toDate() const;
    const QList<ArchiveRef>& items() const;
    const Entries& entries() const;
    const Fields& fields() const;
    // A dictionary's value for a string key, or an instance's field; nullptr when absent.
    ArchiveRef value(const QString& key) const;

private:
    using Storage = std::variant<std::monostate, bool, qint64, double, QString, QByteArray, QDateTime,
                                 QList<ArchiveRef>, Entries, Fields>;
    ArchiveObject(Kind kind, Storage storage, QString className = {}, QStringList classes = {});

    Kind m_kind;
    Storage m_storage;
    QString m_className;
    QStringList m_classes;
};
