#include "ManuscriptCompiler.h"

#include "core/DbHelpers.h"
#include "core/Fonts.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SettingsHelper.h"
#include "core/StoreConstants.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkRenderer.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"
#include "richtext/TextRuns.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Every card at the size it was stored at; its checkboxes drawn for the page they are shown on.
RichTextDocumentFormat::LoadOptions readOptions(bool dark)
{
    RichTextDocumentFormat::LoadOptions options;
    options.adjustFonts = false;
    options.darkMode = dark;
    return options;
}

std::unique_ptr<QTextDocument> readable(RichTextDocumentFormat::LoadResult result)
{
    if (result.status != RichTextDocumentFormat::LoadStatus::Loaded)
        return nullptr;
    return std::move(result.document);
}

} // namespace

ManuscriptCompiler::ManuscriptCompiler(ManagedObjectContext* context, const QString& projectId, bool dark)
    : m_context(context), m_projectId(projectId), m_dark(dark)
{
    m_headingFormat.setFont(Fonts::getDefaultFontWithSize(HeadingFontSize));
    m_headingBlock.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    m_separatorFormat.setFont(Fonts::getDefaultFontWithSize(SeparatorFontSize));
    m_separatorBlock.setAlignment(Qt::AlignHCenter);
    m_bodyBlock.setAlignment(Qt::AlignLeading);
}

int ManuscriptCompiler::textCardCount(const QList<ProjectItem*>& items)
{
    int count = 0;
    for (const ProjectItem* item : items)
        count += item->itemType() == ProjectItemTypes::Story;
    return count;
}

std::unique_ptr<QTextDocument> ManuscriptCompiler::doCompile(const QString& folderId)
{
    m_result = std::make_unique<QTextDocument>();
    m_result->setDefaultFont(Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize));
    m_cursor = std::make_unique<QTextCursor>(m_result.get());
    m_cursor->setBlockFormat(m_bodyBlock);
    m_separator = SettingsHelper::getSceneSeparator(m_context, m_projectId);
    m_includeBlankScenes = SettingsHelper::getIncludeBlankScenes(m_context, m_projectId);
    m_visited = {folderId};
    compileFolder(DbHelpers::getFolderItems(m_context, m_projectId, folderId));
    takeSketchPictures();
    m_cursor.reset();
    return std::move(m_result);
}

void ManuscriptCompiler::compileFolder(const QList<ProjectItem*>& items)
{
    // Every Story card counts, blank or not: the separator goes after all but the folder's last one.
    const int storyCount = textCardCount(items);
    int running = 0;
    for (ProjectItem* item : items) {
        running += item->itemType() == ProjectItemTypes::Story;
        compileItem(item, running < storyCount);
    }
}

void ManuscriptCompiler::compileItem(ProjectItem* item, bool includeSeparator)
{
    if (item->itemType() == ProjectItemTypes::Folder) {
        appendText(item->title() + QStringLiteral("\n\n"), m_headingFormat, m_headingBlock);
        const QString folderId = item->uniqueIdentifier();
        if (m_visited.contains(folderId))
            return;
        m_visited.insert(folderId);
        compileFolder(DbHelpers::getFolderItems(m_context, m_projectId, folderId));
        return;
    }
    if (item->itemType() != ProjectItemTypes::Story)
        return;
    if (item->itemFormat() == ProjectItemFormats::Sketch)
        getSketch(item, includeSeparator);
    else
        getRichText(item, includeSeparator);
}

std::unique_ptr<QTextDocument> ManuscriptCompiler::readCardText(ProjectItem* item) const
{
    std::unique_ptr<QTextDocument> text;
    if (ProjectItemDocument* document = DbHelpers::getItemDocument(m_context, item->uniqueIdentifier())) {
        const QByteArray content = document->content();
        if (!content.isEmpty()) {
            text = document->mimetype() == DocumentMimeTypes::Rtf
                       ? readable(RichTextDocumentFormat::loadFromRTFData(content, readOptions(m_dark)))
                       : readable(RichTextDocumentFormat::loadFrom(content, readOptions(m_dark)));
        }
    }
    if (!text) {
        const QByteArray content = item->content();
        if (!content.isEmpty())
            text = readable(RichTextDocumentFormat::loadFrom(content, readOptions(m_dark)));
    }
    return text;
}

void ManuscriptCompiler::getRichText(ProjectItem* item, bool includeSeparator)
{
    std::unique_ptr<QTextDocument> text = readCardText(item);
    const bool blank = !text || text->toPlainText().trimmed().isEmpty();
    if (blank && !m_includeBlankScenes)
        return;
    // A blank card that is included keeps what little it holds; a card with text loses its trailing blanks.
    if (text) {
        if (!blank)
            trimTrailing(*text);
        appendCard(*text);
    }
    appendSeparator(includeSeparator);
}

QImage ManuscriptCompiler::sketchImage(const InkDrawing& drawing)
{
    InkRenderer::Options options;
    options.maxPixels = SketchMaxPixels;
    // On paper: the stored ink colours stay readable on the dark screen and in any reader of the export.
    options.background = Qt::white;
    qreal usedScale = SketchImageScale;
    QImage image = InkRenderer::image(drawing, drawing.bounds(), SketchImageScale, options, &usedScale);
    // Shown, and written out, at the drawing's own size in points.
    image.setDevicePixelRatio(usedScale);
    return image;
}

void ManuscriptCompiler::getSketch(ProjectItem* item, bool includeSeparator)
{
    // The blank-scenes setting plays no part: a sketch without a drawing adds nothing, not even a separator.
    const ProjectItemDocument* document = DbHelpers::getItemDocument(m_context, item->uniqueIdentifier());
    if (!document)
        return;
    InkDecodeResult decoded = InkReader::decode(document->content());
    if (!decoded.ok() || decoded.drawing->bounds().isEmpty())
        return;
    QTextBlockFormat line = m_bodyBlock;
    line.setAlignment(Qt::AlignJustify);
    m_cursor->setBlockFormat(line);
    // The picture's place and name now; the picture itself, the costly part, is drawn beside the walk.
    const QTextImageFormat picture = QJTextAttachment().format(*m_result);
    m_cursor->insertImage(picture);
    m_pendingSketches.append(
        {picture.name(), QtConcurrent::run([drawing = std::move(*decoded.drawing)] { return sketchImage(drawing); })});
    appendSeparator(includeSeparator);
}

void ManuscriptCompiler::takeSketchPictures()
{
    for (auto& [name, picture] : m_pendingSketches)
        m_result->addResource(QTextDocument::ImageResource, QUrl(name), picture.result());
    m_pendingSketches.clear();
}

void ManuscriptCompiler::trimTrailing(QTextDocument& text)
{
    // The last character of a document is its closing paragraph separator, which is not text.
    const int end = text.characterCount() - 1;
    int keep = end;
    while (keep > 0 && text.characterAt(keep - 1).isSpace())
        --keep;
    if (keep == end)
        return;
    QTextCursor cursor(&text);
    cursor.setPosition(keep);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void ManuscriptCompiler::adoptPictures(QTextDocument& card)
{
    struct Rename {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Rename> renames;
    for (QTextBlock block = card.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const QTextImageFormat old = fragment.charFormat().toImageFormat();
            QTextImageFormat adopted = old;
            // A new resource name in the manuscript for this card's image.
            adopted.setName(QJTextAttachment(QJTextAttachment::fromFormat(old, card).image()).format(*m_result).name());
            renames.append({fragment.position(), fragment.length(), adopted});
        }
    }
    QTextCursor cursor(&card);
    for (const Rename& rename : renames) {
        cursor.setPosition(rename.position);
        cursor.setPosition(rename.position + rename.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(rename.format);
    }
}

void ManuscriptCompiler::appendCard(QTextDocument& card)
{
    adoptPictures(card);
    const int start = m_cursor->position();
    m_cursor->insertFragment(QTextDocumentFragment(&card));
    // Every paragraph of the card takes the manuscript's body style.
    QTextCursor range(m_result.get());
    range.setPosition(start);
    range.setPosition(m_cursor->position(), QTextCursor::KeepAnchor);
    range.setBlockFormat(m_bodyBlock);
}

void ManuscriptCompiler::appendSeparator(bool includeSeparator)
{
    const QString separator = includeSeparator ? m_separator : QString();
    appendText(QStringLiteral("\n\n%1\n\n").arg(separator), m_separatorFormat, m_separatorBlock);
    m_cursor->setBlockFormat(m_bodyBlock);
}

void ManuscriptCompiler::appendText(const QString& text, const QTextCharFormat& charFormat,
                                    const QTextBlockFormat& blockFormat)
{
    if (m_cursor->atBlockStart())
        m_cursor->setBlockFormat(blockFormat);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            m_cursor->insertBlock(blockFormat, charFormat);
        if (!lines.at(i).isEmpty())
            m_cursor->insertText(lines.at(i), charFormat);
    }
}
