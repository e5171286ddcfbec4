#pragma once

#include "TestStore.h"
#include "board/PeekTableViewController.h"
#include "core/CardProps.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QCoreApplication>
#include <memory>

// Two projects in a fresh store. "Harbour Novel" (P1): at the top level the cards Lighthouse and Storm;
// folders Act One (cards Arrival, Departure; inside it Chapter 1 with card Tide), Act Two (card Keeper's
// Daughter) and Empty. "Second Book" (P2), listed first: folder Part with card Ferry, and card Quay at the top.
// Departure is the card being edited.
class PeekFixture {
public:
    PeekFixture()
    {
        addProject(QStringLiteral("P1"), QStringLiteral("Harbour Novel"), 2);
        addProject(QStringLiteral("P2"), QStringLiteral("Second Book"), 1);
        addItem(QStringLiteral("F1"), QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Folder, "Act One", 3);
        addItem(QStringLiteral("F2"), QStringLiteral("P1"), QStringLiteral("F1"), ProjectItemTypes::Folder, "Chapter 1",
                3);
        addItem(QStringLiteral("F3"), QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Folder, "Act Two", 4);
        addItem(QStringLiteral("F4"), QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Folder, "Empty", 5);
        addItem(QStringLiteral("T1"), QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Idea, "Lighthouse", 1,
                " lighthouse keeper");
        addItem(QStringLiteral("T2"), QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Story, "Storm", 2,
                " storm night");
        addItem(QStringLiteral("A1"), QStringLiteral("P1"), QStringLiteral("F1"), ProjectItemTypes::Story, "Arrival", 1,
                " arrival ferry");
        departure = addItem(QStringLiteral("A2"), QStringLiteral("P1"), QStringLiteral("F1"), ProjectItemTypes::Story,
                            "Departure", 2, " departure keeper");
        addItem(QStringLiteral("C1"), QStringLiteral("P1"), QStringLiteral("F2"), ProjectItemTypes::Event, "Tide", 1,
                " tide");
        addItem(QStringLiteral("B1"), QStringLiteral("P1"), QStringLiteral("F3"), ProjectItemTypes::Person,
                "Keeper's Daughter", 1, " keeper's daughter");
        addItem(QStringLiteral("G1"), QStringLiteral("P2"), ItemIds::Top, ProjectItemTypes::Folder, "Part", 1);
        addItem(QStringLiteral("K1"), QStringLiteral("P2"), QStringLiteral("G1"), ProjectItemTypes::Thing, "Ferry", 1,
                " ferry keeper");
        addItem(QStringLiteral("K2"), QStringLiteral("P2"), ItemIds::Top, ProjectItemTypes::Location, "Quay", 2,
                " quay");
        store.context()->save();
    }

    void addProject(const QString& id, const QString& title, int order)
    {
        auto* project = store.context()->insertNew<Project>();
        project->setUniqueIdentifier(id);
        project->setProjectTitle(title);
        project->setDisplayOrder(order);
    }

    ProjectItem* addItem(const QString& id, const QString& projectId, const QString& parentId, qint64 type,
                         const char* title, int order, const char* terms = "")
    {
        auto* item = store.context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(id);
        item->setProjectId(projectId);
        item->setParentItemId(parentId);
        item->setItemType(type);
        item->setFolderType(ProjectFolderTypes::Card);
        item->setTitle(QString::fromUtf8(title));
        item->setSummary(QStringLiteral("About %1, and what the harbour keeps of it.").arg(QString::fromUtf8(title)));
        item->setTerms(QString::fromUtf8(terms));
        item->setDisplayOrder(order);
        return item;
    }

    // The panel as an editor opens it, editing Departure in project P1.
    std::unique_ptr<PeekTableViewController> makePanel()
    {
        auto panel = std::make_unique<PeekTableViewController>();
        panel->setManagedObjectContext(store.context());
        panel->setProjectId(QStringLiteral("P1"));
        panel->setFolderId(QStringLiteral("F1"));
        panel->setCurrentObject(departure);
        panel->setCardProps(&cardProps);
        return panel;
    }

    TestStore store;
    CardProps cardProps;
    ProjectItem* departure = nullptr;
};

// A plain screen standing in for the editor the panel slides over.
class StandInEditor : public ViewController {
public:
    StandInEditor() { setObjectName(QStringLiteral("standInEditor")); }
};
