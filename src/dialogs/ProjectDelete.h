#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QPointer>
#include <QString>
#include <memory>

class FetchedResultsController;
class ManagedObjectContext;
class Project;
class ViewController;

// Deletes a whole project with everything it holds after the writer confirms, then numbers the remaining
// projects of the list from 1. The project list follows the store by itself, so there is no completion.
class ProjectDelete : public iCloudAwareDialog {
public:
    static inline const QString AlertTitle = QStringLiteral("Delete Project");
    static inline const QString AlertMessage = QStringLiteral(
        "Are you sure you want to permanently delete this project and all items it contains?  This cannot be undone.");
    static inline const QString AlertIdentifier = QStringLiteral("deleteProjectAlert");

    static std::shared_ptr<ProjectDelete> create(ViewController* controller, ManagedObjectContext* context,
                                                 FetchedResultsController* fetchedResultsController);

    void deleteProject(Project* project);
    // Deletes without asking and saves.
    void handleDelete(const QString& projectId);

private:
    ProjectDelete(ViewController* controller, ManagedObjectContext* context,
                  FetchedResultsController* fetchedResultsController);

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    QPointer<FetchedResultsController> m_fetchedResultsController;
};
