#pragma once

#include "Exporter.h"
#include "ZWDocxWriter.h"

// A DOCX package: the parts of ZWDocxWriter zipped straight from memory into a file beside the target, which
// replaces the target only once the archive is closed.
class DOCXExporter : public Exporter {
public:
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
    // Packs the parts into path; docRelsData may be empty when there are no pictures.
    static bool writeXML(const QByteArray& documentData, const QByteArray& contentTypesData, const QByteArray& relsData,
                         const QByteArray& docRelsData, const QList<ZWDocxWriter::Media>& mediaFiles,
                         const QString& path);
};
