#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/RtfReader.h"

#include "SampleDocument.h"
#include "export/ExportPictures.h"

#include <QTextBlock>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace {

QByteArray rtfOf(const QTextDocument& document, RtfWriter::Pictures pictures = RtfWriter::Pictures::Embedded)
{
    return RtfWriter(pictures, ExportPictures::lookupIn(document)).write(document).rtf;
}

int countImages(const QTextDocument& document)
{
    int images = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            images += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
    }
    return images;
}

} // namespace

TEST(RtfWriterTest, backslashAndBracesAreEscaped)
{
    EXPECT_EQ(RtfWriter::escapedText(QStringLiteral("a\\b{c}d")), QByteArray("a\\\\b\\{c\\}d"));
}

TEST(RtfWriterTest, nonAsciiIsWrittenAsSignedUnicodeWithFallback)
{
    EXPECT_EQ(RtfWriter::escapedText(QStringLiteral("é")), QByteArray("\\u233\\'3f"));
    EXPECT_EQ(RtfWriter::escapedText(QStringLiteral("日")), QByteArray("\\u26085\\'3f"));
    // U+8A9E is above 32767 and is written as a negative 16-bit number.
    EXPECT_EQ(RtfWriter::escapedText(QString(QChar(0x8A9E))), QByteArray("\\u-30050\\'3f"));
    // U+1F600 is the pair D83D DE00.
    EXPECT_EQ(RtfWriter::escapedText(QStringLiteral("😀")), QByteArray("\\u-10179\\'3f\\u-8704\\'3f"));
}

TEST(RtfWriterTest, tabsAndLineSeparatorsBecomeControlWords)
{
    EXPECT_EQ(RtfWriter::escapedText(QStringLiteral("a\tb") + QChar(0x2028) + QStringLiteral("c")),
              QByteArray("a\\tab b\\line c"));
    // A vertical tab and a paragraph separator inside a run are line breaks too, not lost characters.
    EXPECT_EQ(RtfWriter::escapedText(QStringLiteral("d\ve") + QChar(0x2029) + QStringLiteral("f")),
              QByteArray("d\\line e\\line f"));
}

TEST(RtfWriterTest, halfPointsRoundToTheNearest)
{
    EXPECT_EQ(RtfWriter::halfPoints(17.5), 35);
    EXPECT_EQ(RtfWriter::halfPoints(14.0), 28);
    EXPECT_EQ(RtfWriter::halfPoints(10.24), 20);
    auto document = SampleDocument::text(QStringLiteral("heading"), SampleDocument::plain(17.5));
    EXPECT_TRUE(rtfOf(*document).contains("\\fs35 ")) << rtfOf(*document).constData();
}

TEST(RtfWriterTest, ourReaderGetsBackTheTextAndEmphasisWordForWord)
{
    const QString text = QStringLiteral("Café naïve Καλημέρα 日本語 😀 & <tag> {braces} C:\\path \"quoted\"\tafter tab");
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(text, SampleDocument::plain());
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("bold"), SampleDocument::bold());
    cursor.insertText(QStringLiteral(" italic"), SampleDocument::italic());
    const auto read = RtfReader::read(rtfOf(*document));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->toPlainText(), text + QStringLiteral("\nbold italic"));
    const QTextBlock second = read->firstBlock().next();
    auto it = second.begin();
    ASSERT_FALSE(it.atEnd());
    EXPECT_GE(it.fragment().charFormat().fontWeight(), QFont::Bold);
    ++it;
    ASSERT_FALSE(it.atEnd());
    EXPECT_TRUE(it.fragment().charFormat().fontItalic());
    EXPECT_LT(it.fragment().charFormat().fontWeight(), QFont::Bold);
}

TEST(RtfWriterTest, colouredWordsIndexTheTableFromOneAndUncolouredWordsNameNoColour)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    QTextCharFormat red = SampleDocument::plain();
    red.setForeground(QColor(255, 0, 0));
    QTextCharFormat blue = SampleDocument::plain();
    blue.setForeground(QColor(0, 0, 255));
    cursor.insertText(QStringLiteral("plain "), SampleDocument::plain());
    cursor.insertText(QStringLiteral("red "), red);
    cursor.insertText(QStringLiteral("blue "), blue);
    cursor.insertText(QStringLiteral("again"), red);
    const QByteArray rtf = rtfOf(*document);
    // \cf0 is the reader's own default colour, so the first colour of the table is \cf1.
    EXPECT_TRUE(rtf.contains("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\cf1 red ")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\cf2 blue ")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\cf1 again")) << rtf.constData();
    EXPECT_FALSE(rtf.contains("\\cf0")) << rtf.constData();

    const auto read = RtfReader::read(rtf);
    ASSERT_NE(read, nullptr);
    QList<std::pair<QString, QColor>> runs;
    for (auto it = read->firstBlock().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        runs.append({it.fragment().text(),
                     format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor()});
    }
    const QList<std::pair<QString, QColor>> expected = {{QStringLiteral("plain "), QColor()},
                                                        {QStringLiteral("red "), QColor(255, 0, 0)},
                                                        {QStringLiteral("blue "), QColor(0, 0, 255)},
                                                        {QStringLiteral("again"), QColor(255, 0, 0)}};
    EXPECT_EQ(runs, expected);
}

TEST(RtfWriterTest, picturesStandWhereTheirAttachmentsStood)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    const QImage shared = SampleDocument::picture(Qt::red);
    cursor.insertText(QStringLiteral("before "), SampleDocument::plain());
    SampleDocument::insertPicture(cursor, shared);
    cursor.insertText(QStringLiteral(" middle "), SampleDocument::plain());
    SampleDocument::insertPicture(cursor, shared);
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::blue), QSizeF(100, 50));
    cursor.insertText(QStringLiteral(" after"), SampleDocument::plain());
    const QByteArray rtf = rtfOf(*document);
    EXPECT_EQ(rtf.count("\\pngblip"), 3);
    EXPECT_TRUE(rtf.contains("\\picwgoal2000\\pichgoal1000")) << "100 x 50 points in twips";
    // Hexadecimal is upper case.
    const qsizetype hex = rtf.indexOf("89504E47");
    EXPECT_GT(hex, rtf.indexOf("before")) << "the PNG signature follows the text before it";
    const auto read = RtfReader::read(rtf);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(countImages(*read), 3);
    EXPECT_EQ(read->toPlainText(), QStringLiteral("before ") + QChar(0xFFFC) + QStringLiteral(" middle ") +
                                       QChar(0xFFFC) + QChar(0xFFFC) + QStringLiteral(" after"));
}

TEST(RtfWriterTest, writersTextThatLooksLikeAMarkerStaysText)
{
    const QString text = QStringLiteral("_RXN_Encoded_Image#12_ and _QJ_Encoded_Image#0_ and _KUV_Encoded_Image5_");
    auto document = SampleDocument::text(text);
    const auto read = RtfReader::read(rtfOf(*document));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->toPlainText(), text);
    EXPECT_EQ(countImages(*read), 0);
}

TEST(RtfWriterTest, referencedPicturesAreListedInTextOrder)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red));
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::green));
    const auto result =
        RtfWriter(RtfWriter::Pictures::Referenced, ExportPictures::lookupIn(*document)).write(*document);
    EXPECT_EQ(result.pictureNames, (QStringList{QStringLiteral("image1.png"), QStringLiteral("image2.png")}));
    EXPECT_EQ(result.pictures.value(QStringLiteral("image2.png")).pixel(39, 19), QColor(Qt::green).rgb());
    EXPECT_TRUE(result.rtf.contains("\\NeXTGraphic image1.png"));
    EXPECT_FALSE(result.rtf.contains("\\pngblip"));
}

TEST(RtfWriterTest, underlineStrikeAndEveryAlignmentSurviveOurReader)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    QTextCharFormat underlined = SampleDocument::plain();
    underlined.setFontUnderline(true);
    QTextCharFormat struck = SampleDocument::plain();
    struck.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral("under"), underlined);
    cursor.insertText(QStringLiteral(" struck"), struck);
    // Right together with Absolute is still right: only the direction-free flag is added.
    const QList<Qt::Alignment> alignments = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify,
                                             Qt::AlignRight | Qt::AlignAbsolute, Qt::AlignLeft};
    for (const Qt::Alignment alignment : alignments) {
        QTextBlockFormat block;
        block.setAlignment(alignment);
        cursor.insertBlock(block);
        cursor.insertText(QStringLiteral("x"), SampleDocument::plain());
    }
    const QByteArray rtf = rtfOf(*document);
    EXPECT_EQ(rtf.count("\\pard"), 6);
    const qsizetype paragraphs = rtf.indexOf("\\pard");
    EXPECT_TRUE(rtf.mid(paragraphs).startsWith("\\pard\\ql {")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\ul under")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\strike  struck")) << rtf.constData();

    const auto read = RtfReader::read(rtf);
    ASSERT_NE(read, nullptr);
    auto it = read->firstBlock().begin();
    ASSERT_FALSE(it.atEnd());
    EXPECT_EQ(it.fragment().text(), QStringLiteral("under"));
    EXPECT_TRUE(it.fragment().charFormat().fontUnderline());
    EXPECT_FALSE(it.fragment().charFormat().fontStrikeOut());
    ++it;
    ASSERT_FALSE(it.atEnd());
    EXPECT_TRUE(it.fragment().charFormat().fontStrikeOut());
    EXPECT_FALSE(it.fragment().charFormat().fontUnderline());
    QList<Qt::Alignment> readAlignments;
    for (QTextBlock block = read->firstBlock().next(); block.isValid(); block = block.next())
        readAlignments.append(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute);
    const QList<Qt::Alignment> expected = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify, Qt::AlignRight,
                                           Qt::AlignLeft};
    EXPECT_EQ(readAlignments, expected);
}

TEST(RtfWriterTest, omittedPicturesLeaveNoTraceEvenWhereTheyCouldBeFound)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("before"), SampleDocument::plain());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red));
    const QByteArray rtf = rtfOf(*document, RtfWriter::Pictures::Omitted);
    EXPECT_FALSE(rtf.contains("\\pict")) << rtf.constData();
    EXPECT_FALSE(rtf.contains("NeXTGraphic")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("before"));

    // A picture whose image cannot be made is left out as well, rather than written as an empty picture.
    const auto noImage = [](const QTextImageFormat&) {
        return RtfWriter::Picture{};
    };
    EXPECT_FALSE(RtfWriter(RtfWriter::Pictures::Embedded, noImage).write(*document).rtf.contains("\\pict"));
    const RtfWriter::Result referenced = RtfWriter(RtfWriter::Pictures::Referenced, noImage).write(*document);
    EXPECT_FALSE(referenced.rtf.contains("NeXTGraphic")) << referenced.rtf.constData();
    EXPECT_TRUE(referenced.pictureNames.isEmpty());
}

TEST(RtfWriterTest, oneWriterWritesTheSameTextTwiceAlike)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("before"), SampleDocument::plain());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red));
    RtfWriter writer(RtfWriter::Pictures::Embedded, ExportPictures::lookupIn(*document));
    const QByteArray first = writer.write(*document).rtf;
    EXPECT_EQ(writer.write(*document).rtf, first);
}
