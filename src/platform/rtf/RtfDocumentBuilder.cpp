#include "RtfDocumentBuilder.h"

#include "RtfColorTable.h"
#include "RtfFontTable.h"
#include "RtfPicture.h"
#include "platform/text/TextAttachment.h"

#include <QImage>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

namespace {

constexpr double TwipsPerPoint = 20.0;
// Beyond this an input is mostly pictures, and its text grows as it comes.
constexpr qsizetype MaxReservedCharacters = qsizetype(16) * 1024 * 1024;
constexpr QChar BeginningOfFrame(0xFDD0);
constexpr QChar EndOfFrame(0xFDD1);

// A stray U+FFFC would claim to be an attachment that the document does not hold.
bool isDropped(QChar c)
{
    return (c.unicode() < 0x20 && c != u'\t') || c == QChar::ObjectReplacementCharacter;
}

// Characters at which inserting text into a document starts a new block.
bool isBlockBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == BeginningOfFrame || c == EndOfFrame;
}

void appendClean(QString& target, QStringView text)
{
    if (std::none_of(text.cbegin(), text.cend(), isDropped)) {
        target.append(text);
        return;
    }
    for (const QChar c : text) {
        if (!isDropped(c))
            target.append(c);
    }
}

Qt::Alignment alignment(RtfState::Paragraph::Alignment alignment)
{
    switch (alignment) {
    case RtfState::Paragraph::Alignment::Center:
        return Qt::AlignHCenter;
    case RtfState::Paragraph::Alignment::Right:
        return Qt::AlignRight;
    case RtfState::Paragraph::Alignment::Justify:
        return Qt::AlignJustify;
    case RtfState::Paragraph::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

void setAttachmentProperties(QTextCharFormat& format, const RtfPicture& picture)
{
    format.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::PlainClass));
    format.setProperty(TextAttachment::FileContents, picture.bytes());
    format.setProperty(TextAttachment::FileType, picture.fileType());
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(const RtfFontTable& fonts, const RtfColorTable& colors)
    : m_fonts(fonts), m_colors(colors), m_document(std::make_unique<QTextDocument>())
{
    m_document->setUndoRedoEnabled(false);
}

// The text grows by reallocation otherwise, and each step is a copy into fresh memory.
void RtfDocumentBuilder::reserve(qsizetype inputBytes)
{
    m_text.reserve(std::min(inputBytes, MaxReservedCharacters));
}

void RtfDocumentBuilder::appendText(QStringView text, const RtfState::Character& character)
{
    if (text.isEmpty())
        return;
    useTextCharacter(character);
    const qsizetype from = m_text.size();
    appendClean(m_text, text);
    if (m_text.size() == from)
        return;
    beginRun(m_textFormat, from);
    noteSeparators(from);
}

void RtfDocumentBuilder::appendAscii(QByteArrayView text, const RtfState::Character& character)
{
    if (text.isEmpty())
        return;
    if (std::any_of(text.begin(), text.end(), [](char c) { return isDropped(QChar(c)); })) {
        appendText(QString::fromLatin1(text), character);
        return;
    }
    useTextCharacter(character);
    beginRun(m_textFormat, m_text.size());
    m_text.append(QLatin1StringView(text));
}

// A paragraph mark is a character of the text like any other: it takes the format of the text before it.
void RtfDocumentBuilder::endParagraph(const RtfState::Paragraph& paragraph)
{
    if (m_textFormat < 0)
        m_textFormat = formatFor(m_textCharacter);
    beginRun(m_textFormat, m_text.size());
    m_text.append(QChar::ParagraphSeparator);
    m_blocks.push_back(paragraph);
    m_blockParagraph = paragraph;
}

void RtfDocumentBuilder::appendPicture(const RtfPicture& picture, const RtfState::Character& character)
{
    m_formats.push_back({pictureFormat(picture, character), 0});
    beginRun(int(m_formats.size()) - 1, m_text.size());
    m_text.append(QChar::ObjectReplacementCharacter);
}

std::unique_ptr<QTextDocument> RtfDocumentBuilder::finish(const RtfState::Paragraph& paragraph)
{
    m_blocks.push_back(paragraph);
    const RtfState::Paragraph common = mostCommonParagraph();
    QTextCursor cursor(m_document.get());
    // Inside an edit block the cursor does not lay out the blocks it touches to find its x position.
    cursor.beginEditBlock();
    // Blocks that the insertion makes start with the format of the block the cursor is in.
    cursor.setBlockFormat(blockFormat(common));
    const int length = int(m_text.size());
    if (length > 0) {
        const int base = mostUsedFormat();
        cursor.insertText(m_text, m_formats[base].format);
        // The document holds its own copy; ours is released before restyling grows the piece table.
        m_text = QString();
        applyRunFormats(cursor, base, length);
    }
    applyBlockFormats(cursor, common);
    cursor.endEditBlock();
    return std::move(m_document);
}

// Text that arrives in the same character properties as the text before it continues its run.
void RtfDocumentBuilder::useTextCharacter(const RtfState::Character& character)
{
    if (m_textFormat >= 0 && character == m_textCharacter)
        return;
    m_textCharacter = character;
    m_textFormat = formatFor(character);
}

// The text from start on is in the given format; it continues the last run when that has the same one.
void RtfDocumentBuilder::beginRun(int format, qsizetype start)
{
    if (!m_runs.empty() && m_runs.back().format == format)
        return;
    m_runs.push_back({int(start), format});
    ++m_formats[format].runs;
}

// The text itself may hold characters that break a block when inserted; each such block keeps the properties its
// paragraph began with.
void RtfDocumentBuilder::noteSeparators(qsizetype from)
{
    const QStringView added = QStringView(m_text).sliced(from);
    const auto breaks = std::count_if(added.begin(), added.end(), isBlockBreak);
    m_blocks.insert(m_blocks.end(), breaks, m_blockParagraph);
}

int RtfDocumentBuilder::formatFor(const RtfState::Character& character)
{
    if (const auto known = m_formatIndex.constFind(character); known != m_formatIndex.cend())
        return *known;
    m_formats.push_back({makeCharFormat(character), 0});
    const int index = int(m_formats.size()) - 1;
    m_formatIndex.insert(character, index);
    return index;
}

// An image when the bytes decode (its pixels become a resource of the document), otherwise an attachment that only
// keeps the bytes; both in the character properties of the text around them.
QTextCharFormat RtfDocumentBuilder::pictureFormat(const RtfPicture& picture, const RtfState::Character& character)
{
    const int text = formatFor(character);
    QTextCharFormat format = m_formats[text].format;
    const QImage image = QImage::fromData(picture.bytes());
    if (image.isNull()) {
        format.setObjectType(TextAttachment::ObjectType);
    } else {
        const QString name = QStringLiteral("rtf-picture-%1").arg(++m_pictureCount);
        m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat imageFormat;
        imageFormat.merge(format);
        imageFormat.setObjectType(QTextFormat::ImageObject);
        imageFormat.setName(name);
        const QSizeF size = picture.displaySize();
        if (size.isValid()) {
            imageFormat.setWidth(size.width());
            imageFormat.setHeight(size.height());
        }
        format = imageFormat;
    }
    setAttachmentProperties(format, picture);
    return format;
}

QTextCharFormat RtfDocumentBuilder::makeCharFormat(const RtfState::Character& character) const
{
    QTextCharFormat format;
    const QString family = m_fonts.family(character.font >= 0 ? character.font : m_defaultFont);
    if (!family.isEmpty())
        format.setFontFamilies({family});
    format.setFontPointSize(character.halfPoints / 2.0);
    format.setFontWeight(character.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(character.italic);
    format.setFontUnderline(character.underline);
    format.setFontStrikeOut(character.strikeOut);
    const QColor color = m_colors.color(character.color);
    if (color.isValid())
        format.setForeground(color);
    if (!character.anchorHref.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(character.anchorHref);
    }
    return format;
}

// The format the whole text is inserted in: the one the most runs have, so the fewest need restyling.
int RtfDocumentBuilder::mostUsedFormat() const
{
    const auto most = std::max_element(m_formats.begin(), m_formats.end(),
                                       [](const Format& a, const Format& b) { return a.runs < b.runs; });
    return int(most - m_formats.begin());
}

// The paragraph properties most blocks share (a majority vote, which finds them whenever more than half do).
RtfState::Paragraph RtfDocumentBuilder::mostCommonParagraph() const
{
    RtfState::Paragraph candidate;
    int lead = 0;
    for (const RtfState::Paragraph& paragraph : m_blocks) {
        if (lead == 0)
            candidate = paragraph;
        lead += paragraph == candidate ? 1 : -1;
    }
    return candidate;
}

void RtfDocumentBuilder::applyRunFormats(QTextCursor& cursor, int base, int length) const
{
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].format == base)
            continue;
        cursor.setPosition(m_runs[i].start);
        cursor.setPosition(i + 1 < m_runs.size() ? m_runs[i + 1].start : length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(m_formats[m_runs[i].format].format);
    }
}

void RtfDocumentBuilder::applyBlockFormats(QTextCursor& cursor, const RtfState::Paragraph& common) const
{
    auto paragraph = m_blocks.begin();
    for (QTextBlock block = m_document->begin(); block.isValid() && paragraph != m_blocks.end();
         block = block.next(), ++paragraph) {
        if (*paragraph == common)
            continue;
        cursor.setPosition(block.position());
        cursor.setBlockFormat(blockFormat(*paragraph));
    }
}

QTextBlockFormat RtfDocumentBuilder::blockFormat(const RtfState::Paragraph& paragraph)
{
    QTextBlockFormat format;
    format.setAlignment(alignment(paragraph.alignment));
    format.setLeftMargin(paragraph.leftIndent / TwipsPerPoint);
    format.setRightMargin(paragraph.rightIndent / TwipsPerPoint);
    format.setTextIndent(paragraph.firstLineIndent / TwipsPerPoint);
    format.setTopMargin(paragraph.spaceBefore / TwipsPerPoint);
    format.setBottomMargin(paragraph.spaceAfter / TwipsPerPoint);
    return format;
}
