#include "CardImporter.h"

#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "core/TextDecoder.h"
#include "platform/Alert.h"
#include "platform/Uuid.h"
#include "platform/rtf/RtfReader.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/AttachmentNormaliser.h"
#include "richtext/RichTextDocumentFormat.h"
#include "richtext/TextRuns.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

qint64 CardImporter::itemTypeForFilter(qint64 filterType)
{
    if (filterType >= ProjectItemTypes::Story && filterType <= ProjectItemTypes::Event)
        return filterType;
    return ProjectItemTypes::Story;
}

void CardImporter::importCard(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                              const QString& filePath, bool isRtf, qint64 filterType,
                              const std::function<void(ProjectItem*)>& completion, QWidget* viewController)
{
    const auto finish = [&completion](ProjectItem* card) {
        if (completion)
            completion(card);
    };
    ReadResult read = readDocument(filePath, isRtf);
    // A file that cannot be read or holds nothing is no error of its text, but the caller still hears back so
    // that it can end its wait.
    if (read.outcome == ReadOutcome::Unreadable || read.outcome == ReadOutcome::EmptyFile || !context)
        return finish(nullptr);
    if (read.outcome == ReadOutcome::Undecodable) {
        showError(viewController);
        return finish(nullptr);
    }
    QTextDocument& document = *read.document;
    AttachmentNormaliser::normalise(document, false);
    TextRuns::setFontSize(document, ImportFontSize);
    const std::optional<QByteArray> body = RichTextDocumentFormat::getData(document, std::nullopt);
    if (!body) {
        showError(viewController);
        return finish(nullptr);
    }
    ProjectItem* card = createCard(context, projectId, folderId, itemTypeForFilter(filterType), document, *body);
    DbHelpers::saveManagedObjectContext(context, viewController);
    finish(card);
}

std::optional<QByteArray> CardImporter::readFile(const QString& filePath)
{
    QFile file(filePath);
    if (!QFileInfo(filePath).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    if (size > MaxFileBytes)
        return std::nullopt;
    QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        return std::nullopt;
    return bytes;
}

CardImporter::ReadResult CardImporter::readDocument(const QString& filePath, bool isRtf)
{
    const std::optional<QByteArray> bytes = readFile(filePath);
    if (!bytes)
        return {ReadOutcome::Unreadable, nullptr};
    if (bytes->isEmpty())
        return {ReadOutcome::EmptyFile, nullptr};
    if (isRtf) {
        std::unique_ptr<QTextDocument> document = readRtfWithImages(*bytes);
        if (!document)
            return {};
        return {ReadOutcome::Text, std::move(document)};
    }
    const std::optional<QString> text = TextDecoder::safeTextDecode(*bytes);
    if (!text)
        return {};
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(*text);
    return {ReadOutcome::Text, std::move(document)};
}

std::unique_ptr<QTextDocument> CardImporter::readRtfWithImages(const QByteArray& rtf)
{
    // A right indent from another program would squeeze the card's text against a margin of its own. Latin-1
    // keeps every byte as it was, so the eight-bit text of older writers survives the scrubbing unchanged.
    return RtfReader::read(Helpers::scrubRtf(QString::fromLatin1(rtf)).toLatin1());
}

ProjectItem* CardImporter::createCard(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                      qint64 itemType, const QTextDocument& document, const QByteArray& body)
{
    // Counted in the store, not in what a screen shows: a filtered board would hand out a number already taken.
    const quint64 children = DbHelpers::getFolderItemsCount(context, projectId, folderId);
    const QString text = document.toPlainText();
    const QString title = SharedHelpers::getSummary(text, SharedHelpers::TitleSize);

    auto* card = context->insertNew<ProjectItem>();
    card->setUniqueIdentifier(Uuid::uuidString());
    card->setProjectId(projectId);
    card->setParentItemId(folderId);
    card->setTitle(title);
    card->setSummary(SharedHelpers::getSummary(text, SharedHelpers::SummarySize));
    DbHelpers::updateModDatePath(context, card);
    card->setItemType(itemType);
    card->setItemFormat(ProjectItemFormats::Text);
    card->setFolderType(ProjectFolderTypes::Card);
    card->setWordCount(SharedHelpers::countWords(text));
    card->setCharCount(text.size());
    card->setDisplayOrder(qint64(children) + 1);
    card->setTerms(Indexer::terms({title, text}));
    DbHelpers::updateProjectModDate(context, projectId);

    auto* stored = context->insertNew<ProjectItemDocument>();
    stored->setUniqueIdentifier(Uuid::uuidString());
    stored->setProjectId(projectId);
    stored->setParentItemId(card->uniqueIdentifier());
    stored->setContent(body);
    stored->setMimetype(DocumentMimeTypes::RichText);
    return card;
}

void CardImporter::showError(QWidget* viewController)
{
    auto* alert = new Alert(ErrorTitle, ErrorMessage);
    alert->addAction(ErrorButton, AlertActionStyle::Default);
    alert->present(viewController);
}
