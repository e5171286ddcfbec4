#include "Exporter.h"

#include "ExportPictures.h"
#include "ExportStaging.h"
#include "XmlText.h"

#include <QDir>
#include <QTextDocument>

namespace {

constexpr char16_t ObjectReplacement = 0xFFFC;

} // namespace

QByteArray Exporter::encodeAsData(const QTextDocument& text) const
{
    Q_UNUSED(text);
    return {};
}

QString Exporter::encodeAsString(const QTextDocument& text) const
{
    Q_UNUSED(text);
    return {};
}

bool Exporter::exportToFile(const QTextDocument& text, const QString& path) const
{
    Q_UNUSED(text);
    Q_UNUSED(path);
    return false;
}

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
        const QDir dir(folder);
        if (!ExportStaging::writeFile(dir.filePath(TextFileName), result.rtf))
            return false;
        for (const QString& name : result.pictureNames) {
            if (!ExportStaging::writeFile(dir.filePath(name), RtfWriter::pngData(result.pictures.value(name))))
                return false;
        }
        return true;
    });
}

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
