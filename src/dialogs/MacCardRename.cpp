#include "MacCardRename.h"

#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>

namespace {

// Blanks and tabs only: a line break is part of what the writer typed.
QString trimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    const auto isBlank = [](QChar unit) {
        return unit == u' ' || unit == u'\t';
    };
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

QString documentText(ManagedObjectContext* context, const QString& itemId)
{
    ProjectItemDocument* document = DbHelpers::getItemDocument(context, itemId);
    if (!document || document->content().isEmpty())
        return {};
    // An unreadable body adds no terms; the rename goes ahead all the same.
    const std::unique_ptr<QTextDocument> text = Helpers::textFromData(document->content());
    return text ? text->toPlainText() : QString();
}

bool isFolder(const ProjectItem* item)
{
    const QVariant type = item->value(ProjectItem::ItemTypeKey);
    return !type.isNull() && type.toLongLong() == ProjectItemTypes::Folder;
}

} // namespace

std::shared_ptr<MacCardRename> MacCardRename::create(ViewController* controller, ManagedObjectContext* context)
{
    return std::shared_ptr<MacCardRename>(new MacCardRename(controller, context));
}

MacCardRename::MacCardRename(ViewController* controller, ManagedObjectContext* context)
    : m_parentController(controller), m_managedObjectContext(context)
{
}

bool MacCardRename::acceptsTitle(const QString& text, const QString& originalTitle)
{
    return !trimBlanks(text).isEmpty() && text != originalTitle;
}

void MacCardRename::renameCard(ProjectItem* item, bool deferSave, Completion completion,
                               const std::optional<QString>& currentTitle)
{
    m_deferSave = deferSave;
    setupObservers();
    const bool folder = item && isFolder(item);
    m_originalTitle = currentTitle ? *currentTitle : item ? item->title() : QString();
    const QString title = folder ? FolderTitle : CardTitle;

    auto* alert = new Alert(title, folder ? FolderMessage : CardMessage, AlertStyle::Alert);
    setDialogView(alert);
    auto self = sharedSelf<MacCardRename>();
    alert->addAction(OkTitle, AlertActionStyle::Default, [self, item, completion] { self->confirm(item, completion); });
    // Cancel style, so that Escape closes the alert as it does every other one.
    alert->addAction(CancelTitle, AlertActionStyle::Cancel, [self] { self->tearDownObservers(); });
    std::weak_ptr<MacCardRename> weak = self;
    alert->addTextField([this, title, weak](QLineEdit* field) {
        field->setPlaceholderText(title);
        field->setText(m_originalTitle);
        QObject::connect(field, &QLineEdit::textChanged, field, [weak] {
            if (auto operation = weak.lock())
                operation->renameAlertTextFieldDidChange();
        });
    });
    if (QPushButton* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0")))
        ok->setEnabled(false);
    alert->present(m_parentController);
}

void MacCardRename::renameAlertTextFieldDidChange()
{
    Alert* alert = dialogView();
    if (!alert || alert->textFields().isEmpty())
        return;
    if (QPushButton* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0")))
        ok->setEnabled(acceptsTitle(alert->textFields().first()->text(), m_originalTitle));
}

void MacCardRename::confirm(ProjectItem* item, const Completion& completion)
{
    tearDownObservers();
    Alert* alert = dialogView();
    // Taken as typed: a leading or trailing blank the writer added on purpose is kept.
    const QString text = alert && !alert->textFields().isEmpty() ? alert->textFields().first()->text() : QString();
    handleRename(item, text);
    if (completion)
        completion(text, item ? item->uniqueIdentifier() : QString());
}

void MacCardRename::handleRename(ProjectItem* item, const QString& newTitle)
{
    if (m_deferSave || !item)
        return;
    writeTitle(m_managedObjectContext, item, newTitle, m_parentController);
}

void MacCardRename::writeTitle(ManagedObjectContext* context, ProjectItem* item, const QString& newTitle,
                               QWidget* presenter)
{
    if (!context || !item)
        return;
    item->setTitle(newTitle);
    DbHelpers::updateModDatePath(context, item);
    DbHelpers::updateProjectModDate(context, item->projectId());
    item->setTerms(Indexer::terms({newTitle, documentText(context, item->uniqueIdentifier())}));
    DbHelpers::saveManagedObjectContext(context, presenter);
}
