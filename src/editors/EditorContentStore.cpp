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
    m_unreadable = false;
}

EditorContentStore::Load EditorContentStore::loadContent()
{
    m_unreadable = false;
    const ProjectItem* item = m_editor.currentObject();
    const QByteArray bytes = m_document ? m_document->content() : item ? item->content() : QByteArray();
    if (!m_document && bytes.isEmpty())
        return Load::NoBody;
    PvTextView* view = m_editor.editor();
    if (!bytes.isEmpty()) {
        const bool rtf = m_document && m_document->mimetype() == DocumentMimeTypes::Rtf;
        const RichTextDocumentFormat::LoadStatus status =
            rtf ? view->loadFromRTFData(bytes, true) : view->loadFrom(bytes, true);
        m_unreadable = status == RichTextDocumentFormat::LoadStatus::Unreadable;
        // Sizing images and the like on the way in is not the writer's to undo.
        view->document()->clearUndoRedoStacks();
    }
    return m_unreadable ? Load::Unreadable : Load::Loaded;
}

bool EditorContentStore::saveContent()
{
    ProjectItem* item = m_editor.currentObject();
    if (!item)
        return true;
    if (m_unreadable)
        return false;
    // De-scaled by the zoom the text is shown at, which is the writer's choice once a rescale has run.
    const std::optional<QByteArray> bytes = m_editor.editor()->getData(m_editor.editor()->fontSize());
    // An empty body written over the card's words and reported as saved would lose them all.
    if (!bytes)
        return false;
    if (!m_document) {
        ManagedObjectContext* context = m_editor.managedObjectContext();
        auto* document = context->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(Uuid::uuidString());
        document->setProjectId(item->projectId());
        document->setParentItemId(item->uniqueIdentifier());
        m_document = document;
    }
    m_document->setContent(*bytes);
    m_document->setMimetype(DocumentMimeTypes::RichText);
    return true;
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
