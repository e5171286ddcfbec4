#include "richtext/TextRuns.h"
#include "TextFormats.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

TEST(TextRunsTest, storedCopyDividesSizesByTheZoomInHelvetica)
{
    QTextDocument text;
    QTextCursor cursor(&text);
    cursor.insertText(QStringLiteral("twenty"), charFormat(QStringLiteral("Times"), 20));
    cursor.insertText(QStringLiteral("both"), charFormat(QStringLiteral("Courier"), 15, true, true));

    const std::unique_ptr<QTextDocument> stored = RichTextDocumentFormat::storedCopy(text, 1.25);
    const QTextCharFormat first = formatAt(*stored, 0);
    EXPECT_DOUBLE_EQ(first.fontPointSize(), 16.0);
    EXPECT_EQ(first.fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica")});
    EXPECT_FALSE(first.font().bold());

    const QTextCharFormat second = formatAt(*stored, 6);
    EXPECT_DOUBLE_EQ(second.fontPointSize(), 12.0);
    EXPECT_EQ(second.fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica")});
    EXPECT_TRUE(second.font().bold());
    EXPECT_TRUE(second.fontItalic());

    // The shown text is left as it was.
    EXPECT_DOUBLE_EQ(formatAt(text, 0).fontPointSize(), 20.0);
}

TEST(TextRunsTest, storedCopyWithoutScaleLeavesFontsAlone)
{
    QTextDocument text;
    QTextCursor(&text).insertText(QStringLiteral("x"), charFormat(QStringLiteral("Times"), 20));
    const std::unique_ptr<QTextDocument> stored = RichTextDocumentFormat::storedCopy(text, std::nullopt);
    EXPECT_DOUBLE_EQ(formatAt(*stored, 0).fontPointSize(), 20.0);
    EXPECT_EQ(formatAt(*stored, 0).fontFamilies().toStringList(), QStringList{QStringLiteral("Times")});
}

TEST(TextRunsTest, darkSchemeTextIsStoredBlackWithoutHighlights)
{
    QTextDocument text;
    QTextCursor cursor(&text);
    QTextCharFormat light = charFormat(QStringLiteral("Helvetica"), 17.5);
    light.setForeground(QColor(0xDE, 0xDE, 0xDF));
    light.setBackground(QColor(0x25, 0x25, 0x24));
    cursor.insertText(QStringLiteral("dark text"), light);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("plain"));

    const std::unique_ptr<QTextDocument> stored = RichTextDocumentFormat::storedCopy(text, 1.25);
    for (int position : {0, 4, 10}) {
        const QTextCharFormat format = formatAt(*stored, position);
        EXPECT_EQ(format.foreground().color(), QColor(Qt::black)) << position;
        EXPECT_FALSE(format.hasProperty(QTextFormat::BackgroundBrush)) << position;
    }
}

TEST(TextRunsTest, storedCopyKeepsImages)
{
    QTextDocument text;
    QImage image(5, 5, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QTextCursor cursor(&text);
    cursor.insertText(QStringLiteral("a"));
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), QJTextAttachment(image).format(text));

    const std::unique_ptr<QTextDocument> stored = RichTextDocumentFormat::storedCopy(text, 1.25);
    const QTextCharFormat format = formatAt(*stored, 1);
    ASSERT_TRUE(format.isImageFormat());
    EXPECT_EQ(QJTextAttachment::fromFormat(format, *stored).image().size(), QSize(5, 5));
}

TEST(TextRunsTest, runWithoutSizeScalesFromTheBaseSize)
{
    QTextDocument text;
    text.setPlainText(QStringLiteral("no size"));
    QTextCharFormat zero;
    zero.setFontPointSize(0);
    QTextCursor(&text).insertText(QStringLiteral("zero"), zero);
    TextRuns::scaleFonts(text, 1.25, false);
    EXPECT_DOUBLE_EQ(formatAt(text, 0).fontPointSize(), 17.5);
    // A size stored as 0 is no size either.
    EXPECT_DOUBLE_EQ(formatAt(text, 4).fontPointSize(), 17.5);
}

TEST(TextRunsTest, emptyLinesScaleWithTheText)
{
    QTextDocument text;
    QTextCursor cursor(&text);
    cursor.insertText(QStringLiteral("a"), charFormat(QStringLiteral("Times"), 20));
    cursor.insertBlock(QTextBlockFormat(), charFormat(QStringLiteral("Times"), 20));
    TextRuns::scaleFonts(text, 2.0, true);
    EXPECT_DOUBLE_EQ(text.lastBlock().charFormat().fontPointSize(), 10.0);
}
