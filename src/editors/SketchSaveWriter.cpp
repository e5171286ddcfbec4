#include "SketchSaveWriter.h"

#include "KuvBaseSketch.h"
#include "core/DbHelpers.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "dialogs/TagMenuController.h"
#include "platform/Uuid.h"
#include "platform/ink/InkCanvas.h"
#include "platform/store/ManagedObjectContext.h"

#include <QLineEdit>

SketchSaveWriter::Result SketchSaveWriter::write(const std::optional<QString>& copyTitle)
{
    ManagedObjectContext* context = m_editor.m_context;
    detachIfDeletedElsewhere();
    ProjectItem* item = m_editor.m_currentObject;
    const bool isNew = !item;
    if (isNew)
        item = createCard();
    const bool writeTitle = copyTitle || m_editor.m_titleChanged || isNew;
    const QString title = copyTitle ? *copyTitle : m_editor.m_titleView->text();
    if (writeTitle) {
        item->setTitle(title);
        item->setTerms(Indexer::terms({title}));
    }
    if (m_editor.m_contentChanged || copyTitle) {
        const bool hadRecord = m_editor.m_document.record() != nullptr;
        // An unreadable drawing is kept as stored: the document answers KeptUnreadable and writes nothing.
        const SketchDrawingDocument::SaveResult saved =
            m_editor.m_document.save(context, item, m_editor.m_canvas->drawing());
        if (saved == SketchDrawingDocument::SaveResult::TooLarge)
            return Result::TooLarge;
        if (!hadRecord && m_editor.m_document.record())
            m_editor.m_pending.track(m_editor.m_document.record());
    }
    TagMenuController::applyTag(item, m_editor.m_tag);
    item->setNotes(m_editor.m_notes);
    DbHelpers::updateModDatePath(context, item);
    DbHelpers::updateProjectModDate(context, item->projectId());
    return Result::Written;
}

void SketchSaveWriter::detachIfDeletedElsewhere()
{
    ProjectItem* item = m_editor.m_currentObject;
    if (!item)
        return;
    if (!item->isDeleted() && DbHelpers::getItem(m_editor.m_context, item->uniqueIdentifier()))
        return;
    // Another process deleted the card while it was open: the drawing becomes a new card rather than an
    // update of rows that are gone.
    m_editor.m_currentObject = nullptr;
    m_editor.m_document = SketchDrawingDocument();
    m_editor.m_contentChanged = true;
}

ProjectItem* SketchSaveWriter::createCard()
{
    ManagedObjectContext* context = m_editor.m_context;
    // A card that a failed attempt inserted is this save's card.
    if (m_insertedCard && !m_insertedCard->isDeleted()) {
        m_editor.m_currentObject = m_insertedCard;
        return m_insertedCard;
    }
    QString folderId = m_editor.m_currentFolderId;
    // A card is never put under a folder that is gone (or none); the top of the project always exists.
    const ProjectItem* folder = DbHelpers::getItem(context, folderId);
    if (!folder || folder->isDeleted())
        folderId = ItemIds::Top;
    m_editor.m_currentFolderId = folderId;
    // The folder's whole child list as stored, not the cards a filtered board shows: orders never repeat.
    const qint64 order = qint64(DbHelpers::getFolderItemsCount(context, m_editor.m_currentProjectId, folderId)) + 1;
    auto* item = context->insertNew<ProjectItem>();
    item->setUniqueIdentifier(Uuid::uuidString());
    item->setProjectId(m_editor.m_currentProjectId);
    item->setParentItemId(folderId);
    item->setItemType(m_editor.m_currentItemType);
    item->setItemFormat(ProjectItemFormats::Sketch);
    item->setFolderType(ProjectFolderTypes::Card);
    item->setDisplayOrder(order);
    m_editor.m_currentObject = item;
    m_editor.m_pending.track(item);
    m_insertedCard = item;
    return item;
}
