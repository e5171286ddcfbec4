#include "CardRename.h"

#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/DialogInput.h"
#include "dialogs/MacCardRename.h"
#include "dialogs/SEKDialogInput.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

std::shared_ptr<CardRename> CardRename::create(ViewController* controller, ManagedObjectContext* context)
{
    return std::shared_ptr<CardRename>(new CardRename(controller, context));
}

CardRename::CardRename(ViewController* controller, ManagedObjectContext* context)
    : m_parentController(controller), m_managedObjectContext(context)
{
}

void CardRename::renameCard(ProjectItem* record, bool deferSave, Completion completion)
{
    m_deferSave = deferSave;
    setupObservers();
    m_completion = std::move(completion);
    m_record = record;
    const QVariant type = record ? record->value(ProjectItem::ItemTypeKey) : QVariant();
    const bool folder = !type.isNull() && type.toLongLong() == ProjectItemTypes::Folder;
    const QString title = folder ? MacCardRename::FolderTitle : MacCardRename::CardTitle;
    const QString label = folder ? MacCardRename::FolderMessage : MacCardRename::CardMessage;
    const QString initialText = record ? record->title() : QString();

    auto self = sharedSelf<CardRename>();
    auto ok = [self](std::optional<QString> text) {
        self->confirm(text.value_or(QString()));
    };
    auto cancel = [self] {
        self->tearDownObservers();
    };
    if (Helpers::iPadOrMac())
        DialogInput().show(title, label, title, initialText, m_parentController, ok, cancel);
    else
        SEKDialogInput().show(title, label, title, initialText, ok, cancel);
}

void CardRename::confirm(const QString& text)
{
    tearDownObservers();
    if (!m_deferSave && m_record && !m_record->uniqueIdentifier().isEmpty())
        MacCardRename::writeTitle(m_managedObjectContext, m_record, text, m_parentController);
    if (m_completion)
        m_completion(text, m_record ? m_record->uniqueIdentifier() : QString());
}
