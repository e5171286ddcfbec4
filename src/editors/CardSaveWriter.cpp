#include "CardSaveWriter.h"

#include "PvBaseEditor.h"
#include "core/DbHelpers.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/ProjectStat.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "dialogs/TagMenuController.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QTextBoundaryFinder>

namespace {

const QString UntitledPrefix = QStringLiteral("Untitled");

} // namespace

bool CardSaveWriter::isPlaceholderTitle(const QString& title)
{
    return SharedHelpers::isEmptyString(title) || title.startsWith(UntitledPrefix);
}

qint64 CardSaveWriter::countCharacters(const QString& text)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qint64 count = 0;
    while (graphemes.toNextBoundary() > 0)
        ++count;
    return count;
}

void CardSaveWriter::forget()
{
    m_insertedCard = nullptr;
    m_pendingStat = nullptr;
}

bool CardSaveWriter::write(const std::optional<QString>& copyTitle, const std::optional<WritingStart>& writing)
{
    ManagedObjectContext* context = m_editor.managedObjectContext();
    PvTextView* view = m_editor.editor();
    const QString text = view->toPlainText();
    const qint64 cursorOffset = view->textCursor().selectionStart();
    detachIfDeletedElsewhere();

    ProjectItem* item = m_editor.currentObject();
    QString title;
    if (item) {
        title = titleForExistingCard(item, text);
    } else {
        item = createCard(text, copyTitle);
        title = item->title();
    }
    // A body that could not be read is not in the view: which of the card's terms its words gave is unknown, so
    // every one stands, and the title's are added.
    const std::optional<EditorContentStore::KeptBody>& kept = m_editor.keptBody();
    item->setTerms(kept ? Indexer::termsKeeping({title}, kept->terms) : Indexer::terms({title, text}));
    TagMenuController::applyTag(item, m_editor.tag());
    item->setNotes(m_editor.notes());
    item->setTitle(title);
    if (!m_editor.contentChanged() && !copyTitle) {
        DbHelpers::updateModDatePath(context, item);
        DbHelpers::updateProjectModDate(context, item->projectId());
        return true;
    }
    // The body first: when it cannot be written nothing else claims that the card changed.
    if (!m_editor.saveContent())
        return false;
    const qint64 words = kept ? kept->wordCount : SharedHelpers::countWords(text);
    item->setSummary(kept ? kept->summary : SharedHelpers::getSummary(text, SharedHelpers::SummarySize));
    item->setWordCount(words);
    item->setCharCount(kept ? kept->charCount : countCharacters(text));
    m_editor.saveCursorPosition(cursorOffset);
    DbHelpers::updateModDatePath(context, item);
    DbHelpers::updateProjectModDate(context, item->projectId());
    if (writing)
        addWritingRecord(item->uniqueIdentifier(), words, *writing);
    return true;
}

void CardSaveWriter::detachIfDeletedElsewhere()
{
    ProjectItem* item = m_editor.currentObject();
    if (!item)
        return;
    // Another process deleted the card while it was open: its words become a new card rather than an update
    // of a row that is gone.
    if (!item->isDeleted() && DbHelpers::getItem(m_editor.managedObjectContext(), item->uniqueIdentifier()))
        return;
    m_editor.setCurrentObject(nullptr);
    m_editor.setCurrentDocument(nullptr);
    m_detached = true;
}

QString CardSaveWriter::folderThatExists() const
{
    const QString folderId = m_editor.currentFolderId();
    if (folderId.isEmpty() || folderId == ItemIds::Top)
        return ItemIds::Top;
    const ProjectItem* folder = DbHelpers::getItem(m_editor.managedObjectContext(), folderId);
    // A card is never put under a folder that is gone; the top of the project always exists.
    return folder && !folder->isDeleted() ? folderId : ItemIds::Top;
}

ProjectItem* CardSaveWriter::createCard(const QString& text, const std::optional<QString>& copyTitle)
{
    ManagedObjectContext* context = m_editor.managedObjectContext();
    const QString folderId = folderThatExists();
    m_editor.setCurrentFolderId(folderId);
    // The folder's whole child list as stored, not the cards a filtered board shows: orders never repeat.
    const qint64 order = qint64(DbHelpers::getFolderItemsCount(context, m_editor.currentProjectId(), folderId)) + 1;
    auto* item = context->insertNew<ProjectItem>();
    item->setUniqueIdentifier(Uuid::uuidString());
    item->setProjectId(m_editor.currentProjectId());
    item->setParentItemId(folderId);
    const QString existing = m_editor.fullTitle();
    QString title;
    if (copyTitle) {
        title = *copyTitle;
    } else if (!isPlaceholderTitle(existing)) {
        title = existing;
    } else {
        const QString summary = SharedHelpers::getSummary(text, SharedHelpers::TitleSize);
        title = !text.isEmpty() && !SharedHelpers::isEmptyString(summary) ? summary : m_editor.untitledTitle();
    }
    item->setTitle(title);
    item->setItemType(m_editor.currentItemType());
    item->setItemFormat(ProjectItemFormats::Text);
    item->setFolderType(ProjectFolderTypes::Card);
    item->setDisplayOrder(order);
    m_editor.setCurrentObject(item);
    m_editor.trackInserted(item);
    m_insertedCard = item;
    return item;
}

QString CardSaveWriter::titleForExistingCard(ProjectItem* item, const QString& text)
{
    const QString current = m_editor.fullTitle();
    if (!isPlaceholderTitle(current))
        return current;
    const QString derived = SharedHelpers::getTitle(text, current, m_editor.untitledTitle());
    if (derived != current)
        item->setTitle(derived);
    return derived;
}

void CardSaveWriter::addWritingRecord(const QString& itemId, qint64 wordCount, const WritingStart& writing)
{
    ManagedObjectContext* context = m_editor.managedObjectContext();
    // A record left by a failed attempt is this save's record, also when another save of the context has
    // stored it meanwhile; a second one would count the same words twice.
    if (!m_pendingStat || m_pendingStat->isDeleted()) {
        m_pendingStat = context->insertNew<ProjectStat>();
        m_pendingStat->setUniqueIdentifier(Uuid::uuidString());
        m_editor.trackInserted(m_pendingStat);
    }
    const QDateTime start = writing.time;
    m_pendingStat->setProjectId(m_editor.currentProjectId());
    m_pendingStat->setProjectItemId(itemId);
    m_pendingStat->setStartTime(start);
    m_pendingStat->setTime(start.isValid() ? start.secsTo(QDateTime::currentDateTime()) : 0);
    m_pendingStat->setWordCount(wordCount - writing.wordCount.value_or(0));
}
