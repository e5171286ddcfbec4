#include "ArchiveValues.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

QString ArchiveValues::dateText(const QDateTime& date)
{
    const double seconds = double(date.toMSecsSinceEpoch()) / 1000.0;
    char text[64];
    const auto result = std::to_chars(std::begin(text), std::end(text), seconds, std::chars_format::fixed);
    QString written = QString::fromLatin1(text, result.ptr - text);
    if (!written.contains(QLatin1Char('.')))
        written += QStringLiteral(".0");
    return written;
}

std::optional<double> ArchiveValues::decimal(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    // "1e400" overflows to infinity; only finite values inside the calendar count.
    if (!ok || !std::isfinite(value) || value < EarliestSeconds || value > LatestSeconds)
        return std::nullopt;
    return value;
}

QDateTime ArchiveValues::date(const QJsonObject& object, const QString& key, const QDateTime& now)
{
    if (!object.contains(key))
        return now;
    const std::optional<double> seconds = decimal(object.value(key).toString());
    return QDateTime::fromMSecsSinceEpoch(seconds ? qint64(std::llround(*seconds * 1000.0)) : 0, Qt::UTC);
}

qint64 ArchiveValues::integer(const QJsonObject& object, const QString& key)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    const QString text = object.value(key).toString();
    if (!pattern.match(text).hasMatch())
        return 0;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? value : 0;
}

std::optional<QString> ArchiveValues::string(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<QByteArray> ArchiveValues::base64(const QString& text)
{
    auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || text.size() % 4 != 0)
        return std::nullopt;
    return *decoded;
}

bool ArchiveValues::allStrings(const QJsonObject& object)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return false;
    }
    return true;
}
