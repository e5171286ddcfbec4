#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QPointer>
#include <QString>
#include <memory>

class ManagedObjectContext;
class Project;
class QWidget;
class ViewController;

// Renames a project through an alert with one text field; OK writes the title and the project's
// modification date and saves.
class MacProjectRename : public iCloudAwareDialog {
public:
    static inline const QString ProjectTitle = QStringLiteral("Project Title");
    static inline const QString ProjectMessage = QStringLiteral("Enter the title for this project");

    static std::shared_ptr<MacProjectRename> create(ViewController* controller, ManagedObjectContext* context);

    void renameProject(Project* project);
    void handleRename(Project* project, const QString& newTitle);

    // The write shared with the input-dialog rename.
    static void writeTitle(ManagedObjectContext* context, Project* project, const QString& newTitle,
                           QWidget* presenter);

    QString originalTitle() const { return m_originalTitle; }

private:
    MacProjectRename(ViewController* controller, ManagedObjectContext* context);

    void renameAlertTextFieldDidChange();

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    QString m_originalTitle;
};
