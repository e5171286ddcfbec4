#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class ManagedObjectContext;
class ProjectItem;
class ViewController;

// Renames a card or a folder through the input dialog, with the same writes as MacCardRename.
class CardRename : public iCloudAwareDialog {
public:
    // The trimmed title and the identifier of the renamed item (empty without an item).
    using Completion = std::function<void(const QString& newTitle, const QString& itemId)>;

    static std::shared_ptr<CardRename> create(ViewController* controller, ManagedObjectContext* context);

    // Shows the dialog for record (nullptr opens it empty, with the card wording). Cancel calls nothing.
    void renameCard(ProjectItem* record, bool deferSave, Completion completion = {});

    bool deferSave() const { return m_deferSave; }
    ProjectItem* record() const { return m_record; }

private:
    CardRename(ViewController* controller, ManagedObjectContext* context);

    void confirm(const QString& text);

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    bool m_deferSave = false;
    ProjectItem* m_record = nullptr;
    Completion m_completion;
};
