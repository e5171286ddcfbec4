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

// RTF with the pictures in place as PNG.
class RTFExporter : public Exporter {
public:
    QByteArray encodeAsData(const QTextDocument& text) const override;
    QString encodeAsString(const QTextDocument& text) const override;
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
};

// An RTFD package: a folder holding "TXT.rtf" and the pictures it names.
class RTFDExporter : public Exporter {
public:
    static inline const QString TextFileName = QStringLiteral("TXT.rtf");
    QByteArray encodeAsData(const QTextDocument& text) const override;
    QString encodeAsString(const QTextDocument& text) const override;
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
};

// UTF-8 text; attachment characters are left out.
class TextExporter : public Exporter {
public:
    QByteArray encodeAsData(const QTextDocument& text) const override;
    QString encodeAsString(const QTextDocument& text) const override;
    bool exportToFile(const QTextDocument& text, const QString& path) const override;
};

// A type with no writer: every export fails.
class PDFExporter : public Exporter {};
