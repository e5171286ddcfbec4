#include "platform/rtf/RtfReader.h"
#include "TestImages.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

// How the body a reader gathers reaches the document: runs of one format, paragraph marks and block properties,
// whichever format or paragraph properties most of the document happens to share.
namespace {

std::unique_ptr<QTextDocument> readRtf(const QByteArray& body)
{
    return RtfReader::read("{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss Helvetica;}" + body + "}");
}

// Each fragment as [text], bold text between asterisks and italic text between slashes, pictures as #, and each
// block on a line of its own.
QString fragmentsOf(const QTextDocument& document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QString text = it.fragment().text().replace(QChar::ObjectReplacementCharacter, u'#');
            if (format.fontWeight() == QFont::Bold)
                text = u'*' + text + u'*';
            if (format.fontItalic())
                text = u'/' + text + u'/';
            line += u'[' + text + u']';
        }
        blocks.append(line);
    }
    return blocks.join(u'\n');
}

QString fragmentsOf(const QByteArray& body)
{
    const auto document = readRtf(body);
    return document ? fragmentsOf(*document) : QStringLiteral("<null>");
}

Qt::Alignment alignmentOf(const QTextDocument& document, int block)
{
    return document.findBlockByNumber(block).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}

QByteArray pictureGroup()
{
    return "{\\pict\\pngblip " + solidPng(2, 2, Qt::red).toHex() + "}";
}

} // namespace

TEST(RtfDocumentBuilder, textInOneFormatStaysOneFragmentAcrossGroupsAndEscapes)
{
    EXPECT_EQ(fragmentsOf("{\\b a}{\\b b}c"), QStringLiteral("[*ab*][c]"));
    EXPECT_EQ(fragmentsOf("a{\\b b}c"), QStringLiteral("[a][*b*][c]"));
    EXPECT_EQ(fragmentsOf("ab\\u233?cd\\'e9f"), QStringLiteral("[ab\u00E9cd\u00E9f]"));
    // A group without text, or whose only text is dropped, leaves no run behind.
    EXPECT_EQ(fragmentsOf("a{\\b}b{\\i\\'0b}c"), QStringLiteral("[abc]"));
    // Plain bytes with a control character among them lose just that character; a tab is text.
    EXPECT_EQ(fragmentsOf("a\x0b\tb"), QStringLiteral("[a\tb]"));
    EXPECT_EQ(fragmentsOf(""), QString());
}

TEST(RtfDocumentBuilder, everyRunKeepsItsFormatWhicheverFormatMostRunsShare)
{
    // Most runs plain, most runs bold, and as many of each.
    EXPECT_EQ(fragmentsOf("a{\\b x}b{\\b y}c"), QStringLiteral("[a][*x*][b][*y*][c]"));
    EXPECT_EQ(fragmentsOf("\\b a{\\b0 x}b{\\b0 y}c"), QStringLiteral("[*a*][x][*b*][y][*c*]"));
    EXPECT_EQ(fragmentsOf("{\\b x}a"), QStringLiteral("[*x*][a]"));
    EXPECT_EQ(fragmentsOf("a{\\b x}"), QStringLiteral("[a][*x*]"));
    EXPECT_EQ(fragmentsOf("{\\i a}{\\b b}{\\i c}\\par{\\b d}"), QStringLiteral("[/a/][*b*][/c/]\n[*d*]"));
}

TEST(RtfDocumentBuilder, paragraphMarkTakesTheFormatOfTheTextBeforeIt)
{
    const auto marks = readRtf("{\\b bold}\\par plain\\par");
    ASSERT_NE(marks, nullptr);
    ASSERT_EQ(fragmentsOf(*marks), QStringLiteral("[*bold*]\n[plain]\n"));
    // A block's character format is that of the mark before it.
    EXPECT_EQ(marks->findBlockByNumber(1).charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(marks->findBlockByNumber(2).charFormat().fontWeight(), QFont::Normal);

    // Text that is dropped still counts as the text before the mark; a group with no text does not.
    const auto dropped = readRtf("x{\\i \\'0b}\\par y{\\i}\\par");
    ASSERT_NE(dropped, nullptr);
    EXPECT_TRUE(dropped->findBlockByNumber(1).charFormat().fontItalic());
    EXPECT_FALSE(dropped->findBlockByNumber(2).charFormat().fontItalic());

    // A picture between the text and the mark is not text.
    const auto picture = readRtf("{\\b a}" + pictureGroup() + "\\par");
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(fragmentsOf(*picture), QStringLiteral("[*a*][#]\n"));
    EXPECT_EQ(picture->findBlockByNumber(1).charFormat().fontWeight(), QFont::Bold);
    EXPECT_FALSE(picture->findBlockByNumber(1).charFormat().isImageFormat());

    // Before any text, a mark has the document's default font.
    const auto first = readRtf("\\par a");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->findBlockByNumber(1).charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Helvetica")});
    EXPECT_EQ(first->findBlockByNumber(1).charFormat().fontPointSize(), 12.0);
}

TEST(RtfDocumentBuilder, picturesSitBetweenRunsOfTheSameFormat)
{
    const QByteArray picture = pictureGroup();
    EXPECT_EQ(fragmentsOf("a" + picture + "a"), QStringLiteral("[a][#][a]"));
    EXPECT_EQ(fragmentsOf("{\\b a" + picture + picture + "b}"), QStringLiteral("[*a*][*#*][*#*][*b*]"));
}

TEST(RtfDocumentBuilder, everyBlockKeepsItsPropertiesWhicheverMostBlocksHave)
{
    const auto title = readRtf("\\qc Title\\par\\pard\\qj one\\par two\\par three");
    ASSERT_NE(title, nullptr);
    ASSERT_EQ(title->blockCount(), 4);
    EXPECT_EQ(alignmentOf(*title, 0), Qt::AlignHCenter);
    for (int block = 1; block < 4; ++block)
        EXPECT_EQ(alignmentOf(*title, block), Qt::AlignJustify) << block;

    const auto last = readRtf("\\qj a\\par b\\par\\li720\\qc c");
    ASSERT_NE(last, nullptr);
    ASSERT_EQ(last->blockCount(), 3);
    EXPECT_EQ(alignmentOf(*last, 1), Qt::AlignJustify);
    EXPECT_EQ(alignmentOf(*last, 2), Qt::AlignHCenter);
    EXPECT_EQ(last->findBlockByNumber(1).blockFormat().leftMargin(), 0.0);
    EXPECT_EQ(last->findBlockByNumber(2).blockFormat().leftMargin(), 36.0);

    const auto alternating = readRtf("\\qc a\\par\\qr b\\par\\qc c\\par\\qr d\\par\\qj e");
    ASSERT_NE(alternating, nullptr);
    const Qt::Alignment expected[] = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignRight,
                                      Qt::AlignJustify};
    ASSERT_EQ(alternating->blockCount(), 5);
    for (int block = 0; block < 5; ++block)
        EXPECT_EQ(alignmentOf(*alternating, block), expected[block]) << block;
}

TEST(RtfDocumentBuilder, blockBreaksInTheTextKeepThePropertiesTheirParagraphBeganWith)
{
    // U+2029 and the two frame marks break a block when inserted; U+2028 is a line break inside one.
    const auto document = readRtf("\\qc a\\u8233?b\\u64976?c\\u64977?d\\u8232?e\\par\\qr {\\b f\\u8233?g}\\par h");
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(fragmentsOf(*document), QStringLiteral("[a]\n[b]\n[c]\n[d\u2028e]\n[*f*]\n[*g*]\n[h]"));
    const Qt::Alignment expected[] = {Qt::AlignLeft,    Qt::AlignLeft,  Qt::AlignLeft, Qt::AlignHCenter,
                                      Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight};
    for (int block = 0; block < 7; ++block)
        EXPECT_EQ(alignmentOf(*document, block), expected[block]) << block;
    // The break takes the format of its run.
    EXPECT_EQ(document->findBlockByNumber(5).charFormat().fontWeight(), QFont::Bold);
}

TEST(RtfDocumentBuilder, documentWithoutTextKeepsItsParagraphProperties)
{
    const auto empty = readRtf("\\qc");
    ASSERT_NE(empty, nullptr);
    ASSERT_EQ(empty->blockCount(), 1);
    EXPECT_TRUE(empty->toPlainText().isEmpty());
    EXPECT_EQ(alignmentOf(*empty, 0), Qt::AlignHCenter);

    const auto marks = readRtf("\\qr\\par\\qc");
    ASSERT_NE(marks, nullptr);
    ASSERT_EQ(marks->blockCount(), 2);
    EXPECT_EQ(alignmentOf(*marks, 0), Qt::AlignRight);
    EXPECT_EQ(alignmentOf(*marks, 1), Qt::AlignHCenter);
}

TEST(RtfDocumentBuilder, documentReadIsReadyForEditing)
{
    const auto document = readRtf("{\\b a}b\\par c");
    ASSERT_NE(document, nullptr);
    int changes = 0;
    QObject::connect(document.get(), &QTextDocument::contentsChanged, [&changes] { ++changes; });
    QTextCursor cursor(document.get());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("d"));
    // Each edit is reported at once: the reader left no edit block open behind it.
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("ab\ncd"));
}
