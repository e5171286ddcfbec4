#include "EditorContentStore.h"

#include "PvBaseEditor.h"
#include "core/EditorState.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QTextDocument>

void EditorContentStore::setCurrentDocument(ProjectItemDocument* document)
{
    m_document = document;
}

EditorContentStore::Load EditorContentStore::loadContent()
{
    m_kept.reset();
    const ProjectItem* item = m_editor.currentObject();
    const QByteArray bytes = m_document ? m_document->content() : item ? item->content() : QByteArray();
    if (!m_document && bytes.isEmpty())
        return Load::NoBody;
    PvTextView* view = m_editor.editor();
    if (!bytes.isEmpty()) {
        const bool rtf = m_document && m_document->mimetype() == DocumentMimeTypes::Rtf;
        const RichTextDocumentFormat::LoadStatus status =
            rtf ? view->loadFromRTFData(bytes, true) : view->loadFrom(bytes, true);
        if (status == RichTextDocumentFormat::LoadStatus::Unreadable)
            m_kept = keep(bytes, item);
        // Sizing images and the like on the way in is not the writer's to undo.
        view->document()->clearUndoRedoStacks();
    }
    return m_kept ? Load::Unreadable : Load::Loaded;
}

bool EditorContentStore::saveContent()
{
    ProjectItem* item = m_editor.currentObject();
    if (!item)
        return true;
    // A body no reader accepts is never written over; a copy of its card takes it exactly as stored.
    if (m_kept && item->uniqueIdentifier() == m_kept->cardId)
        return false;
    // De-scaled by the zoom the text is shown at, which is the writer's choice once a rescale has run.
    const std::optional<QByteArray> bytes =
        m_kept ? std::optional(m_kept->content) : m_editor.editor()->getData(m_editor.editor()->fontSize());
    // An empty body written over the card's words and reported as saved would lose them all.
    if (!bytes)
        return false;
    if (!m_document)
        m_document = insertDocument(item);
    m_document->setContent(*bytes);
    m_document->setMimetype(m_kept ? m_kept->mimetype : DocumentMimeTypes::RichText);
    return true;
}

EditorContentStore::KeptBody EditorContentStore::keep(const QByteArray& bytes, const ProjectItem* item) const
{
    KeptBody kept;
    kept.content = bytes;
    kept.mimetype = m_document ? m_document->mimetype() : QString();
    if (item) {
        kept.cardId = item->uniqueIdentifier();
        kept.terms = item->terms();
        kept.summary = item->summary();
        kept.wordCount = item->wordCount();
        kept.charCount = item->charCount();
    }
    return kept;
}

ProjectItemDocument* EditorContentStore::insertDocument(ProjectItem* item) const
{
    auto* document = m_editor.managedObjectContext()->insertNew<ProjectItemDocument>();
    document->setUniqueIdentifier(Uuid::uuidString());
    document->setProjectId(item->projectId());
    document->setParentItemId(item->uniqueIdentifier());
    return document;
}

EditorState* EditorContentStore::fetchEditorState()
{
    ProjectItem* item = m_editor.currentObject();
    ManagedObjectContext* context = m_editor.managedObjectContext();
    if (!item || !context)
        return nullptr;
    FetchRequest request = EditorState::fetchRequest();
    request.setPredicate(QStringLiteral("cardItemId == %@"), {item->uniqueIdentifier()});
    request.setFetchLimit(1);
    const QList<ManagedObject*> found = context->fetch(request);
    return found.isEmpty() ? nullptr : static_cast<EditorState*>(found.first());
}

void EditorContentStore::saveCursorPosition(qint64 position)
{
    ProjectItem* item = m_editor.currentObject();
    if (!item)
        return;
    EditorState* state = fetchEditorState();
    if (!state) {
        state = m_editor.managedObjectContext()->insertNew<EditorState>();
        state->setCardItemId(item->uniqueIdentifier());
    }
    if (state->cursorPosition() != position || state->value(EditorState::CursorPositionKey).isNull())
        state->setCursorPosition(position);
}

qint64 EditorContentStore::savedCursorPosition()
{
    const EditorState* state = fetchEditorState();
    return state ? state->cursorPosition() : 0;
}
