#pragma once

#include "ManagedObjectModel.h"
#include "StoreError.h"

#include <optional>

class SqliteDatabase;

// Brings a store file's tables up to the model: creates what is missing, adds new attributes as columns and
// drops the indexes it made that the model no longer declares, then records the model's version.
// A file written by a newer model is refused untouched.
class SchemaMigrator {
public:
    SchemaMigrator(SqliteDatabase& database, const ManagedObjectModel& model);

    std::optional<StoreError> migrate();

private:
    std::optional<StoreError> createEntityTable(const EntityDescription& entity);
    std::optional<StoreError> addMissingColumns(const EntityDescription& entity);
    std::optional<StoreError> createIndexes(const EntityDescription& entity);
    std::optional<StoreError> dropStaleIndexes(const EntityDescription& entity);
    static QString indexName(const EntityDescription& entity, const QStringList& columns);

    SqliteDatabase& m_database;
    const ManagedObjectModel& m_model;
};
