#include "DOCXExporter.h"

#include "ExportStaging.h"
#include "SSZipArchive.h"
#include "platform/rtf/RtfWriter.h"

#include <QDebug>

bool DOCXExporter::exportToFile(const QTextDocument& text, const QString& path) const
{
    ZWDocxWriter writer(text);
    const QByteArray document = writer.buildDocument();
    const QByteArray docRels = writer.media().isEmpty() ? QByteArray() : writer.buildDocRelationships();
    return writeXML(document, writer.buildContentTypes(), writer.buildRelationships(), docRels, writer.media(), path);
}

bool DOCXExporter::writeXML(const QByteArray& documentData, const QByteArray& contentTypesData,
                            const QByteArray& relsData, const QByteArray& docRelsData,
                            const QList<ZWDocxWriter::Media>& mediaFiles, const QString& path)
{
    const bool written = ExportStaging::produceFile(path, [&](const QString& staged) {
        SSZipArchive archive(staged);
        if (!archive.open())
            return false;
        // The content types come first, where readers that stream a package look for them.
        bool complete = archive.writeData(contentTypesData, ZWDocxWriter::ContentTypesPart) &&
                        archive.writeData(relsData, ZWDocxWriter::RelationshipsPart) &&
                        archive.writeData(documentData, ZWDocxWriter::DocumentPart);
        if (complete && !docRelsData.isEmpty())
            complete = archive.writeData(docRelsData, ZWDocxWriter::DocumentRelationshipsPart);
        for (const ZWDocxWriter::Media& media : mediaFiles) {
            if (!complete)
                break;
            QFuture<QByteArray> png = media.png.isValid() ? media.png : RtfWriter::pngDataLater(media.image);
            // PNG is deflated already: compressing it again costs time and saves nothing.
            complete =
                archive.writeData(png.result(), ZWDocxWriter::MediaFolder + media.fileName, SSZipArchive::StoredLevel);
        }
        return archive.close() && complete;
    });
    if (!written)
        qWarning().noquote() << QStringLiteral("Error creating docx: %1").arg(path);
    return written;
}
