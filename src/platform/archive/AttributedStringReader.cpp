#include "platform/archive/AttributedStringReader.h"

#include "platform/archive/AttachmentCoder.h"
#include "platform/archive/AttributedStringRuns.h"
#include "platform/archive/TextAttributeCoder.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace {

constexpr char16_t ObjectReplacement = 0xFFFC;

// What one attribute dictionary means to a QTextDocument.
struct RunStyle {
    QTextCharFormat character;
    std::optional<QTextBlockFormat> block;
    ArchiveRef attachment;
    QImage image;
};

RunStyle styleOf(const ArchiveObject& dictionary)
{
    RunStyle style;
    if (ArchiveRef font = dictionary.value(QStringLiteral("NSFont"))) {
        TextAttributeCoder::applyFont(*font, style.character);
    }
    if (ArchiveRef color = dictionary.value(QStringLiteral("NSColor"))) {
        const QColor foreground = TextAttributeCoder::decodeColor(*color);
        if (foreground.isValid()) {
            style.character.setForeground(foreground);
        }
    }
    if (ArchiveRef underline = dictionary.value(QStringLiteral("NSUnderline")); underline && underline->toInteger()) {
        style.character.setFontUnderline(true);
    }
    if (ArchiveRef strike = dictionary.value(QStringLiteral("NSStrikethrough")); strike && strike->toInteger()) {
        style.character.setFontStrikeOut(true);
    }
    if (ArchiveRef paragraph = dictionary.value(QStringLiteral("NSParagraphStyle"))) {
        QTextBlockFormat block;
        if (TextAttributeCoder::applyParagraphStyle(*paragraph, block)) {
            style.block = block;
        }
    }
    style.attachment = dictionary.value(QStringLiteral("NSAttachment"));
    return style;
}

std::optional<QList<ArchiveRef>> dictionariesOf(const ArchiveObject& root)
{
    ArchiveRef attributes = root.value(QStringLiteral("NSAttributes"));
    if (!attributes) {
        return QList<ArchiveRef>{};
    }
    if (attributes->kind() == ArchiveObject::Kind::Dictionary) {
        return QList<ArchiveRef>{attributes};
    }
    if (attributes->kind() != ArchiveObject::Kind::Array) {
        return std::nullopt;
    }
    for (const ArchiveRef& item : attributes->items()) {
        if (item->kind() != ArchiveObject::Kind::Dictionary) {
            return std::nullopt;
        }
    }
    return attributes->items();
}

std::optional<AttributedStringRuns> runsOf(const ArchiveObject& root, qsizetype textLength, qsizetype dictionaries)
{
    ArchiveRef info = root.value(QStringLiteral("NSAttributeInfo"));
    if (info) {
        if (info->kind() != ArchiveObject::Kind::Data) {
            return std::nullopt;
        }
        return AttributedStringRuns::decode(info->toData(), textLength, dictionaries);
    }
    // Without run information a single dictionary covers the whole string.
    AttributedStringRuns runs;
    if (dictionaries == 1) {
        runs.append(textLength, 0);
    } else if (dictionaries > 1) {
        return std::nullopt;
    }
    return runs;
}

class DocumentBuilder {
public:
    explicit DocumentBuilder(QTextDocument& document) : m_document(document), m_cursor(&document) {}

    void insert(const QString& text, const RunStyle& style)
    {
        if (!style.attachment) {
            m_cursor.insertText(text, style.character);
            return;
        }
        std::optional<QTextCharFormat> attachment;
        qsizetype start = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) != QChar(ObjectReplacement)) {
                continue;
            }
            m_cursor.insertText(text.mid(start, i - start), style.character);
            if (!attachment) {
                attachment = AttachmentCoder::decode(*style.attachment, m_document, m_images++,
                                                     style.image.isNull() ? nullptr : &style.image);
            }
            QTextCharFormat format = attachment.value_or(style.character);
            if (attachment) {
                format.merge(style.character);
                format.merge(*attachment);
            }
            m_cursor.insertText(QString(QChar(ObjectReplacement)), format);
            start = i + 1;
        }
        m_cursor.insertText(text.mid(start), style.character);
    }

private:
    QTextDocument& m_document;
    QTextCursor m_cursor;
    int m_images = 0;
};

// Paragraph styles apply to whole paragraphs: each block takes the style found at its first character.
void applyBlockFormats(QTextDocument& document, const AttributedStringRuns& runs, const QList<RunStyle>& styles)
{
    QList<qsizetype> ends;
    qsizetype end = 0;
    for (const auto& run : runs.runs()) {
        end += run.length;
        ends.append(end);
    }
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const auto found = std::upper_bound(ends.cbegin(), ends.cend(), qsizetype(block.position()));
        if (found == ends.cend()) {
            break;
        }
        const auto& style = styles.at(runs.runs().at(found - ends.cbegin()).index);
        if (style.block) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(*style.block);
        }
    }
}

// Pictures take most of the time of opening a card, so they are read side by side on the thread pool.
void readImages(QList<RunStyle>& styles)
{
    QList<qsizetype> withImage;
    QList<QByteArray> bytes;
    for (qsizetype i = 0; i < styles.size(); ++i) {
        if (styles[i].attachment) {
            QByteArray picture = AttachmentCoder::imageBytes(*styles[i].attachment);
            if (!picture.isEmpty()) {
                withImage.append(i);
                bytes.append(picture);
            }
        }
    }
    if (bytes.isEmpty()) {
        return;
    }
    const QList<QImage> images = QtConcurrent::blockingMapped(bytes, &AttachmentCoder::readImage);
    for (qsizetype i = 0; i < withImage.size(); ++i) {
        styles[withImage[i]].image = images.at(i);
    }
}

} // namespace

std::unique_ptr<QTextDocument> AttributedStringReader::read(const ArchiveObject& root)
{
    if (root.kind() != ArchiveObject::Kind::Instance || !root.isKindOf(QStringLiteral("NSAttributedString"))) {
        return nullptr;
    }
    ArchiveRef string = root.value(QStringLiteral("NSString"));
    if (!string || string->kind() != ArchiveObject::Kind::String) {
        return nullptr;
    }
    const QString text = string->toString();
    const auto dictionaries = dictionariesOf(root);
    const auto runs = dictionaries ? runsOf(root, text.size(), dictionaries->size()) : std::nullopt;
    if (!runs) {
        return nullptr;
    }
    QList<RunStyle> styles;
    styles.reserve(dictionaries->size());
    for (const ArchiveRef& dictionary : *dictionaries) {
        styles.append(styleOf(*dictionary));
    }
    readImages(styles);
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    DocumentBuilder builder(*document);
    qsizetype position = 0;
    for (const auto& run : runs->runs()) {
        builder.insert(text.mid(position, run.length), styles.at(run.index));
        position += run.length;
    }
    builder.insert(text.mid(position), RunStyle{});
    applyBlockFormats(*document, *runs, styles);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    return document;
}
