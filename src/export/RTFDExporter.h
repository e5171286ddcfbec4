#pragma once

#include "Exporter.h"

// An RTFD package: a folder holding "TXT.rtf" and the pictures it names.
class RTFDExporter : public Exporter {
public:
    static inline const QString TextFileName = QStringLiteral("TXT.rtf");
    QByteArray encodeAsData(const QTextDocument& text) const override;
    QString encodeAsString(const QTextDocument& text) const override;
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
};
