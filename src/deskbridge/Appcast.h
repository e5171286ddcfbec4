#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace Deskbridge {

// An update feed: an RSS channel whose items each describe one release, its version on the enclosure
// (sparkle:version) and where to get it.
class Appcast {
public:
    static inline const QString SparkleNamespace =
        QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

    struct Item {
        QString title;
        // The version compared against the running one.
        QString version;
        // The version shown to people; the compared version when the feed gives none.
        QString displayVersion;
        QUrl downloadUrl;
        // The release's web page, or empty.
        QUrl infoUrl;

        // Where the writer is sent to get the release: its page when there is one, else the download.
        QUrl offeredPage() const { return infoUrl.isEmpty() ? downloadUrl : infoUrl; }
    };

    struct ParseResult {
        QList<Item> items;
        // Empty when the feed read cleanly.
        QString error;
    };

    // Reads every usable item. An item without a version, or whose links are not web addresses, is left
    // out: a feed must not be able to make the application open a local file or another program.
    static ParseResult parse(const QByteArray& data);
    // The item with the highest version, or nothing for an empty list.
    static std::optional<Item> newest(const QList<Item>& items);
};

} // namespace Deskbridge
