#include "platform/archive/AttributedStringArchive.h"

#include "platform/archive/AttachmentCoder.h"
#include "platform/archive/AttributedStringReader.h"
#include "platform/archive/AttributedStringRuns.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/archive/KeyedUnarchiver.h"
#include "platform/archive/TextAttributeCoder.h"
#include "platform/text/TextAttachment.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString StringKey = QStringLiteral("NSString");
const QString AttributesKey = QStringLiteral("NSAttributes");
const QString AttributeInfoKey = QStringLiteral("NSAttributeInfo");
const QString FontKey = QStringLiteral("NSFont");
const QString ColorKey = QStringLiteral("NSColor");
const QString ParagraphStyleKey = QStringLiteral("NSParagraphStyle");
const QString AttachmentKey = QStringLiteral("NSAttachment");
const QString UnderlineKey = QStringLiteral("NSUnderline");
const QString StrikethroughKey = QStringLiteral("NSStrikethrough");
constexpr char16_t ObjectReplacement = 0xFFFC;

bool isAttachmentFormat(const QTextCharFormat& format)
{
    return format.isImageFormat() || format.objectType() == TextAttachment::ObjectType;
}

QString fontSignature(const QTextCharFormat& format)
{
    return TextAttributeCoder::familyOf(format) + u'|' + QString::number(format.fontPointSize()) + u'|' +
           QString::number(format.fontWeight() >= QFont::DemiBold) + QString::number(format.fontItalic());
}

QString blockSignature(const QTextBlockFormat& format)
{
    QString signature = QString::number(int(format.alignment())) + u'|' + QString::number(format.leftMargin()) + u'|' +
                        QString::number(format.textIndent()) + u'|' + QString::number(format.rightMargin()) + u'|' +
                        QString::number(format.topMargin()) + u'|' + QString::number(format.bottomMargin()) + u'|' +
                        QString::number(format.lineHeightType()) + u':' + QString::number(format.lineHeight());
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        signature += u'|' + QString::number(tab.position) + u'/' + QString::number(int(tab.type));
    }
    return signature;
}

// A run's character format index and its paragraph's block format index.
using FormatIndexes = std::pair<int, int>;

// Collects the string and its attribute runs, sharing one dictionary (and one font, colour and paragraph style
// object) among all runs that look alike.
class RunWriter {
public:
    explicit RunWriter(const QTextDocument& document) : m_document(document) {}

    // formats names the character and block formats by their indexes in the document, which stand for them.
    void appendText(const QString& text, FormatIndexes formats, const QTextCharFormat& format,
                    const QTextBlockFormat& block)
    {
        if (text.isEmpty()) {
            return;
        }
        m_text += text;
        m_runs.append(text.size(), dictionaryFor(formats, format, block));
    }

    void appendAttachment(FormatIndexes formats, const QTextCharFormat& format, const QTextBlockFormat& block)
    {
        ArchiveRef attachment = AttachmentCoder::encode(format, m_document);
        if (!attachment) {
            appendText(QString(QChar(ObjectReplacement)), formats, format, block);
            return;
        }
        auto entries = baseEntries(format, block);
        entries.append({AttachmentKey, attachment});
        m_text += QChar(ObjectReplacement);
        m_runs.append(1, addDictionary(ArchiveObject::dictionary(entries)), false);
    }

    ArchiveRef root() const
    {
        ArchiveObject::Fields fields{{StringKey, ArchiveObject::string(m_text)}};
        if (m_dictionaries.size() == 1 && m_runs.count() == 1) {
            fields.insert(AttributesKey, m_dictionaries.first());
        } else if (!m_dictionaries.isEmpty()) {
            fields.insert(AttributesKey, ArchiveObject::array(m_dictionaries));
            fields.insert(AttributeInfoKey, ArchiveObject::data(m_runs.encoded(), QStringLiteral("NSData")));
        }
        return ArchiveObject::instance(QStringLiteral("NSMutableAttributedString"), fields);
    }

private:
    QList<std::pair<QString, ArchiveRef>> baseEntries(const QTextCharFormat& format, const QTextBlockFormat& block)
    {
        QList<std::pair<QString, ArchiveRef>> entries;
        entries.append(
            {FontKey, cached(m_fonts, fontSignature(format), [&] { return TextAttributeCoder::encodeFont(format); })});
        if (format.foreground().style() != Qt::NoBrush) {
            const QColor color = format.foreground().color();
            entries.append({ColorKey, cached(m_colors, QString::number(color.rgba64()),
                                             [&] { return TextAttributeCoder::encodeColor(color); })});
        }
        entries.append({ParagraphStyleKey, cached(m_styles, blockSignature(block),
                                                  [&] { return TextAttributeCoder::encodeParagraphStyle(block); })});
        if (format.fontUnderline()) {
            entries.append({UnderlineKey, ArchiveObject::integer(1)});
        }
        if (format.fontStrikeOut()) {
            entries.append({StrikethroughKey, ArchiveObject::integer(1)});
        }
        return entries;
    }

    // A document holds each distinct format once, so runs under the same pair of format indexes share their
    // dictionary without building its signature again.
    int dictionaryFor(FormatIndexes formats, const QTextCharFormat& format, const QTextBlockFormat& block)
    {
        if (auto known = m_dictionaryByFormats.constFind(formats); known != m_dictionaryByFormats.cend()) {
            return *known;
        }
        const int index = dictionaryFor(format, block);
        m_dictionaryByFormats.insert(formats, index);
        return index;
    }

    int dictionaryFor(const QTextCharFormat& format, const QTextBlockFormat& block)
    {
        const QString signature =
            fontSignature(format) + u'#' +
            (format.foreground().style() != Qt::NoBrush ? QString::number(format.foreground().color().rgba64())
                                                        : QString()) +
            u'#' + QString::number(format.fontUnderline()) + QString::number(format.fontStrikeOut()) + u'#' +
            blockSignature(block);
        if (auto found = m_dictionaryIndex.constFind(signature); found != m_dictionaryIndex.cend()) {
            return *found;
        }
        const int index = addDictionary(ArchiveObject::dictionary(baseEntries(format, block)));
        m_dictionaryIndex.insert(signature, index);
        return index;
    }

    int addDictionary(const ArchiveRef& dictionary)
    {
        m_dictionaries.append(dictionary);
        return int(m_dictionaries.size() - 1);
    }

    template <typename Make> static ArchiveRef cached(QHash<QString, ArchiveRef>& cache, const QString& key, Make make)
    {
        auto found = cache.find(key);
        if (found == cache.end()) {
            found = cache.insert(key, make());
        }
        return *found;
    }

    const QTextDocument& m_document;
    QString m_text;
    AttributedStringRuns m_runs;
    QList<ArchiveRef> m_dictionaries;
    QHash<QString, int> m_dictionaryIndex;
    QHash<FormatIndexes, int> m_dictionaryByFormats;
    QHash<QString, ArchiveRef> m_fonts;
    QHash<QString, ArchiveRef> m_colors;
    QHash<QString, ArchiveRef> m_styles;
};

void writeBlock(RunWriter& writer, const QTextBlock& block)
{
    const QTextBlockFormat blockFormat = block.blockFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const FormatIndexes formats{fragment.charFormatIndex(), block.blockFormatIndex()};
        const QString text = fragment.text();
        if (!isAttachmentFormat(format)) {
            writer.appendText(text, formats, format, blockFormat);
            continue;
        }
        // Neighbouring attachments with equal formats share one fragment; each U+FFFC is its own attachment.
        qsizetype start = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) == QChar(ObjectReplacement)) {
                writer.appendText(text.mid(start, i - start), formats, format, blockFormat);
                writer.appendAttachment(formats, format, blockFormat);
                start = i + 1;
            }
        }
        writer.appendText(text.mid(start), formats, format, blockFormat);
    }
}

} // namespace

QByteArray AttributedStringArchive::encode(const QTextDocument& document)
{
    RunWriter writer(document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        writeBlock(writer, block);
        if (block.next().isValid()) {
            // The paragraph break carries the paragraph's style, as the text system expects.
            writer.appendText(QStringLiteral("\n"), {block.charFormatIndex(), block.blockFormatIndex()},
                              block.charFormat(), block.blockFormat());
        }
    }
    return KeyedArchiver::archive(writer.root());
}

std::unique_ptr<QTextDocument> AttributedStringArchive::decode(const QByteArray& bytes,
                                                               const QSet<QString>& allowedClasses)
{
    if (!looksLikeArchive(bytes)) {
        return nullptr;
    }
    QSet<QString> allowed = allowedClasses;
    if (allowed.contains(QStringLiteral("NSAttributedString")) ||
        allowed.contains(QStringLiteral("NSMutableAttributedString"))) {
        allowed += partClasses();
    }
    const UnarchiveResult result = KeyedUnarchiver::unarchive(bytes, allowed);
    if (!result.ok()) {
        return nullptr;
    }
    return AttributedStringReader::read(*result.root);
}

bool AttributedStringArchive::looksLikeArchive(const QByteArray& bytes)
{
    return bytes.startsWith("bplist00");
}

QSet<QString> AttributedStringArchive::cardBodyClasses()
{
    return partClasses() + QSet<QString>{QString::fromLatin1(TextAttachment::ImageClass),
                                         QString::fromLatin1(TextAttachment::CheckedClass),
                                         QString::fromLatin1(TextAttachment::UncheckedClass)};
}

QSet<QString> AttributedStringArchive::partClasses()
{
    return {
        QStringLiteral("NSAttributedString"),
        QStringLiteral("NSMutableAttributedString"),
        QStringLiteral("NSString"),
        QStringLiteral("NSMutableString"),
        QStringLiteral("NSDictionary"),
        QStringLiteral("NSMutableDictionary"),
        QStringLiteral("NSArray"),
        QStringLiteral("NSMutableArray"),
        QStringLiteral("NSData"),
        QStringLiteral("NSMutableData"),
        QStringLiteral("NSNumber"),
        QStringLiteral("UIFont"),
        QStringLiteral("NSFont"),
        QStringLiteral("UIFontDescriptor"),
        QStringLiteral("NSFontDescriptor"),
        QStringLiteral("UIColor"),
        QStringLiteral("NSColor"),
        QStringLiteral("NSColorSpace"),
        QStringLiteral("NSParagraphStyle"),
        QStringLiteral("NSMutableParagraphStyle"),
        QStringLiteral("NSTextTab"),
        QStringLiteral("NSTextList"),
        QStringLiteral("NSTextAttachment"),
        QStringLiteral("NSFileWrapper"),
        QStringLiteral("UIImage"),
        QStringLiteral("NSURL"),
    };
}
