#include "Appcast.h"

#include "VersionComparator.h"

#include <QXmlStreamReader>

namespace Deskbridge {

namespace {

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"https" || scheme == u"http");
}

bool isSparkle(const QXmlStreamReader& reader, QStringView name)
{
    return reader.namespaceUri() == Appcast::SparkleNamespace && reader.name() == name;
}

void readEnclosure(const QXmlStreamReader& reader, Appcast::Item& item)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    item.downloadUrl = QUrl(attributes.value(QStringLiteral("url")).toString().trimmed());
    const QString version = attributes.value(Appcast::SparkleNamespace, QStringLiteral("version")).toString().trimmed();
    if (!version.isEmpty())
        item.version = version;
    const QString shown =
        attributes.value(Appcast::SparkleNamespace, QStringLiteral("shortVersionString")).toString().trimmed();
    if (!shown.isEmpty())
        item.displayVersion = shown;
}

Appcast::Item readItem(QXmlStreamReader& reader)
{
    Appcast::Item item;
    while (reader.readNextStartElement()) {
        if (reader.name() == u"enclosure" && reader.namespaceUri().isEmpty()) {
            readEnclosure(reader, item);
            reader.skipCurrentElement();
        } else if (reader.name() == u"title" && reader.namespaceUri().isEmpty()) {
            item.title = reader.readElementText().trimmed();
        } else if (reader.name() == u"link" && reader.namespaceUri().isEmpty()) {
            item.infoUrl = QUrl(reader.readElementText().trimmed());
        } else if (isSparkle(reader, u"version")) {
            item.version = reader.readElementText().trimmed();
        } else if (isSparkle(reader, u"shortVersionString")) {
            item.displayVersion = reader.readElementText().trimmed();
        } else {
            reader.skipCurrentElement();
        }
    }
    if (item.displayVersion.isEmpty())
        item.displayVersion = item.version;
    return item;
}

bool usable(Appcast::Item& item)
{
    if (!item.infoUrl.isEmpty() && !isWebAddress(item.infoUrl))
        item.infoUrl.clear();
    if (!item.downloadUrl.isEmpty() && !isWebAddress(item.downloadUrl))
        item.downloadUrl.clear();
    return !item.version.isEmpty() && !item.offeredPage().isEmpty();
}

} // namespace

Appcast::ParseResult Appcast::parse(const QByteArray& data)
{
    ParseResult result;
    QXmlStreamReader reader(data);
    QString root;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && root.isEmpty())
            root = reader.name().toString();
        if (reader.isStartElement() && reader.name() == u"item") {
            Item item = readItem(reader);
            if (usable(item))
                result.items.append(item);
        }
    }
    if (reader.hasError())
        result.error = reader.errorString();
    else if (root != u"rss")
        result.error = QStringLiteral("The feed is not an RSS feed.");
    return result;
}

std::optional<Appcast::Item> Appcast::newest(const QList<Item>& items)
{
    std::optional<Item> best;
    for (const Item& item : items) {
        if (!best || VersionComparator::compare(item.version, best->version) > 0)
            best = item;
    }
    return best;
}

} // namespace Deskbridge
