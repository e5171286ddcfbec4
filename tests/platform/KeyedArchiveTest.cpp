#include "RequiredTools.h"
#include "TestImages.h"
#include "TextFormats.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/archive/KeyedUnarchiver.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTimeZone>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString Fffc = QString(QChar(0xFFFC));

QByteArray pngOf(int width, int height)
{
    return solidPng(width, height, QColor(10, 120, 200));
}

// The font of the styled document's last paragraph.
QTextCharFormat rightFont()
{
    return charFormat(QStringLiteral("Helvetica"), 12, true, true);
}

// "Title" bold, "red italic" in Georgia, an image, a checked and an unchecked checkbox, then two paragraphs
// aligned centre and right with indents and spacing; the right one goes on in its font underlined, plain, struck
// through, blue and green.
std::unique_ptr<QTextDocument> styledDocument()
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("Title "), charFormat(QStringLiteral("Helvetica"), 14, true, false));
    QTextCharFormat red = charFormat(QStringLiteral("Georgia"), 18, false, true);
    red.setForeground(QColor(255, 0, 0));
    cursor.insertText(QStringLiteral("red italic"), red);

    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("picture")),
                          QImage::fromData(pngOf(40, 30)));
    QTextImageFormat image;
    image.setName(QStringLiteral("picture"));
    image.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::ImageClass));
    cursor.insertImage(image);

    for (const char* className : {TextAttachment::CheckedClass, TextAttachment::UncheckedClass}) {
        QTextCharFormat box;
        box.setObjectType(TextAttachment::ObjectType);
        box.setProperty(TextAttachment::ClassName, QString::fromLatin1(className));
        box.setProperty(TextAttachment::FileContents, QByteArray("box-bytes"));
        box.setProperty(TextAttachment::FileType, QStringLiteral("public.data"));
        cursor.insertText(Fffc, box);
    }

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(20);
    centred.setTextIndent(10);
    centred.setRightMargin(15);
    centred.setTopMargin(4);
    centred.setBottomMargin(6);
    centred.setTabPositions({QTextOption::Tab(36, QTextOption::RightTab), QTextOption::Tab(72, QTextOption::CenterTab),
                             QTextOption::Tab(108, QTextOption::LeftTab)});
    cursor.insertBlock(centred);
    cursor.insertText(QStringLiteral("centred small"), charFormat(QStringLiteral("Helvetica"), 9, false, false));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.insertBlock(right);
    const QTextCharFormat rightFont = ::rightFont();
    cursor.insertText(QStringLiteral("right"), rightFont);
    QTextCharFormat underlined = rightFont;
    underlined.setFontUnderline(true);
    cursor.insertText(QStringLiteral(" under"), underlined);
    cursor.insertText(QStringLiteral(" plain"), rightFont);
    QTextCharFormat struck = rightFont;
    struck.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral(" struck"), struck);
    for (const auto& [word, color] : {std::pair{" blue", QColor(0, 0, 255)}, {" green", QColor(0, 128, 0)}}) {
        QTextCharFormat coloured = rightFont;
        coloured.setForeground(color);
        cursor.insertText(QString::fromLatin1(word), coloured);
    }
    return document;
}

std::unique_ptr<QTextDocument> roundTrip(const QTextDocument& document)
{
    return AttributedStringArchive::decode(AttributedStringArchive::encode(document),
                                           AttributedStringArchive::cardBodyClasses());
}

// Runs a Python script with bytes on stdin; returns stdout, or fails the test when Python reports an error.
QByteArray python(const QString& script, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral("python3"), {QStringLiteral("-c"), script});
    if (!process.waitForStarted(RequiredTools::StartMs)) {
        ADD_FAILURE() << "python3 did not start";
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// A minimal attributed-string archive built by Python's plistlib, with a caller-supplied object list tail.
const char* const PythonArchivePrelude = R"(
import plistlib, sys
U = plistlib.UID
def archive(objects, root=1):
    sys.stdout.buffer.write(plistlib.dumps({'$archiver': 'NSKeyedArchiver', '$version': 100000,
        '$top': {'root': U(root)}, '$objects': ['$null'] + objects}, fmt=plistlib.FMT_BINARY))
)";

} // namespace

TEST(KeyedArchiveTest, roundTripKeepsFontsColoursAndParagraphs)
{
    auto original = styledDocument();
    auto decoded = roundTrip(*original);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->toRawText(), original->toRawText());

    const QTextCharFormat title = formatAt(*decoded, 0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica")});
    EXPECT_EQ(title.fontPointSize(), 14);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_FALSE(title.fontItalic());
    EXPECT_EQ(title.foreground().style(), Qt::NoBrush);

    const QTextCharFormat red = formatAt(*decoded, 6);
    EXPECT_EQ(red.fontFamilies().toStringList(), QStringList{QStringLiteral("Georgia")});
    EXPECT_EQ(red.fontPointSize(), 18);
    EXPECT_TRUE(red.fontItalic());
    EXPECT_NE(red.fontWeight(), QFont::Bold);
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));

    const QTextBlock centred = decoded->begin().next();
    EXPECT_EQ(centred.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(centred.blockFormat().leftMargin(), 20);
    EXPECT_EQ(centred.blockFormat().textIndent(), 10);
    EXPECT_EQ(centred.blockFormat().rightMargin(), 15);
    EXPECT_EQ(centred.blockFormat().topMargin(), 4);
    EXPECT_EQ(centred.blockFormat().bottomMargin(), 6);
    const QList<QTextOption::Tab> tabs = centred.blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 3);
    EXPECT_EQ(tabs[0].position, 36);
    EXPECT_EQ(tabs[0].type, QTextOption::RightTab);
    EXPECT_EQ(tabs[1].type, QTextOption::CenterTab);
    EXPECT_EQ(tabs[2].type, QTextOption::LeftTab);
    EXPECT_EQ(formatAt(*decoded, centred.position()).fontPointSize(), 9);
    const QTextBlock right = centred.next();
    EXPECT_EQ(right.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_TRUE(formatAt(*decoded, right.position()).fontItalic());
    // Runs in one font that differ only in a line each keep it on exactly their words.
    for (const auto& [offset, underline, strikeOut] :
         {std::tuple{0, false, false}, {5, true, false}, {10, true, false}, {11, false, false}, {17, false, true}}) {
        const QTextCharFormat run = formatAt(*decoded, right.position() + offset);
        EXPECT_EQ(run.fontUnderline(), underline) << offset;
        EXPECT_EQ(run.fontStrikeOut(), strikeOut) << offset;
        EXPECT_TRUE(run.fontItalic()) << offset;
    }
    EXPECT_EQ(formatAt(*decoded, right.position() + 25).foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatAt(*decoded, right.position() + 30).foreground().color(), QColor(0, 128, 0));

    // What the archive does not keep (a tool tip) makes no dictionary of its own: the text is stored as one run.
    QTextDocument oneRun;
    QTextCursor(&oneRun).insertText(QStringLiteral("plain words"), rightFont());
    QTextDocument twoFragments;
    QTextCursor cursor(&twoFragments);
    cursor.insertText(QStringLiteral("plain "), rightFont());
    QTextCharFormat tipped = rightFont();
    tipped.setToolTip(QStringLiteral("not archived"));
    cursor.insertText(QStringLiteral("words"), tipped);
    EXPECT_EQ(AttributedStringArchive::encode(twoFragments), AttributedStringArchive::encode(oneRun));
}

TEST(KeyedArchiveTest, attachmentsKeepKindAndPosition)
{
    auto original = styledDocument();
    auto decoded = roundTrip(*original);
    ASSERT_TRUE(decoded);
    const QString text = decoded->toRawText();
    const int imageAt = int(text.indexOf(Fffc));
    ASSERT_EQ(imageAt, 16);

    const QTextCharFormat image = formatAt(*decoded, imageAt);
    ASSERT_TRUE(image.isImageFormat());
    EXPECT_EQ(image.property(TextAttachment::ClassName).toString(), QLatin1String(TextAttachment::ImageClass));
    const QVariant resource = decoded->resource(QTextDocument::ImageResource, QUrl(image.toImageFormat().name()));
    EXPECT_EQ(resource.value<QImage>().size(), QSize(40, 30));

    const QTextCharFormat checked = formatAt(*decoded, imageAt + 1);
    const QTextCharFormat unchecked = formatAt(*decoded, imageAt + 2);
    EXPECT_EQ(checked.objectType(), TextAttachment::ObjectType);
    EXPECT_EQ(checked.property(TextAttachment::ClassName).toString(), QLatin1String(TextAttachment::CheckedClass));
    EXPECT_EQ(checked.property(TextAttachment::FileContents).toByteArray(), QByteArray("box-bytes"));
    EXPECT_EQ(checked.property(TextAttachment::FileType).toString(), QStringLiteral("public.data"));
    EXPECT_EQ(unchecked.objectType(), TextAttachment::ObjectType);
    EXPECT_EQ(unchecked.property(TextAttachment::ClassName).toString(), QLatin1String(TextAttachment::UncheckedClass));

    // A second pass keeps the same archive: nothing is lost or invented on the way back.
    auto again = roundTrip(*decoded);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->toRawText(), text);
    EXPECT_TRUE(formatAt(*again, imageAt).isImageFormat());
}

TEST(KeyedArchiveTest, surrogatePairsAndAttachmentsKeepUtf16Positions)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    const QString text = QStringLiteral("a\U0001F600b") + Fffc + QStringLiteral("\u00e9\u2028z");
    cursor.insertText(text, charFormat(QStringLiteral("Helvetica"), 12, false, false));
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(charFormat(QStringLiteral("Helvetica"), 12, true, false));
    auto decoded = roundTrip(document);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->toRawText(), document.toRawText());
    EXPECT_EQ(formatAt(*decoded, 1).fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt(*decoded, 3).fontWeight(), QFont::Bold);
}

TEST(KeyedArchiveTest, pythonPlistlibReadsWhatWeWrite)
{
    auto original = styledDocument();
    const QByteArray archive = AttributedStringArchive::encode(*original);
    const QByteArray out = python(QStringLiteral(R"(
import plistlib, sys
a = plistlib.loads(sys.stdin.buffer.read())
assert a['$archiver'] == 'NSKeyedArchiver', a['$archiver']
assert a['$version'] == 100000
objs = a['$objects']
assert objs[0] == '$null'
root = objs[a['$top']['root'].data]
cls = objs[root['$class'].data]
assert cls['$classname'] == 'NSMutableAttributedString', cls
assert cls['$classes'][-1] == 'NSObject'
text = objs[root['NSString'].data]
attrs = objs[root['NSAttributes'].data]
names = [objs[objs[d.data]['$class'].data]['$classname'] for d in attrs['NS.objects']]
assert set(names) == {'NSDictionary'}, names
info = objs[root['NSAttributeInfo'].data]
assert isinstance(info, bytes) and len(info) > 0
# The platform's reader finds a face by its name: the traits must be spelt in it.
faces = sorted({objs[o['UIFontName'].data] for o in objs if isinstance(o, dict) and 'UIFontName' in o})
assert faces == ['Georgia-Oblique', 'Helvetica', 'Helvetica-Bold', 'Helvetica-BoldOblique'], faces
sys.stdout.write(text)
)"),
                                  archive);
    EXPECT_EQ(QString::fromUtf8(out), original->toRawText().replace(QChar::ParagraphSeparator, u'\n'));
}

TEST(KeyedArchiveTest, weReadWhatPythonPlistlibWrites)
{
    // "Hi " plain, "bold" in Helvetica-Bold 20 with an underline and a strikethrough of style 0 (none), both under
    // one centred paragraph style; the text is an NSMutableString and the run info an NSMutableData, as other
    // writers may choose.
    const QByteArray archive = python(QString::fromLatin1(PythonArchivePrelude) + QStringLiteral(R"(
cls = lambda n, chain: {'$classname': n, '$classes': chain + ['NSObject']}
archive([
  {'$class': U(2), 'NSString': U(3), 'NSAttributes': U(5), 'NSAttributeInfo': U(13)},
  cls('NSMutableAttributedString', ['NSMutableAttributedString', 'NSAttributedString']),
  {'$class': U(4), 'NS.string': 'Hi bold'},
  cls('NSMutableString', ['NSMutableString', 'NSString']),
  {'$class': U(6), 'NS.objects': [U(7), U(11)]},
  cls('NSArray', ['NSArray']),
  {'$class': U(8), 'NS.keys': [U(9)], 'NS.objects': [U(10)]},
  cls('NSDictionary', ['NSDictionary']),
  'NSParagraphStyle',
  {'$class': U(15), 'NSAlignment': 1},
  {'$class': U(8), 'NS.keys': [U(9), U(16), U(19), U(20)], 'NS.objects': [U(10), U(17), U(21), U(21)]},
  'unused',
  {'$class': U(14), 'NS.data': bytes([3, 0, 4, 1])},
  cls('NSMutableData', ['NSMutableData', 'NSData']),
  cls('NSParagraphStyle', ['NSParagraphStyle']),
  'NSFont',
  {'$class': U(18), 'UIFontName': 'Helvetica-Bold', 'UIFontPointSize': 20.0},
  cls('UIFont', ['UIFont']),
  'NSUnderline',
  'NSStrikethrough',
  0,
])
)"));
    auto decoded = AttributedStringArchive::decode(archive, {QStringLiteral("NSMutableAttributedString")});
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->toRawText(), QStringLiteral("Hi bold"));
    EXPECT_EQ(decoded->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_NE(formatAt(*decoded, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(*decoded, 3).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(*decoded, 3).fontPointSize(), 20);
    EXPECT_EQ(formatAt(*decoded, 3).fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica")});
    EXPECT_FALSE(formatAt(*decoded, 3).fontUnderline());
    EXPECT_FALSE(formatAt(*decoded, 3).fontStrikeOut());
}

TEST(KeyedArchiveTest, foundationValuesSurviveTheArchiver)
{
    const ArchiveRef shared = ArchiveObject::string(QStringLiteral("twice"), QStringLiteral("NSMutableString"));
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1700000000000, QTimeZone::utc());
    const ArchiveRef root = ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
        {QStringLiteral("negative"), ArchiveObject::integer(-42)},
        {QStringLiteral("big"), ArchiveObject::integer(Q_INT64_C(1) << 40)},
        {QStringLiteral("real"), ArchiveObject::real(2.5)},
        {QStringLiteral("flag"), ArchiveObject::boolean(true)},
        {QStringLiteral("when"), ArchiveObject::date(when)},
        {QStringLiteral("bytes"), ArchiveObject::data(QByteArray("\0\1\2", 3))},
        {QStringLiteral("mutableBytes"), ArchiveObject::data(QByteArray("xyz"), QStringLiteral("NSMutableData"))},
        {QStringLiteral("list"), ArchiveObject::array({shared, shared, ArchiveObject::null()})},
    });
    const QSet<QString> allowed{QStringLiteral("NSDictionary"), QStringLiteral("NSArray"), QStringLiteral("NSDate"),
                                QStringLiteral("NSMutableString"), QStringLiteral("NSMutableData")};
    const UnarchiveResult result = KeyedUnarchiver::unarchive(KeyedArchiver::archive(root), allowed);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const ArchiveObject& dictionary = *result.root;
    EXPECT_EQ(dictionary.value(QStringLiteral("negative"))->toInteger(), -42);
    EXPECT_EQ(dictionary.value(QStringLiteral("big"))->toInteger(), Q_INT64_C(1) << 40);
    EXPECT_EQ(dictionary.value(QStringLiteral("real"))->toReal(), 2.5);
    EXPECT_TRUE(dictionary.value(QStringLiteral("flag"))->toBool());
    EXPECT_EQ(dictionary.value(QStringLiteral("when"))->toDate(), when);
    EXPECT_EQ(dictionary.value(QStringLiteral("bytes"))->toData(), QByteArray("\0\1\2", 3));
    EXPECT_EQ(dictionary.value(QStringLiteral("mutableBytes"))->toData(), QByteArray("xyz"));
    EXPECT_EQ(dictionary.value(QStringLiteral("mutableBytes"))->className(), QStringLiteral("NSMutableData"));
    const auto items = dictionary.value(QStringLiteral("list"))->items();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], items[1]) << "one archived object read twice must stay one object";
    EXPECT_EQ(items[0]->toString(), QStringLiteral("twice"));
    EXPECT_EQ(items[2]->kind(), ArchiveObject::Kind::Null);

    // The date also reads right in Python, which counts from its own epoch.
    const QByteArray seen = python(QStringLiteral(R"(
import plistlib, sys
a = plistlib.loads(sys.stdin.buffer.read())
o = a['$objects']; d = o[a['$top']['root'].data]
k = [o[u.data] for u in d['NS.keys']]; v = [o[u.data] for u in d['NS.objects']]
print(o[v[k.index('when')]['$class'].data]['$classname'], v[k.index('when')]['NS.time'] + 978307200, v[k.index('negative')])
)"),
                                   KeyedArchiver::archive(root));
    EXPECT_EQ(seen.trimmed(), QByteArray("NSDate 1700000000.0 -42"));
}
