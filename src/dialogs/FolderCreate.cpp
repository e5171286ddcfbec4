#include "FolderCreate.h"

#include "core/Helpers.h"
#include "dialogs/DialogInput.h"
#include "dialogs/SEKDialogInput.h"

std::shared_ptr<FolderCreate> FolderCreate::create()
{
    return std::shared_ptr<FolderCreate>(new FolderCreate());
}

void FolderCreate::createFolder(ViewController* fromViewController, Completion completion)
{
    setupObservers();
    m_completion = std::move(completion);
    auto self = sharedSelf<FolderCreate>();
    auto ok = [self](std::optional<QString> text) {
        self->tearDownObservers();
        if (self->m_completion)
            self->m_completion(text.value_or(QString()));
    };
    auto cancel = [self] {
        self->tearDownObservers();
    };
    if (Helpers::iPadOrMac())
        DialogInput().show(DialogTitle, DialogLabel, DialogPlaceholder, QString(), fromViewController, ok, cancel);
    else
        SEKDialogInput().show(DialogTitle, DialogLabel, DialogPlaceholder, QString(), ok, cancel);
}
