#include "Opml.h"

#include "ArchiveValues.h"
#include "OpmlWriter.h"
#include "XmlText.h"
#include "core/DbHelpers.h"
#include "core/Fonts.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "platform/Uuid.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/ink/InkReader.h"
#include "platform/rtf/RtfReader.h"
#include "platform/store/ManagedObjectContext.h"

#include <QBuffer>
#include <QDateTime>
#include <QDebug>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QByteArray defaultBody(const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFont(Fonts::getDefaultFontWithSize(Opml::DefaultBodyFontSize));
    cursor.mergeCharFormat(format);
    return AttributedStringArchive::encode(document);
}

} // namespace

Opml::Opml()
{
    const QList<QPair<qint64, QString>> types = {
        {ProjectItemTypes::Folder, QStringLiteral("folder")},
        {ProjectItemTypes::Story, QStringLiteral("text")},
        {ProjectItemTypes::Reminder, QStringLiteral("reminder")},
        {ProjectItemTypes::Question, QStringLiteral("question")},
        {ProjectItemTypes::Idea, QStringLiteral("idea")},
        {ProjectItemTypes::Person, QStringLiteral("person")},
        {ProjectItemTypes::Thing, QStringLiteral("thing")},
        {ProjectItemTypes::Location, QStringLiteral("location")},
        {ProjectItemTypes::Event, QStringLiteral("event")},
    };
    for (const auto& [type, word] : types) {
        m_itemTypesToLabels.insert(QString::number(type), word);
        m_itemLabelsToTypes.insert(word, type);
    }
    const QList<QPair<qint64, QString>> formats = {{ProjectItemFormats::Text, QStringLiteral("text")},
                                                   {ProjectItemFormats::Sketch, QStringLiteral("sketch")}};
    for (const auto& [format, word] : formats) {
        m_itemFormatsToLabels.insert(QString::number(format), word);
        m_itemLabelsToFormats.insert(word, format);
    }
}

// --- Export

QString Opml::getOpml(ManagedObjectContext* context, const QString& projectId, const QString& title,
                      const QString& startItemId, bool exportDoneItems) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeOpml(buffer, context, projectId, title, startItemId, exportDoneItems);
    return QString::fromUtf8(buffer.data());
}

bool Opml::writeOpml(QIODevice& out, ManagedObjectContext* context, const QString& projectId, const QString& title,
                     const QString& startItemId, bool exportDoneItems) const
{
    return OpmlWriter(*this, out, context, projectId, exportDoneItems).write(title, startItemId);
}

QString Opml::escapeAttribute(const QString& value)
{
    const QString clean = XmlText::sanitized(value);
    QString escaped;
    escaped.reserve(clean.size() + clean.size() / 8);
    for (const QChar c : clean) {
        switch (c.unicode()) {
        case '&':
            escaped += QStringLiteral("&amp;");
            break;
        case '"':
            escaped += QStringLiteral("&quot;");
            break;
        case '>':
            escaped += QStringLiteral("&gt;");
            break;
        case '<':
            escaped += QStringLiteral("&lt;");
            break;
        case '\'':
            escaped += QStringLiteral("&apos;");
            break;
        // A reader turns literal line breaks and tabs in an attribute into blanks; references survive.
        case '\n':
            escaped += QStringLiteral("&#10;");
            break;
        case '\r':
            escaped += QStringLiteral("&#13;");
            break;
        case '\t':
            escaped += QStringLiteral("&#9;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

Opml::Body Opml::bodyOfCard(ManagedObjectContext* context, const QString& itemId)
{
    FetchRequest request = ProjectItemDocument::fetchRequest();
    request.setPredicate(QStringLiteral("%1 == %@").arg(ProjectItemDocument::ParentItemIdKey), {itemId});
    request.setFetchLimit(1);
    const QList<QVariantList> rows =
        context->fetchValues(request, {ProjectItemDocument::ContentKey, ProjectItemDocument::MimetypeKey});
    if (rows.isEmpty())
        return {};
    return {rows.first().value(0).toByteArray(), rows.first().value(1).toString()};
}

std::optional<QString> Opml::plainText(const QByteArray& bytes)
{
    if (bytes.isEmpty() || InkReader::hasMagic(bytes))
        return std::nullopt;
    // The reader answers nothing for bytes that are no RTF, whatever type the record claims for them.
    std::unique_ptr<QTextDocument> document = RtfReader::read(bytes);
    if (!document && AttributedStringArchive::looksLikeArchive(bytes))
        document = AttributedStringArchive::decode(bytes, AttributedStringArchive::cardBodyClasses());
    if (!document)
        return std::nullopt;
    return document->toPlainText();
}

QString Opml::plainTextOfCard(const Body& body, const ProjectItem& card)
{
    if (body.mimetype == DocumentMimeTypes::Drawing)
        return QString();
    if (std::optional<QString> text = plainText(body.content))
        return *text;
    return plainText(card.content()).value_or(QString());
}

QString Opml::mimeTypeForBody(const QByteArray& bytes)
{
    if (InkReader::hasMagic(bytes))
        return DocumentMimeTypes::Drawing;
    if (RtfReader::isRtf(bytes))
        return DocumentMimeTypes::Rtf;
    return DocumentMimeTypes::RichText;
}

// --- Import

OpmlStackItem Opml::makeStackItem(const QXmlStreamAttributes& attributes, const OpmlStackItem& parent) const
{
    OpmlStackItem item;
    item.parentItemId = parent.itemId;
    item.itemId = Uuid::uuidString();
    item.displayOrder = parent.nextChildDisplayOrder();
    item.title = attributes.hasAttribute(TextAttribute) ? attributes.value(TextAttribute).toString() : UntitledTitle;
    item.text = attributes.value(NoteAttribute).toString();
    item.summary = attributes.value(SummaryAttribute).toString();
    item.cardNotes = attributes.value(CardNotesAttribute).toString();
    item.itemType = m_itemLabelsToTypes.value(attributes.value(TypeAttribute).toString(), ProjectItemTypes::Story);
    item.itemFormat =
        m_itemLabelsToFormats.value(attributes.value(FormatAttribute).toString(), ProjectItemFormats::Text);
    if (attributes.hasAttribute(ContentAttribute))
        item.content = attributes.value(ContentAttribute).toString();
    if (attributes.hasAttribute(TagAttribute))
        item.tag = attributes.value(TagAttribute).toString();
    if (attributes.hasAttribute(SummaryImageAttribute))
        item.summaryImage = attributes.value(SummaryImageAttribute).toString();
    return item;
}

void Opml::createNewItem(ManagedObjectContext* context, const QString& projectId, const OpmlStackItem& item,
                         QList<ManagedObject*>& inserted) const
{
    auto* record = context->insertNew<ProjectItem>();
    inserted.append(record);
    record->setUniqueIdentifier(item.itemId);
    record->setProjectId(projectId);
    record->setParentItemId(item.parentItemId);
    record->setTitle(item.title);
    record->setLastModified(QDateTime::currentDateTime());
    record->setTag(item.tag);
    record->setNotes(item.cardNotes);
    // An outline with children is a folder whatever its type said.
    const bool folder = item.childCount > 0 || item.itemType == ProjectItemTypes::Folder;
    record->setItemType(item.childCount > 0 ? ProjectItemTypes::Folder : item.itemType);
    record->setFolderType(folder ? ProjectFolderTypes::Folder : ProjectFolderTypes::Card);
    record->setItemFormat(item.itemFormat);
    record->setDisplayOrder(item.displayOrder);
    record->setSummary(!item.summary.isEmpty() ? item.summary
                                               : SharedHelpers::getSummary(item.text, SharedHelpers::SummarySize));
    if (item.summaryImage) {
        if (const std::optional<QByteArray> image = ArchiveValues::base64(*item.summaryImage))
            record->setSummaryImage(*image);
    }
    record->setTerms(Indexer::terms({item.title, item.text}));
    record->setWordCount(SharedHelpers::countWords(item.text));
    record->setCharCount(item.text.size());

    std::optional<QByteArray> content = item.content ? ArchiveValues::base64(*item.content) : std::nullopt;
    if (content && content->isEmpty())
        content.reset();
    // A sketch without drawing data has no body yet: its editor starts it as an empty drawing, whereas a
    // rich-text body in its place would read as a damaged drawing.
    if (!content && !folder && item.itemFormat == ProjectItemFormats::Sketch)
        return;
    auto* document = context->insertNew<ProjectItemDocument>();
    inserted.append(document);
    document->setUniqueIdentifier(Uuid::uuidString());
    document->setProjectId(projectId);
    document->setParentItemId(item.itemId);
    // The bytes decide the type: an RTF body stays readable, a drawing stays a drawing.
    document->setContent(content ? *content : defaultBody(item.text));
    document->setMimetype(content ? mimeTypeForBody(*content) : DocumentMimeTypes::RichText);
}

Opml::ImportResult Opml::importOpml(ManagedObjectContext* context, const QString& path, const QString& projectId,
                                    const QString& topFolderId, qint64 childOffset,
                                    const OpmlReader::Limits& limits) const
{
    ImportResult result;
    OpmlStackItem root;
    root.itemId = topFolderId;
    root.childDisplayOrderOffset = childOffset;
    const auto start = [this](const QXmlStreamAttributes& attributes, const OpmlStackItem& parent) {
        return makeStackItem(attributes, parent);
    };
    const auto end = [&](const OpmlStackItem& item) {
        createNewItem(context, projectId, item, result.inserted);
        ++result.outlineCount;
        return true;
    };
    result.error = context ? OpmlReader(limits).read(path, root, start, end) : OpmlReader::UnreadableMessage;
    if (result.error) {
        qWarning().noquote() << *result.error;
        discardInserted(context, result.inserted);
        result.inserted.clear();
        result.outlineCount = 0;
    }
    return result;
}

void Opml::putOpml(ManagedObjectContext* context, const QString& path, const QString& projectId,
                   const QString& topFolderId, qint64 childOffset, const std::function<void(bool)>& completion) const
{
    const ImportResult result = importOpml(context, path, projectId, topFolderId, childOffset);
    const bool stored = !result.error && (result.inserted.isEmpty() || storeInserted(context, result.inserted));
    if (completion)
        completion(stored);
}

bool Opml::storeInserted(ManagedObjectContext* context, const QList<ManagedObject*>& inserted)
{
    if (DbHelpers::saveManagedObjects(context, inserted))
        return true;
    discardInserted(context, inserted);
    return false;
}

void Opml::discardInserted(ManagedObjectContext* context, const QList<ManagedObject*>& inserted)
{
    for (ManagedObject* object : inserted)
        context->deleteObject(object);
}
