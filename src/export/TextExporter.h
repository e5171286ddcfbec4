#pragma once

#include "Exporter.h"

// UTF-8 text; attachment characters are left out.
class TextExporter : public Exporter {
public:
    QByteArray encodeAsData(const QTextDocument& text) const override;
    QString encodeAsString(const QTextDocument& text) const override;
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
};
