#pragma once

#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QTemporaryDir>
#include <memory>

// A fresh "CardStore" file with the application's model in a temporary folder, removed afterwards.
class TestStore {
public:
    TestStore();

    PersistentContainer& container() { return *m_container; }
    ManagedObjectContext* context() { return m_container->viewContext(); }
    QString path() const { return m_dir.filePath(QStringLiteral("CardStore.sqlite")); }
    QString folder() const { return m_dir.path(); }
    // Closes and opens the file again, as a new launch would.
    void reopen();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PersistentContainer> m_container;
};
