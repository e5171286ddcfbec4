#include "richtext/RichTextDocumentFormat.h"
#include "TextFormats.h"
#include "platform/archive/ArchiveObject.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/text/TextAttachment.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/QJCheckboxAttachment.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/QJUncheckedCheckboxAttachment.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

using Status = RichTextDocumentFormat::LoadStatus;

RichTextDocumentFormat::LoadOptions zoom(double factor)
{
    RichTextDocumentFormat::LoadOptions options;
    options.fontSize = factor;
    return options;
}

QByteArray stored(const QTextDocument& text, std::optional<double> scale = 1.25)
{
    const std::optional<QByteArray> bytes = RichTextDocumentFormat::getData(text, scale);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(QByteArray());
}

QImage filled(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    return image;
}

} // namespace

TEST(RichTextDocumentFormatTest, zoomedTextIsStoredAtBaseSizeAndShownAtTheReadersZoom)
{
    QTextDocument text;
    QTextCursor(&text).insertText(QStringLiteral("twenty"), charFormat(QStringLiteral("Times"), 20));
    const QByteArray bytes = stored(text, 1.25);

    const std::unique_ptr<QTextDocument> base = AttributedStringArchive::decode(bytes, {"NSAttributedString"});
    ASSERT_NE(base, nullptr);
    EXPECT_DOUBLE_EQ(formatAt(*base, 0).fontPointSize(), 16.0);
    EXPECT_EQ(formatAt(*base, 0).font().family(), QStringLiteral("Helvetica"));

    const RichTextDocumentFormat::LoadResult shown = RichTextDocumentFormat::loadFrom(bytes, zoom(1.5));
    ASSERT_EQ(shown.status, Status::Loaded);
    EXPECT_EQ(shown.document->toPlainText(), QStringLiteral("twenty"));
    EXPECT_DOUBLE_EQ(formatAt(*shown.document, 0).fontPointSize(), 24.0);

    RichTextDocumentFormat::LoadOptions fixed = zoom(1.5);
    fixed.fixedFontSize = 12;
    EXPECT_DOUBLE_EQ(formatAt(*RichTextDocumentFormat::loadFrom(bytes, fixed).document, 0).fontPointSize(), 12.0);
    EXPECT_DOUBLE_EQ(formatAt(*RichTextDocumentFormat::loadFromDataForPrint(bytes).document, 0).fontPointSize(), 16.0);
}

TEST(RichTextDocumentFormatTest, boldItalicInAnyFamilyIsStoredAsBoldItalicHelvetica)
{
    QTextDocument text;
    QTextCursor(&text).insertText(QStringLiteral("both"), charFormat(QStringLiteral("Courier New"), 15, true, true));
    const std::unique_ptr<QTextDocument> base = AttributedStringArchive::decode(stored(text), {"NSAttributedString"});
    ASSERT_NE(base, nullptr);
    const QFont font = formatAt(*base, 0).font();
    EXPECT_EQ(font.family(), QStringLiteral("Helvetica"));
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12.0);

    // An underlined and a plain run in one font: stored, and shown again at another zoom, the underline stands on
    // exactly its words.
    QTextDocument lined;
    QTextCursor cursor(&lined);
    QTextCharFormat underlined = charFormat(QStringLiteral("Times"), 20);
    underlined.setFontUnderline(true);
    cursor.insertText(QStringLiteral("under"), underlined);
    cursor.insertText(QStringLiteral(" plain"), charFormat(QStringLiteral("Times"), 20));
    const RichTextDocumentFormat::LoadResult shown = RichTextDocumentFormat::loadFrom(stored(lined), zoom(1.5));
    ASSERT_EQ(shown.status, Status::Loaded);
    ASSERT_EQ(shown.document->toPlainText(), QStringLiteral("under plain"));
    for (int position = 0; position < 11; ++position)
        EXPECT_EQ(formatAt(*shown.document, position).fontUnderline(), position < 5) << position;
}

TEST(RichTextDocumentFormatTest, darkSchemeTextIsStoredBlackOnNoBackgroundAndShownInTheReadersColour)
{
    QTextDocument text;
    QTextCharFormat dark = charFormat(QStringLiteral("Helvetica"), 17.5);
    dark.setForeground(QColor(0xDE, 0xDE, 0xDF));
    dark.setBackground(QColor(Qt::yellow));
    QTextCursor(&text).insertText(QStringLiteral("highlighted"), dark);
    const QByteArray bytes = stored(text);

    const std::unique_ptr<QTextDocument> base = AttributedStringArchive::decode(bytes, {"NSAttributedString"});
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(formatAt(*base, 3).foreground().color(), QColor(Qt::black));
    EXPECT_FALSE(formatAt(*base, 3).hasProperty(QTextFormat::BackgroundBrush));

    RichTextDocumentFormat::LoadOptions options;
    options.fgColor = QColor(0xDE, 0xDE, 0xDF);
    const RichTextDocumentFormat::LoadResult shown = RichTextDocumentFormat::loadFrom(bytes, options);
    EXPECT_EQ(formatAt(*shown.document, 3).foreground().color(), QColor(0xDE, 0xDE, 0xDF));
}

TEST(RichTextDocumentFormatTest, fallsBackToRtfThenToUtf8Text)
{
    const QByteArray rtf("{\\rtf1\\ansi{\\fonttbl\\f0 Times;}\\f0\\fs40 Hello \\b bold\\b0}");
    const RichTextDocumentFormat::LoadResult fromRtf = RichTextDocumentFormat::loadFrom(rtf, zoom(1.25));
    ASSERT_EQ(fromRtf.status, Status::Loaded);
    EXPECT_EQ(fromRtf.document->toPlainText(), QStringLiteral("Hello bold"));
    EXPECT_TRUE(formatAt(*fromRtf.document, 7).font().bold());
    EXPECT_DOUBLE_EQ(formatAt(*fromRtf.document, 0).fontPointSize(), 25.0);

    const RichTextDocumentFormat::LoadResult fromText =
        RichTextDocumentFormat::loadFrom(QByteArray("caf\xC3\xA9 au lait"), zoom(1.25));
    ASSERT_EQ(fromText.status, Status::Loaded);
    EXPECT_EQ(fromText.document->toPlainText(), QStringLiteral("café au lait"));
    EXPECT_DOUBLE_EQ(formatAt(*fromText.document, 0).fontPointSize(), 17.5);
}

TEST(RichTextDocumentFormatTest, binaryIsUnreadableNotShownAsGarbage)
{
    for (const QByteArray& bytes :
         {QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11), QByteArray("caf\xE9"), QByteArray("bplist00\xD1\x01\x02", 11)}) {
        const RichTextDocumentFormat::LoadResult result = RichTextDocumentFormat::loadFrom(bytes);
        EXPECT_EQ(result.status, Status::Unreadable) << bytes.toHex().toStdString();
        EXPECT_FALSE(result.isReadable());
        EXPECT_EQ(result.document, nullptr);
    }
}

TEST(RichTextDocumentFormatTest, archiveWhoseRootIsNoAttributedStringIsNotTakenForText)
{
    const QByteArray string = KeyedArchiver::archive(ArchiveObject::string(QStringLiteral("hi"), "NSMutableString"));
    const QByteArray map = KeyedArchiver::archive(
        ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{{"title", ArchiveObject::string("x")}}));
    for (const QByteArray& bytes : {string, map}) {
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(RichTextDocumentFormat::loadFrom(bytes).status, Status::Unreadable);
    }
}

TEST(RichTextDocumentFormatTest, emptyDataIsEmptyTextWithoutTryingADecoder)
{
    const RichTextDocumentFormat::LoadResult result = RichTextDocumentFormat::loadFrom(QByteArray());
    EXPECT_EQ(result.status, Status::Empty);
    ASSERT_NE(result.document, nullptr);
    EXPECT_TRUE(result.document->isEmpty());
    // An empty RTF body is empty text too, never an unreadable one that a save must not replace.
    const RichTextDocumentFormat::LoadResult rtf = RichTextDocumentFormat::loadFromRTFData(QByteArray(), {});
    EXPECT_EQ(rtf.status, Status::Empty);
    ASSERT_NE(rtf.document, nullptr);
    EXPECT_TRUE(rtf.document->isEmpty());
}

TEST(RichTextDocumentFormatTest, rtfReaderTriesNothingElse)
{
    QTextDocument text;
    text.setPlainText(QStringLiteral("archived"));
    EXPECT_EQ(RichTextDocumentFormat::loadFromRTFData(stored(text), {}).status, Status::Unreadable);
    EXPECT_EQ(RichTextDocumentFormat::loadFromRTFData(QByteArray("plain words"), {}).status, Status::Unreadable);
    const RichTextDocumentFormat::LoadResult rtf =
        RichTextDocumentFormat::loadFromRTFData(QByteArray("{\\rtf1 one}"), {});
    ASSERT_EQ(rtf.status, Status::Loaded);
    EXPECT_EQ(rtf.document->toPlainText(), QStringLiteral("one"));
}

TEST(RichTextDocumentFormatTest, attachmentsSurviveStoringAndCheckboxesTakeTheReadersAppearance)
{
    QTextDocument text;
    QTextCursor cursor(&text);
    const QString object(QChar::ObjectReplacementCharacter);
    cursor.insertText(object, QJTextAttachment(filled(1000, 40)).format(text));
    cursor.insertText(object, QJCheckboxAttachment().format());
    cursor.insertText(object, QJUncheckedCheckboxAttachment().format());
    cursor.insertText(QStringLiteral(" done"));

    RichTextDocumentFormat::LoadOptions options;
    options.darkMode = true;
    const RichTextDocumentFormat::LoadResult shown = RichTextDocumentFormat::loadFrom(stored(text), options);
    ASSERT_EQ(shown.status, Status::Loaded);
    const QTextDocument& document = *shown.document;
    EXPECT_EQ(document.toPlainText(), object + object + object + QStringLiteral(" done"));

    const QTextCharFormat image = formatAt(document, 0);
    ASSERT_TRUE(image.isImageFormat());
    EXPECT_EQ(image.stringProperty(TextAttachment::ClassName), QStringLiteral("QJTextAttachment"));
    EXPECT_EQ(QJTextAttachment::fromFormat(image, document).image().size(), QSize(1000, 40));

    const std::unique_ptr<CheckboxAttachment> checked = CheckboxAttachment::fromFormat(formatAt(document, 1), true);
    ASSERT_NE(checked, nullptr);
    EXPECT_TRUE(checked->isChecked());
    EXPECT_EQ(formatAt(document, 1).stringProperty(CheckboxAttachment::ImageNameProperty),
              QStringLiteral("checkbox-checked-dark.png"));
    const std::unique_ptr<CheckboxAttachment> unchecked = CheckboxAttachment::fromFormat(formatAt(document, 2), true);
    ASSERT_NE(unchecked, nullptr);
    EXPECT_FALSE(unchecked->isChecked());
}

TEST(RichTextDocumentFormatTest, archiveNamingAClassOutsideTheAllowedSetIsRefused)
{
    QTextDocument text;
    QTextCursor(&text).insertText(QString(QChar::ObjectReplacementCharacter),
                                  QJTextAttachment(filled(3, 3)).format(text));
    QByteArray bytes = stored(text);
    ASSERT_EQ(RichTextDocumentFormat::loadFrom(bytes).status, Status::Loaded);
    // Same length, so the property list stays well formed and only the class name differs.
    bytes.replace("QJTextAttachment", "QZTextAttachment");
    EXPECT_EQ(RichTextDocumentFormat::loadFrom(bytes).status, Status::Unreadable);
}
