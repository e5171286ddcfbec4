#pragma once

#include "EntityDescription.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

class PredicateNode;

// A query condition parsed from a predicate format text such as
//   (projectId == %@) AND (itemType != 0) AND (tag == nil or tag != 'done') AND terms contains " rose"
// It runs as SQL with bound parameters and, with the same meaning, over objects in memory.
// A text that does not parse gives an invalid predicate: callers get an error value, never a crash.
class Predicate {
public:
    // The empty predicate: no condition, every record matches.
    Predicate();

    // Outside quotes, %@ %d %i %ld %lld %lu %u %f take the next argument as a value (never as text to
    // parse); inside quotes they are literal characters.
    static Predicate parse(const QString& format, const QVariantList& arguments = {});

    bool isEmpty() const;
    bool isValid() const;
    QString errorString() const;

    // The condition as an SQL expression over the entity's table, its values appended to bindings.
    // Fails (returning false with *error set) for keys the entity lacks or an invalid predicate.
    bool toSql(const EntityDescription& entity, QString& sql, QVariantList& bindings, QString* error) const;

    // Whether an object whose attributes valueForKey answers matches.
    bool evaluate(const std::function<QVariant(const QString&)>& valueForKey) const;

private:
    std::shared_ptr<const PredicateNode> m_root;
    QString m_error;
};
