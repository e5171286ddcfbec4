#include "RTFDExporter.h"

#include "ExportPictures.h"
#include "ExportStaging.h"
#include "FilePaths.h"

#include <QDir>

QByteArray RTFDExporter::encodeAsData(const QTextDocument& text) const
{
    // The flat form has no place for picture files: the text alone.
    return RtfWriter(RtfWriter::Pictures::Omitted, {}).write(text).rtf;
}

QString RTFDExporter::encodeAsString(const QTextDocument& text) const
{
    return QString::fromUtf8(encodeAsData(text));
}

bool RTFDExporter::exportToFile(const QTextDocument& text, const QString& path) const
{
    const RtfWriter::Result result =
        RtfWriter(RtfWriter::Pictures::Referenced, ExportPictures::lookupIn(text)).write(text);
    return ExportStaging::produceFolder(path, [&result](const QString& folder) {
        if (!ExportStaging::writeFile(FilePaths::child(folder, TextFileName), result.rtf))
            return false;
        for (const QString& name : result.pictureNames) {
            if (!ExportStaging::writeFile(FilePaths::child(folder, name),
                                          RtfWriter::pngData(result.pictures.value(name))))
                return false;
        }
        return true;
    });
}
