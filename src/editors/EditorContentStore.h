#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

class EditorState;
class ProjectItem;
class ProjectItemDocument;
class PvBaseEditor;

// The editor's body and cursor in the store: shows the card's document in the text view, writes the view's
// text back into it, and remembers where the cursor was. Nothing here saves the store; the editor's save does.
class EditorContentStore {
public:
    // NoBody: the card has no document and no body of its own, and the view was left as it was.
    enum class Load { Loaded, NoBody, Unreadable };
    // A body no reader accepts, as the card holds it, with what the card says of its words: a copy of the card
    // takes it unchanged, and a save of the card's details keeps its search terms and counts.
    struct KeptBody {
        QByteArray content;
        QString mimetype;
        // The card it was read from.
        QString cardId;
        QString terms;
        QString summary;
        qint64 wordCount = 0;
        qint64 charCount = 0;
    };

    explicit EditorContentStore(PvBaseEditor& editor) : m_editor(editor) {}

    ProjectItemDocument* currentDocument() const { return m_document; }
    void setCurrentDocument(ProjectItemDocument* document);
    // The card's body could not be read; it must never be saved over. It stays so for a copy of the card
    // until the next load.
    bool bodyUnreadable() const { return m_kept.has_value(); }
    const std::optional<KeptBody>& keptBody() const { return m_kept; }
    // The view shows words of its own (recovered ones, going to a card of their own): they are what a save writes,
    // and the body that could not be read stays with its card as stored.
    void showOwnWords() { m_kept.reset(); }

    // RTF bodies by their mime type, everything else as our stored document, shown at the writer's zoom. An
    // older card without a document keeps its body on the item itself; it is read and judged the same way.
    Load loadContent();
    // The view's text into the document (created when the card has none); false without writing anything
    // when the text cannot be archived or the card's own document holds a body that could not be read. A copy
    // of such a card, having no document yet, gets that body as it is.
    bool saveContent();

    EditorState* fetchEditorState();
    void saveCursorPosition(qint64 position);
    qint64 savedCursorPosition();

private:
    KeptBody keep(const QByteArray& bytes, const ProjectItem* item) const;
    ProjectItemDocument* insertDocument(ProjectItem* item) const;

    PvBaseEditor& m_editor;
    ProjectItemDocument* m_document = nullptr;
    std::optional<KeptBody> m_kept;
};
