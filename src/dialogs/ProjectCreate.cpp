#include "ProjectCreate.h"

#include "core/Helpers.h"
#include "dialogs/DialogInput.h"
#include "dialogs/SEKDialogInput.h"

std::shared_ptr<ProjectCreate> ProjectCreate::create()
{
    return std::shared_ptr<ProjectCreate>(new ProjectCreate());
}

void ProjectCreate::createProject(ViewController* fromViewController, Completion completion, Cancelled cancelled)
{
    setupObservers();
    m_completion = std::move(completion);
    m_cancelled = std::move(cancelled);
    auto self = sharedSelf<ProjectCreate>();
    auto ok = [self](std::optional<QString> text) {
        self->tearDownObservers();
        if (self->m_completion)
            self->m_completion(text.value_or(QString()));
    };
    auto cancel = [self] {
        self->tearDownObservers();
        if (self->m_cancelled)
            self->m_cancelled();
    };
    if (Helpers::iPadOrMac())
        DialogInput().show(DialogTitle, DialogLabel, DialogPlaceholder, QString(), fromViewController, ok, cancel);
    else
        SEKDialogInput().show(DialogTitle, DialogLabel, DialogPlaceholder, QString(), ok, cancel);
}
