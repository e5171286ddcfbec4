#include "SchemaMigrator.h"

#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <QSet>

SchemaMigrator::SchemaMigrator(SqliteDatabase& database, const ManagedObjectModel& model)
    : m_database(database), m_model(model)
{
}

std::optional<StoreError> SchemaMigrator::migrate()
{
    StoreError readError;
    // Reading first: a file that is not a store fails here, before anything could be written to it.
    const QVariant stored = m_database.scalar(QStringLiteral("PRAGMA user_version"), {}, &readError);
    if (!stored.isValid())
        return readError.message.isEmpty() ? StoreError{QStringLiteral("The store file cannot be read.")} : readError;
    const int fileVersion = stored.toInt();
    if (fileVersion > m_model.version()) {
        return StoreError{QStringLiteral("The store was written by a newer version of the application "
                                         "(store version %1, this version reads up to %2).")
                              .arg(fileVersion)
                              .arg(m_model.version())};
    }
    if (auto error = m_database.begin())
        return error;
    for (const EntityDescription* entity : m_model.entities()) {
        std::optional<StoreError> error = createEntityTable(*entity);
        if (!error)
            error = addMissingColumns(*entity);
        if (!error)
            error = dropStaleIndexes(*entity);
        if (!error)
            error = createIndexes(*entity);
        if (error) {
            m_database.rollback();
            return error;
        }
    }
    if (fileVersion != m_model.version()) {
        if (auto error = m_database.execute(QStringLiteral("PRAGMA user_version = %1").arg(m_model.version()))) {
            m_database.rollback();
            return error;
        }
    }
    return m_database.commit();
}

std::optional<StoreError> SchemaMigrator::createEntityTable(const EntityDescription& entity)
{
    QStringList columns{QStringLiteral("pk INTEGER PRIMARY KEY AUTOINCREMENT")};
    for (const AttributeDescription& attribute : entity.attributes())
        columns.append(SqliteDatabase::quotedName(attribute.name()) + QLatin1Char(' ') + attribute.sqlType());
    return m_database.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
                                  .arg(SqliteDatabase::quotedName(entity.name()), columns.join(QStringLiteral(", "))));
}

std::optional<StoreError> SchemaMigrator::addMissingColumns(const EntityDescription& entity)
{
    SqliteStatement info(m_database,
                         QStringLiteral("PRAGMA table_info(%1)").arg(SqliteDatabase::quotedName(entity.name())));
    QSet<QString> existing;
    while (info.step())
        existing.insert(info.column(1).toString());
    if (info.error())
        return info.error();
    for (const AttributeDescription& attribute : entity.attributes()) {
        if (existing.contains(attribute.name()))
            continue;
        const QString sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                .arg(SqliteDatabase::quotedName(entity.name()),
                                     SqliteDatabase::quotedName(attribute.name()), attribute.sqlType());
        if (auto error = m_database.execute(sql))
            return error;
    }
    return std::nullopt;
}

QString SchemaMigrator::indexName(const EntityDescription& entity, const QStringList& columns)
{
    return QStringLiteral("idx_%1_%2").arg(entity.name(), columns.join(QLatin1Char('_')));
}

std::optional<StoreError> SchemaMigrator::createIndexes(const EntityDescription& entity)
{
    for (const QStringList& columns : entity.indexes()) {
        QStringList quoted;
        for (const QString& column : columns)
            quoted.append(SqliteDatabase::quotedName(column));
        const QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                                .arg(SqliteDatabase::quotedName(indexName(entity, columns)),
                                     SqliteDatabase::quotedName(entity.name()), quoted.join(QStringLiteral(", ")));
        if (auto error = m_database.execute(sql))
            return error;
    }
    return std::nullopt;
}

// An index the model no longer declares still costs time on every write of its table. Only indexes named the
// way createIndexes names them go: one someone made by hand on the file is theirs to keep.
std::optional<StoreError> SchemaMigrator::dropStaleIndexes(const EntityDescription& entity)
{
    QSet<QString> wanted;
    for (const QStringList& columns : entity.indexes())
        wanted.insert(indexName(entity, columns));
    const QString prefix = indexName(entity, {});
    SqliteStatement stored(m_database,
                           QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1"));
    stored.bindText(1, entity.name());
    QStringList stale;
    while (stored.step()) {
        const QString name = stored.column(0).toString();
        if (name.startsWith(prefix) && !wanted.contains(name))
            stale.append(name);
    }
    if (stored.error())
        return stored.error();
    for (const QString& name : stale) {
        if (auto error = m_database.execute(QStringLiteral("DROP INDEX %1").arg(SqliteDatabase::quotedName(name))))
            return error;
    }
    return std::nullopt;
}
