#include "core/DbHelpersFixture.h"

#include "ExternalTools.h"
#include "RequiredTools.h"
#include "TestFiles.h"
#include "core/DbHelpers.h"
#include "core/Fonts.h"
#include "export/Opml.h"
#include "export/OpmlLineBreakFilter.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/ink/InkFormat.h"

#include <QBuffer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

namespace {

const QString Source = QStringLiteral("SRC");
const QString Target = QStringLiteral("DST");

QByteArray richBody(const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    return AttributedStringArchive::encode(document);
}

} // namespace

class OpmlTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        addProject(QStringLiteral("Source"))->setUniqueIdentifier(Source);
        addProject(QStringLiteral("Target"), 2)->setUniqueIdentifier(Target);
        ASSERT_NO_FATAL_FAILURE(save());
    }

    ProjectItem* card(const QString& parent, const QString& title, const QString& body, qint64 order,
                      qint64 type = ProjectItemTypes::Story)
    {
        ProjectItem* item = addItem(Source, parent, type, title, order);
        item->setFolderType(ProjectFolderTypes::Card);
        item->setItemFormat(ProjectItemFormats::Text);
        addDocument(item)->setContent(richBody(body));
        return item;
    }

    QString write(const QString& name, const QByteArray& bytes) { return writeTestFile(m_dir, name, bytes); }

    QString exported(const QString& start = ItemIds::Top, bool done = true)
    {
        return Opml().getOpml(context(), Source, QStringLiteral("Novel"), start, done);
    }

    // Imports the text into the target's root; answers what the completion said.
    bool import(const QByteArray& text, qint64 offset = 0, const QString& folder = ItemIds::Top)
    {
        std::optional<bool> stored;
        Opml().putOpml(context(), write(QStringLiteral("in.opml"), text), Target, folder, offset,
                       [&](bool ok) { stored = ok; });
        EXPECT_TRUE(stored.has_value());
        return stored.value_or(false);
    }

    QList<ProjectItem*> targetChildren(const QString& folder = ItemIds::Top)
    {
        return DbHelpers::getFolderItems(context(), Target, folder);
    }

    qint64 targetRecords() { return countOf<ProjectItem>(ProjectItem::ProjectIdKey, Target); }

    QTemporaryDir m_dir;
};

TEST_F(OpmlTest, cardOutlineCarriesEveryAttributeInOrder)
{
    ProjectItem* item =
        card(ItemIds::Top, QStringLiteral("A & <B>"), QStringLiteral("Body"), 1, ProjectItemTypes::Person);
    item->setSummary(QStringLiteral("Sum"));
    item->setSummaryImage(QByteArray("PNG"));
    item->setTag(QStringLiteral("draft-1"));
    item->setNotes(QStringLiteral("n'"));
    ASSERT_NO_FATAL_FAILURE(save());
    const QString expected =
        QStringLiteral("<outline text=\"A &amp; &lt;B&gt;\" _note=\"Body\" _type=\"person\" _format=\"text\" "
                       "_summary=\"Sum\" _summaryImage=\"UE5H\" _tag=\"draft-1\" _cardNotes=\"n&apos;\" _content=\"") +
        QString::fromLatin1(richBody(QStringLiteral("Body")).toBase64()) + QStringLiteral("\"></outline>\n");
    EXPECT_TRUE(exported().contains(expected)) << exported().toStdString();
    // Read back, the card is again a person, not the story a reader assumes for an unknown type.
    ASSERT_TRUE(import(exported().toUtf8()));
    ASSERT_EQ(targetChildren().size(), 1);
    EXPECT_EQ(targetChildren()[0]->itemType(), ProjectItemTypes::Person);
}

TEST_F(OpmlTest, documentFrameAndEmptyProject)
{
    const QString text = exported();
    EXPECT_TRUE(text.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                                               "<opml version=\"1.0\">\n<head>\n<title>Novel</title>\n"
                                               "<dateCreated>\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("</dateCreated>\n</head>\n<body>\n</body>\n</opml>\n")));
}

TEST_F(OpmlTest, folderOutlineWrapsChildrenAndDoneCardsLeaveOnlyWithFlagOff)
{
    ProjectItem* folder = addFolder(Source, ItemIds::Top, QStringLiteral("Part"), 1);
    folder->setTag(QStringLiteral("done"));
    card(folder->uniqueIdentifier(), QStringLiteral("Finished"), QString(), 1)->setTag(QStringLiteral("done"));
    card(folder->uniqueIdentifier(), QStringLiteral("Capital"), QString(), 2)->setTag(QStringLiteral("Done"));
    ASSERT_NO_FATAL_FAILURE(save());
    const QString without = exported(ItemIds::Top, false);
    EXPECT_TRUE(without.contains(
        QStringLiteral("<outline text=\"Part\" _type=\"folder\" _summary=\"\" _tag=\"done\" _cardNotes=\"\">\r\n")));
    EXPECT_FALSE(without.contains(QStringLiteral("Finished")));
    EXPECT_TRUE(without.contains(QStringLiteral("Capital")));
    EXPECT_TRUE(exported(ItemIds::Top, true).contains(QStringLiteral("Finished")));
    EXPECT_TRUE(without.contains(QStringLiteral("</outline>\n</body>")));
    // Started at the folder, the file holds that folder and what it holds, nothing beside it.
    card(ItemIds::Top, QStringLiteral("Beside"), QString(), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    const QString fromFolder = exported(folder->uniqueIdentifier());
    EXPECT_TRUE(fromFolder.contains(QStringLiteral("<outline text=\"Part\"")));
    EXPECT_TRUE(fromFolder.contains(QStringLiteral("Capital")));
    EXPECT_FALSE(fromFolder.contains(QStringLiteral("Beside")));
    EXPECT_TRUE(exported().contains(QStringLiteral("Beside")));
}

TEST_F(OpmlTest, lineBreaksTabsAndCarriageReturnsRoundTripExactly)
{
    ProjectItem* folder = addFolder(Source, ItemIds::Top, QStringLiteral("Two\rlines"), 1);
    folder->setNotes(QStringLiteral("note\r\nCRLF"));
    ProjectItem* item =
        card(folder->uniqueIdentifier(), QStringLiteral("Title\nsecond"), QStringLiteral("One\n\nTwo\nThree\tTab"), 1);
    item->setSummary(QStringLiteral("s1\ns2"));
    item->setNotes(QStringLiteral("a\n\n\nb"));
    ASSERT_NO_FATAL_FAILURE(save());
    const QString text = exported();
    EXPECT_FALSE(text.contains(QStringLiteral("One\n")));
    ASSERT_TRUE(import(text.toUtf8()));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->title(), QStringLiteral("Two\rlines"));
    EXPECT_EQ(top[0]->notes(), QStringLiteral("note\r\nCRLF"));
    const QList<ProjectItem*> inner = targetChildren(top[0]->uniqueIdentifier());
    ASSERT_EQ(inner.size(), 1);
    EXPECT_EQ(inner[0]->title(), QStringLiteral("Title\nsecond"));
    EXPECT_EQ(inner[0]->summary(), QStringLiteral("s1\ns2"));
    EXPECT_EQ(inner[0]->notes(), QStringLiteral("a\n\n\nb"));
    EXPECT_EQ(inner[0]->wordCount(), 4);
}

TEST_F(OpmlTest, charactersXmlForbidsAreDroppedAndTheFileStillReads)
{
    card(ItemIds::Top, QStringLiteral("Bell\x07here"), QStringLiteral("x"), 1)->setNotes(QString(QChar(0xFFFE)));
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_TRUE(Opml()
                    .getOpml(context(), Source, QStringLiteral("Title\x01"), ItemIds::Top, true)
                    .contains(QStringLiteral("<title>Title</title>")));
    ASSERT_TRUE(import(exported().toUtf8()));
    ASSERT_EQ(targetChildren().size(), 1);
    EXPECT_EQ(targetChildren()[0]->title(), QStringLiteral("Bellhere"));
    EXPECT_EQ(targetChildren()[0]->notes(), QString());
}

TEST_F(OpmlTest, foreignOutlinerShapeWithBomCrlfAndSelfClosingOutlines)
{
    const QByteArray text = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<opml version=\"2.0\"><head/><body>\r\n"
                            "<outline text=\"Chapter\">\r\n"
                            "  <outline text=\"Scene\" _note=\"line one\r\nline two\nline three\"/>\r\n"
                            "  <outline text='Quote &apos;x&apos;'/>\r\n"
                            "</outline>\r\n<outline _type=\"nonsense\" _format=\"weird\"/>\r\n"
                            "<!-- a comment's \"quote\r\n -->\r\n</body></opml>\r\n";
    ASSERT_TRUE(import(text));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->itemType(), ProjectItemTypes::Folder);
    EXPECT_EQ(top[0]->folderType(), ProjectFolderTypes::Folder);
    EXPECT_EQ(top[1]->title(), Opml::UntitledTitle);
    EXPECT_EQ(top[1]->itemType(), ProjectItemTypes::Story);
    EXPECT_EQ(top[1]->itemFormat(), ProjectItemFormats::Text);
    const QList<ProjectItem*> inner = targetChildren(top[0]->uniqueIdentifier());
    ASSERT_EQ(inner.size(), 2);
    EXPECT_EQ(inner[0]->displayOrder(), 1);
    EXPECT_EQ(inner[1]->displayOrder(), 2);
    EXPECT_EQ(inner[1]->title(), QStringLiteral("Quote 'x'"));
    ProjectItemDocument* body = DbHelpers::getItemDocument(context(), inner[0]->uniqueIdentifier());
    ASSERT_NE(body, nullptr);
    auto document = AttributedStringArchive::decode(body->content(), AttributedStringArchive::cardBodyClasses());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("line one\nline two\nline three"));
    EXPECT_EQ(inner[0]->summary(), QStringLiteral("line one line two line three"));
}

TEST_F(OpmlTest, topLevelOutlinesFollowTheOffsetAndChildrenStartAtOne)
{
    ASSERT_TRUE(import("<opml><body><outline text=\"a\"><outline text=\"c\"/></outline><outline text=\"b\"/>"
                       "</body></opml>",
                       5));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->displayOrder(), 6);
    EXPECT_EQ(top[1]->displayOrder(), 7);
    EXPECT_EQ(targetChildren(top[0]->uniqueIdentifier())[0]->displayOrder(), 1);
}

TEST_F(OpmlTest, bodyMimeTypeFollowsTheBytes)
{
    QByteArray drawing(InkFormat::Magic, sizeof(InkFormat::Magic));
    drawing.append("strokes");
    const QByteArray rtf = "{\\rtf1\\ansi Hello}";
    const QByteArray text = "<opml><body><outline text=\"d\" _format=\"sketch\" _content=\"" + drawing.toBase64() +
                            "\"/><outline text=\"r\" _content=\"" + rtf.toBase64() +
                            "\"/><outline text=\"bad\" _note=\"fallback\" _content=\"%%%\"/></body></opml>";
    ASSERT_TRUE(import(text));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 3);
    ProjectItemDocument* sketch = DbHelpers::getItemDocument(context(), top[0]->uniqueIdentifier());
    EXPECT_EQ(sketch->mimetype(), DocumentMimeTypes::Drawing);
    EXPECT_EQ(sketch->content(), drawing);
    EXPECT_EQ(top[0]->itemFormat(), ProjectItemFormats::Sketch);
    EXPECT_EQ(DbHelpers::getItemDocument(context(), top[1]->uniqueIdentifier())->mimetype(), DocumentMimeTypes::Rtf);
    ProjectItemDocument* fallback = DbHelpers::getItemDocument(context(), top[2]->uniqueIdentifier());
    EXPECT_EQ(fallback->mimetype(), DocumentMimeTypes::RichText);
    auto document = AttributedStringArchive::decode(fallback->content(), AttributedStringArchive::cardBodyClasses());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("fallback"));
}

TEST_F(OpmlTest, sketchWithoutDrawingDataGetsNoRichTextBody)
{
    const QByteArray text = "<opml><body><outline text=\"s\" _format=\"sketch\" _note=\"\"/>"
                            "<outline text=\"bad\" _format=\"sketch\" _content=\"%%%\"/>"
                            "<outline text=\"t\" _format=\"text\"/>"
                            "<outline text=\"f\" _format=\"sketch\"><outline text=\"c\"/></outline></body></opml>";
    ASSERT_TRUE(import(text));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 4);
    for (int i : {0, 1}) {
        EXPECT_EQ(top[i]->itemFormat(), ProjectItemFormats::Sketch);
        EXPECT_EQ(top[i]->wordCount(), 0);
        EXPECT_EQ(DbHelpers::getItemDocument(context(), top[i]->uniqueIdentifier()), nullptr) << i;
    }
    // A text card, and a folder whatever its format said, keep their body.
    for (int i : {2, 3}) {
        ProjectItemDocument* body = DbHelpers::getItemDocument(context(), top[i]->uniqueIdentifier());
        ASSERT_NE(body, nullptr) << i;
        EXPECT_EQ(body->mimetype(), DocumentMimeTypes::RichText);
    }
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, Target), 3);
    // Each body is a record of its own, found again by its own identifier.
    QSet<QString> identifiers;
    for (int i : {2, 3}) {
        const QString identifier =
            DbHelpers::getItemDocument(context(), top[i]->uniqueIdentifier())->uniqueIdentifier();
        EXPECT_FALSE(identifier.isEmpty()) << i;
        EXPECT_NE(identifier, top[i]->uniqueIdentifier()) << i;
        identifiers.insert(identifier);
    }
    EXPECT_EQ(identifiers.size(), 2);
}

TEST_F(OpmlTest, sketchCardExportsEmptyNoteAndItsDrawing)
{
    ProjectItem* item = addItem(Source, ItemIds::Top, ProjectItemTypes::Idea, QStringLiteral("Sketch"), 1);
    item->setItemFormat(ProjectItemFormats::Sketch);
    QByteArray drawing(InkFormat::Magic, sizeof(InkFormat::Magic));
    ProjectItemDocument* body = addDocument(item);
    body->setContent(drawing);
    body->setMimetype(DocumentMimeTypes::Drawing);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_TRUE(exported().contains(QStringLiteral("_note=\"\" _type=\"idea\" _format=\"sketch\"")));
    EXPECT_TRUE(exported().contains(QStringLiteral("_content=\"") + QString::fromLatin1(drawing.toBase64())));
}

TEST_F(OpmlTest, hostileOrBrokenFilesLeaveNothingBehind)
{
    const QByteArray entities = "<?xml version=\"1.0\"?><!DOCTYPE opml [<!ENTITY a \"aaaaaaaaaa\">"
                                "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                                "<opml><body><outline text=\"&b;\"/></body></opml>";
    EXPECT_FALSE(import(entities));
    EXPECT_FALSE(import("<opml><body><outline text=\"kept?\"/><outline text=\"x\"></body></opml>"));
    EXPECT_FALSE(import("<html><body><outline text=\"x\"/></body></html>"));
    EXPECT_FALSE(import(""));
    QByteArray deep = "<opml><body>";
    for (int i = 0; i < 300; ++i)
        deep += "<outline text=\"d\">";
    for (int i = 0; i < 300; ++i)
        deep += "</outline>";
    EXPECT_FALSE(import(deep + "</body></opml>"));
    // The caller is handed nothing of a refused file, though an outline was made before the fault was seen.
    const Opml::ImportResult broken = Opml().importOpml(
        context(),
        write(QStringLiteral("broken.opml"), "<opml><body><outline text=\"made\"/><outline text=\"x\"></body></opml>"),
        Target, ItemIds::Top, 0);
    EXPECT_TRUE(broken.error.has_value());
    EXPECT_TRUE(broken.inserted.isEmpty());
    EXPECT_EQ(broken.outlineCount, 0);
    EXPECT_EQ(targetRecords(), 0);
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, Target), 0);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(OpmlTest, anImportTheStoreRefusesLeavesNothingForTheNextSaveToWrite)
{
    // The bodies are refused: the cards before them are already in the context when the save fails.
    ASSERT_NO_FATAL_FAILURE(executeOnStore("CREATE TRIGGER refuse BEFORE INSERT ON ProjectItemDocument "
                                           "BEGIN SELECT RAISE(ABORT, 'disk refused'); END;"));
    EXPECT_FALSE(import("<opml><body><outline text=\"Part\"><outline text=\"Scene\" _note=\"words\"/></outline>"
                        "</body></opml>"));
    EXPECT_FALSE(context()->hasChanges());
    ASSERT_NO_FATAL_FAILURE(executeOnStore("DROP TRIGGER refuse"));

    // An unrelated save afterwards writes only itself, never half an outline.
    DbHelpers::getProject(context(), Source)->setProjectTitle(QStringLiteral("Renamed"));
    ASSERT_NO_FATAL_FAILURE(save());
    m_store.reopen();
    EXPECT_EQ(targetRecords(), 0);
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, Target), 0);
    EXPECT_EQ(DbHelpers::getProject(context(), Source)->projectTitle(), QStringLiteral("Renamed"));
}

TEST_F(OpmlTest, anImportSavesOnlyItsOwnRecords)
{
    // An edit pending elsewhere may still be discarded by its writer: the import does not store it.
    DbHelpers::getProject(context(), Source)->setProjectTitle(QStringLiteral("Unsaved"));
    ASSERT_TRUE(import("<opml><body><outline text=\"Kept\"/></body></opml>"));
    EXPECT_TRUE(context()->hasChanges());
    m_store.reopen();
    EXPECT_EQ(targetRecords(), 1);
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, Target), 1);
    EXPECT_EQ(DbHelpers::getProject(context(), Source)->projectTitle(), QStringLiteral("Source"));
}

TEST_F(OpmlTest, aLineBreakSplitAcrossTheReadersChunksStaysOneBreakAndTheRestReads)
{
    // The filter reads 64 KiB at a time: "\r" ends the first chunk and "\n" starts the second.
    const QByteArray opening = "<opml><body><outline text=\"long\" _note=\"";
    const qsizetype filler = 64 * 1024 - 1 - opening.size();
    const QByteArray text = opening + QByteArray(filler, 'x') + "\r\nafter\"/><outline text=\"next\"/></body></opml>";
    ASSERT_TRUE(import(text));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[1]->title(), QStringLiteral("next"));
    ProjectItemDocument* body = DbHelpers::getItemDocument(context(), top[0]->uniqueIdentifier());
    ASSERT_NE(body, nullptr);
    auto document = AttributedStringArchive::decode(body->content(), AttributedStringArchive::cardBodyClasses());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toPlainText(), QString(filler, QLatin1Char('x')) + QStringLiteral("\nafter"));
}

TEST_F(OpmlTest, aLargeProjectGoesToTheDeviceInBlocksAsItIsWritten)
{
    // Each card is larger than a block but smaller than two: the writer hands over what it holds before the next
    // card, and no later.
    for (int order = 1; order <= 2; ++order)
        card(ItemIds::Top, QStringLiteral("Long %1").arg(order), QString(500 * 1024, QLatin1Char('w')), order);
    ASSERT_NO_FATAL_FAILURE(save());
    class CountingBuffer : public QBuffer {
    public:
        int writes = 0;

    protected:
        qint64 writeData(const char* data, qint64 length) override
        {
            ++writes;
            return QBuffer::writeData(data, length);
        }
    } device;
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    ASSERT_TRUE(Opml().writeOpml(device, context(), Source, QStringLiteral("Novel"), ItemIds::Top, true));
    EXPECT_EQ(device.writes, 3);
    const qsizetype cardBytes = device.data().size() / 2;
    EXPECT_GT(cardBytes, 1 << 20);
    EXPECT_LT(cardBytes, 1 << 21);
    // Every block goes out once: the device holds one document, each card in it once.
    EXPECT_EQ(device.data().count("<opml"), 1);
    EXPECT_EQ(device.data().count("<outline"), 2);
    EXPECT_TRUE(device.data().endsWith("</body>\n</opml>\n"));
}

// Read as any device is read, the filter hands over everything it holds, across its 64 KiB chunks.
TEST(OpmlLineBreakFilterTest, readAllReturnsTheWholeFilteredTextInOneCall)
{
    for (const qsizetype filler : {qsizetype(0), qsizetype(70000)}) {
        QByteArray text = "<o a=\"1\r\n2\">" + QByteArray(filler, 'x') + "\ny</o>";
        QBuffer source(&text);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        OpmlLineBreakFilter filter(&source);
        EXPECT_EQ(filter.readAll(), "<o a=\"1&#10;2\">" + QByteArray(filler, 'x') + "\ny</o>") << filler;
        EXPECT_TRUE(filter.atEnd()) << filler;
    }
}

// A reader that asks whether anything is left before reading, or after reading part, is told the truth.
TEST(OpmlLineBreakFilterTest, filteredBytesNotYetReadKeepTheDeviceFromItsEnd)
{
    QByteArray text = "<o a=\"1\r\n2\"/>";
    QBuffer source(&text);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    OpmlLineBreakFilter filter(&source);
    EXPECT_FALSE(filter.atEnd());
    ASSERT_EQ(filter.read(1), "<");
    EXPECT_TRUE(source.atEnd());
    EXPECT_FALSE(filter.atEnd());
    EXPECT_EQ(filter.readAll(), "o a=\"1&#10;2\"/>");
    EXPECT_TRUE(filter.atEnd());
}

TEST_F(OpmlTest, depthExactlyAtTheLimitIsReadAndOnlyDeeperNestingIsRefused)
{
    // opml and body take two levels; 254 outlines reach the limit of 256 exactly.
    QByteArray deep = "<opml><body>";
    for (int i = 0; i < 254; ++i)
        deep += "<outline text=\"d\">";
    for (int i = 0; i < 254; ++i)
        deep += "</outline>";
    EXPECT_TRUE(import(deep + "</body></opml>"));
    EXPECT_EQ(targetRecords(), 254);

    // The limit counts nesting, not elements: a shallow outline of many more elements than levels is read whole.
    QByteArray wide = "<opml><head><title>Wide</title></head><body>";
    for (int i = 0; i < 300; ++i)
        wide += "<outline text=\"w\"><outline text=\"c\"/></outline>";
    EXPECT_TRUE(import(wide + "</body></opml>"));
    EXPECT_EQ(targetRecords(), 254 + 600);

    // One level deeper than the limit is refused, and nothing of it is inserted.
    const QByteArray deeperText = "<opml><body>" + QByteArray("<outline text=\"d\">").repeated(255) +
                                  QByteArray("</outline>").repeated(255) + "</body></opml>";
    const Opml::ImportResult deeper =
        Opml().importOpml(context(), write(QStringLiteral("deeper.opml"), deeperText), Target, ItemIds::Top, 0);
    EXPECT_EQ(deeper.error, OpmlReader::TooDeepMessage);
    EXPECT_TRUE(deeper.inserted.isEmpty());
}

TEST_F(OpmlTest, fileAboveTheSizeOrOutlineCountLimitIsRefused)
{
    OpmlReader::Limits limits;
    const QByteArray text = "<opml><body><outline text=\"x\"/></body></opml>";
    limits.maxFileBytes = text.size() - 1;
    const Opml::ImportResult refused =
        Opml().importOpml(context(), write(QStringLiteral("s.opml"), text), Target, ItemIds::Top, 0, limits);
    EXPECT_EQ(refused.error, OpmlReader::TooLargeMessage);
    limits.maxFileBytes = text.size();
    EXPECT_FALSE(Opml()
                     .importOpml(context(), write(QStringLiteral("s.opml"), text), Target, ItemIds::Top, 0, limits)
                     .error.has_value());

    // So is one of more outlines than the limit allows, however small.
    const QString three = write(QStringLiteral("three.opml"), "<opml><body><outline text=\"a\"><outline text=\"b\"/>"
                                                              "</outline><outline text=\"c\"/></body></opml>");
    OpmlReader::Limits outlines;
    outlines.maxOutlines = 2;
    EXPECT_EQ(Opml().importOpml(context(), three, Target, ItemIds::Top, 0, outlines).error,
              OpmlReader::TooLargeMessage);
    outlines.maxOutlines = 3;
    const Opml::ImportResult exact = Opml().importOpml(context(), three, Target, ItemIds::Top, 0, outlines);
    EXPECT_FALSE(exact.error.has_value());
    EXPECT_EQ(exact.outlineCount, 3);
}

TEST_F(OpmlTest, pandocReadsOurOutlineAndWeReadPandocs)
{
    REQUIRE_TOOL("pandoc");
    card(ItemIds::Top, QStringLiteral("Opening & more"), QStringLiteral("Rain fell.\n\nShe ran."), 1);
    ASSERT_NO_FATAL_FAILURE(save());
    const QString ours = write(QStringLiteral("ours.opml"), exported().toUtf8());
    const ExternalTools::Run read =
        ExternalTools::run(QStringLiteral("pandoc"), {QStringLiteral("-f"), QStringLiteral("opml"),
                                                      QStringLiteral("-t"), QStringLiteral("plain"), ours});
    ASSERT_TRUE(read.finished);
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.contains("Opening & more")) << read.out.toStdString();
    EXPECT_TRUE(read.out.contains("She ran.")) << read.out.toStdString();

    const QString markdown = write(QStringLiteral("outline.md"), "# Part One\n\nIntro text.\n\n## Scene\n\nBody.\n");
    const ExternalTools::Run made = ExternalTools::run(
        QStringLiteral("pandoc"), {QStringLiteral("-f"), QStringLiteral("markdown"), QStringLiteral("-t"),
                                   QStringLiteral("opml"), QStringLiteral("-s"), markdown});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    ASSERT_TRUE(import(made.out));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->title(), QStringLiteral("Part One"));
    EXPECT_EQ(top[0]->itemType(), ProjectItemTypes::Folder);
    const QList<ProjectItem*> inner = targetChildren(top[0]->uniqueIdentifier());
    ASSERT_EQ(inner.size(), 1);
    EXPECT_EQ(inner[0]->title(), QStringLiteral("Scene"));
    EXPECT_EQ(inner[0]->summary(), QStringLiteral("Body."));
}

TEST_F(OpmlTest, pythonMinidomParsesOurOutline)
{
    REQUIRE_TOOL("python3");
    card(ItemIds::Top, QStringLiteral("Line\none \"q\""), QStringLiteral("b\x01ody"), 1);
    ASSERT_NO_FATAL_FAILURE(save());
    const QString path = write(QStringLiteral("ours.opml"), exported().toUtf8());
    const ExternalTools::Run run = ExternalTools::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys, xml.dom.minidom as m\n"
                        "d = m.parse(sys.argv[1])\n"
                        "o = d.getElementsByTagName('outline')[0]\n"
                        "sys.stdout.write(repr(o.getAttribute('text')) + '|' + o.getAttribute('_note'))\n"),
         path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out), QStringLiteral("'Line\\none \"q\"'|body"));
}

TEST_F(OpmlTest, aBodyMadeFromTheNoteIsInTheDefaultFontAtTheBodySize)
{
    ASSERT_TRUE(import("<opml><body><outline text=\"t\" _note=\"plain words\"/></body></opml>"));
    const QList<ProjectItem*> top = targetChildren();
    ASSERT_EQ(top.size(), 1);
    ProjectItemDocument* body = DbHelpers::getItemDocument(context(), top[0]->uniqueIdentifier());
    ASSERT_NE(body, nullptr);
    auto document = AttributedStringArchive::decode(body->content(), AttributedStringArchive::cardBodyClasses());
    ASSERT_TRUE(document);
    const QTextCharFormat format = document->begin().begin().fragment().charFormat();
    EXPECT_EQ(format.fontPointSize(), Opml::DefaultBodyFontSize);
    EXPECT_EQ(format.fontFamilies().toStringList().value(0), Fonts::DefaultFontName);
}
