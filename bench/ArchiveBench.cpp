#include "BenchPicture.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <benchmark/benchmark.h>

namespace {

constexpr int Pictures = 5;

// The pictures standing in the text: image characters whose image the document holds.
int pictureCount(const QTextDocument& document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat() &&
                !document.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())).isNull())
                count += it.fragment().length();
        }
    }
    return count;
}

// A 10,000-word card as it comes from the store: paragraphs of about forty words, bold and italic phrases,
// a coloured heading now and then, five pictures and a few checkboxes.
std::unique_ptr<QTextDocument> makeCard()
{
    static const QStringList words = {QStringLiteral("garden"),    QStringLiteral("rose"),   QStringLiteral("the"),
                                      QStringLiteral("river"),     QStringLiteral("and"),    QStringLiteral("night"),
                                      QStringLiteral("caf\u00e9"), QStringLiteral("window"), QStringLiteral("of")};
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Helvetica")});
    plain.setFontPointSize(17);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    QTextCharFormat heading = bold;
    heading.setFontPointSize(24);
    heading.setForeground(QColor(40, 80, 160));
    QRandomGenerator random(7);
    int pictures = 0;
    for (int index = 0; index < 10000; ++index) {
        if (index % 40 == 0 && index > 0) {
            QTextBlockFormat block;
            block.setAlignment(index % 400 == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
            cursor.insertBlock(block);
            if (index % 400 == 0) {
                cursor.insertText(QStringLiteral("Heading "), heading);
            }
        }
        if (index % 2000 == 1000 && pictures < Pictures) {
            const QString name = QStringLiteral("picture-%1").arg(pictures);
            const QByteArray bytes = benchPicture(pictures++);
            document->addResource(QTextDocument::ImageResource, QUrl(name), QImage::fromData(bytes));
            QTextImageFormat image;
            image.setName(name);
            image.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::ImageClass));
            image.setProperty(TextAttachment::FileContents, bytes);
            cursor.insertImage(image);
        }
        if (index % 1500 == 0) {
            QTextCharFormat box = plain;
            box.setObjectType(TextAttachment::ObjectType);
            box.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::CheckedClass));
            cursor.insertText(QString(QChar(0xFFFC)), box);
        }
        const quint32 style = random.bounded(20);
        cursor.insertText(words.at(random.bounded(int(words.size()))) + u' ', style == 0   ? bold
                                                                              : style == 1 ? italic
                                                                                           : plain);
    }
    return document;
}

void BM_Archive10kWordCardWith5Images(benchmark::State& state)
{
    auto card = makeCard();
    const QSet<QString> allowed = AttributedStringArchive::cardBodyClasses();
    for (auto _ : state) {
        const QByteArray bytes = AttributedStringArchive::encode(*card);
        // What was written reads back as the card: the same text, its pictures and checkboxes in place.
        state.PauseTiming();
        const auto read = AttributedStringArchive::decode(bytes, allowed);
        const bool same = read && read->toPlainText() == card->toPlainText() && pictureCount(*read) == Pictures;
        state.ResumeTiming();
        if (!same) {
            state.SkipWithError("the archive does not read back as the card");
            break;
        }
    }
}
BENCHMARK(BM_Archive10kWordCardWith5Images)->Unit(benchmark::kMillisecond);

void BM_Unarchive10kWordCardWith5Images(benchmark::State& state)
{
    const QByteArray bytes = AttributedStringArchive::encode(*makeCard());
    const QSet<QString> allowed = AttributedStringArchive::cardBodyClasses();
    const QString text = makeCard()->toPlainText();
    for (auto _ : state) {
        const auto read = AttributedStringArchive::decode(bytes, allowed);
        if (!read || read->characterCount() != text.size() + 1 || pictureCount(*read) != Pictures) {
            state.SkipWithError("the card did not read back whole");
            break;
        }
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_Unarchive10kWordCardWith5Images)->Unit(benchmark::kMillisecond);

} // namespace
