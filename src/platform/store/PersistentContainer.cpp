#include "PersistentContainer.h"

#include "RemoteChangeWatcher.h"
#include "SchemaMigrator.h"
#include "SqliteDatabase.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

PersistentContainer::PersistentContainer(QString name, ManagedObjectModel model, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_model(std::move(model))
{
}

PersistentContainer::~PersistentContainer()
{
    if (m_watcher)
        m_watcher->stop();
    m_viewContext.reset();
    m_database.reset();
}

QString PersistentContainer::defaultStorePath() const
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(m_name + QStringLiteral(".sqlite"));
}

QString PersistentContainer::storePath() const
{
    return m_database ? m_database->path() : QString();
}

std::optional<StoreError> PersistentContainer::loadPersistentStores(const QString& requestedPath)
{
    const QString path = requestedPath.isEmpty() ? defaultStorePath() : requestedPath;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return StoreError{QStringLiteral("Cannot create the folder of %1").arg(path)};
    auto database = std::make_unique<SqliteDatabase>();
    if (auto error = database->open(path))
        return error;
    m_database = std::move(database);
    if (auto error = SchemaMigrator(*m_database, m_model).migrate()) {
        m_database.reset();
        return error;
    }
    configureConnection();
    PersistentHistory history(*m_database);
    if (auto error = history.createTables()) {
        m_database.reset();
        return error;
    }
    m_viewContext = std::make_unique<ManagedObjectContext>(m_model, *m_database);
    connect(m_viewContext.get(), &ManagedObjectContext::didSave, this, &PersistentContainer::onLocalSave);
    m_watcher = std::make_unique<RemoteChangeWatcher>(*m_database);
    connect(m_watcher.get(), &RemoteChangeWatcher::remoteCommitDetected, this, &PersistentContainer::onRemoteCommit);
    m_watcher->start();
    return std::nullopt;
}

void PersistentContainer::configureConnection()
{
    // Set only once the file has proved to be a store: these pragmas write to it.
    m_database->execute(QStringLiteral("PRAGMA journal_mode=WAL"));
    m_database->execute(QStringLiteral("PRAGMA synchronous=FULL"));
    m_database->execute(QStringLiteral("PRAGMA foreign_keys=OFF"));
    // Years of records are read whole by some screens; beyond SQLite's 2 MiB default every such read
    // would fetch the file's pages again. Pages are only held once read.
    m_database->execute(QStringLiteral("PRAGMA cache_size=-65536"));
}

void PersistentContainer::onLocalSave(qint64 token)
{
    // Our own commits are announced too, as other processes' are; readers tell them apart by history.
    QPointer<PersistentContainer> self(this);
    Dispatch::main([self, token] {
        if (self)
            self->postRemoteChange(token);
    });
}

void PersistentContainer::onRemoteCommit()
{
    if (!m_viewContext)
        return;
    if (m_viewContext->automaticallyMergesChangesFromParent())
        m_viewContext->mergeRemoteChanges();
    postRemoteChange(PersistentHistory(*m_database).lastToken());
}

void PersistentContainer::postRemoteChange(qint64 token)
{
    emit remoteChange(token);
    QVariantMap userInfo{{QStringLiteral("storeURL"), storePath()}, {QStringLiteral("historyToken"), token}};
    NotificationCenter::defaultCenter().post(QString::fromLatin1(RemoteChangeNotification), this, userInfo);
}
