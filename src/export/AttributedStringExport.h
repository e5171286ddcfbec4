#pragma once

#include <QString>
#include <memory>

class Exporter;
class QTextDocument;

// The export types a caller names by number, and the one entry point that writes a text in one of them.
class AttributedStringExport {
public:
    enum ExportType {
        RTF = 0,
        RTFD = 1,
        Text = 2,
        // No writer exists for it: an export of this type fails.
        PDF = 3,
        DOCX = 4,
    };

    // The exporter of a type, or nullptr for a number outside 0 to 4.
    static std::unique_ptr<Exporter> exporterFor(int type);
    // Writes text to path in type; false for an unknown type, for PDF and for a failed write.
    static bool exportDataToFile(const QTextDocument& text, const QString& path, int type);
};
