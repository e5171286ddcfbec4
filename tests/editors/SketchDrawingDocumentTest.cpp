#include "editors/SketchDrawingDocument.h"
#include "RequiredTools.h"
#include "TestStore.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "platform/Uuid.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkWriter.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QBuffer>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

using Status = SketchDrawingDocument::LoadStatus;
using SaveResult = SketchDrawingDocument::SaveResult;

InkDrawing lineDrawing(QPointF from, QPointF to, float width = 4.0f)
{
    InkStroke stroke(InkKind::Pen, Qt::black, width);
    stroke.append({float(from.x()), float(from.y()), 1.0f, 0.0f});
    stroke.append({float(to.x()), float(to.y()), 1.0f, 0.1f});
    InkDrawing drawing;
    drawing.append(stroke);
    return drawing;
}

// 400 points wide, 100 high, stroke width included.
InkDrawing drawing400()
{
    return lineDrawing({2, 2}, {398, 98});
}

QSize pngSize(const QByteArray& png)
{
    QBuffer buffer;
    buffer.setData(png);
    QImageReader reader(&buffer, "png");
    return reader.size();
}

class SketchDrawingDocumentTest : public ::testing::Test {
protected:
    ManagedObjectContext* context() { return m_store.context(); }

    ProjectItem* addCard()
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(QStringLiteral("P1"));
        item->setParentItemId(ItemIds::Top);
        item->setItemType(ProjectItemTypes::Idea);
        item->setItemFormat(ProjectItemFormats::Sketch);
        item->setWordCount(7);
        item->setSummary(QStringLiteral("old"));
        return item;
    }

    ProjectItemDocument* addDocument(const ProjectItem* card, const QByteArray& content, const QString& mimetype)
    {
        auto* document = context()->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(Uuid::uuidString());
        document->setProjectId(card->projectId());
        document->setParentItemId(card->uniqueIdentifier());
        document->setContent(content);
        document->setMimetype(mimetype);
        return document;
    }

    qint64 documentCount(const ProjectItem* card)
    {
        FetchRequest request = ProjectItemDocument::fetchRequest();
        request.setPredicate(QStringLiteral("parentItemId == %@"), {card->uniqueIdentifier()});
        return context()->count(request);
    }

    void save() { ASSERT_FALSE(context()->save()) << "save failed"; }

    TestStore m_store;
};

} // namespace

TEST_F(SketchDrawingDocumentTest, newCardSavedOnceHasOneDrawingDocumentKeyedByTheCard)
{
    ProjectItem* card = addCard();
    ASSERT_NO_FATAL_FAILURE(save());
    SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    EXPECT_EQ(document.status(), Status::Empty);
    ASSERT_EQ(document.save(context(), card, drawing400()), SaveResult::Saved);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(documentCount(card), 1);
    const ProjectItemDocument* record = DbHelpers::getItemDocument(context(), card->uniqueIdentifier());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->mimetype(), QStringLiteral("application/x-vornquil-opaque-drawing"));
    EXPECT_EQ(record->projectId(), QStringLiteral("P1"));
    EXPECT_EQ(record->uniqueIdentifier().size(), 36);
    EXPECT_EQ(InkReader::decode(record->content()).drawing, drawing400());
}

TEST_F(SketchDrawingDocumentTest, saveWritesTheCardFieldsOfASketch)
{
    ProjectItem* card = addCard();
    card->setItemFormat(ProjectItemFormats::Text);
    SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    ASSERT_EQ(document.save(context(), card, drawing400()), SaveResult::Saved);
    EXPECT_EQ(card->itemFormat(), 1);
    EXPECT_EQ(card->folderType(), 1);
    EXPECT_EQ(card->summary(), QStringLiteral(""));
    EXPECT_FALSE(card->summary().isNull());
    EXPECT_EQ(card->wordCount(), 0);
    EXPECT_EQ(card->charCount(), 0);
    EXPECT_EQ(pngSize(card->summaryImage()), QSize(100, 25));
}

TEST_F(SketchDrawingDocumentTest, savingTwiceReplacesTheContentOfTheOneRecord)
{
    ProjectItem* card = addCard();
    SketchDrawingDocument first = SketchDrawingDocument::fromCard(context(), card);
    ASSERT_EQ(first.save(context(), card, drawing400()), SaveResult::Saved);
    ASSERT_NO_FATAL_FAILURE(save());
    // As a reopened editor would: read the card again, then save a changed drawing.
    SketchDrawingDocument second = SketchDrawingDocument::fromCard(context(), card);
    ASSERT_EQ(second.status(), Status::Loaded);
    EXPECT_EQ(second.drawing(), drawing400());
    const InkDrawing changed = lineDrawing({0, 0}, {50, 50});
    ASSERT_EQ(second.save(context(), card, changed), SaveResult::Saved);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(documentCount(card), 1);
    EXPECT_EQ(SketchDrawingDocument::fromCard(context(), card).drawing(), changed);
}

TEST_F(SketchDrawingDocumentTest, richTextBytesAreAnErrorAndAreNeverSavedOver)
{
    ProjectItem* card = addCard();
    QTextDocument text(QStringLiteral("Not a drawing"));
    const QByteArray rich = RichTextDocumentFormat::getData(text, std::nullopt).value();
    addDocument(card, rich, DocumentMimeTypes::Drawing);
    ASSERT_NO_FATAL_FAILURE(save());
    SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    EXPECT_EQ(document.status(), Status::Unreadable);
    EXPECT_EQ(document.error(), InkDecodeError::NotInkData);
    EXPECT_TRUE(document.drawing().isEmpty());
    EXPECT_EQ(document.save(context(), card, drawing400()), SaveResult::KeptUnreadable);
    EXPECT_EQ(DbHelpers::getItemDocument(context(), card->uniqueIdentifier())->content(), rich);
    EXPECT_EQ(card->summary(), QStringLiteral("old"));
    EXPECT_EQ(card->wordCount(), 7);
}

TEST_F(SketchDrawingDocumentTest, blankRichTextBodyOpensEmptyAndItsRecordTakesTheDrawing)
{
    for (const QString& blank : {QString(), QStringLiteral("\n \n\t")}) {
        ProjectItem* card = addCard();
        QTextDocument text(blank);
        addDocument(card, RichTextDocumentFormat::getData(text, std::nullopt).value(), DocumentMimeTypes::RichText);
        save();
        SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
        EXPECT_EQ(document.status(), Status::Empty);
        EXPECT_TRUE(document.isReadable());
        ASSERT_EQ(document.save(context(), card, drawing400()), SaveResult::Saved);
        save();
        EXPECT_EQ(documentCount(card), 1);
        const ProjectItemDocument* record = DbHelpers::getItemDocument(context(), card->uniqueIdentifier());
        EXPECT_EQ(record->mimetype(), DocumentMimeTypes::Drawing);
        EXPECT_EQ(InkReader::decode(record->content()).drawing, drawing400());
    }
    // One character that is not a blank is kept as it is stored.
    ProjectItem* card = addCard();
    QTextDocument text(QStringLiteral("x"));
    addDocument(card, RichTextDocumentFormat::getData(text, std::nullopt).value(), DocumentMimeTypes::RichText);
    EXPECT_EQ(SketchDrawingDocument::fromCard(context(), card).status(), Status::Unreadable);
}

TEST_F(SketchDrawingDocumentTest, damagedDrawingIsAnErrorNotAnEmptyDrawing)
{
    ProjectItem* card = addCard();
    QByteArray bytes = InkWriter::encode(drawing400()).value();
    bytes[30] = char(bytes[30] ^ 1);
    addDocument(card, bytes, DocumentMimeTypes::Drawing);
    const SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    EXPECT_EQ(document.status(), Status::Unreadable);
    EXPECT_EQ(document.error(), InkDecodeError::ChecksumMismatch);
}

TEST_F(SketchDrawingDocumentTest, cardWithoutDocumentReadsItsOwnContent)
{
    ProjectItem* card = addCard();
    card->setValue(ProjectItem::ContentKey, InkWriter::encode(drawing400()).value());
    const SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    EXPECT_EQ(document.status(), Status::Loaded);
    EXPECT_EQ(document.drawing(), drawing400());
    EXPECT_EQ(document.record(), nullptr);
}

TEST_F(SketchDrawingDocumentTest, documentWithoutContentIsAnEmptyDrawing)
{
    ProjectItem* card = addCard();
    addDocument(card, QByteArray(), DocumentMimeTypes::Drawing);
    const SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    EXPECT_EQ(document.status(), Status::Empty);
    EXPECT_NE(document.record(), nullptr);
}

TEST_F(SketchDrawingDocumentTest, noCardSavesNothing)
{
    SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), nullptr);
    EXPECT_EQ(document.save(context(), nullptr, drawing400()), SaveResult::NoItem);
}

TEST_F(SketchDrawingDocumentTest, emptyDrawingHasNoSummaryImage)
{
    ProjectItem* card = addCard();
    card->setSummaryImage(QByteArray("old image"));
    SketchDrawingDocument document = SketchDrawingDocument::fromCard(context(), card);
    ASSERT_EQ(document.save(context(), card, InkDrawing()), SaveResult::Saved);
    EXPECT_TRUE(card->summaryImage().isNull());
}

TEST(SketchDrawingImages, summaryIsAQuarterAndExportThreeTimesTheDrawing)
{
    EXPECT_EQ(pngSize(SketchDrawingDocument::summaryImageData(drawing400())), QSize(100, 25));
    EXPECT_EQ(pngSize(SketchDrawingDocument::exportImageData(drawing400())), QSize(1200, 300));
}

TEST(SketchDrawingImages, summaryOfTheWidestDrawingStaysWithinItsCap)
{
    const InkDrawing wide = lineDrawing({-1e6, -1e6}, {1e6, 1e6});
    const QImage summary = SketchDrawingDocument::summaryImage(wide);
    ASSERT_FALSE(summary.isNull());
    EXPECT_LE(qint64(summary.width()) * summary.height(), SketchDrawingDocument::SummaryMaxPixels);
    const QImage exported = SketchDrawingDocument::exportImage(wide);
    EXPECT_LE(qint64(exported.width()) * exported.height(), SketchDrawingDocument::ExportMaxPixels);
}

TEST(SketchDrawingImages, summaryPngReadsBackInImageMagick)
{
    const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
    if (identify.isEmpty())
        MISSING_TOOL("ImageMagick's identify is not installed: run scripts/deps --test");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("summary.png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(SketchDrawingDocument::summaryImageData(drawing400()));
    file.close();
    QProcess process;
    process.start(identify, {QStringLiteral("-format"), QStringLiteral("%m %w %h"), path});
    ASSERT_TRUE(process.waitForFinished(RequiredTools::StartMs));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()).trimmed(), QStringLiteral("PNG 100 25"));
}
