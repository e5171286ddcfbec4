#include "export/ManuscriptCompiler.h"

#include "SampleDocument.h"
#include "SampleSketch.h"
#include "core/DbHelpersFixture.h"
#include "core/Fonts.h"
#include "core/SettingsHelper.h"
#include "platform/rtf/RtfWriter.h"
#include "richtext/RichTextDocumentFormat.h"
#include "richtext/TextRuns.h"

#include <QTextBlock>
#include <QTextFragment>

namespace {

constexpr QChar Picture = QChar::ObjectReplacementCharacter;

QList<QImage> picturesOf(const QTextDocument& document)
{
    QList<QImage> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                images << QJTextAttachment::fromFormat(it.fragment().charFormat(), document).image();
        }
    }
    return images;
}

} // namespace

class ManuscriptCompilerTest : public DbHelpersFixture {
protected:
    void SetUp() override { m_projectId = addProject(QStringLiteral("Novel"))->uniqueIdentifier(); }

    ProjectItem* card(const QString& parent, const QString& text, qint64 order, qint64 type = ProjectItemTypes::Story)
    {
        auto document = SampleDocument::text(text);
        return cardWith(parent, *document, order, type);
    }

    ProjectItem* cardWith(const QString& parent, const QTextDocument& body, qint64 order,
                          qint64 type = ProjectItemTypes::Story)
    {
        ProjectItem* item = addItem(m_projectId, parent, type, QStringLiteral("Card %1").arg(order), order);
        addDocument(item)->setContent(*RichTextDocumentFormat::getData(body, std::nullopt));
        return item;
    }

    // A sketch Story card; without content it has no document at all.
    ProjectItem* sketchCard(const QString& parent, const std::optional<QByteArray>& content, qint64 order)
    {
        ProjectItem* item =
            addItem(m_projectId, parent, ProjectItemTypes::Story, QStringLiteral("Sketch %1").arg(order), order);
        item->setItemFormat(ProjectItemFormats::Sketch);
        if (content) {
            ProjectItemDocument* document = addDocument(item);
            document->setMimetype(DocumentMimeTypes::Drawing);
            document->setContent(*content);
        }
        return item;
    }

    QString compile(const QString& folderId = ItemIds::Top)
    {
        save();
        return ManuscriptCompiler(context(), m_projectId).doCompile(folderId)->toPlainText();
    }

    QString m_projectId;
};

TEST_F(ManuscriptCompilerTest, threeStoryCardsAreJoinedBySeparatorsAndTrimmedAtTheirEndsOnly)
{
    card(ItemIds::Top, QStringLiteral("\nfirst  \n\n"), 1);
    card(ItemIds::Top, QStringLiteral("second"), 2);
    card(ItemIds::Top, QStringLiteral("third\t"), 3);
    EXPECT_EQ(compile(), QStringLiteral("\nfirst\n\n###\n\nsecond\n\n###\n\nthird\n\n\n\n"));
}

TEST_F(ManuscriptCompilerTest, aSkippedBlankLastCardStillCountsForTheSeparator)
{
    SettingsHelper::setValue(context(), m_projectId, SettingsHelper::IncludeBlankScenesKey, QStringLiteral("false"));
    SettingsHelper::setValue(context(), m_projectId, SettingsHelper::SceneSeparatorKey, QStringLiteral("* * *"));
    card(ItemIds::Top, QStringLiteral("only"), 1);
    card(ItemIds::Top, QStringLiteral("  \n "), 2);
    EXPECT_EQ(compile(), QStringLiteral("only\n\n* * *\n\n"));
}

TEST_F(ManuscriptCompilerTest, anIncludedBlankCardAddsItsSeparator)
{
    card(ItemIds::Top, QStringLiteral("one"), 1);
    card(ItemIds::Top, QString(), 2);
    card(ItemIds::Top, QStringLiteral("three"), 3);
    EXPECT_EQ(compile(), QStringLiteral("one\n\n###\n\n\n\n###\n\nthree\n\n\n\n"));
}

TEST_F(ManuscriptCompilerTest, subFoldersOpenWithTheirTitleAndEndWithoutASeparator)
{
    card(ItemIds::Top, QStringLiteral("opening"), 1);
    ProjectItem* chapter = addFolder(m_projectId, ItemIds::Top, QStringLiteral("Chapter Two"), 2);
    card(chapter->uniqueIdentifier(), QStringLiteral("inside"), 1);
    card(chapter->uniqueIdentifier(), QStringLiteral("a person"), 2, ProjectItemTypes::Person);
    addFolder(m_projectId, ItemIds::Top, QStringLiteral("Empty"), 3);
    card(ItemIds::Top, QStringLiteral("closing"), 4);
    EXPECT_EQ(compile(), QStringLiteral("opening\n\n###\n\nChapter Two\n\ninside\n\n\n\nEmpty\n\nclosing\n\n\n\n"));
}

TEST_F(ManuscriptCompilerTest, aSketchCardStandsAsItsDrawingOnAJustifiedLineFollowedByTheSeparator)
{
    card(ItemIds::Top, QStringLiteral("before"), 1);
    sketchCard(ItemIds::Top, SampleSketch::bytes(), 2);
    card(ItemIds::Top, QStringLiteral("after"), 3);
    save();
    ManuscriptCompiler compiler(context(), m_projectId);
    auto manuscript = compiler.doCompile(ItemIds::Top);
    EXPECT_EQ(manuscript->toPlainText(), QStringLiteral("before\n\n###\n\n%1\n\n###\n\nafter\n\n\n\n").arg(Picture));
    const QTextBlock line = manuscript->findBlock(manuscript->toPlainText().indexOf(Picture));
    EXPECT_EQ(line.text(), QString(Picture));
    EXPECT_EQ(line.blockFormat().alignment(), Qt::AlignJustify);
    // Compiled again, the manuscript holds its own picture only, not the one drawn for the first.
    const QUrl firstPicture(line.begin().fragment().charFormat().toImageFormat().name());
    ASSERT_TRUE(manuscript->resource(QTextDocument::ImageResource, firstPicture).isValid());
    EXPECT_FALSE(compiler.doCompile(ItemIds::Top)->resource(QTextDocument::ImageResource, firstPicture).isValid());

    const QList<QImage> images = picturesOf(*manuscript);
    ASSERT_EQ(images.size(), 1);
    const QImage& image = images.first();
    // Three pixels a point, shown at the drawing's own size.
    EXPECT_EQ(image.size(), (SampleSketch::Bounds.size() * 3).toSize());
    EXPECT_EQ(image.devicePixelRatio(), 3.0);
    EXPECT_EQ(image.deviceIndependentSize(), SampleSketch::Bounds.size());
    const auto pixelAt = [&](QPointF point) {
        return image.pixelColor(((point - SampleSketch::Bounds.topLeft()) * 3).toPoint());
    };
    EXPECT_EQ(pixelAt({60, 10}), SampleSketch::Ink);
    EXPECT_EQ(pixelAt({109, 40}), SampleSketch::Ink);
    EXPECT_EQ(pixelAt({40, 40}), QColor(Qt::white)) << "the drawing lies on white";
}

TEST_F(ManuscriptCompilerTest, aSketchIsKeptWithoutBlankScenesAndAsTheLastCardEndsInBlankLines)
{
    SettingsHelper::setValue(context(), m_projectId, SettingsHelper::IncludeBlankScenesKey, QStringLiteral("false"));
    card(ItemIds::Top, QStringLiteral("text"), 1);
    sketchCard(ItemIds::Top, SampleSketch::bytes(), 2);
    EXPECT_EQ(compile(), QStringLiteral("text\n\n###\n\n%1\n\n\n\n").arg(Picture));
}

TEST_F(ManuscriptCompilerTest, sketchesWithoutADrawingAddNothingNotEvenASeparator)
{
    card(ItemIds::Top, QStringLiteral("text"), 1);
    sketchCard(ItemIds::Top, std::nullopt, 2);
    sketchCard(ItemIds::Top, QByteArray(), 3);
    sketchCard(ItemIds::Top, SampleSketch::emptyDrawingBytes(), 4);
    // The rich-text body an import gives every card, sketch or not.
    sketchCard(ItemIds::Top, *RichTextDocumentFormat::getData(*SampleDocument::text(QStringLiteral("words")), {}), 5);
    card(ItemIds::Top, QStringLiteral("last"), 6);
    EXPECT_EQ(compile(), QStringLiteral("text\n\n###\n\nlast\n\n\n\n"));
}

TEST_F(ManuscriptCompilerTest, rtfBodiesCompileLikeArchivedOnes)
{
    card(ItemIds::Top, QStringLiteral("archived"), 1);
    ProjectItem* rtfCard = addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("rtf"), 2);
    ProjectItemDocument* document = addDocument(rtfCard);
    document->setMimetype(DocumentMimeTypes::Rtf);
    document->setContent(
        RtfWriter(RtfWriter::Pictures::Omitted, {}).write(*SampleDocument::text(QStringLiteral("from rtf"))).rtf);
    EXPECT_EQ(compile(), QStringLiteral("archived\n\n###\n\nfrom rtf\n\n\n\n"));
    // Words that bring no font of their own, such as a plain-text body, are shown in the manuscript's font.
    ProjectItem* plainCard = addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("plain"), 3);
    addDocument(plainCard)->setContent(QByteArrayLiteral("plain words"));
    save();
    const std::unique_ptr<QTextDocument> compiled = ManuscriptCompiler(context(), m_projectId).doCompile(ItemIds::Top);
    QTextBlock block = compiled->begin();
    while (block.isValid() && block.text() != QStringLiteral("plain words"))
        block = block.next();
    ASSERT_TRUE(block.isValid());
    const QFont shown = block.begin().fragment().charFormat().font().resolve(compiled->defaultFont());
    EXPECT_EQ(shown.families().value(0), Fonts::DefaultFontName);
    EXPECT_EQ(shown.pointSizeF(), TextRuns::BaseFontSize);
}

TEST_F(ManuscriptCompilerTest, aCardWithoutADocumentIsReadFromItsOwnOlderContent)
{
    ProjectItem* older = addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("older"), 1);
    older->setContent(*RichTextDocumentFormat::getData(*SampleDocument::text(QStringLiteral("kept")), {}));
    card(ItemIds::Top, QStringLiteral("newer"), 2);
    EXPECT_EQ(compile(), QStringLiteral("kept\n\n###\n\nnewer\n\n\n\n"));
}

TEST_F(ManuscriptCompilerTest, eachCardKeepsItsOwnPictures)
{
    for (QColor color : {QColor(Qt::red), QColor(Qt::blue)}) {
        auto body = SampleDocument::empty();
        QTextCursor cursor(body.get());
        cursor.insertText(QStringLiteral("picture "), SampleDocument::plain());
        SampleDocument::insertPicture(cursor, SampleDocument::picture(color));
        cardWith(ItemIds::Top, *body, color == Qt::red ? 1 : 2);
    }
    ASSERT_NO_FATAL_FAILURE(save());
    auto manuscript = ManuscriptCompiler(context(), m_projectId).doCompile(ItemIds::Top);
    const QList<QImage> images = picturesOf(*manuscript);
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images.at(0).pixel(39, 19), QColor(Qt::red).rgb());
    EXPECT_EQ(images.at(1).pixel(39, 19), QColor(Qt::blue).rgb());
}

TEST_F(ManuscriptCompilerTest, foldersMovedIntoEachOtherEndTheWalk)
{
    ProjectItem* first = addFolder(m_projectId, ItemIds::Top, QStringLiteral("First"), 1);
    ProjectItem* second = addFolder(m_projectId, first->uniqueIdentifier(), QStringLiteral("Second"), 1);
    first->setParentItemId(second->uniqueIdentifier());
    card(second->uniqueIdentifier(), QStringLiteral("deep"), 2);
    EXPECT_EQ(compile(first->uniqueIdentifier()), QStringLiteral("Second\n\nFirst\n\ndeep\n\n\n\n"));
}

TEST_F(ManuscriptCompilerTest, theSeparatorIsWrittenCentredInTheDefaultFontAtItsOwnSizeAndTitlesStayLeft)
{
    card(ItemIds::Top, QStringLiteral("one"), 1);
    card(ItemIds::Top, QStringLiteral("two"), 2);
    addFolder(m_projectId, ItemIds::Top, QStringLiteral("Chapter"), 3);
    save();
    const std::unique_ptr<QTextDocument> compiled = ManuscriptCompiler(context(), m_projectId).doCompile(ItemIds::Top);
    // Text naming no font of its own, the blank lines too, is the manuscript's base font wherever it is exported.
    EXPECT_EQ(compiled->defaultFont().family(), Fonts::DefaultFontName);
    EXPECT_EQ(compiled->defaultFont().pointSizeF(), TextRuns::BaseFontSize);
    QTextBlock block = compiled->begin();
    while (block.isValid() && block.text() != QStringLiteral("###"))
        block = block.next();
    ASSERT_TRUE(block.isValid());
    const QTextCharFormat format = block.begin().fragment().charFormat();
    EXPECT_EQ(format.fontPointSize(), ManuscriptCompiler::SeparatorFontSize);
    EXPECT_EQ(format.fontFamilies().toStringList().value(0), Fonts::DefaultFontName);
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
    // A folder's title keeps to the left whatever the text's direction.
    while (block.isValid() && block.text() != QStringLiteral("Chapter"))
        block = block.next();
    ASSERT_TRUE(block.isValid());
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignLeft | Qt::AlignAbsolute);
    // In the default font at the heading's size.
    const QTextCharFormat heading = block.begin().fragment().charFormat();
    EXPECT_EQ(heading.fontPointSize(), ManuscriptCompiler::HeadingFontSize);
    EXPECT_EQ(heading.fontFamilies().toStringList().value(0), Fonts::DefaultFontName);
}
