#include "platform/archive/KeyedUnarchiver.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/archive/PropertyList.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QByteArray pythonArchive(const QString& body)
{
    QProcess process;
    process.start(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import plistlib, sys
U = plistlib.UID
def archive(objects, root=1):
    sys.stdout.buffer.write(plistlib.dumps({'$archiver': 'NSKeyedArchiver', '$version': 100000,
        '$top': {'root': U(root)}, '$objects': ['$null'] + objects}, fmt=plistlib.FMT_BINARY))
)") + body});
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

QByteArray cardWithAttachments()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(0, 128, 0));
    cursor.insertText(QStringLiteral("Some bold words\nand a picture "), bold);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("p")), image);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("p"));
    cursor.insertImage(picture);
    QTextCharFormat box;
    box.setObjectType(TextAttachment::ObjectType);
    box.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::CheckedClass));
    cursor.insertText(QString(QChar(0xFFFC)), box);
    cursor.insertText(QStringLiteral(" done"));
    return AttributedStringArchive::encode(document);
}

const QString ArrayClass = QStringLiteral("cls = {'$classname': 'NSArray', '$classes': ['NSArray', 'NSObject']}\n");

} // namespace

TEST(KeyedUnarchiverTest, classOutsideAllowedSetIsRefused)
{
    const QByteArray card = cardWithAttachments();
    ASSERT_TRUE(AttributedStringArchive::decode(card, AttributedStringArchive::cardBodyClasses()));
    QSet<QString> withoutCheckbox = AttributedStringArchive::cardBodyClasses();
    withoutCheckbox.remove(QString::fromLatin1(TextAttachment::CheckedClass));
    EXPECT_FALSE(AttributedStringArchive::decode(card, withoutCheckbox));
    EXPECT_FALSE(AttributedStringArchive::decode(card, {QStringLiteral("NSDictionary")}));

    const ArchiveRef evil = ArchiveObject::instance(
        QStringLiteral("NSAttributedString"),
        {{QStringLiteral("NSString"), ArchiveObject::string("x")},
         {QStringLiteral("NSAttributes"),
          ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
              {QStringLiteral("NSFont"), ArchiveObject::instance(QStringLiteral("EvilClass"), {})}})}});
    const UnarchiveResult result =
        KeyedUnarchiver::unarchive(KeyedArchiver::archive(evil), AttributedStringArchive::cardBodyClasses());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(QStringLiteral("EvilClass"))) << result.error.toStdString();
}

TEST(KeyedUnarchiverTest, rootThatIsNoAttributedStringGivesNoDocument)
{
    const QByteArray list = KeyedArchiver::archive(ArchiveObject::array({ArchiveObject::string("a")}));
    EXPECT_FALSE(
        AttributedStringArchive::decode(list, {QStringLiteral("NSArray"), QStringLiteral("NSAttributedString")}));
    EXPECT_FALSE(AttributedStringArchive::decode(QByteArray("plain text"), AttributedStringArchive::cardBodyClasses()));
}

TEST(KeyedUnarchiverTest, runInfoBeyondTheTextIsRefused)
{
    const ArchiveRef attributes =
        ArchiveObject::array({ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{})});
    for (const QByteArray& info : {QByteArray("\x05\x00", 2), QByteArray("\x02\x01", 2), QByteArray("\xff\xff", 2)}) {
        const ArchiveRef root = ArchiveObject::instance(
            QStringLiteral("NSAttributedString"),
            {{QStringLiteral("NSString"), ArchiveObject::string("abc")},
             {QStringLiteral("NSAttributes"), attributes},
             {QStringLiteral("NSAttributeInfo"), ArchiveObject::data(info, QStringLiteral("NSData"))}});
        EXPECT_FALSE(
            AttributedStringArchive::decode(KeyedArchiver::archive(root), AttributedStringArchive::cardBodyClasses()))
            << info.toHex().toStdString();
    }
}

TEST(KeyedUnarchiverTest, cyclicReferencesFailInsteadOfRecursing)
{
    const QByteArray selfCycle =
        pythonArchive(ArrayClass + QStringLiteral("archive([{'$class': U(2), 'NS.objects': [U(1)]}, cls])"));
    const QByteArray twoCycle = pythonArchive(
        ArrayClass +
        QStringLiteral(
            "archive([{'$class': U(3), 'NS.objects': [U(2)]}, {'$class': U(3), 'NS.objects': [U(1)]}, cls])"));
    for (const QByteArray& bytes : {selfCycle, twoCycle}) {
        const UnarchiveResult result = KeyedUnarchiver::unarchive(bytes, {QStringLiteral("NSArray")});
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.error.isEmpty());
    }
}

TEST(KeyedUnarchiverTest, deepNestingAndOutOfRangeIndexesFail)
{
    const QByteArray deep = pythonArchive(ArrayClass + QStringLiteral(R"(
n = 20000
archive([{'$class': U(n + 1), 'NS.objects': [U(i + 2)]} for i in range(n)] + [cls])
)"));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(deep, {QStringLiteral("NSArray")}).ok());
    const QByteArray outOfRange =
        pythonArchive(ArrayClass + QStringLiteral("archive([{'$class': U(2), 'NS.objects': [U(99999)]}, cls])"));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(outOfRange, {QStringLiteral("NSArray")}).ok());
    const QByteArray badRoot = pythonArchive(ArrayClass + QStringLiteral("archive([cls], root=123456789)"));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(badRoot, {QStringLiteral("NSArray")}).ok());
}

TEST(KeyedUnarchiverTest, nulInsideAKeyIsRefusedInsteadOfAborting)
{
    // The system libplist asserts on such keys; the archive must be refused before it gets there.
    const QByteArray bytes =
        pythonArchive(ArrayClass + QStringLiteral(R"(archive([{'$class': U(2), 'NS.ob\x00jects': []}, cls]))"));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(bytes, {QStringLiteral("NSArray")}).ok());
}

TEST(KeyedUnarchiverTest, sharedPropertyListContainersDoNotExplode)
{
    // Python writes each list once and refers to it twice; a naive reader would build 2^60 nodes.
    QProcess process;
    process.start(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import plistlib, sys
a = ['leaf']
for i in range(60):
    a = [a, a]
sys.stdout.buffer.write(plistlib.dumps({'$archiver': 'NSKeyedArchiver', '$version': 100000,
    '$top': {'root': plistlib.UID(0)}, '$objects': ['$null', a]}, fmt=plistlib.FMT_BINARY))
)")});
    process.waitForFinished(60000);
    const QByteArray bomb = process.readAllStandardOutput();
    ASSERT_FALSE(bomb.isEmpty());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(PropertyList::fromBinary(bomb));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(bomb, {}).ok());
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST(KeyedUnarchiverTest, truncatedAndMutatedArchivesNeverCrash)
{
    const QByteArray card = cardWithAttachments();
    const QSet<QString> allowed = AttributedStringArchive::cardBodyClasses();
    for (qsizetype length = 0; length < card.size(); length += 7) {
        AttributedStringArchive::decode(card.left(length), allowed);
    }
    QRandomGenerator random(20240607);
    int decoded = 0;
    constexpr int Iterations = 4000;
    for (int i = 0; i < Iterations; ++i) {
        QByteArray mutated = card;
        const int edits = 1 + int(random.bounded(8));
        for (int e = 0; e < edits; ++e) {
            const auto at = qsizetype(random.bounded(int(mutated.size())));
            switch (random.bounded(4)) {
            case 0:
                mutated[at] = char(random.bounded(256));
                break;
            case 1:
                mutated[at] = char(mutated[at] ^ (1 << random.bounded(8)));
                break;
            case 2:
                mutated.insert(at, char(random.bounded(256)));
                break;
            default:
                mutated.remove(at, 1 + random.bounded(4));
                break;
            }
        }
        decoded += AttributedStringArchive::decode(mutated, allowed) ? 1 : 0;
    }
    // Many mutations only touch text or numbers; the loop exists to show none of them brings the process down.
    SUCCEED() << decoded << " of " << Iterations << " mutated archives still decoded";
}
