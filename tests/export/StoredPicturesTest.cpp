// Pictures of a card read from the store go into exported files as the very PNG bytes the store holds; a
// picture with no such bytes, or changed since it was read, is encoded from its pixels.
#include "SampleDocument.h"
#include "export/AttributedStringExport.h"
#include "export/SSZipArchive.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/archive/EncodedImageCache.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTextImageFormat>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// PNG bytes no quick encoding writes: a text chunk and the slowest compression, so that a picture encoded
// again is told from the stored one.
QByteArray storedPng(QColor color)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setText(QStringLiteral("Origin"), QStringLiteral("stored card"));
    writer.setQuality(0);
    writer.write(SampleDocument::picture(color, 64, 48));
    return bytes;
}

// A card holding one picture of these bytes, archived as the store keeps it and read back as the editors and
// the manuscript read it.
std::unique_ptr<QTextDocument> storedCard(const QByteArray& png)
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("before "), SampleDocument::plain());
    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("stored")), QImage::fromData(png));
    QTextImageFormat image;
    image.setName(QStringLiteral("stored"));
    image.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::ImageClass));
    image.setProperty(TextAttachment::FileContents, png);
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral(" after"), SampleDocument::plain());
    return AttributedStringArchive::decode(AttributedStringArchive::encode(*document),
                                           AttributedStringArchive::cardBodyClasses());
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(StoredPicturesTest, everyExportWritesTheStoredBytesOfAPictureReadFromTheStore)
{
    const QByteArray png = storedPng(Qt::red);
    const auto card = storedCard(png);
    ASSERT_NE(card, nullptr);
    QTemporaryDir dir;

    const QString rtf = dir.filePath(QStringLiteral("Card.rtf"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*card, rtf, AttributedStringExport::RTF));
    EXPECT_TRUE(fileBytes(rtf).contains(png.toHex().toUpper()));

    const QString rtfd = dir.filePath(QStringLiteral("Card.rtfd"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*card, rtfd, AttributedStringExport::RTFD));
    EXPECT_EQ(fileBytes(rtfd + QStringLiteral("/image1.png")), png);

    const QString docx = dir.filePath(QStringLiteral("Card.docx"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*card, docx, AttributedStringExport::DOCX));
    const QString unpacked = dir.filePath(QStringLiteral("unpacked"));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPath(docx, unpacked));
    EXPECT_EQ(fileBytes(unpacked + QStringLiteral("/word/media/image1.png")), png);
}

TEST(StoredPicturesTest, aPictureWithoutStoredBytesIsEncodedFromItsPixels)
{
    const QImage fresh = SampleDocument::picture(Qt::blue, 30, 10);
    ASSERT_FALSE(EncodedImageCache::known(fresh).has_value());
    const QByteArray png = RtfWriter::pngData(fresh);
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(png).convertToFormat(fresh.format()), fresh);
    EXPECT_EQ(RtfWriter::pngDataLater(fresh).result(), png);
}

TEST(StoredPicturesTest, aPictureChangedSinceItWasReadIsNeverWrittenWithTheOldBytes)
{
    const QByteArray png = storedPng(Qt::green);
    QImage image = QImage::fromData(png);
    EncodedImageCache::remember(image, png);
    ASSERT_EQ(RtfWriter::pngData(image), png);
    ASSERT_EQ(RtfWriter::pngDataLater(image).result(), png);

    image.setPixel(63, 47, qRgb(255, 0, 255));
    const QByteArray written = RtfWriter::pngData(image);
    EXPECT_NE(written, png);
    EXPECT_EQ(QImage::fromData(written).pixel(63, 47), qRgb(255, 0, 255));
    EXPECT_NE(RtfWriter::pngDataLater(image).result(), png);
}
