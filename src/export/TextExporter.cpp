#include "TextExporter.h"

#include "ExportStaging.h"
#include "XmlText.h"

#include <QTextDocument>

namespace {

constexpr char16_t ObjectReplacement = 0xFFFC;

} // namespace

QString TextExporter::encodeAsString(const QTextDocument& text) const
{
    QString plain = text.toPlainText();
    plain.remove(QChar(ObjectReplacement));
    // Control characters and non-characters are what XML forbids too: no text format should carry them.
    return XmlText::sanitized(plain);
}

QByteArray TextExporter::encodeAsData(const QTextDocument& text) const
{
    return encodeAsString(text).toUtf8();
}

bool TextExporter::exportToFile(const QTextDocument& text, const QString& path) const
{
    return ExportStaging::writeFile(path, encodeAsData(text));
}
