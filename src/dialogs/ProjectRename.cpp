#include "ProjectRename.h"

#include "core/Helpers.h"
#include "core/Project.h"
#include "dialogs/DialogInput.h"
#include "dialogs/MacProjectRename.h"
#include "dialogs/SEKDialogInput.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

std::shared_ptr<ProjectRename> ProjectRename::create(ViewController* controller, ManagedObjectContext* context)
{
    return std::shared_ptr<ProjectRename>(new ProjectRename(controller, context));
}

ProjectRename::ProjectRename(ViewController* controller, ManagedObjectContext* context)
    : m_parentController(controller), m_managedObjectContext(context)
{
}

void ProjectRename::renameProject(Project* record, bool deferSave, Completion completion)
{
    Q_UNUSED(deferSave)
    setupObservers();
    m_completion = std::move(completion);
    m_record = record;
    const QString title = MacProjectRename::ProjectTitle;
    const QString initialText = record ? record->projectTitle() : QString();

    auto self = sharedSelf<ProjectRename>();
    auto ok = [self](std::optional<QString> text) {
        self->confirm(text.value_or(QString()));
    };
    auto cancel = [self] {
        self->tearDownObservers();
    };
    if (Helpers::iPadOrMac())
        DialogInput().show(title, ProjectLabel, title, initialText, m_parentController, ok, cancel);
    else
        SEKDialogInput().show(title, ProjectLabel, title, initialText, ok, cancel);
}

void ProjectRename::confirm(const QString& text)
{
    tearDownObservers();
    if (m_record)
        MacProjectRename::writeTitle(m_managedObjectContext, m_record, text, m_parentController);
    if (m_completion)
        m_completion(text, m_record ? m_record->uniqueIdentifier() : QString());
}
