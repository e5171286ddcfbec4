#include "platform/archive/AttributedStringReader.h"

#include "platform/archive/AttachmentCoder.h"
#include "platform/archive/AttributedStringRuns.h"
#include "platform/archive/TextAttributeCoder.h"

#include <QFuture>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtConcurrent/QtConcurrentRun>

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

// Builds the text first and gives the attachment characters their formats once the pictures are read, so that
// the pictures are read while the text goes in.
class DocumentBuilder {
public:
    explicit DocumentBuilder(QTextDocument& document) : m_document(document), m_cursor(&document) {}

    void insert(const QString& text, qsizetype styleIndex, const RunStyle& style)
    {
        if (!style.attachment) {
            m_cursor.insertText(text, style.character);
            return;
        }
        PendingRun run{styleIndex, {}};
        qsizetype start = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) != QChar(ObjectReplacement)) {
                continue;
            }
            m_cursor.insertText(text.mid(start, i - start), style.character);
            run.positions.append(m_cursor.position());
            m_cursor.insertText(QString(QChar(ObjectReplacement)), style.character);
            start = i + 1;
        }
        m_cursor.insertText(text.mid(start), style.character);
        if (!run.positions.isEmpty()) {
            m_pending.append(run);
        }
    }

    // Each run's attachment is decoded once, in the order of the text; its characters take the attachment's
    // format over the run's own. An attachment that cannot be decoded keeps the run's format.
    void placeAttachments(const QList<RunStyle>& styles)
    {
        for (const PendingRun& run : std::as_const(m_pending)) {
            const RunStyle& style = styles.at(run.style);
            const std::optional<QTextCharFormat> attachment = AttachmentCoder::decode(
                *style.attachment, m_document, m_images++, style.image.isNull() ? nullptr : &style.image);
            if (!attachment) {
                continue;
            }
            QTextCharFormat format = *attachment;
            format.merge(style.character);
            format.merge(*attachment);
            setFormat(run.positions, format);
        }
    }

private:
    struct PendingRun {
        qsizetype style = 0;
        QList<int> positions;
    };

    // Neighbouring characters are formatted together, so that they share one fragment as inserted text would.
    void setFormat(const QList<int>& positions, const QTextCharFormat& format)
    {
        for (qsizetype first = 0; first < positions.size();) {
            qsizetype last = first;
            while (last + 1 < positions.size() && positions[last + 1] == positions[last] + 1) {
                ++last;
            }
            m_cursor.setPosition(positions[first]);
            m_cursor.setPosition(positions[last] + 1, QTextCursor::KeepAnchor);
            m_cursor.setCharFormat(format);
            first = last + 1;
        }
    }

    QTextDocument& m_document;
    QTextCursor m_cursor;
    QList<PendingRun> m_pending;
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

// Pictures take most of the time of opening a card, so they are read side by side on the thread pool while the
// text goes in. Waiting for a read not yet begun runs it on the waiting thread, so a busy pool never stalls it.
class ImageReads {
public:
    explicit ImageReads(const QList<RunStyle>& styles)
    {
        for (qsizetype i = 0; i < styles.size(); ++i) {
            if (!styles[i].attachment) {
                continue;
            }
            QByteArray picture = AttachmentCoder::imageBytes(*styles[i].attachment);
            if (!picture.isEmpty()) {
                m_reads.append({i, QtConcurrent::run(&AttachmentCoder::readImage, std::move(picture))});
            }
        }
    }

    void collect(QList<RunStyle>& styles)
    {
        for (auto& [style, read] : m_reads) {
            styles[style].image = read.result();
        }
    }

private:
    QList<std::pair<qsizetype, QFuture<QImage>>> m_reads;
};

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
    ImageReads images(styles);
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    // One edit for the whole card: outside an edit each insertion lays its paragraph out again to place the
    // cursor, which makes a long paragraph cost the square of its length.
    QTextCursor edit(document.get());
    edit.beginEditBlock();
    DocumentBuilder builder(*document);
    qsizetype position = 0;
    for (const auto& run : runs->runs()) {
        builder.insert(text.mid(position, run.length), run.index, styles.at(run.index));
        position += run.length;
    }
    builder.insert(text.mid(position), -1, RunStyle{});
    images.collect(styles);
    builder.placeAttachments(styles);
    applyBlockFormats(*document, *runs, styles);
    edit.endEditBlock();
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    return document;
}
