#include "SketchDrawingDocument.h"

#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "platform/Uuid.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkRenderer.h"
#include "platform/ink/InkWriter.h"
#include "platform/store/ManagedObjectContext.h"

#include <QBuffer>
#include <QTextDocument>

SketchDrawingDocument SketchDrawingDocument::fromCard(ManagedObjectContext* context, ProjectItem* item)
{
    SketchDrawingDocument document;
    if (!context || !item)
        return document;
    document.m_record = DbHelpers::getItemDocument(context, item->uniqueIdentifier());
    document.read(document.m_record ? document.m_record->content() : item->content());
    return document;
}

SketchDrawingDocument SketchDrawingDocument::fromData(const QByteArray& content)
{
    SketchDrawingDocument document;
    document.read(content);
    return document;
}

void SketchDrawingDocument::read(const QByteArray& content)
{
    if (content.isEmpty()) {
        m_status = LoadStatus::Empty;
        return;
    }
    InkDecodeResult result = InkReader::decode(content);
    if (result.error == InkDecodeError::NotInkData && isBlankRichText(content)) {
        m_status = LoadStatus::Empty;
        return;
    }
    m_error = result.error;
    m_status = result.ok() ? LoadStatus::Loaded : LoadStatus::Unreadable;
    if (result.ok())
        m_drawing = std::move(*result.drawing);
}

bool SketchDrawingDocument::isBlankRichText(const QByteArray& content)
{
    const std::unique_ptr<QTextDocument> text =
        AttributedStringArchive::decode(content, AttributedStringArchive::cardBodyClasses());
    return text && text->toPlainText().trimmed().isEmpty();
}

SketchDrawingDocument::SaveResult SketchDrawingDocument::save(ManagedObjectContext* context, ProjectItem* item,
                                                              const InkDrawing& drawing)
{
    if (!context || !item)
        return SaveResult::NoItem;
    if (m_status == LoadStatus::Unreadable)
        return SaveResult::KeptUnreadable;
    const std::optional<QByteArray> bytes = data(drawing);
    if (!bytes)
        return SaveResult::TooLarge;

    item->setItemFormat(ProjectItemFormats::Sketch);
    item->setFolderType(ProjectFolderTypes::Card);
    item->setSummary(QStringLiteral(""));
    item->setSummaryImage(summaryImageData(drawing));
    item->setWordCount(0);
    item->setCharCount(0);

    if (!m_record) {
        m_record = context->insertNew<ProjectItemDocument>();
        m_record->setUniqueIdentifier(Uuid::uuidString());
        m_record->setProjectId(item->projectId());
        m_record->setParentItemId(item->uniqueIdentifier());
    }
    m_record->setContent(*bytes);
    m_record->setMimetype(DocumentMimeTypes::Drawing);
    m_status = LoadStatus::Loaded;
    return SaveResult::Saved;
}

std::optional<QByteArray> SketchDrawingDocument::data(const InkDrawing& drawing)
{
    return InkWriter::encode(drawing);
}

QImage SketchDrawingDocument::boundsImage(const InkDrawing& drawing, qreal scale, qint64 maxPixels)
{
    InkRenderer::Options options;
    options.maxPixels = maxPixels;
    return InkRenderer::image(drawing, drawing.bounds(), scale, options);
}

QImage SketchDrawingDocument::summaryImage(const InkDrawing& drawing)
{
    return boundsImage(drawing, SummaryImageScale, SummaryMaxPixels);
}

QByteArray SketchDrawingDocument::summaryImageData(const InkDrawing& drawing)
{
    return pngData(summaryImage(drawing));
}

QImage SketchDrawingDocument::exportImage(const InkDrawing& drawing)
{
    return boundsImage(drawing, ExportImageScale, ExportMaxPixels);
}

QByteArray SketchDrawingDocument::exportImageData(const InkDrawing& drawing)
{
    return pngData(exportImage(drawing));
}

namespace {

// Qt's PNG quality 80 is zlib's compression level 1.
constexpr int QuickPngQuality = 80;

} // namespace

QByteArray SketchDrawingDocument::pngData(const QImage& image)
{
    if (image.isNull())
        return QByteArray();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // The fastest compression: a drawing of many coloured strokes hardly compresses, and the default effort
    // took as long as drawing the image; a sparse drawing still shrinks to little.
    if (!image.save(&buffer, "PNG", QuickPngQuality))
        return QByteArray();
    return png;
}
