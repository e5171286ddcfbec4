#pragma once

#include "ManagedObjectContext.h"
#include "ManagedObjectModel.h"
#include "StoreError.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class SqliteDatabase;
class RemoteChangeWatcher;

// The store container: one SQLite file named after the container, its view context and the
// remote-change notice.
class PersistentContainer : public QObject {
    Q_OBJECT

public:
    // Posted through the default notification center, with this container as the sender, after every
    // commit to the file: ours on save, another process's when noticed.
    static constexpr const char* RemoteChangeNotification = "NSPersistentStoreRemoteChangeNotification";

    PersistentContainer(QString name, ManagedObjectModel model, QObject* parent = nullptr);
    ~PersistentContainer() override;

    const QString& name() const { return m_name; }
    // The file "<name>.sqlite" in the application's data folder.
    QString defaultStorePath() const;

    // Opens (or creates) the file, migrates it and makes the view context. An empty path means the
    // default path. A file that cannot be opened is reported and left exactly as it was.
    std::optional<StoreError> loadPersistentStores(const QString& path = {});
    bool isLoaded() const { return m_viewContext != nullptr; }
    QString storePath() const;

    ManagedObjectContext* viewContext() const { return m_viewContext.get(); }
    const ManagedObjectModel& managedObjectModel() const { return m_model; }
    RemoteChangeWatcher* remoteChangeWatcher() const { return m_watcher.get(); }

signals:
    void remoteChange(qint64 historyToken);

private:
    void configureConnection();
    void onLocalSave(qint64 token);
    void onRemoteCommit();
    void postRemoteChange(qint64 token);

    QString m_name;
    ManagedObjectModel m_model;
    std::unique_ptr<SqliteDatabase> m_database;
    std::unique_ptr<ManagedObjectContext> m_viewContext;
    std::unique_ptr<RemoteChangeWatcher> m_watcher;
};
