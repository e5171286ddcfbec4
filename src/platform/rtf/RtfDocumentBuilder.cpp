#include "RtfDocumentBuilder.h"

#include "RtfColorTable.h"
#include "RtfFontTable.h"
#include "RtfPicture.h"
#include "platform/text/TextAttachment.h"

#include <QImage>
#include <QTextBlockFormat>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

namespace {

constexpr double TwipsPerPoint = 20.0;
constexpr std::size_t MaxCachedFormats = 32;

// A stray U+FFFC would claim to be an attachment that the document does not hold.
bool isDropped(QChar c)
{
    return (c.unicode() < 0x20 && c != u'\t') || c == QChar::ObjectReplacementCharacter;
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
    m_cursor = QTextCursor(m_document.get());
    // Inside an edit block the cursor does not lay out each block to find its x position after every insertion,
    // which would otherwise dominate the time of reading a large document.
    m_cursor.beginEditBlock();
    m_cursor.setBlockFormat(blockFormat(m_blockParagraph));
}

void RtfDocumentBuilder::appendText(QStringView text, const RtfState::Character& character)
{
    if (text.isEmpty())
        return;
    switchRun(character);
    appendClean(m_pending, text);
}

void RtfDocumentBuilder::appendAscii(QByteArrayView text, const RtfState::Character& character)
{
    if (text.isEmpty())
        return;
    if (std::any_of(text.begin(), text.end(), [](char c) { return isDropped(QChar(c)); })) {
        appendText(QString::fromLatin1(text), character);
        return;
    }
    switchRun(character);
    m_pending.append(QLatin1StringView(text));
}

void RtfDocumentBuilder::switchRun(const RtfState::Character& character)
{
    if (!m_pending.isEmpty() && !(character == m_pendingCharacter))
        flush();
    if (m_pending.isEmpty())
        m_pendingCharacter = character;
}

void RtfDocumentBuilder::endParagraph(const RtfState::Paragraph& paragraph)
{
    flush();
    // Each new block starts with the properties of the one before, so a block format is only set again when a
    // paragraph ends with other properties than it began with.
    const QTextBlockFormat format = blockFormat(paragraph);
    if (!(paragraph == m_blockParagraph))
        m_cursor.setBlockFormat(format);
    m_cursor.insertBlock(format, charFormat(m_pendingCharacter));
    m_blockParagraph = paragraph;
}

void RtfDocumentBuilder::appendPicture(const RtfPicture& picture, const RtfState::Character& character)
{
    flush();
    const QImage image = QImage::fromData(picture.bytes());
    if (image.isNull()) {
        QTextCharFormat format = charFormat(character);
        format.setObjectType(TextAttachment::ObjectType);
        setAttachmentProperties(format, picture);
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
        return;
    }
    const QString name = QStringLiteral("rtf-picture-%1").arg(++m_pictureCount);
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.merge(charFormat(character));
    format.setObjectType(QTextFormat::ImageObject);
    format.setName(name);
    const QSizeF size = picture.displaySize();
    if (size.isValid()) {
        format.setWidth(size.width());
        format.setHeight(size.height());
    }
    setAttachmentProperties(format, picture);
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

std::unique_ptr<QTextDocument> RtfDocumentBuilder::finish(const RtfState::Paragraph& paragraph)
{
    flush();
    if (!(paragraph == m_blockParagraph))
        m_cursor.setBlockFormat(blockFormat(paragraph));
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
    return std::move(m_document);
}

void RtfDocumentBuilder::flush()
{
    if (m_pending.isEmpty())
        return;
    m_cursor.insertText(m_pending, charFormat(m_pendingCharacter));
    m_pending.truncate(0);
}

const QTextCharFormat& RtfDocumentBuilder::charFormat(const RtfState::Character& character)
{
    for (const auto& [known, format] : m_formats) {
        if (known == character)
            return format;
    }
    if (m_formats.size() >= MaxCachedFormats)
        m_formats.erase(m_formats.begin());
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
    m_formats.emplace_back(character, format);
    return m_formats.back().second;
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
