#include "ManagedObjectContext.h"

#include "ManagedObject.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "StoreValue.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace {

// SQLite's limit on bound values is 32766; beyond this many pending objects they are filtered in memory.
constexpr qsizetype MaxExcludedKeys = 30000;
constexpr qsizetype RefreshChunk = 500;

QString columnList(const EntityDescription& entity)
{
    QStringList columns;
    for (const AttributeDescription& attribute : entity.attributes())
        columns.append(SqliteDatabase::quotedName(attribute.name()));
    return columns.join(QStringLiteral(", "));
}

std::vector<QVariant> rowValues(const SqliteStatement& statement, const EntityDescription& entity, int firstColumn)
{
    std::vector<QVariant> values;
    values.reserve(size_t(entity.attributes().size()));
    for (int i = 0; i < entity.attributes().size(); ++i)
        values.push_back(entity.attributes()[i].coerce(statement.column(firstColumn + i)));
    return values;
}

StoreError makeError(const QString& message)
{
    return StoreError{message, SQLITE_ERROR};
}

} // namespace

ManagedObjectContext::ManagedObjectContext(const ManagedObjectModel& model, SqliteDatabase& database, QObject* parent)
    : QObject(parent), m_model(model), m_database(database), m_history(database), m_inserter(database)
{
    m_author =
        QCoreApplication::applicationName() + QLatin1Char(':') + QString::number(QCoreApplication::applicationPid());
    m_mergedToken = m_history.lastToken();
}

ManagedObjectContext::~ManagedObjectContext() = default;

const EntityDescription* ManagedObjectContext::entityFor(const QString& name, StoreError* error) const
{
    const EntityDescription* entity = m_model.entity(name);
    if (!entity && error)
        *error = makeError(QStringLiteral("Unknown entity %1").arg(name));
    return entity;
}

ManagedObject* ManagedObjectContext::insertNewObject(const QString& entityName)
{
    const EntityDescription* entity = m_model.entity(entityName);
    if (!entity) {
        qWarning("Cannot insert an object of unknown entity %s", qPrintable(entityName));
        return nullptr;
    }
    m_allObjects.push_back(entity->makeObject());
    ManagedObject* object = m_allObjects.back().get();
    object->attach(this, entity, ManagedObject::State::Inserted);
    m_inserted.append(object);
    scheduleObjectsDidChange();
    return object;
}

void ManagedObjectContext::deleteObject(ManagedObject* object)
{
    if (!object || object->m_context != this || object->isDeleted())
        return;
    if (object->isInserted()) {
        object->m_state = ManagedObject::State::Gone;
        m_inserted.removeOne(object);
    } else {
        object->m_state = ManagedObject::State::Deleted;
        if (m_updatedSet.remove(object))
            m_updated.removeOne(object);
        m_deleted.append(object);
    }
    scheduleObjectsDidChange();
}

void ManagedObjectContext::noteChanged(ManagedObject* object)
{
    if (object->m_state == ManagedObject::State::Saved && !m_updatedSet.contains(object)) {
        m_updatedSet.insert(object);
        m_updated.append(object);
    }
    scheduleObjectsDidChange();
}

void ManagedObjectContext::scheduleObjectsDidChange()
{
    // Many attribute writes in one turn of the event loop make one notice, as observers refetch on it.
    if (m_changeScheduled)
        return;
    m_changeScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_changeScheduled = false;
        emit objectsDidChange();
    });
}

bool ManagedObjectContext::hasChanges() const
{
    return !m_inserted.isEmpty() || !m_deleted.isEmpty() || !m_updated.isEmpty();
}

QList<ManagedObject*> ManagedObjectContext::insertedObjects() const
{
    return m_inserted;
}

QList<ManagedObject*> ManagedObjectContext::updatedObjects() const
{
    return m_updated;
}

QList<ManagedObject*> ManagedObjectContext::deletedObjects() const
{
    return m_deleted;
}

// MARK: saving

std::optional<StoreError> ManagedObjectContext::save()
{
    if (!hasChanges())
        return std::nullopt;
    return saveChanges(m_inserted, m_updated, m_deleted);
}

std::optional<StoreError> ManagedObjectContext::saveObjects(const QList<ManagedObject*>& objects)
{
    QList<ManagedObject*> inserted;
    QList<ManagedObject*> updated;
    QList<ManagedObject*> deleted;
    for (ManagedObject* object : objects) {
        if (!object || object->m_context != this)
            continue;
        if (m_inserted.contains(object) && !inserted.contains(object))
            inserted.append(object);
        else if (m_updatedSet.contains(object) && !updated.contains(object))
            updated.append(object);
        else if (m_deleted.contains(object) && !deleted.contains(object))
            deleted.append(object);
    }
    if (inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty())
        return std::nullopt;
    return saveChanges(inserted, updated, deleted);
}

std::optional<StoreError> ManagedObjectContext::saveChanges(const QList<ManagedObject*>& inserted,
                                                            const QList<ManagedObject*>& updated,
                                                            const QList<ManagedObject*>& deleted)
{
    if (auto error = m_database.begin())
        return error;
    QList<HistoryChange> changes;
    QHash<ManagedObject*, qint64> newKeys;
    StoreError error;
    qint64 token = 0;
    bool written = writeChanges(inserted, updated, deleted, changes, newKeys, &error);
    if (written) {
        if (auto historyError = m_history.record(m_author, changes, &token)) {
            error = *historyError;
            written = false;
        }
    }
    if (written) {
        if (auto commitError = m_database.commit()) {
            error = *commitError;
            written = false;
        }
    }
    if (!written) {
        // Nothing reached the file; every change stays pending for the next save.
        m_database.rollback();
        return error;
    }
    m_ownTokens.insert(token);
    // Copies: finishing a save edits the very lists a full save passes in.
    finishSave(QList<ManagedObject*>(inserted), QList<ManagedObject*>(updated), QList<ManagedObject*>(deleted),
               newKeys);
    emit didSave(token);
    scheduleObjectsDidChange();
    return std::nullopt;
}

bool ManagedObjectContext::writeChanges(const QList<ManagedObject*>& inserted, const QList<ManagedObject*>& updated,
                                        const QList<ManagedObject*>& deleted, QList<HistoryChange>& changes,
                                        QHash<ManagedObject*, qint64>& newKeys, StoreError* error)
{
    auto change = [](ManagedObject* object, qint64 key, HistoryChangeType type) {
        return HistoryChange{object->entityName(), key, object->value(QStringLiteral("uniqueIdentifier")).toString(),
                             type};
    };
    // Consecutive new records of one entity go in together; keys and history keep the order they were made in.
    for (qsizetype start = 0; start < inserted.size();) {
        const EntityDescription& entity = inserted[start]->entity();
        std::vector<const std::vector<QVariant>*> rows;
        qsizetype end = start;
        for (; end < inserted.size() && &inserted[end]->entity() == &entity; ++end)
            rows.push_back(&inserted[end]->m_values);
        QList<qint64> keys;
        if (!m_inserter.insert(entity, rows, keys, error))
            return false;
        for (qsizetype i = start; i < end; ++i) {
            newKeys.insert(inserted[i], keys[i - start]);
            changes.append(change(inserted[i], keys[i - start], HistoryChangeType::Insert));
        }
        start = end;
    }
    for (ManagedObject* object : updated) {
        if (!writeUpdate(object, error))
            return false;
        changes.append(change(object, object->m_primaryKey, HistoryChangeType::Update));
    }
    for (ManagedObject* object : deleted) {
        if (!writeDelete(object, error))
            return false;
        changes.append(change(object, object->m_primaryKey, HistoryChangeType::Delete));
    }
    return true;
}

bool ManagedObjectContext::writeUpdate(ManagedObject* object, StoreError* error)
{
    const EntityDescription& entity = object->entity();
    QStringList assignments;
    QVariantList values;
    for (size_t i = 0; i < object->m_dirty.size(); ++i) {
        if (!object->m_dirty[i])
            continue;
        values.append(object->m_values[i]);
        assignments.append(QStringLiteral("%1 = ?%2")
                               .arg(SqliteDatabase::quotedName(entity.attributes()[int(i)].name()))
                               .arg(values.size()));
    }
    if (assignments.isEmpty())
        return true;
    values.append(object->m_primaryKey);
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE pk = ?%3")
                            .arg(SqliteDatabase::quotedName(entity.name()), assignments.join(QStringLiteral(", ")))
                            .arg(values.size());
    if (auto failure = m_database.execute(sql, values)) {
        *error = *failure;
        return false;
    }
    if (sqlite3_changes(m_database.handle()) > 0)
        return true;
    // Deleted elsewhere while edited here: write the record back whole rather than drop the writer's edits.
    return m_inserter.insertWithKey(entity, object->m_values, object->m_primaryKey, error);
}

bool ManagedObjectContext::writeDelete(ManagedObject* object, StoreError* error)
{
    const QString sql =
        QStringLiteral("DELETE FROM %1 WHERE pk = ?1").arg(SqliteDatabase::quotedName(object->entityName()));
    if (auto failure = m_database.execute(sql, {object->m_primaryKey})) {
        *error = *failure;
        return false;
    }
    return true;
}

void ManagedObjectContext::finishSave(const QList<ManagedObject*>& inserted, const QList<ManagedObject*>& updated,
                                      const QList<ManagedObject*>& deleted,
                                      const QHash<ManagedObject*, qint64>& newKeys)
{
    for (ManagedObject* object : inserted) {
        object->m_primaryKey = newKeys.value(object);
        object->m_state = ManagedObject::State::Saved;
        object->clearDirty();
        m_registry.insert(RegistryKey(object->entityName(), object->m_primaryKey), object);
    }
    for (ManagedObject* object : updated) {
        object->clearDirty();
        m_updatedSet.remove(object);
    }
    for (ManagedObject* object : deleted)
        forgetObject(object);
    // One pass per list, so that a save of many thousand records stays linear.
    const auto dropSaved = [](QList<ManagedObject*>& pending, const QList<ManagedObject*>& saved) {
        if (saved.size() == pending.size()) {
            pending.clear();
            return;
        }
        const QSet<ManagedObject*> done(saved.begin(), saved.end());
        pending.removeIf([&done](ManagedObject* object) { return done.contains(object); });
    };
    dropSaved(m_inserted, inserted);
    dropSaved(m_updated, updated);
    dropSaved(m_deleted, deleted);
}

void ManagedObjectContext::rollback()
{
    for (ManagedObject* object : std::as_const(m_inserted))
        object->m_state = ManagedObject::State::Gone;
    for (ManagedObject* object : std::as_const(m_updated))
        object->revertValues();
    for (ManagedObject* object : std::as_const(m_deleted)) {
        object->m_state = ManagedObject::State::Saved;
        object->revertValues();
    }
    m_inserted.clear();
    m_updated.clear();
    m_updatedSet.clear();
    m_deleted.clear();
    scheduleObjectsDidChange();
}

void ManagedObjectContext::revertObjects(const QList<ManagedObject*>& objects)
{
    bool reverted = false;
    for (ManagedObject* object : objects) {
        if (!m_updatedSet.remove(object))
            continue;
        m_updated.removeOne(object);
        object->revertValues();
        reverted = true;
    }
    if (reverted)
        scheduleObjectsDidChange();
}

void ManagedObjectContext::forgetObject(ManagedObject* object)
{
    object->m_state = ManagedObject::State::Gone;
    m_registry.remove(RegistryKey(object->entityName(), object->m_primaryKey));
    if (m_updatedSet.remove(object))
        m_updated.removeOne(object);
}

// MARK: fetching

QList<ManagedObject*> ManagedObjectContext::pendingObjects(const QString& entityName) const
{
    QList<ManagedObject*> pending;
    for (const QList<ManagedObject*>* list : {&m_inserted, &m_updated, &m_deleted}) {
        for (ManagedObject* object : *list) {
            if (object->entityName() == entityName)
                pending.append(object);
        }
    }
    return pending;
}

bool ManagedObjectContext::matches(const Predicate& predicate, const ManagedObject* object) const
{
    return predicate.isEmpty() || predicate.evaluate([object](const QString& key) { return object->value(key); });
}

QString ManagedObjectContext::selectSql(const EntityDescription& entity, const QString& what, const QString& where,
                                        qsizetype excludedCount) const
{
    QStringList conditions;
    if (!where.isEmpty())
        conditions.append(QLatin1Char('(') + where + QLatin1Char(')'));
    if (excludedCount > 0) {
        QStringList places(excludedCount, QStringLiteral("?"));
        conditions.append(QStringLiteral("pk NOT IN (%1)").arg(places.join(QLatin1Char(','))));
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(what, SqliteDatabase::quotedName(entity.name()));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return sql;
}

QList<ManagedObject*> ManagedObjectContext::fetchFromDatabase(const EntityDescription& entity,
                                                              const FetchRequest& request,
                                                              const QList<ManagedObject*>& pending, StoreError* error)
{
    QString where;
    QVariantList bindings;
    QString predicateError;
    if (!request.predicate().isEmpty() && !request.predicate().toSql(entity, where, bindings, &predicateError)) {
        *error = makeError(predicateError);
        return {};
    }
    QVariantList excluded;
    for (ManagedObject* object : pending) {
        if (!object->isInserted())
            excluded.append(object->m_primaryKey);
    }
    const bool excludeInSql = excluded.size() <= MaxExcludedKeys;
    QString sql =
        selectSql(entity, QStringLiteral("pk, ") + columnList(entity), where, excludeInSql ? excluded.size() : 0);
    QString order;
    if (!orderClause(entity, request, order, error))
        return {};
    sql += order;
    if (pending.isEmpty() && request.fetchLimit() > 0)
        sql += QStringLiteral(" LIMIT %1").arg(request.fetchLimit());
    if (excludeInSql)
        bindings.append(excluded);

    SqliteStatement statement(m_database, sql);
    QList<ManagedObject*> objects;
    if (statement.isValid() && statement.bind(bindings)) {
        while (statement.step()) {
            const qint64 key = statement.columnInt64(0);
            ManagedObject* object = materialize(entity, key, rowValues(statement, entity, 1));
            if (object->m_state == ManagedObject::State::Saved && !object->isUpdated())
                objects.append(object);
        }
    }
    if (statement.error()) {
        *error = *statement.error();
        return {};
    }
    return objects;
}

bool ManagedObjectContext::orderClause(const EntityDescription& entity, const FetchRequest& request, QString& order,
                                       StoreError* error, bool tieOrder) const
{
    QStringList terms;
    for (const SortDescriptor& sort : request.sortDescriptors()) {
        if (entity.indexOf(sort.key) < 0) {
            *error = makeError(QStringLiteral("Unknown sort key %1 of %2").arg(sort.key, entity.name()));
            return false;
        }
        terms.append(SqliteDatabase::quotedName(sort.key) +
                     (sort.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
    }
    // Without a tie order an index holding the sort keys answers alone, without a sort.
    if (tieOrder)
        terms.append(QStringLiteral("pk ASC"));
    order = terms.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
    return true;
}

ManagedObject* ManagedObjectContext::materialize(const EntityDescription& entity, qint64 primaryKey,
                                                 std::vector<QVariant>&& values)
{
    const RegistryKey key(entity.name(), primaryKey);
    if (ManagedObject* existing = m_registry.value(key)) {
        // A pinned context keeps showing what it showed when it was pinned.
        if (!m_pinned)
            existing->setCommittedValues(values, true);
        return existing;
    }
    m_allObjects.push_back(entity.makeObject());
    ManagedObject* object = m_allObjects.back().get();
    object->attach(this, &entity, ManagedObject::State::Saved);
    object->m_primaryKey = primaryKey;
    object->m_committed = values;
    object->m_values = std::move(values);
    m_registry.insert(key, object);
    return object;
}

QList<ManagedObject*> ManagedObjectContext::fetch(const FetchRequest& request, StoreError* error)
{
    StoreError failure;
    const EntityDescription* entity = entityFor(request.entityName(), &failure);
    if (!entity || !request.predicate().isValid()) {
        if (entity)
            failure = makeError(QStringLiteral("Invalid predicate: %1").arg(request.predicate().errorString()));
        qWarning("Fetch failed: %s", qPrintable(failure.message));
        if (error)
            *error = failure;
        return {};
    }
    const QList<ManagedObject*> pending = pendingObjects(entity->name());
    QList<ManagedObject*> objects = fetchFromDatabase(*entity, request, pending, &failure);
    if (!failure.message.isEmpty()) {
        qWarning("Fetch failed: %s", qPrintable(failure.message));
        if (error)
            *error = failure;
        return {};
    }
    if (pending.isEmpty())
        return objects;
    if (pending.size() > MaxExcludedKeys) {
        const QSet<ManagedObject*> pendingSet(pending.begin(), pending.end());
        objects.removeIf([&pendingSet](ManagedObject* object) { return pendingSet.contains(object); });
    }
    for (ManagedObject* object : pending) {
        if (!object->isDeleted() && matches(request.predicate(), object))
            objects.append(object);
    }
    sortObjects(objects, request.sortDescriptors());
    if (request.fetchLimit() > 0 && objects.size() > request.fetchLimit())
        objects.resize(request.fetchLimit());
    return objects;
}

QList<QVariantList> ManagedObjectContext::fetchValues(const FetchRequest& request, const QStringList& keys,
                                                      StoreError* error)
{
    QList<QVariantList> rows;
    const bool fetched = fetchValues(
        request, keys,
        [&rows](const QVariantList& row) {
            rows.append(row);
            return true;
        },
        error);
    return fetched ? rows : QList<QVariantList>();
}

bool ManagedObjectContext::fetchValues(const FetchRequest& request, const QStringList& keys,
                                       const std::function<bool(const QVariantList&)>& row, StoreError* error)
{
    // One buffer for every record: reading a hundred thousand of them allocates nothing per record.
    QVariantList values(keys.size());
    return scanRecords(
        request, keys,
        [&](const SqliteStatement& statement, const QList<const AttributeDescription*>& attributes) {
            for (qsizetype i = 0; i < attributes.size(); ++i)
                values[i] = attributes[i]->coerce(statement.column(int(i)));
            return row(values);
        },
        [&](const ManagedObject& object) {
            for (qsizetype i = 0; i < keys.size(); ++i)
                values[i] = object.value(keys[i]);
            return row(values);
        },
        error);
}

bool ManagedObjectContext::fetchNumbers(const FetchRequest& request, const QStringList& keys,
                                        const std::function<bool(std::span<const double>)>& row, StoreError* error)
{
    std::vector<double> values(size_t(keys.size()));
    return scanRecords(
        request, keys,
        [&](const SqliteStatement& statement, const QList<const AttributeDescription*>&) {
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = statement.columnNumber(int(i));
            return row(values);
        },
        [&](const ManagedObject& object) {
            for (size_t i = 0; i < values.size(); ++i) {
                // As the file would give it back: what is stored as null reads as no number.
                const QVariant stored = StoreValue::toSql(object.value(keys[qsizetype(i)]));
                values[i] = stored.isValid() ? stored.toDouble() : std::nan("");
            }
            return row(values);
        },
        error);
}

bool ManagedObjectContext::scanRecords(const FetchRequest& request, const QStringList& keys, const RowReader& fromRow,
                                       const std::function<bool(const ManagedObject&)>& fromObject, StoreError* error)
{
    StoreError failure;
    const EntityDescription* entity = entityFor(request.entityName(), &failure);
    QList<const AttributeDescription*> attributes;
    for (const QString& key : keys) {
        const int column = entity ? entity->indexOf(key) : -1;
        if (entity && column < 0)
            failure = makeError(QStringLiteral("Unknown key %1 of %2").arg(key, entity->name()));
        attributes.append(column < 0 ? nullptr : &entity->attributes()[column]);
    }
    if (failure.message.isEmpty() && entity && !pendingObjects(entity->name()).isEmpty()) {
        // Unsaved records must be seen as fetch() sees them; rare enough that the objects may be made.
        StoreError fetchError;
        const QList<ManagedObject*> objects = fetch(request, &fetchError);
        if (!fetchError.message.isEmpty()) {
            if (error)
                *error = fetchError;
            return false;
        }
        for (ManagedObject* object : objects) {
            if (!fromObject(*object))
                break;
        }
        return true;
    }
    QString where;
    QVariantList bindings;
    QString predicateError;
    if (failure.message.isEmpty() && !request.predicate().isEmpty() &&
        !request.predicate().toSql(*entity, where, bindings, &predicateError))
        failure = makeError(predicateError.isEmpty() ? QStringLiteral("Invalid predicate") : predicateError);
    QString order;
    if (failure.message.isEmpty())
        orderClause(*entity, request, order, &failure, false);
    if (failure.message.isEmpty()) {
        QStringList names;
        for (const QString& key : keys)
            names.append(SqliteDatabase::quotedName(key));
        QString sql =
            selectSql(*entity, names.isEmpty() ? QStringLiteral("pk") : names.join(QStringLiteral(", ")), where, 0) +
            order;
        if (request.fetchLimit() > 0)
            sql += QStringLiteral(" LIMIT %1").arg(request.fetchLimit());
        SqliteStatement statement(m_database, sql);
        if (statement.isValid() && statement.bind(bindings)) {
            while (statement.step() && fromRow(statement, attributes)) {
            }
        }
        if (statement.error())
            failure = *statement.error();
    }
    if (!failure.message.isEmpty()) {
        qWarning("Fetch failed: %s", qPrintable(failure.message));
        if (error)
            *error = failure;
        return false;
    }
    return true;
}

void ManagedObjectContext::sortObjects(QList<ManagedObject*>& objects, const QList<SortDescriptor>& sort) const
{
    // Unsaved objects have no key yet: they follow saved ones among equals, in the order they were made.
    auto keyOrder = [](const ManagedObject* object) {
        return object->m_primaryKey > 0 ? object->m_primaryKey : std::numeric_limits<qint64>::max();
    };
    std::stable_sort(objects.begin(), objects.end(), [&](const ManagedObject* a, const ManagedObject* b) {
        for (const SortDescriptor& descriptor : sort) {
            const int order = StoreValue::compare(a->value(descriptor.key), b->value(descriptor.key));
            if (order != 0)
                return descriptor.ascending ? order < 0 : order > 0;
        }
        return keyOrder(a) < keyOrder(b);
    });
}

qint64 ManagedObjectContext::count(const FetchRequest& request, StoreError* error)
{
    StoreError failure;
    const EntityDescription* entity = entityFor(request.entityName(), &failure);
    QString where;
    QVariantList bindings;
    QString predicateError;
    if (entity && !request.predicate().isEmpty() &&
        !request.predicate().toSql(*entity, where, bindings, &predicateError))
        failure = makeError(predicateError.isEmpty() ? QStringLiteral("Invalid predicate") : predicateError);
    if (!failure.message.isEmpty()) {
        qWarning("Count failed: %s", qPrintable(failure.message));
        if (error)
            *error = failure;
        return 0;
    }
    const QList<ManagedObject*> pending = pendingObjects(entity->name());
    if (pending.size() > MaxExcludedKeys)
        return fetch(request, error).size();
    QVariantList excluded;
    qint64 pendingMatches = 0;
    for (ManagedObject* object : pending) {
        if (!object->isInserted())
            excluded.append(object->m_primaryKey);
        if (!object->isDeleted() && matches(request.predicate(), object))
            ++pendingMatches;
    }
    bindings.append(excluded);
    const QString sql = selectSql(*entity, QStringLiteral("COUNT(*)"), where, excluded.size());
    const QVariant stored = m_database.scalar(sql, bindings, &failure);
    if (!failure.message.isEmpty()) {
        qWarning("Count failed: %s", qPrintable(failure.message));
        if (error)
            *error = failure;
        return 0;
    }
    const qint64 total = stored.toLongLong() + pendingMatches;
    return request.fetchLimit() > 0 ? std::min<qint64>(total, request.fetchLimit()) : total;
}

// MARK: merging

void ManagedObjectContext::refreshAllObjects()
{
    QList<ManagedObject*> objects;
    for (ManagedObject* object : std::as_const(m_registry))
        objects.append(object);
    refreshObjects(objects);
    scheduleObjectsDidChange();
}

void ManagedObjectContext::refreshObjects(const QList<ManagedObject*>& objects)
{
    QHash<QString, QList<ManagedObject*>> byEntity;
    for (ManagedObject* object : objects) {
        if (object->m_state == ManagedObject::State::Saved)
            byEntity[object->entityName()].append(object);
    }
    for (auto it = byEntity.cbegin(); it != byEntity.cend(); ++it) {
        const EntityDescription* entity = m_model.entity(it.key());
        const QList<ManagedObject*>& list = it.value();
        for (qsizetype start = 0; start < list.size(); start += RefreshChunk) {
            const QList<ManagedObject*> chunk = list.mid(start, RefreshChunk);
            QVariantList keys;
            QHash<qint64, ManagedObject*> byKey;
            for (ManagedObject* object : chunk) {
                keys.append(object->m_primaryKey);
                byKey.insert(object->m_primaryKey, object);
            }
            const QString sql = QStringLiteral("SELECT pk, %1 FROM %2 WHERE pk IN (%3)")
                                    .arg(columnList(*entity), SqliteDatabase::quotedName(entity->name()),
                                         QStringList(keys.size(), QStringLiteral("?")).join(QLatin1Char(',')));
            SqliteStatement statement(m_database, sql);
            if (!statement.isValid() || !statement.bind(keys))
                continue;
            while (statement.step()) {
                ManagedObject* object = byKey.take(statement.columnInt64(0));
                if (object)
                    object->setCommittedValues(rowValues(statement, *entity, 1), true);
            }
            if (statement.error())
                continue;
            // Rows gone from the file were deleted elsewhere; an object edited here stays, and its save
            // writes it back.
            for (ManagedObject* gone : std::as_const(byKey)) {
                if (!gone->isUpdated())
                    forgetObject(gone);
            }
        }
    }
}

QueryGenerationToken ManagedObjectContext::currentQueryGenerationToken() const
{
    return QueryGenerationToken{m_history.lastToken()};
}

void ManagedObjectContext::setQueryGenerationFromToken(const std::optional<QueryGenerationToken>& token)
{
    m_pinned = token;
    if (!m_pinned && m_mergePending)
        mergeRemoteChanges();
}

void ManagedObjectContext::mergeRemoteChanges()
{
    if (m_pinned) {
        m_mergePending = true;
        return;
    }
    m_mergePending = false;
    const PersistentHistory::Result history = m_history.transactionsAfterToken(m_mergedToken);
    if (history.error)
        return;
    QList<ManagedObject*> touched;
    for (const HistoryTransaction& transaction : history.transactions) {
        m_mergedToken = std::max(m_mergedToken, transaction.token);
        if (m_ownTokens.remove(transaction.token))
            continue;
        for (const HistoryChange& change : transaction.changes) {
            if (ManagedObject* object = m_registry.value(RegistryKey(change.entityName, change.primaryKey)))
                touched.append(object);
        }
    }
    if (touched.isEmpty())
        return;
    refreshObjects(touched);
    scheduleObjectsDidChange();
}

PersistentHistory::Result ManagedObjectContext::fetchHistoryAfterToken(qint64 token) const
{
    return m_history.transactionsAfterToken(token);
}

qint64 ManagedObjectContext::lastHistoryToken() const
{
    return m_history.lastToken();
}

PersistentHistory::Result ManagedObjectContext::fetchHistoryAfterDate(const QDateTime& date) const
{
    return m_history.transactionsAfterDate(date);
}
