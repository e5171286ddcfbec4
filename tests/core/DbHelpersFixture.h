#pragma once

#include "TestStore.h"

#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "platform/Uuid.h"

#include <QDateTime>
#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

// A fresh store with builders for projects, folders and cards.
class DbHelpersFixture : public ::testing::Test {
protected:
    ManagedObjectContext* context() { return m_store.context(); }

    Project* addProject(const QString& title, qint64 order = 1)
    {
        auto* project = context()->insertNew<Project>();
        project->setUniqueIdentifier(Uuid::uuidString());
        project->setProjectTitle(title);
        project->setDisplayOrder(order);
        project->setLastModified(QDateTime::currentDateTime().addDays(-100));
        return project;
    }

    ProjectItem* addItem(const QString& projectId, const QString& parentId, qint64 type, const QString& title,
                         qint64 order = 1)
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(projectId);
        item->setParentItemId(parentId);
        item->setItemType(type);
        item->setTitle(title);
        item->setDisplayOrder(order);
        item->setTerms(QStringLiteral(" ") + title.toLower());
        item->setLastModified(QDateTime::currentDateTime().addDays(-100));
        return item;
    }

    ProjectItem* addFolder(const QString& projectId, const QString& parentId, const QString& title, qint64 order = 1)
    {
        return addItem(projectId, parentId, ProjectItemTypes::Folder, title, order);
    }

    ProjectItemDocument* addDocument(const ProjectItem* card)
    {
        auto* document = context()->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(Uuid::uuidString());
        document->setProjectId(card->projectId());
        document->setParentItemId(card->uniqueIdentifier());
        document->setMimetype(DocumentMimeTypes::RichText);
        return document;
    }

    void save() { ASSERT_FALSE(context()->save()) << "save failed"; }

    // SQL run on a connection of its own, as another program (or a full disk) would act on the store file.
    void executeOnStore(const QByteArray& sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_store.path().toUtf8().constData(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }

    template <class T> qint64 countOf(const QString& key, const QString& value)
    {
        FetchRequest request = T::fetchRequest();
        request.setPredicate(key + QStringLiteral(" == %@"), {value});
        return context()->count(request);
    }

    template <class T> static QStringList titles(const QList<T*>& items)
    {
        QStringList result;
        for (const T* item : items)
            result.append(item->title());
        return result;
    }

    TestStore m_store;
};
