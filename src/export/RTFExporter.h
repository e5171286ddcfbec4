#pragma once

#include "Exporter.h"

// RTF with the pictures in place as PNG.
class RTFExporter : public Exporter {
public:
    QByteArray encodeAsData(const QTextDocument& text) const override;
    QString encodeAsString(const QTextDocument& text) const override;
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
};
