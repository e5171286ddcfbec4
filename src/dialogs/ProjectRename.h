#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class ManagedObjectContext;
class Project;
class ViewController;

// Renames a project through the input dialog, with the same writes as MacProjectRename.
class ProjectRename : public iCloudAwareDialog {
public:
    // The trimmed title and the identifier of the renamed project (empty without one).
    using Completion = std::function<void(const QString& newTitle, const QString& projectId)>;

    static inline const QString ProjectLabel = QStringLiteral("Enter the title for this project.");

    static std::shared_ptr<ProjectRename> create(ViewController* controller, ManagedObjectContext* context);

    // deferSave is accepted for symmetry with CardRename and has no effect: a project title is always saved.
    void renameProject(Project* record, bool deferSave, Completion completion = {});

    Project* record() const { return m_record; }

private:
    ProjectRename(ViewController* controller, ManagedObjectContext* context);

    void confirm(const QString& text);

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    Project* m_record = nullptr;
    Completion m_completion;
};
