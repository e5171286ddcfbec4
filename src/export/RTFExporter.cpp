#include "RTFExporter.h"

#include "ExportPictures.h"
#include "ExportStaging.h"

QByteArray RTFExporter::encodeAsData(const QTextDocument& text) const
{
    return RtfWriter(RtfWriter::Pictures::Embedded, ExportPictures::lookupIn(text)).write(text).rtf;
}

QString RTFExporter::encodeAsString(const QTextDocument& text) const
{
    return QString::fromLatin1(encodeAsData(text));
}

bool RTFExporter::exportToFile(const QTextDocument& text, const QString& path) const
{
    return ExportStaging::writeFile(path, encodeAsData(text));
}
