#include "platform/rtf/RtfReader.h"
#include "TestImages.h"
#include "TextFormats.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<QTextDocument> readRtf(const QByteArray& body)
{
    return RtfReader::read("{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\froman Times;}"
                           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" +
                           body + "}");
}

// The text as read, with paragraphs ending in "\n" (toPlainText would also flatten no-break spaces and line
// separators, which the reader must keep).
QString rawText(const QTextDocument& document)
{
    return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

QString textOf(const QByteArray& body)
{
    const auto document = readRtf(body);
    return document ? rawText(*document) : QStringLiteral("<null>");
}

QTextBlockFormat blockFormat(const QTextDocument& document, int block)
{
    return document.findBlockByNumber(block).blockFormat();
}

QByteArray pngBytes(int width, int height)
{
    return solidPng(width, height, QColor(10, 200, 30));
}

// Hexadecimal text wrapped every few characters, as word processors write it.
QByteArray wrappedHex(const QByteArray& bytes, int width)
{
    const QByteArray hex = bytes.toHex();
    QByteArray wrapped;
    for (int start = 0; start < hex.size(); start += width)
        wrapped += hex.mid(start, width) + "\r\n";
    return wrapped;
}

struct Attachment {
    int position = -1;
    QTextCharFormat format;
};

QList<Attachment> attachments(const QTextDocument& document)
{
    QList<Attachment> found;
    const QString text = document.toPlainText();
    for (int index = 0; index < text.size(); ++index) {
        if (text.at(index) == QChar::ObjectReplacementCharacter)
            found.append({index, formatAt(document, index)});
    }
    return found;
}

} // namespace

TEST(RtfReader, bytesThatAreNotRtfGiveNoDocument)
{
    EXPECT_EQ(RtfReader::read(QByteArray()), nullptr);
    EXPECT_EQ(RtfReader::read("hello world"), nullptr);
    EXPECT_EQ(RtfReader::read("{\\rt"), nullptr);
    EXPECT_EQ(RtfReader::read(" {\\rtf1 leading space}"), nullptr);
    RtfReader::Options small;
    small.maxInputBytes = 16;
    EXPECT_EQ(RtfReader::read("{\\rtf1 a text longer than the cap}", small), nullptr);
    ASSERT_NE(RtfReader::read("{\\rtf1}"), nullptr);
    EXPECT_TRUE(RtfReader::read("{\\rtf1}")->toPlainText().isEmpty());
}

TEST(RtfReader, characterStylesFollowControlWords)
{
    const auto document =
        readRtf("\\f0\\fs24 p{\\b B}{\\i\\f1 I}{\\ul U\\ulnone N}{\\strike S}{\\fs48 L}{\\cf1 R}{\\cf2\\cf0 A}");
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->toPlainText(), QStringLiteral("pBIUNSLRA"));
    const QTextDocument& doc = *document;
    EXPECT_EQ(formatAt(doc, 0).fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica")});
    EXPECT_EQ(formatAt(doc, 0).fontPointSize(), 12.0);
    EXPECT_EQ(formatAt(doc, 0).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(doc, 1).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(doc, 2).fontItalic());
    EXPECT_EQ(formatAt(doc, 2).fontFamilies().toStringList(), QStringList{QStringLiteral("Times")});
    EXPECT_TRUE(formatAt(doc, 3).fontUnderline());
    EXPECT_FALSE(formatAt(doc, 4).fontUnderline());
    EXPECT_TRUE(formatAt(doc, 5).fontStrikeOut());
    EXPECT_EQ(formatAt(doc, 6).fontPointSize(), 24.0);
    EXPECT_EQ(formatAt(doc, 7).foreground().color(), QColor(255, 0, 0));
    // \cf0 is the automatic colour: no foreground, so the view's own colour shows.
    EXPECT_FALSE(formatAt(doc, 8).hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, closingGroupRestoresOuterFormatting)
{
    const auto document = readRtf("{\\b a{\\i\\fs40 b{\\b0 c}d}e}f\\b g\\plain h");
    ASSERT_EQ(document->toPlainText(), QStringLiteral("abcdefgh"));
    const QTextDocument& doc = *document;
    EXPECT_EQ(formatAt(doc, 0).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(doc, 1).fontItalic());
    EXPECT_EQ(formatAt(doc, 2).fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatAt(doc, 2).fontItalic());
    EXPECT_EQ(formatAt(doc, 2).fontPointSize(), 20.0);
    EXPECT_EQ(formatAt(doc, 3).fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatAt(doc, 4).fontItalic());
    EXPECT_EQ(formatAt(doc, 4).fontPointSize(), 12.0);
    EXPECT_EQ(formatAt(doc, 5).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(doc, 6).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, 7).fontWeight(), QFont::Normal);
}

TEST(RtfReader, paragraphsKeepAlignmentIndentsAndSpacing)
{
    const auto document = readRtf("\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240 one\\par\\pard two\\line x\\tab y"
                                  "\\par{\\qr three}\\par\\qj four");
    ASSERT_EQ(rawText(*document), QStringLiteral("one\ntwo\u2028x\ty\nthree\nfour"));
    const QTextDocument& doc = *document;
    const QTextBlockFormat first = blockFormat(doc, 0);
    EXPECT_EQ(first.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(first.leftMargin(), 36.0);
    EXPECT_EQ(first.rightMargin(), 18.0);
    EXPECT_EQ(first.textIndent(), -18.0);
    EXPECT_EQ(first.topMargin(), 6.0);
    EXPECT_EQ(first.bottomMargin(), 12.0);
    EXPECT_EQ(blockFormat(doc, 1).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(blockFormat(doc, 1).leftMargin(), 0.0);
    // \qr ended with its group before \par, so the paragraph is left-aligned again when it ends.
    EXPECT_EQ(blockFormat(doc, 2).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(blockFormat(doc, 3).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
}

TEST(RtfReader, unicodeEscapesSkipTheirFallbacks)
{
    EXPECT_EQ(textOf("\\uc1\\u8220?quoted\\u8221?"), QStringLiteral("\u201Cquoted\u201D"));
    // Values above 32767 are written negative; a surrogate pair arrives as two escapes.
    EXPECT_EQ(textOf("\\u-10179?\\u-8704?!"), QString::fromUtf8("\xF0\x9F\x98\x80!"));
    EXPECT_EQ(textOf("\\u-3?"), QString(QChar(0xFFFD)));
    EXPECT_EQ(textOf("\\uc2\\u233\\'e9\\'e9x"), QStringLiteral("\u00E9x"));
    EXPECT_EQ(textOf("\\uc2\\u233 abx"), QStringLiteral("\u00E9x"));
    EXPECT_EQ(textOf("\\uc0\\u233 e"), QStringLiteral("\u00E9e"));
    // A group boundary ends the fallback, and \uc is restored with the group.
    EXPECT_EQ(textOf("{\\uc3\\u233}abc"), QStringLiteral("\u00E9abc"));
    EXPECT_EQ(textOf("{\\uc0 a}\\u233?b"), QStringLiteral("a\u00E9b"));
    // Half a surrogate pair, a control character and a stray object character never reach the text.
    EXPECT_EQ(textOf("\\u-10179?x\\u-8704?y\\u0?\\u7?\\u-4?z"), QStringLiteral("\uFFFDx\uFFFDyz"));
    EXPECT_EQ(textOf("\\u99999999?\\u-99999999?"), QStringLiteral("\uFFFD\uFFFD"));
}

TEST(RtfReader, escapedBytesDecodeThroughTheDeclaredCodePage)
{
    EXPECT_EQ(textOf("\\'93hi\\'94 \\'85 \\'80\\'e9"), QStringLiteral("\u201Chi\u201D \u2026 \u20AC\u00E9"));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\mac \\'8e\\'d2}")->toPlainText(), QStringLiteral("\u00E9\u201C"));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1}")->toPlainText(), QStringLiteral("\u0430\u0431"));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg65001 \\'c3\\'a9}")->toPlainText(), QStringLiteral("\u00E9"));
    // Latin-1 and the ISO 8859 pages from their first (8859-2) to their last (8859-15) are named for the C library.
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg28591 \\'93}")->toPlainText(), QString(QChar(0x93)));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg28592 \\'b1}")->toPlainText(), QStringLiteral("\u0105"));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg28595 \\'d0}")->toPlainText(), QStringLiteral("\u0430"));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg28605 \\'a4}")->toPlainText(), QStringLiteral("\u20AC"));
    // An unknown code page still gives text rather than nothing.
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg99999 \\'93}")->toPlainText(), QStringLiteral("\u201C"));
}

TEST(RtfReader, fontCharsetsSelectTheCodePageOfTheirText)
{
    const auto document = RtfReader::read("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}"
                                          "{\\f1\\fcharset204{\\*\\panose 020b0604020202020204}Arial Cyr;}"
                                          "{\\f2\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 Mincho;}{\\f3 Plain;}}"
                                          "\\f1\\'e0\\f0\\'e0\\f2\\'82\\'a0{\\f1\\'e1}\\'82\\'a0\\f3\\'e0}");
    ASSERT_NE(document, nullptr);
    // A font without a charset of its own follows the document, not the font before it.
    EXPECT_EQ(document->toPlainText(), QStringLiteral("\u0430\u00E0\u3042\u0431\u3042\u00E0"));
    EXPECT_EQ(formatAt(*document, 0).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial Cyr")});
    EXPECT_EQ(formatAt(*document, 2).fontFamilies().toStringList(), QStringList{QStringLiteral("\uFF2D\uFF33 Mincho")});
}

TEST(RtfReader, literalEightBitTextPrefersUtf8)
{
    EXPECT_EQ(textOf("caf\xC3\xA9"), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(textOf("\x93x\x94"), QStringLiteral("\u201Cx\u201D"));
}

TEST(RtfReader, escapedCharactersAndSymbols)
{
    EXPECT_EQ(textOf("a\\{b\\}c\\\\d\\~e\\_f\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"),
              QStringLiteral("a{b}c\\d\u00A0e\u2011f\u2014\u2013\u2022\u2018\u2019\u201C\u201D"));
    // An escape without two hexadecimal digits is no byte: its letters stay text.
    EXPECT_EQ(textOf("a\\'gh b"), QStringLiteral("agh b"));
    // Line breaks in the source are not text; a backslash before one is a paragraph.
    EXPECT_EQ(textOf("a\r\nb\nc\\\nd"), QStringLiteral("abc\nd"));
}

TEST(RtfReader, pngPictureBecomesAttachmentWithExactBytes)
{
    const QByteArray png = pngBytes(3, 2);
    const auto document = readRtf("before{\\*\\shppict{\\pict\\pngblip\\picw3\\pich2\\picwgoal60\\pichgoal40\r\n" +
                                  wrappedHex(png, 64) + "}}{\\nonshppict{\\pict\\wmetafile8 0102}}after");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("before\uFFFCafter"));
    const QList<Attachment> found = attachments(*document);
    ASSERT_EQ(found.size(), 1);
    ASSERT_TRUE(found[0].format.isImageFormat());
    const QTextImageFormat image = found[0].format.toImageFormat();
    EXPECT_EQ(image.property(TextAttachment::ClassName).toString(), QLatin1String(TextAttachment::PlainClass));
    EXPECT_EQ(image.property(TextAttachment::FileContents).toByteArray(), png);
    EXPECT_EQ(image.property(TextAttachment::FileType).toString(), QStringLiteral("public.png"));
    EXPECT_EQ(image.width(), 3.0);
    EXPECT_EQ(image.height(), 2.0);
    const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(image.name()));
    ASSERT_EQ(resource.typeId(), QMetaType::QImage);
    EXPECT_EQ(resource.value<QImage>().size(), QSize(3, 2));
}

TEST(RtfReader, pictureSizeTakesEachGoalAndScaleInWhateverOrderTheyCome)
{
    const auto document =
        readRtf("{\\pict\\pngblip\\pichgoal40\\picwgoal60\\picscaley50\\picscalex200 " + pngBytes(3, 2).toHex() + "}");
    const QList<Attachment> found = attachments(*document);
    ASSERT_EQ(found.size(), 1);
    ASSERT_TRUE(found[0].format.isImageFormat());
    // 60 by 40 twips are 3 by 2 points, scaled to 200 % across and 50 % down.
    EXPECT_EQ(found[0].format.toImageFormat().width(), 6.0);
    EXPECT_EQ(found[0].format.toImageFormat().height(), 1.0);

    // With a goal missing the picture keeps its own size. Blanks between the digits are layout, even inside a pair.
    const QByteArray png = pngBytes(3, 2);
    QByteArray spaced = png.toHex(' ');
    spaced.insert(1, '\t');
    const auto widthOnly = readRtf("{\\pict\\pngblip\\picwgoal60 " + spaced + "}");
    const QList<Attachment> own = attachments(*widthOnly);
    ASSERT_EQ(own.size(), 1);
    ASSERT_TRUE(own[0].format.isImageFormat());
    EXPECT_FALSE(own[0].format.hasProperty(QTextFormat::ImageWidth));
    EXPECT_FALSE(own[0].format.hasProperty(QTextFormat::ImageHeight));
    EXPECT_EQ(own[0].format.property(TextAttachment::FileContents).toByteArray(), png);
}

TEST(RtfReader, picturesInWriterFormBinaryAndJpegAllArrive)
{
    const QByteArray png = pngBytes(5, 4);
    QImage jpegImage(4, 4, QImage::Format_RGB32);
    jpegImage.fill(Qt::white);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    jpegImage.save(&buffer, "JPEG");

    const auto document =
        readRtf("{\\*\\shppict {\\pict \\pngblip " + png.toHex().toUpper() + "}}" + "{\\*\\shppict {\\pict \\pngblip " +
                png.toHex() + "}}" + "{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}" +
                "{\\pict\\jpegblip " + wrappedHex(jpeg, 80) + "}");
    const QList<Attachment> found = attachments(*document);
    ASSERT_EQ(found.size(), 4);
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(found[index].position, index);
        EXPECT_EQ(found[index].format.property(TextAttachment::FileContents).toByteArray(), png);
    }
    EXPECT_EQ(found[3].format.property(TextAttachment::FileContents).toByteArray(), jpeg);
    EXPECT_EQ(found[3].format.property(TextAttachment::FileType).toString(), QStringLiteral("public.jpeg"));
    EXPECT_TRUE(found[3].format.isImageFormat());
}

TEST(RtfReader, pictureWithoutUsableBytesFollowsTheRules)
{
    // No bytes at all (nothing, or a lone digit): no attachment.
    EXPECT_EQ(textOf("a{\\pict\\pngblip }b{\\pict\\pngblip 8}c"), QStringLiteral("abc"));
    // Bytes that are no image still give an attachment that keeps them.
    const auto document = readRtf("{\\pict\\pngblip 0102ff}");
    const QList<Attachment> found = attachments(*document);
    ASSERT_EQ(found.size(), 1);
    EXPECT_FALSE(found[0].format.isImageFormat());
    EXPECT_EQ(found[0].format.objectType(), TextAttachment::ObjectType);
    EXPECT_EQ(found[0].format.property(TextAttachment::FileContents).toByteArray(), QByteArray("\x01\x02\xff"));
    // Formats the reader cannot show are left out.
    EXPECT_EQ(textOf("a{\\pict\\wmetafile8 0102}{\\pict\\emfblip 0102}b"), QStringLiteral("ab"));
}

TEST(RtfReader, pictureLargerThanTheCapIsDropped)
{
    RtfReader::Options options;
    options.maxPictureBytes = 8;
    const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip " + pngBytes(4, 4).toHex() + "}b{\\pict\\pngblip\\bin100 " +
                           QByteArray(100, 'x') + "}c}";
    const auto document = RtfReader::read(rtf, options);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("abc"));
}

TEST(RtfReader, fieldsShowTheirResultAndKeepLinks)
{
    const auto document = readRtf("{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a b\"}}{\\fldrslt{\\ul "
                                  "link}}} after {\\field{\\fldinst PAGE}{\\fldrslt 3}}");
    ASSERT_EQ(document->toPlainText(), QStringLiteral("link after 3"));
    EXPECT_TRUE(formatAt(*document, 0).isAnchor());
    EXPECT_EQ(formatAt(*document, 0).anchorHref(), QStringLiteral("https://example.com/a b"));
    EXPECT_TRUE(formatAt(*document, 0).fontUnderline());
    EXPECT_FALSE(formatAt(*document, 5).isAnchor());
    EXPECT_FALSE(formatAt(*document, 11).isAnchor());
}

TEST(RtfReader, unicodeFallbackSpreadOverSeveralTokensIsSkippedExactly)
{
    // Each escape and each byte of text is one fallback character, whichever token it comes in.
    EXPECT_EQ(textOf("\\uc2\\u8364 \\'80\\'81x"), QStringLiteral("\u20ACx"));
    EXPECT_EQ(textOf("\\uc3\\u8364\\'80abc"), QStringLiteral("\u20ACc"));
    EXPECT_EQ(textOf("\\uc3\\u8364 a\\'80bc"), QStringLiteral("\u20ACc"));
    EXPECT_EQ(textOf("\\uc3\\u8364 ab\\'80x"), QStringLiteral("\u20ACx"));
    // The character right after the fallback is read, be it an escape or text.
    EXPECT_EQ(textOf("\\uc1\\u8364\\'80\\'e9"), QStringLiteral("\u20AC\u00E9"));
    EXPECT_EQ(textOf("\\uc2\\u8364\\'80\\'81\\u8364\\'80\\'81\\'e9"), QStringLiteral("\u20AC\u20AC\u00E9"));
    // Without a fallback nothing after the escape is lost.
    EXPECT_EQ(textOf("\\uc0\\u8364\\'e9"), QStringLiteral("\u20AC\u00E9"));
    EXPECT_EQ(textOf("\\uc0\\u8364 e"), QStringLiteral("\u20ACe"));
}

TEST(RtfReader, escapedBytesInALinkTargetStayInTheTarget)
{
    const auto document = readRtf("{\\field{\\*\\fldinst HYPERLINK \"http://x/\\'e9\"}{\\fldrslt text}} and "
                                  "{\\field{\\*\\fldinst HYPERLINK http://y/\\'e8}{\\fldrslt more}}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("text and more"));
    EXPECT_EQ(formatAt(*document, 0).anchorHref(), QStringLiteral("http://x/\u00E9"));
    EXPECT_EQ(formatAt(*document, 3).anchorHref(), QStringLiteral("http://x/\u00E9"));
    EXPECT_FALSE(formatAt(*document, 4).isAnchor());
    EXPECT_EQ(formatAt(*document, 9).anchorHref(), QStringLiteral("http://y/\u00E8"));

    const auto unicode = readRtf("{\\field{\\*\\fldinst HYPERLINK \"http://z/\\u8364?\"}{\\fldrslt euro}}");
    ASSERT_NE(unicode, nullptr);
    EXPECT_EQ(formatAt(*unicode, 0).anchorHref(), QStringLiteral("http://z/\u20AC"));
}

TEST(RtfReaderLimits, groupsExactlyAtTheDepthLimitAreReadAndDeeperOnesSkipped)
{
    RtfReader::Options options;
    options.maxDepth = 3;
    // The document's own group is the first level, so c sits at the third and d at the fourth.
    const auto document = RtfReader::read("{\\rtf1 a{b{c{d}}}e}", options);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(rawText(*document), QStringLiteral("abce"));
}

TEST(RtfReaderLimits, fallbackCountIsCappedAtSixtyFour)
{
    EXPECT_EQ(textOf("\\uc64\\u233 " + QByteArray(64, 'a') + "b"), QStringLiteral("\u00E9b"));
    // A larger count is taken as 64: one a of the 65 remains.
    EXPECT_EQ(textOf("\\uc65\\u233 " + QByteArray(65, 'a') + "b"), QStringLiteral("\u00E9ab"));
}

TEST(RtfReaderLimits, fontSizeOfZeroIsTheDefaultTwelvePoints)
{
    const auto document = readRtf("{\\fs0 x}{\\fs1 y}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(formatAt(*document, 0).fontPointSize(), 12.0);
    EXPECT_EQ(formatAt(*document, 1).fontPointSize(), 0.5);
}

TEST(RtfReaderLimits, indentsStopAtTheirCap)
{
    const auto margin = [](const QByteArray& word) {
        const auto document = readRtf(word + " x");
        return document ? blockFormat(*document, 0).leftMargin() : -1.0;
    };
    const double atCap = margin("\\li100000");
    EXPECT_GT(atCap, margin("\\li99999"));
    EXPECT_EQ(margin("\\li100001"), atCap);
}

TEST(RtfReaderLimits, fontTableKeepsExactly4096Fonts)
{
    // Fonts 0 to 4094 use the default code page; 4095 (the 4096th) and 4096 (one past the cap) are Cyrillic.
    QByteArray table = "{\\fonttbl";
    for (int number = 0; number < 4095; ++number)
        table += "{\\f" + QByteArray::number(number) + " F;}";
    table += "{\\f4095\\fcharset204 Last;}{\\f4096\\fcharset204 Past;}}";
    const auto document = RtfReader::read("{\\rtf1\\ansi\\deff0" + table + "{\\f4095\\'c0}{\\f4096\\'c0}}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(rawText(*document), QStringLiteral("\u0410\u00C0"));
}

TEST(RtfReader, colourTableEntryWithoutItsSemicolonStillCounts)
{
    const auto document = RtfReader::read("{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255}{\\cf1 a}b}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(formatAt(*document, 0).foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatAt(*document, 1).foreground().style(), Qt::NoBrush);
    // Components an entry leaves out are 0, whether or not its semicolon comes.
    const auto partial = RtfReader::read("{\\rtf1\\ansi{\\colortbl;\\red255\\green128;\\red255}{\\cf1 a}{\\cf2 b}}");
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(formatAt(*partial, 0).foreground().color(), QColor(255, 128, 0));
    EXPECT_EQ(formatAt(*partial, 1).foreground().color(), QColor(255, 0, 0));
}

TEST(RtfReaderLimits, colourTableKeepsExactly4096Colours)
{
    // Entry 0 is the automatic colour; 4095 is the last kept, 4096 one past the cap.
    QByteArray table = "{\\colortbl;";
    for (int index = 1; index < 4095; ++index)
        table += "\\red0\\green0\\blue0;";
    table += "\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    const auto document = RtfReader::read("{\\rtf1\\ansi" + table + "{\\cf4095 a}{\\cf4096 b}}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(formatAt(*document, 0).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(*document, 1).foreground().style(), Qt::NoBrush);
}

TEST(RtfReader, destinationsOutsideTheBodyAreSkipped)
{
    EXPECT_EQ(textOf("{\\*\\generator Writer 1.0;}{\\*\\unknowndest hidden{\\b nested}}{\\*\\expandedcolortbl;;}"
                     "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\header H}{\\footer F}"
                     "{\\*\\listtable{\\list x}}body{\\*\\bkmkstart b}{\\footnote note} end"),
              QStringLiteral("body end"));
    // Only the Unicode half of a \upr pair is read.
    EXPECT_EQ(textOf("{\\upr{ansi}{\\*\\ud{uni\\u233?}}}"), QStringLiteral("uni\u00E9"));
    // An escaped byte inside a table is no text: it neither shows nor breaks the surrogate pair around the table.
    EXPECT_EQ(textOf("\\u-10179?{\\colortbl\\'e9;}\\u-8704?"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    // An unknown control word is ignored, not its text.
    EXPECT_EQ(textOf("\\madeupword12 text\\averyveryveryveryveryveryveryveryverylongword x"), QStringLiteral("textx"));
}

TEST(RtfReader, rtfdAttachmentMarkersArePassedOver)
{
    EXPECT_EQ(textOf("before{{\\NeXTGraphic image.png \\width640 \\height480 \\appleattachmentpadding0 "
                     "\\appleembedtype0 \\appleaqc}\\'ac}after"),
              QStringLiteral("beforeafter"));
}

TEST(RtfReader, attachmentMarkerPassesOverTheNextCharacterOnlyInBodyText)
{
    // Inside a Unicode pair the enclosing group is not body text: the next alternative is still read.
    EXPECT_EQ(textOf("{\\upr{\\*\\ud\\NeXTGraphic a.png}{\\*\\ud b}}c"), QStringLiteral("bc"));
}

TEST(RtfReader, unbalancedBracesEndGracefully)
{
    EXPECT_EQ(RtfReader::read("{\\rtf1 a}}b{c")->toPlainText(), QStringLiteral("a"));
    const auto open = RtfReader::read("{\\rtf1 {\\b a{\\i b");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->toPlainText(), QStringLiteral("ab"));
    EXPECT_EQ(formatAt(*open, 1).fontWeight(), QFont::Bold);
    EXPECT_EQ(RtfReader::read("{\\rtf1 a}}}}}}")->toPlainText(), QStringLiteral("a"));
    // A picture cut off by the end of the data still arrives.
    const QByteArray png = pngBytes(2, 2);
    const auto cut = RtfReader::read("{\\rtf1 x{\\pict\\pngblip " + png.toHex());
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(attachments(*cut).size(), 1);
}

TEST(RtfReader, everyTruncationOfADocumentReads)
{
    const QByteArray full = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Helvetica;}"
                            "{\\f1\\fcharset128 Mincho;}}{\\colortbl;\\red1\\green2\\blue3;}\\pard\\qc\\li20 "
                            "{\\b\\cf1 caf\\'e9}\\uc1\\u8220?\\u-10179?\\u-8704?\\f1\\'82\\'a0\\f0\\par"
                            "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt y}}{\\pict\\pngblip\\bin4 abcd}"
                            "{\\pict\\pngblip 8950}{\\*\\x}\\line z}";
    for (qsizetype length = 5; length <= full.size(); ++length) {
        const auto document = RtfReader::read(full.left(length));
        ASSERT_NE(document, nullptr) << length;
    }
    EXPECT_TRUE(RtfReader::read(full)->toPlainText().startsWith(QStringLiteral("caf\u00E9\u201C\U0001F600\u3042\n")));
}

TEST(RtfReader, truncatedDocumentKeepsTheEscapesItEndsWith)
{
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi caf\\'e9")->toPlainText(), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(RtfReader::read("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0")->toPlainText(), QStringLiteral("\u3042"));
}

TEST(RtfReader, deepNestingIsCappedWithoutLosingTheRest)
{
    const int depth = 100000;
    const QByteArray rtf = "{\\rtf1 a" + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "b}";
    const auto document = RtfReader::read(rtf);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("ab"));
    const QByteArray shallow = "{\\rtf1 a" + QByteArray(100, '{') + "deep" + QByteArray(100, '}') + "b}";
    EXPECT_EQ(RtfReader::read(shallow)->toPlainText(), QStringLiteral("adeepb"));
    // Unclosed deep nesting with the end of data inside it.
    EXPECT_NE(RtfReader::read("{\\rtf1 " + QByteArray(depth, '{')), nullptr);
}

TEST(RtfReader, hostileParametersStayBounded)
{
    const auto document = readRtf("\\fs999999999999999999 big\\li-99999999999 x\\uc99999999\\u233 abc\\bin-5 y"
                                  "{\\pict\\pngblip\\bin999999999 zz}");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(formatAt(*document, 0).fontPointSize(), 1600.0);
    EXPECT_EQ(RtfReader::read("{\\rtf1 a\\bin99999999")->toPlainText(), QStringLiteral("a"));
}
