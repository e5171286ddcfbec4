// Card bodies whose attachments the reader places after the text has gone in: pictures read side by side, one
// run holding several attachment characters, pictures that cannot be read, and the document left ready to edit.
#include "TestImages.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/archive/AttributedStringRuns.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QChar Fffc(0xFFFC);

QByteArray pngOf(int width, int height)
{
    return solidPng(width, height, QColor(200, 40, 90), QImage::Format_RGB32);
}

ArchiveRef font(double size)
{
    return ArchiveObject::instance(QStringLiteral("UIFont"),
                                   {{QStringLiteral("UIFontName"), ArchiveObject::string(QStringLiteral("Helvetica"))},
                                    {QStringLiteral("UIFontPointSize"), ArchiveObject::real(size)}});
}

ArchiveRef picture(const QByteArray& bytes)
{
    const ArchiveRef image = ArchiveObject::instance(
        QStringLiteral("UIImage"),
        {{QStringLiteral("UIImageData"), ArchiveObject::data(bytes, QStringLiteral("NSData"))}});
    return ArchiveObject::instance(QString::fromLatin1(TextAttachment::ImageClass),
                                   {{QStringLiteral("QJTextAttachment"), image}});
}

ArchiveRef textRun(double size)
{
    return ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{{QStringLiteral("NSFont"), font(size)}});
}

ArchiveRef attachmentRun(double size, const QByteArray& bytes)
{
    return ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
        {QStringLiteral("NSFont"), font(size)}, {QStringLiteral("NSAttachment"), picture(bytes)}});
}

// A run under a plain attachment whose file wrapper holds bytes, as pictures pasted from other programs arrive.
ArchiveRef fileAttachmentRun(const QByteArray& bytes)
{
    const ArchiveRef wrapper = ArchiveObject::instance(
        QStringLiteral("NSFileWrapper"),
        {{QStringLiteral("NSFileWrapperContents"), ArchiveObject::data(bytes, QStringLiteral("NSData"))}});
    const ArchiveRef attachment = ArchiveObject::instance(QString::fromLatin1(TextAttachment::PlainClass),
                                                          {{QStringLiteral("NSFileWrapper"), wrapper}});
    return ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
        {QStringLiteral("NSFont"), font(12)}, {QStringLiteral("NSAttachment"), attachment}});
}

ArchiveRef styledRun(qint64 underline, qint64 strikethrough)
{
    return ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
        {QStringLiteral("NSFont"), font(12)},
        {QStringLiteral("NSUnderline"), ArchiveObject::integer(underline)},
        {QStringLiteral("NSStrikethrough"), ArchiveObject::integer(strikethrough)}});
}

QByteArray jpegOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 60, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// A one-pixel GIF: Qt reads GIF but does not write it.
QByteArray onePixelGif()
{
    static const unsigned char bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                          0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                                          0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01,
                                          0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

// runs: (length, dictionary index) pairs over text.
std::unique_ptr<QTextDocument> decode(const QString& text, const QList<ArchiveRef>& dictionaries,
                                      const QList<std::pair<int, int>>& runs)
{
    AttributedStringRuns info;
    for (const auto& [length, index] : runs)
        info.append(length, index, false);
    const ArchiveRef root = ArchiveObject::instance(
        QStringLiteral("NSMutableAttributedString"),
        {{QStringLiteral("NSString"), ArchiveObject::string(text)},
         {QStringLiteral("NSAttributes"), ArchiveObject::array(dictionaries)},
         {QStringLiteral("NSAttributeInfo"), ArchiveObject::data(info.encoded(), QStringLiteral("NSData"))}});
    return AttributedStringArchive::decode(KeyedArchiver::archive(root), AttributedStringArchive::cardBodyClasses());
}

QTextFragment fragmentAt(const QTextDocument& document, int position)
{
    for (auto it = document.findBlock(position).begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment;
    }
    return {};
}

QSize pictureSizeAt(const QTextDocument& document, int position)
{
    const QTextCharFormat format = fragmentAt(document, position).charFormat();
    if (!format.isImageFormat())
        return {};
    return document.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())).value<QImage>().size();
}

} // namespace

TEST(AttributedStringReaderTest, twoAttachmentCharactersOfOneRunAreBothPicturesInOneFragment)
{
    const auto document = decode(QStringLiteral("a") + Fffc + Fffc + QStringLiteral("b"),
                                 {textRun(12), attachmentRun(12, pngOf(40, 30))}, {{1, 0}, {2, 1}, {1, 0}});
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toRawText(), QStringLiteral("a") + Fffc + Fffc + QStringLiteral("b"));
    const QTextFragment pictures = fragmentAt(*document, 1);
    EXPECT_TRUE(pictures.charFormat().isImageFormat());
    EXPECT_EQ(pictures.position(), 1);
    EXPECT_EQ(pictures.length(), 2);
    EXPECT_EQ(pictureSizeAt(*document, 2), QSize(40, 30));
    EXPECT_FALSE(fragmentAt(*document, 0).charFormat().isImageFormat());
    EXPECT_FALSE(fragmentAt(*document, 3).charFormat().isImageFormat());
    EXPECT_EQ(fragmentAt(*document, 3).charFormat().fontPointSize(), 12);
}

TEST(AttributedStringReaderTest, picturesOfSeparateRunsKeepTheirOwnImagesInTextOrder)
{
    const QString text = Fffc + QStringLiteral("x") + Fffc + QStringLiteral("y") + Fffc;
    const auto document = decode(text,
                                 {attachmentRun(12, pngOf(40, 30)), textRun(12), attachmentRun(12, pngOf(20, 10)),
                                  attachmentRun(12, pngOf(7, 9))},
                                 {{1, 0}, {1, 1}, {1, 2}, {1, 1}, {1, 3}});
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toRawText(), text);
    EXPECT_EQ(pictureSizeAt(*document, 0), QSize(40, 30));
    EXPECT_EQ(pictureSizeAt(*document, 2), QSize(20, 10));
    EXPECT_EQ(pictureSizeAt(*document, 4), QSize(7, 9));
    EXPECT_FALSE(fragmentAt(*document, 1).charFormat().isImageFormat());
    EXPECT_FALSE(fragmentAt(*document, 3).charFormat().isImageFormat());
}

TEST(AttributedStringReaderTest, pictureThatCannotBeReadKeepsTheRunsOwnFormat)
{
    const QByteArray broken = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, 'x');
    const auto document = decode(QStringLiteral("x") + Fffc + QStringLiteral("y"),
                                 {textRun(12), attachmentRun(18, broken)}, {{1, 0}, {1, 1}, {1, 0}});
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toRawText(), QStringLiteral("x") + Fffc + QStringLiteral("y"));
    const QTextCharFormat unread = fragmentAt(*document, 1).charFormat();
    EXPECT_FALSE(unread.isImageFormat());
    EXPECT_EQ(unread.fontPointSize(), 18);
    EXPECT_EQ(fragmentAt(*document, 0).charFormat().fontPointSize(), 12);
    EXPECT_EQ(fragmentAt(*document, 2).charFormat().fontPointSize(), 12);
}

TEST(AttributedStringReaderTest, readDocumentTakesEditsAsAnyOther)
{
    const auto document =
        decode(QStringLiteral("ab") + Fffc, {textRun(12), attachmentRun(12, pngOf(4, 4))}, {{2, 0}, {1, 1}});
    ASSERT_TRUE(document);
    EXPECT_FALSE(document->isModified());
    EXPECT_FALSE(document->isUndoAvailable());
    document->documentLayout();
    int changes = 0;
    QObject::connect(document.get(), &QTextDocument::contentsChange, [&changes] { ++changes; });
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("z"));
    // The reader's own edit is closed: an edit made afterwards is announced at once and can be undone.
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(document->isUndoAvailable());
}

TEST(AttributedStringReaderTest, equalRunsUnderDifferentParagraphStylesKeepTheirOwnStyles)
{
    QTextDocument original;
    QTextCursor cursor(&original);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Helvetica")});
    plain.setFontPointSize(13);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("one"), plain);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.insertBlock(right, plain);
    cursor.insertText(QStringLiteral("two"), plain);
    cursor.insertBlock(centred, plain);
    cursor.insertText(QStringLiteral("three"), plain);

    const auto decoded = AttributedStringArchive::decode(AttributedStringArchive::encode(original),
                                                         AttributedStringArchive::cardBodyClasses());
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->blockCount(), 3);
    const QTextBlock first = decoded->begin();
    EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(first.next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(first.next().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(first.next().next().text(), QStringLiteral("three"));
}

TEST(AttributedStringReaderTest, underlineAndStrikethroughOfZeroReadAsNone)
{
    const auto document = decode(QStringLiteral("ab"), {styledRun(0, 0), styledRun(1, 1)}, {{1, 0}, {1, 1}});
    ASSERT_TRUE(document);
    const QTextCharFormat none = fragmentAt(*document, 0).charFormat();
    EXPECT_FALSE(none.fontUnderline());
    EXPECT_FALSE(none.fontStrikeOut());
    const QTextCharFormat both = fragmentAt(*document, 1).charFormat();
    EXPECT_TRUE(both.fontUnderline());
    EXPECT_TRUE(both.fontStrikeOut());
}

TEST(AttributedStringReaderTest, picturesInFileWrappersKeepTheirOwnFileType)
{
    const QString text = Fffc + QStringLiteral("x") + Fffc + QStringLiteral("y") + Fffc;
    const auto document = decode(text,
                                 {fileAttachmentRun(pngOf(3, 2)), textRun(12), fileAttachmentRun(jpegOf(5, 4)),
                                  fileAttachmentRun(onePixelGif())},
                                 {{1, 0}, {1, 1}, {1, 2}, {1, 1}, {1, 3}});
    ASSERT_TRUE(document);
    EXPECT_EQ(pictureSizeAt(*document, 0), QSize(3, 2));
    EXPECT_EQ(pictureSizeAt(*document, 2), QSize(5, 4));
    EXPECT_EQ(pictureSizeAt(*document, 4), QSize(1, 1));
    EXPECT_EQ(fragmentAt(*document, 0).charFormat().stringProperty(TextAttachment::FileType),
              QStringLiteral("public.png"));
    EXPECT_EQ(fragmentAt(*document, 2).charFormat().stringProperty(TextAttachment::FileType),
              QStringLiteral("public.jpeg"));
    EXPECT_EQ(fragmentAt(*document, 4).charFormat().stringProperty(TextAttachment::FileType),
              QStringLiteral("com.compuserve.gif"));
}
