#include "platform/archive/KeyedUnarchiver.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/archive/AttributedStringRuns.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/archive/PropertyList.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// Whether bytes hold a whole binary property list: its header, and a trailer that says the offset table ends
// where the trailer begins. Told apart from the reader under test, so that an input a test sees refused is
// known to have been a sound list before the test bent it, not one cut short on its way here.
bool isWholeBinaryPropertyList(const QByteArray& bytes)
{
    constexpr qsizetype TrailerBytes = 32;
    if (!bytes.startsWith("bplist00") || bytes.size() < 8 + TrailerBytes)
        return false;
    const auto* trailer = reinterpret_cast<const uchar*>(bytes.constData() + bytes.size() - TrailerBytes);
    const quint64 offsetBytes = trailer[6];
    const quint64 objects = qFromBigEndian<quint64>(trailer + 8);
    const quint64 tableStart = qFromBigEndian<quint64>(trailer + 24);
    return tableStart + objects * offsetBytes + TrailerBytes == quint64(bytes.size());
}

// The binary property list a python script writes, once python has finished cleanly and the list is whole.
QByteArray pythonPropertyList(const QString& script)
{
    QProcess process;
    process.start(QStringLiteral("python3"), {QStringLiteral("-c"), script});
    const bool finished = process.waitForFinished(60000);
    const QByteArray written = process.readAllStandardOutput();
    EXPECT_TRUE(finished) << "python3 did not finish: " << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(isWholeBinaryPropertyList(written)) << written.size() << " bytes are no whole property list";
    return written;
}

QByteArray pythonArchive(const QString& body)
{
    return pythonPropertyList(QStringLiteral(R"(
import plistlib, sys
U = plistlib.UID
def archive(objects, root=1):
    sys.stdout.buffer.write(plistlib.dumps({'$archiver': 'NSKeyedArchiver', '$version': 100000,
        '$top': {'root': U(root)}, '$objects': ['$null'] + objects}, fmt=plistlib.FMT_BINARY))
)") + body);
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
    // A reader that did build them would not come back: the test's time limit ends it as a failure.
    const QByteArray bomb = pythonPropertyList(QStringLiteral(R"(
import plistlib, sys
a = ['leaf']
for i in range(60):
    a = [a, a]
sys.stdout.buffer.write(plistlib.dumps({'$archiver': 'NSKeyedArchiver', '$version': 100000,
    '$top': {'root': plistlib.UID(0)}, '$objects': ['$null', a]}, fmt=plistlib.FMT_BINARY))
)"));
    ASSERT_FALSE(bomb.isEmpty());
    EXPECT_FALSE(PropertyList::fromBinary(bomb));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(bomb, {}).ok());
}

TEST(KeyedUnarchiverTest, everyStrictPrefixOfAnArchiveIsRefused)
{
    const QByteArray card = cardWithAttachments();
    const QSet<QString> allowed = AttributedStringArchive::cardBodyClasses();
    ASSERT_TRUE(AttributedStringArchive::decode(card, allowed));
    QList<qsizetype> accepted;
    for (qsizetype length = 0; length < card.size(); ++length) {
        if (AttributedStringArchive::decode(card.left(length), allowed))
            accepted.append(length);
    }
    EXPECT_TRUE(accepted.isEmpty()) << accepted.size() << " prefixes decoded, the first " << accepted.value(0)
                                    << " bytes of " << card.size();
}

TEST(KeyedUnarchiverTest, whateverAMutatedArchiveYieldsSavesAndReadsBackUnchanged)
{
    const QByteArray card = cardWithAttachments();
    const QSet<QString> allowed = AttributedStringArchive::cardBodyClasses();
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
        const std::unique_ptr<QTextDocument> document = AttributedStringArchive::decode(mutated, allowed);
        if (!document)
            continue;
        ++decoded;
        // A body that opens at all must survive the next save: what is read is what is written back.
        const auto again = AttributedStringArchive::decode(AttributedStringArchive::encode(*document), allowed);
        ASSERT_NE(again, nullptr) << "mutation " << i;
        EXPECT_EQ(again->toRawText(), document->toRawText()) << "mutation " << i;
    }
    // The loop must reach both sides: mutations that only touch text or numbers still decode, the rest do not.
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, Iterations);
}

TEST(KeyedUnarchiverTest, objectReferenceEqualToTheObjectCountIsRefused)
{
    // $null, the array, the class and "leaf": four objects, so 3 is the last index and 4 is one past it.
    const QString objects = QStringLiteral("archive([{'$class': U(2), 'NS.objects': [U(%1)]}, cls, 'leaf'])");
    const UnarchiveResult last =
        KeyedUnarchiver::unarchive(pythonArchive(ArrayClass + objects.arg(3)), {QStringLiteral("NSArray")});
    ASSERT_TRUE(last.ok()) << last.error.toStdString();
    ASSERT_EQ(last.root->items().size(), 1);
    EXPECT_EQ(last.root->items()[0]->toString(), QStringLiteral("leaf"));
    EXPECT_FALSE(
        KeyedUnarchiver::unarchive(pythonArchive(ArrayClass + objects.arg(4)), {QStringLiteral("NSArray")}).ok());
}

TEST(KeyedUnarchiverTest, classReferenceEqualToTheObjectCountIsRefused)
{
    const QString objects = QStringLiteral("archive([{'$class': U(%1), 'NS.objects': []}, 'x', cls])");
    EXPECT_TRUE(
        KeyedUnarchiver::unarchive(pythonArchive(ArrayClass + objects.arg(3)), {QStringLiteral("NSArray")}).ok());
    EXPECT_FALSE(
        KeyedUnarchiver::unarchive(pythonArchive(ArrayClass + objects.arg(4)), {QStringLiteral("NSArray")}).ok());
}

TEST(KeyedUnarchiverTest, rootEqualToTheObjectCountIsRefused)
{
    const UnarchiveResult last =
        KeyedUnarchiver::unarchive(pythonArchive(QStringLiteral("archive(['a', 'b'], root=2)")), {});
    ASSERT_TRUE(last.ok()) << last.error.toStdString();
    EXPECT_EQ(last.root->toString(), QStringLiteral("b"));
    EXPECT_FALSE(KeyedUnarchiver::unarchive(pythonArchive(QStringLiteral("archive(['a', 'b'], root=3)")), {}).ok());
}

TEST(KeyedUnarchiverTest, nestingExactlyAtTheDepthLimitIsRead)
{
    // n arrays, each holding the next, then a string at depth n.
    const QString chain = QStringLiteral(R"(
n = %1
archive([{'$class': U(n + 2), 'NS.objects': [U(i + 2)]} for i in range(n)] + ['leaf', cls])
)");
    const QByteArray atLimit = pythonArchive(ArrayClass + chain.arg(KeyedUnarchiver::MaxDepth));
    const QByteArray pastLimit = pythonArchive(ArrayClass + chain.arg(KeyedUnarchiver::MaxDepth + 1));
    const UnarchiveResult read = KeyedUnarchiver::unarchive(atLimit, {QStringLiteral("NSArray")});
    EXPECT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_FALSE(KeyedUnarchiver::unarchive(pastLimit, {QStringLiteral("NSArray")}).ok());
}

TEST(KeyedUnarchiverTest, listOfTwiceTheObjectCountIsReadAndOneItemMoreIsRefused)
{
    // Four objects allow a list of eight references; a longer one could only be a repeat bomb.
    const QString objects = QStringLiteral("archive([{'$class': U(2), 'NS.objects': [U(3)] * %1}, cls, 'x'])");
    const UnarchiveResult atCap =
        KeyedUnarchiver::unarchive(pythonArchive(ArrayClass + objects.arg(8)), {QStringLiteral("NSArray")});
    ASSERT_TRUE(atCap.ok()) << atCap.error.toStdString();
    EXPECT_EQ(atCap.root->items().size(), 8);
    EXPECT_FALSE(
        KeyedUnarchiver::unarchive(pythonArchive(ArrayClass + objects.arg(9)), {QStringLiteral("NSArray")}).ok());
}

TEST(AttributedStringRunsTest, dictionaryIndexEqualToTheDictionaryCountIsRefused)
{
    // One run of 3 units: with two dictionaries index 1 is the last one, index 2 is one past it.
    const auto last = AttributedStringRuns::decode(QByteArray("\x03\x01", 2), 3, 2);
    ASSERT_TRUE(last);
    ASSERT_EQ(last->count(), 1);
    EXPECT_EQ(last->runs()[0].length, 3);
    EXPECT_EQ(last->runs()[0].index, 1);
    EXPECT_FALSE(AttributedStringRuns::decode(QByteArray("\x03\x02", 2), 3, 2));
    EXPECT_FALSE(AttributedStringRuns::decode(QByteArray("\x00\x00", 2), 0, 0));
}

TEST(AttributedStringRunsTest, runsCoveringExactlyTheTextAreReadAndOneUnitMoreIsRefused)
{
    const auto exact = AttributedStringRuns::decode(QByteArray("\x02\x00\x03\x00", 4), 5, 1);
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->count(), 2);
    EXPECT_FALSE(AttributedStringRuns::decode(QByteArray("\x02\x00\x04\x00", 4), 5, 1));
    EXPECT_TRUE(AttributedStringRuns::decode(QByteArray(), 0, 0));
}

TEST(AttributedStringRunsTest, lengthOfEightVarintBytesIsReadAndNineAreRefused)
{
    // Seven continuation bytes and a last one make the widest length accepted; one more byte is refused.
    const QByteArray eight = QByteArray(7, '\x80') + QByteArray("\x00\x00", 2);
    const QByteArray nine = QByteArray(8, '\x80') + QByteArray("\x00\x00", 2);
    const auto read = AttributedStringRuns::decode(eight, 0, 1);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->count(), 0) << "a run of length 0 adds nothing";
    EXPECT_FALSE(AttributedStringRuns::decode(nine, 0, 1));
    // A varint cut off before its last byte is refused.
    EXPECT_FALSE(AttributedStringRuns::decode(QByteArray("\x83", 1), 5, 1));
}

namespace {

// A binary property list of the array ["a", "b"] as Python writes it: the array is object 0 with its two
// one-byte references right after its marker at offset 8, the strings are objects 1 and 2, and the trailer's
// last 32 bytes hold the top object's index at 16.
QByteArray twoStringList()
{
    return pythonPropertyList(
        QStringLiteral("import plistlib, sys\n"
                       "sys.stdout.buffer.write(plistlib.dumps(['a', 'b'], fmt=plistlib.FMT_BINARY))"));
}

QByteArray withTop(QByteArray bytes, char top)
{
    bytes[bytes.size() - 32 + 16 + 7] = top;
    return bytes;
}

} // namespace

TEST(PropertyListTest, topObjectEqualToTheObjectCountIsRefused)
{
    const QByteArray list = twoStringList();
    ASSERT_EQ(list.size(), 8 + 3 + 2 + 2 + 3 + 32) << "layout differs from the one the test patches";
    ASSERT_TRUE(PropertyList::fromBinary(list));
    EXPECT_TRUE(PropertyList::fromBinary(withTop(list, 2)));
    EXPECT_FALSE(PropertyList::fromBinary(withTop(list, 3)));
}

TEST(PropertyListTest, containerReferenceEqualToTheObjectCountIsRefused)
{
    const QByteArray list = twoStringList();
    ASSERT_EQ(quint8(list[8]), 0xA2);
    QByteArray last = list;
    last[9] = 2;
    EXPECT_TRUE(PropertyList::fromBinary(last));
    QByteArray past = list;
    past[9] = 3;
    EXPECT_FALSE(PropertyList::fromBinary(past));
    // A reference to the array itself is a cycle.
    QByteArray self = list;
    self[9] = 0;
    EXPECT_FALSE(PropertyList::fromBinary(self));
}

namespace {

// A binary property list laid out by hand: the objects from offset 8 in the order given (object 0 the top), an
// offset table of offsetSize-byte entries (the objects' own offsets unless offsets are given), and the trailer.
QByteArray handBuiltList(const QList<QByteArray>& objects, int offsetSize, QList<quint64> offsets = {})
{
    QByteArray bytes("bplist00");
    QList<quint64> found;
    for (const QByteArray& object : objects) {
        found.append(quint64(bytes.size()));
        bytes += object;
    }
    const quint64 table = quint64(bytes.size());
    for (const quint64 offset : offsets.isEmpty() ? found : offsets) {
        for (int i = offsetSize - 1; i >= 0; --i)
            bytes += char(i < 8 ? (offset >> (8 * i)) & 0xFF : 0);
    }
    QByteArray trailer(32, '\0');
    trailer[6] = char(offsetSize);
    trailer[7] = 1;
    qToBigEndian<quint64>(quint64(objects.size()), trailer.data() + 8);
    qToBigEndian<quint64>(table, trailer.data() + 24);
    return bytes + trailer;
}

const QByteArray AsciiAb("\x52"
                         "ab");

} // namespace

TEST(PropertyListTest, listOfExactlyTheByteLimitIsReadAndOneByteMoreIsRefused)
{
    const QByteArray list = handBuiltList({AsciiAb}, 1);
    EXPECT_TRUE(PropertyList::fromBinary(list, list.size()));
    EXPECT_FALSE(PropertyList::fromBinary(list, list.size() - 1));
}

TEST(PropertyListTest, objectOffsetInsideTheHeaderIsRefused)
{
    EXPECT_TRUE(PropertyList::fromBinary(handBuiltList({AsciiAb}, 1, {8})));
    EXPECT_FALSE(PropertyList::fromBinary(handBuiltList({AsciiAb}, 1, {7})));
    EXPECT_FALSE(PropertyList::fromBinary(handBuiltList({AsciiAb}, 1, {0})));
}

TEST(PropertyListTest, offsetEntriesWiderThanEightBytesAreRefused)
{
    EXPECT_TRUE(PropertyList::fromBinary(handBuiltList({AsciiAb}, 8)));
    EXPECT_FALSE(PropertyList::fromBinary(handBuiltList({AsciiAb}, 9)));
}

TEST(PropertyListTest, stringEndingRightBeforeAZeroByteIsRead)
{
    // Two-byte offsets put 0x00 right after the last string: the scan for NULs must stop at the string's end.
    EXPECT_TRUE(PropertyList::fromBinary(handBuiltList({AsciiAb}, 2)));
}

TEST(PropertyListTest, countInLongFormEndingRightAtTheOffsetTableIsRead)
{
    // An empty array whose count is written as a following one-byte integer, the last bytes before the table.
    EXPECT_TRUE(PropertyList::fromBinary(handBuiltList({QByteArray("\xAF\x10\x00", 3)}, 1)));
}
