#include "AttributedStringExport.h"

#include "DOCXExporter.h"
#include "Exporter.h"
#include "PDFExporter.h"
#include "RTFDExporter.h"
#include "RTFExporter.h"
#include "TextExporter.h"

std::unique_ptr<Exporter> AttributedStringExport::exporterFor(int type)
{
    switch (type) {
    case RTF:
        return std::make_unique<RTFExporter>();
    case RTFD:
        return std::make_unique<RTFDExporter>();
    case Text:
        return std::make_unique<TextExporter>();
    case PDF:
        return std::make_unique<PDFExporter>();
    case DOCX:
        return std::make_unique<DOCXExporter>();
    default:
        return nullptr;
    }
}

bool AttributedStringExport::exportDataToFile(const QTextDocument& text, const QString& path, int type)
{
    const std::unique_ptr<Exporter> exporter = exporterFor(type);
    return exporter && exporter->exportToFile(text, path);
}
