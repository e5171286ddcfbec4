#include "Exporter.h"

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
