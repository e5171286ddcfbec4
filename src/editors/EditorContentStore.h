#pragma once

#include <QtGlobal>

class EditorState;
class ProjectItemDocument;
class PvBaseEditor;

// The editor's body and cursor in the store: shows the card's document in the text view, writes the view's
// text back into it, and remembers where the cursor was. Nothing here saves the store; the editor's save does.
class EditorContentStore {
public:
    // NoBody: the card has no document and no body of its own, and the view was left as it was.
    enum class Load { Loaded, NoBody, Unreadable };

    explicit EditorContentStore(PvBaseEditor& editor) : m_editor(editor) {}

    ProjectItemDocument* currentDocument() const { return m_document; }
    void setCurrentDocument(ProjectItemDocument* document);
    // The card's body could not be read; it must never be saved over.
    bool bodyUnreadable() const { return m_unreadable; }

    // RTF bodies by their mime type, everything else as our stored document, shown at the writer's zoom. An
    // older card without a document keeps its body on the item itself; it is read and judged the same way.
    Load loadContent();
    // The view's text into the document (created when the card has none); false without writing anything
    // when the text cannot be archived or the stored body was unreadable.
    bool saveContent();

    EditorState* fetchEditorState();
    void saveCursorPosition(qint64 position);
    qint64 savedCursorPosition();

private:
    PvBaseEditor& m_editor;
    ProjectItemDocument* m_document = nullptr;
    bool m_unreadable = false;
};
