#include "core/DbHelpersFixture.h"

#include "core/DbHelpers.h"
#include "export/CardImporter.h"
#include "platform/Alert.h"
#include "platform/text/TextAttachment.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

namespace {

const QString ProjectId = QStringLiteral("P");

} // namespace

class CardImporterTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        addProject(QStringLiteral("Novel"))->setUniqueIdentifier(ProjectId);
        m_folder = addFolder(ProjectId, ItemIds::Top, QStringLiteral("Chapter"));
        ASSERT_NO_FATAL_FAILURE(save());
    }

    void TearDown() override
    {
        for (Alert* alert : Alert::presented())
            alert->trigger(0);
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Imports and answers what the completion received; calls counts the completions.
    ProjectItem* import(const QString& path, bool isRtf, qint64 filterType, int* calls = nullptr)
    {
        ProjectItem* received = nullptr;
        int count = 0;
        CardImporter::importCard(
            context(), ProjectId, m_folder->uniqueIdentifier(), path, isRtf, filterType,
            [&](ProjectItem* card) {
                received = card;
                ++count;
            },
            &m_window);
        if (calls)
            *calls = count;
        else
            EXPECT_EQ(count, 1);
        return received;
    }

    std::unique_ptr<QTextDocument> body(const ProjectItem* card)
    {
        ProjectItemDocument* document = DbHelpers::getItemDocument(context(), card->uniqueIdentifier());
        EXPECT_NE(document, nullptr);
        if (!document)
            return nullptr;
        EXPECT_EQ(document->mimetype(), DocumentMimeTypes::RichText);
        EXPECT_FALSE(document->uniqueIdentifier().isEmpty()) << "a body the store cannot tell apart";
        EXPECT_NE(document->uniqueIdentifier(), card->uniqueIdentifier());
        RichTextDocumentFormat::LoadOptions asStored;
        asStored.adjustFonts = false;
        return RichTextDocumentFormat::loadFrom(document->content(), asStored).document;
    }

    ProjectItem* m_folder = nullptr;
    QTemporaryDir m_dir;
    QWidget m_window;
};

TEST_F(CardImporterTest, textFileBecomesTheLastCardOfTheFolderWithTermsAndCounts)
{
    // The board may show fewer cards than the folder holds; the new card still goes after all of them.
    for (int order = 1; order <= 3; ++order)
        addItem(ProjectId, m_folder->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("c%1").arg(order),
                order);
    addFolder(ProjectId, m_folder->uniqueIdentifier(), QStringLiteral("Sub"), 4);
    ASSERT_NO_FATAL_FAILURE(save());

    ProjectItem* card = import(writeFile("hello.txt", "Hello world"), false, ProjectItemTypes::Person);
    ASSERT_NE(card, nullptr);
    EXPECT_FALSE(context()->hasChanges()) << "the import saves";
    EXPECT_EQ(card->title(), QStringLiteral("Hello world"));
    EXPECT_EQ(card->summary(), QStringLiteral("Hello world"));
    EXPECT_EQ(card->wordCount(), 2);
    EXPECT_EQ(card->charCount(), 11);
    EXPECT_EQ(card->displayOrder(), 5);
    EXPECT_EQ(card->itemType(), ProjectItemTypes::Person);
    EXPECT_EQ(card->itemFormat(), ProjectItemFormats::Text);
    EXPECT_EQ(card->folderType(), ProjectFolderTypes::Card);
    EXPECT_EQ(card->parentItemId(), m_folder->uniqueIdentifier());
    EXPECT_EQ(card->terms(), QStringLiteral(" hello world"));

    const std::unique_ptr<QTextDocument> text = body(card);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText(), QStringLiteral("Hello world"));
    QTextCursor cursor(text.get());
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().font().family(), QStringLiteral("Helvetica"));
    EXPECT_DOUBLE_EQ(cursor.charFormat().fontPointSize(), 14.0);
}

TEST_F(CardImporterTest, filterThatIsNoCardTypeImportsAStoryCard)
{
    for (const qint64 filter : {CardFilter::AllCards, CardFilter::Tagged, qint64(0), qint64(9)}) {
        ProjectItem* card = import(writeFile("t.txt", "Words"), false, filter);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->itemType(), ProjectItemTypes::Story) << filter;
    }
    EXPECT_EQ(CardImporter::itemTypeForFilter(ProjectItemTypes::Event), ProjectItemTypes::Event);
}

TEST_F(CardImporterTest, rtfFileKeepsItsTextStylesAndPictures)
{
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");
    // Another program's right indent is let go; its left indent stays.
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl\\f0 Times;}\\li360\\ri2880\\f0\\fs48 Line \\b bold\\b0\\par "
                           "{\\pict\\pngblip\\picw1\\pich1 " +
                           png.toHex() + "}}";
    ProjectItem* card = import(writeFile("story.rtf", rtf), true, ProjectItemTypes::Story);
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->title().startsWith(QStringLiteral("Line bold")));
    EXPECT_EQ(card->displayOrder(), 1);
    EXPECT_EQ(card->terms(), QStringLiteral(" line bold"));

    const std::unique_ptr<QTextDocument> text = body(card);
    ASSERT_NE(text, nullptr);
    QTextCursor cursor(text.get());
    cursor.setPosition(7);
    EXPECT_TRUE(cursor.charFormat().font().bold()) << "the writer's bold survives the import";
    EXPECT_EQ(cursor.blockFormat().rightMargin(), 0.0);
    EXPECT_GT(cursor.blockFormat().leftMargin(), 0.0);
    EXPECT_DOUBLE_EQ(cursor.charFormat().fontPointSize(), 14.0);
    const QString plain = text->toPlainText();
    const int picture = int(plain.indexOf(QChar::ObjectReplacementCharacter));
    ASSERT_GE(picture, 0);
    cursor.setPosition(picture + 1);
    EXPECT_EQ(cursor.charFormat().stringProperty(TextAttachment::ClassName), QStringLiteral("QJTextAttachment"));
}

TEST_F(CardImporterTest, rtfFileKeepsItsEightBitLetters)
{
    // Older writers put Windows-1252 letters into the file as escapes and as raw bytes alike; neither may be taken
    // for UTF-8 on the way through.
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0 Times;}\\ri720\\f0 Caf\\'e9 caf\xE9 Stra\xDF"
                           "e\\par}";
    ProjectItem* card = import(writeFile("letters.rtf", rtf), true, ProjectItemTypes::Story);
    ASSERT_NE(card, nullptr);
    const QString letters = QStringLiteral("Caf\u00E9 caf\u00E9 Stra\u00DFe");
    EXPECT_EQ(card->title().toStdString(), letters.toStdString());
    const std::unique_ptr<QTextDocument> text = body(card);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText().trimmed().toStdString(), letters.toStdString());
    EXPECT_FALSE(text->toPlainText().contains(QChar::ReplacementCharacter));
}

TEST_F(CardImporterTest, undecodableFileStillCallsBackAndShowsTheEncodingError)
{
    const qint64 before = context()->count(ProjectItem::fetchRequest());
    for (const auto& [path, isRtf] : {std::pair{writeFile("binary.txt", QByteArray("a\0b", 3)), false},
                                      std::pair{writeFile("broken.rtf", "not rtf at all"), true}}) {
        int calls = 0;
        EXPECT_EQ(import(path, isRtf, ProjectItemTypes::Story, &calls), nullptr) << path.toStdString();
        EXPECT_EQ(calls, 1) << path.toStdString();
        Alert* alert = Alert::topmost();
        ASSERT_NE(alert, nullptr) << path.toStdString();
        EXPECT_EQ(alert->title(), CardImporter::ErrorTitle);
        EXPECT_EQ(alert->message(), CardImporter::ErrorMessage);
        EXPECT_EQ(alert->actionTitles(), QStringList{CardImporter::ErrorButton});
        alert->trigger(0);
    }
    EXPECT_EQ(context()->count(ProjectItem::fetchRequest()), before);
}

TEST_F(CardImporterTest, emptyOrUnreadableFileCreatesNothingAndAlertsNothing)
{
    const qint64 before = context()->count(ProjectItem::fetchRequest());
    // A file gone before it was read, a folder, and an empty file.
    for (const QString& path : {m_dir.filePath("missing.txt"), m_dir.path(), writeFile("empty.txt", "")}) {
        for (const bool isRtf : {false, true}) {
            int calls = 0;
            EXPECT_EQ(import(path, isRtf, ProjectItemTypes::Story, &calls), nullptr) << path.toStdString();
            EXPECT_EQ(calls, 1) << path.toStdString();
            EXPECT_TRUE(Alert::presented().isEmpty()) << path.toStdString();
        }
    }
    EXPECT_EQ(context()->count(ProjectItem::fetchRequest()), before);
}
