#pragma once

#include "OpmlReader.h"
#include "OpmlStackItem.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class ManagedObject;
class ManagedObjectContext;
class ProjectItem;
class QIODevice;

// Writes a project's folders and cards (or one subtree) as OPML 1.0 and reads such a file back into a
// project. Every outline carries, beside `text`, private attributes for type, format, summary, summary image,
// tag, notes and the body, so a project survives the round trip. Line feeds, carriage returns and tabs in
// values are written as character references, so what is read back is exactly what was written; characters
// XML forbids are dropped. An import inserts everything first and saves once: a file that cannot be read
// leaves nothing behind.
class Opml {
public:
    static inline const QString TypeAttribute = QStringLiteral("_type");
    static inline const QString FormatAttribute = QStringLiteral("_format");
    static inline const QString TextAttribute = QStringLiteral("text");
    static inline const QString NoteAttribute = QStringLiteral("_note");
    static inline const QString SummaryAttribute = QStringLiteral("_summary");
    static inline const QString SummaryImageAttribute = QStringLiteral("_summaryImage");
    static inline const QString TagAttribute = QStringLiteral("_tag");
    static inline const QString CardNotesAttribute = QStringLiteral("_cardNotes");
    static inline const QString ContentAttribute = QStringLiteral("_content");
    static inline const QString UntitledTitle = QStringLiteral("Untitled");
    static inline const QString DoneTag = QStringLiteral("done");
    static inline const QString NullTypeLogLine = QStringLiteral("Null itemTypeLabel");
    static inline const QString DateCreatedPattern = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
    static constexpr qreal DefaultBodyFontSize = 14.0;

    Opml();

    const QHash<QString, QString>& itemTypesToLabels() const { return m_itemTypesToLabels; }
    const QHash<QString, qint64>& itemLabelsToTypes() const { return m_itemLabelsToTypes; }
    const QHash<QString, QString>& itemFormatsToLabels() const { return m_itemFormatsToLabels; }
    const QHash<QString, qint64>& itemLabelsToFormats() const { return m_itemLabelsToFormats; }

    // --- Export. startItemId "_top" writes every top-level item; any other id that item with its subtree.
    // Without exportDoneItems, cards tagged "done" are left out.
    QString getOpml(ManagedObjectContext* context, const QString& projectId, const QString& title,
                    const QString& startItemId, bool exportDoneItems) const;
    // The same document written to out as it is made; false when a write failed.
    bool writeOpml(QIODevice& out, ManagedObjectContext* context, const QString& projectId, const QString& title,
                   const QString& startItemId, bool exportDoneItems) const;

    // --- Import.
    struct ImportResult {
        // Why the file was refused; nullopt when every outline was read.
        std::optional<QString> error;
        // Records inserted and not yet saved (none after a refusal).
        QList<ManagedObject*> inserted;
        qint64 outlineCount = 0;
    };
    // Inserts one folder or card and one body record per outline into folder topFolderId, the top-level
    // outlines numbered from childOffset + 1; nothing is saved. On a refusal nothing stays inserted.
    ImportResult importOpml(ManagedObjectContext* context, const QString& path, const QString& projectId,
                            const QString& topFolderId, qint64 childOffset,
                            const OpmlReader::Limits& limits = {}) const;
    // importOpml() followed by storeInserted(); completion (when given) runs once before this returns, answering
    // whether the outlines are stored. A refused file or a failed save leaves nothing of the import.
    void putOpml(ManagedObjectContext* context, const QString& path, const QString& projectId,
                 const QString& topFolderId, qint64 childOffset, const std::function<void(bool)>& completion) const;
    // Saves exactly the records an import inserted, in one transaction, and leaves every other pending change
    // pending. When the store refuses them they all leave the context again, so no later save (by any screen)
    // writes half an import. Answers whether they are stored.
    static bool storeInserted(ManagedObjectContext* context, const QList<ManagedObject*>& inserted);

    // The value as it stands in a double-quoted attribute.
    static QString escapeAttribute(const QString& value);
    // The mime type a body's bytes are stored under: drawings and RTF keep their own, anything else is rich text.
    static QString mimeTypeForBody(const QByteArray& bytes);
    // A card's body record, read without keeping a record object in the context.
    struct Body {
        QByteArray content;
        QString mimetype;
    };
    static Body bodyOfCard(ManagedObjectContext* context, const QString& itemId);
    // The plain text of a card's body, else of its legacy content ("" for sketches and bytes no reader accepts).
    static QString plainTextOfCard(const Body& body, const ProjectItem& card);

private:
    static void discardInserted(ManagedObjectContext* context, const QList<ManagedObject*>& inserted);
    static std::optional<QString> plainText(const QByteArray& bytes);

    OpmlStackItem makeStackItem(const QXmlStreamAttributes& attributes, const OpmlStackItem& parent) const;
    void createNewItem(ManagedObjectContext* context, const QString& projectId, const OpmlStackItem& item,
                       QList<ManagedObject*>& inserted) const;

    QHash<QString, QString> m_itemTypesToLabels;
    QHash<QString, qint64> m_itemLabelsToTypes;
    QHash<QString, QString> m_itemFormatsToLabels;
    QHash<QString, qint64> m_itemLabelsToFormats;
};
