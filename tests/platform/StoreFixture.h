#pragma once

#include "StoreTestModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

// A store of the test model in a file of its own, opened before each test, with what the store tests do to it
// from outside: open it again (as after a restart), open a second connection, run raw SQL as another program.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    QString path() const { return m_dir.filePath(QStringLiteral("CardStore.sqlite")); }
    ManagedObjectContext* context() const { return m_container->viewContext(); }

    void open(int version = 1)
    {
        m_container.reset();
        m_container = std::make_unique<PersistentContainer>(QStringLiteral("CardStore"), storeTestModel(version));
        auto error = m_container->loadPersistentStores(path());
        ASSERT_FALSE(error) << error->description().toStdString();
    }

    std::unique_ptr<PersistentContainer> openSecond() const
    {
        auto second = std::make_unique<PersistentContainer>(QStringLiteral("CardStore"), storeTestModel());
        EXPECT_FALSE(second->loadPersistentStores(path()));
        return second;
    }

    // Runs SQL on a separate raw connection, as a tool or another program would.
    void rawExecute(const QString& sql) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PersistentContainer> m_container;
};
