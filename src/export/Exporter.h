#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Writes a text to a file in one export type. The base class writes nothing; each type's class overrides what
// it can produce. A file is only ever replaced once the new one is complete.
class Exporter {
public:
    virtual ~Exporter() = default;

    virtual QByteArray encodeAsData(const QTextDocument& text) const;
    virtual QString encodeAsString(const QTextDocument& text) const;
    // True when the file at path was written whole.
    virtual bool exportToFile(const QTextDocument& text, const QString& path) const;
};
