#pragma once

#include "FetchRequest.h"
#include "ManagedObjectModel.h"
#include "PersistentHistory.h"
#include "RecordInserter.h"
#include "StoreError.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class AttributeDescription;
class ManagedObject;
class SqliteDatabase;
class SqliteStatement;

// A query generation: while a context is pinned to one, changes saved by others are not merged into
// the objects it holds.
struct QueryGenerationToken {
    qint64 historyToken = 0;
};

// The main-thread context of the store: it owns every object it fetched or inserted, keeps the pending
// inserts, changes and deletes, and saves them in one SQL transaction. Fetches and counts see the
// pending changes. Changes saved by other processes are merged property-wins: an attribute changed
// here and not yet saved keeps its in-memory value.
class ManagedObjectContext : public QObject {
    Q_OBJECT

public:
    ManagedObjectContext(const ManagedObjectModel& model, SqliteDatabase& database, QObject* parent = nullptr);
    ~ManagedObjectContext() override;

    const ManagedObjectModel& model() const { return m_model; }

    // A new object of the named entity, pending insertion; nullptr for an unknown entity.
    ManagedObject* insertNewObject(const QString& entityName);
    template <class T> T* insertNew() { return static_cast<T*>(insertNewObject(T::entityName())); }
    void deleteObject(ManagedObject* object);

    bool hasChanges() const;
    QList<ManagedObject*> insertedObjects() const;
    QList<ManagedObject*> updatedObjects() const;
    QList<ManagedObject*> deletedObjects() const;

    // Writes every pending change in one transaction. On failure nothing is written and the changes
    // stay pending, so a later save can write them.
    std::optional<StoreError> save();
    // Writes only the given objects' pending changes in one transaction and leaves every other pending
    // change pending: a side record (a setting the program keeps for itself) is stored without sweeping
    // in edits the writer may still discard. Objects without changes are skipped. On failure nothing is
    // written and the given changes stay pending too.
    std::optional<StoreError> saveObjects(const QList<ManagedObject*>& objects);
    // Drops every pending change.
    void rollback();
    // Drops the pending updates of the given stored objects alone: each takes back its stored values and counts
    // as unchanged again. Inserted, deleted and unchanged objects are left as they are.
    void revertObjects(const QList<ManagedObject*>& objects);

    // On failure: an empty list, and *error set when given.
    QList<ManagedObject*> fetch(const FetchRequest& request, StoreError* error = nullptr);
    // The named attributes of every matching record, one list of values per record in the order of keys,
    // without making objects: for reading many records at once. Pending changes are seen as by fetch();
    // records equal in every sort key come in no fixed order.
    // On failure: an empty list, and *error set when given.
    QList<QVariantList> fetchValues(const FetchRequest& request, const QStringList& keys, StoreError* error = nullptr);
    // The same, handing each record's values to row as it is read, so nothing holds every record at once;
    // row answers false to stop reading. False when the fetch failed.
    bool fetchValues(const FetchRequest& request, const QStringList& keys,
                     const std::function<bool(const QVariantList&)>& row, StoreError* error = nullptr);
    // The named attributes of every matching record as numbers (dates in seconds since 1970, NaN for a missing
    // value), handed to row as they are read, without making objects or variants: for summing years of records.
    // Pending changes are seen as by fetch(); row answers false to stop reading. False when the fetch failed.
    bool fetchNumbers(const FetchRequest& request, const QStringList& keys,
                      const std::function<bool(std::span<const double>)>& row, StoreError* error = nullptr);
    // On failure: 0, and *error set when given.
    qint64 count(const FetchRequest& request, StoreError* error = nullptr);

    // Re-reads every held object's unchanged attributes from the file; objects deleted elsewhere leave.
    void refreshAllObjects();

    void setAutomaticallyMergesChangesFromParent(bool merges) { m_automaticallyMerges = merges; }
    bool automaticallyMergesChangesFromParent() const { return m_automaticallyMerges; }

    QueryGenerationToken currentQueryGenerationToken() const;
    // Pins the context to a generation, or unpins it with std::nullopt (merging what was held back).
    void setQueryGenerationFromToken(const std::optional<QueryGenerationToken>& token);
    bool isPinned() const { return m_pinned.has_value(); }

    // Name recorded with this context's saves in the history.
    void setTransactionAuthor(const QString& author) { m_author = author; }
    // Tells this process's saves apart from other processes' in the history.
    const QString& transactionAuthor() const { return m_author; }

    PersistentHistory::Result fetchHistoryAfterToken(qint64 token) const;
    PersistentHistory::Result fetchHistoryAfterDate(const QDateTime& date) const;
    // The newest history token of the store file, 0 when nothing was ever saved.
    qint64 lastHistoryToken() const;

    // Called when another connection has committed: merges its changes into the held objects.
    void mergeRemoteChanges();

signals:
    // After a successful save, with the history token it was recorded under.
    void didSave(qint64 historyToken);
    // After pending changes were added, removed or merged.
    void objectsDidChange();

private:
    using RegistryKey = QPair<QString, qint64>;
    friend class ManagedObject;

    using RowReader = std::function<bool(const SqliteStatement&, const QList<const AttributeDescription*>&)>;
    // Reads the named attributes of every matching record: each row of the statement (its columns in the order of
    // keys, with their attributes) goes to fromRow, or, while records of the entity are pending, each fetched
    // object to fromObject; either answers false to stop.
    bool scanRecords(const FetchRequest& request, const QStringList& keys, const RowReader& fromRow,
                     const std::function<bool(const ManagedObject&)>& fromObject, StoreError* error);
    const EntityDescription* entityFor(const QString& name, StoreError* error) const;
    ManagedObject* materialize(const EntityDescription& entity, qint64 primaryKey, std::vector<QVariant>&& values);
    void noteChanged(ManagedObject* object);
    void scheduleObjectsDidChange();
    QList<ManagedObject*> pendingObjects(const QString& entityName) const;
    bool matches(const Predicate& predicate, const ManagedObject* object) const;
    QString selectSql(const EntityDescription& entity, const QString& what, const QString& where,
                      qsizetype excludedCount) const;
    QList<ManagedObject*> fetchFromDatabase(const EntityDescription& entity, const FetchRequest& request,
                                            const QList<ManagedObject*>& pending, StoreError* error);
    std::optional<StoreError> saveChanges(const QList<ManagedObject*>& inserted, const QList<ManagedObject*>& updated,
                                          const QList<ManagedObject*>& deleted);
    bool writeChanges(const QList<ManagedObject*>& inserted, const QList<ManagedObject*>& updated,
                      const QList<ManagedObject*>& deleted, QList<HistoryChange>& changes,
                      QHash<ManagedObject*, qint64>& newKeys, StoreError* error);
    bool writeUpdate(ManagedObject* object, StoreError* error);
    bool writeDelete(ManagedObject* object, StoreError* error);
    void finishSave(const QList<ManagedObject*>& inserted, const QList<ManagedObject*>& updated,
                    const QList<ManagedObject*>& deleted, const QHash<ManagedObject*, qint64>& newKeys);
    bool orderClause(const EntityDescription& entity, const FetchRequest& request, QString& order, StoreError* error,
                     bool tieOrder = true) const;
    void refreshObjects(const QList<ManagedObject*>& objects);
    void forgetObject(ManagedObject* object);
    void sortObjects(QList<ManagedObject*>& objects, const QList<SortDescriptor>& sort) const;

    ManagedObjectModel m_model;
    SqliteDatabase& m_database;
    PersistentHistory m_history;
    RecordInserter m_inserter;
    QString m_author;
    bool m_automaticallyMerges = true;
    std::optional<QueryGenerationToken> m_pinned;
    bool m_mergePending = false;
    bool m_changeScheduled = false;
    qint64 m_mergedToken = 0;
    // Tokens of this context's own saves: their changes are already in memory.
    QSet<qint64> m_ownTokens;

    // Every object ever handed out stays allocated until the context ends, so a pointer a screen still
    // holds to a deleted record never dangles.
    std::vector<std::unique_ptr<ManagedObject>> m_allObjects;
    QHash<RegistryKey, ManagedObject*> m_registry;
    QList<ManagedObject*> m_inserted;
    QList<ManagedObject*> m_updated;
    QSet<ManagedObject*> m_updatedSet;
    QList<ManagedObject*> m_deleted;
};
