#pragma once

#include "TestStore.h"

#include "core/DbHelpers.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "dialogs/DialogInfoController.h"
#include "dialogs/DialogInputController.h"
#include "dialogs/DialogMenuController.h"
#include "platform/Alert.h"
#include "platform/NavigationController.h"
#include "platform/Uuid.h"
#include "platform/ViewController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

// A fresh store with one project, builders for folders and cards, and a screen on display that presents the
// operations' dialogs. Dialogs still open at the end of a test are closed.
class ItemOperationsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_presenter.resize(800, 600);
        m_presenter.show();
        m_project = context()->insertNew<Project>();
        m_project->setUniqueIdentifier(Uuid::uuidString());
        m_project->setProjectTitle(QStringLiteral("Harbour"));
        m_project->setDisplayOrder(1);
        m_project->setLastModified(longAgo());
        m_projectId = m_project->uniqueIdentifier();
    }

    void TearDown() override
    {
        for (Alert* alert : Alert::presented())
            alert->trigger(alert->actionTitles().size() - 1);
        m_presenter.dismiss(false);
        QCoreApplication::processEvents();
    }

    ManagedObjectContext* context() { return m_store.context(); }
    ViewController* presenter() { return &m_presenter; }
    // Kept as text: the project record goes when the store is reopened.
    QString projectId() const { return m_projectId; }
    static QDateTime longAgo() { return QDateTime::currentDateTime().addDays(-100); }

    ProjectItem* addItem(const QString& parentId, qint64 type, const QString& title, qint64 order = 1)
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(projectId());
        item->setParentItemId(parentId);
        item->setItemType(type);
        item->setTitle(title);
        item->setDisplayOrder(order);
        item->setLastModified(longAgo());
        return item;
    }
    ProjectItem* addFolder(const QString& parentId, const QString& title, qint64 order = 1)
    {
        return addItem(parentId, ProjectItemTypes::Folder, title, order);
    }
    ProjectItemDocument* addDocument(const ProjectItem* card, const QByteArray& content)
    {
        auto* document = context()->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(Uuid::uuidString());
        document->setProjectId(card->projectId());
        document->setParentItemId(card->uniqueIdentifier());
        document->setMimetype(DocumentMimeTypes::Rtf);
        document->setContent(content);
        return document;
    }
    void save() { ASSERT_FALSE(context()->save()) << "save failed"; }

    // Makes the file refuse every change to an item, as a full disk would.
    void refuseItemUpdates()
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_store.path().toUtf8().constData(), &db), SQLITE_OK);
        const char* sql = "CREATE TRIGGER refuse BEFORE UPDATE ON ProjectItem "
                          "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;";
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // The dialog the screen presents inside its navigation controller, or nullptr.
    template <class T> T* presentedDialog()
    {
        auto* navigation = qobject_cast<NavigationController*>(m_presenter.presentedViewController());
        return navigation ? qobject_cast<T*>(navigation->topViewController()) : nullptr;
    }
    DialogInputController* inputDialog() { return presentedDialog<DialogInputController>(); }
    DialogMenuController* menuDialog() { return presentedDialog<DialogMenuController>(); }
    DialogInfoController* infoDialog() { return presentedDialog<DialogInfoController>(); }

    QStringList menuLabels()
    {
        QStringList labels;
        if (DialogMenuController* menu = menuDialog()) {
            for (const DialogMenuItem& row : menu->items())
                labels.append(row.label());
        }
        return labels;
    }

    // Children of the folder as the store holds them, by display order: "title:order".
    QStringList folderOrders(const QString& folderId)
    {
        QStringList orders;
        for (ProjectItem* child : DbHelpers::getFolderItems(context(), projectId(), folderId))
            orders.append(QStringLiteral("%1:%2").arg(child->title()).arg(child->displayOrder()));
        return orders;
    }

    // Whether the moment lies within the last minute.
    static bool isRecent(const QDateTime& moment)
    {
        return moment.isValid() && moment.secsTo(QDateTime::currentDateTime()) < 60;
    }

    TestStore m_store;
    ViewController m_presenter;
    Project* m_project = nullptr;
    QString m_projectId;
};
