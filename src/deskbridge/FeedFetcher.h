#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;

namespace Deskbridge {

// Fetches one update feed with a deadline and a size limit, so that a slow, endless or oversized answer can
// neither hang the check nor fill the memory.
class FeedFetcher : public QObject {
    Q_OBJECT

public:
    explicit FeedFetcher(QNetworkAccessManager* network, QObject* parent = nullptr);
    ~FeedFetcher() override;

    // Starts fetching url; a fetch still running is dropped. finished() follows exactly once per fetch.
    void fetch(const QUrl& url, int timeoutMs, qint64 maximumBytes);
    bool isFetching() const { return m_reply != nullptr; }

signals:
    // error is empty on success; data is then the whole body.
    void finished(const QByteArray& data, const QString& error);

private:
    void readAvailable();
    void checkAnnouncedSize();
    void fail(const QString& error);
    void complete();
    void drop();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_data;
    qint64 m_maximumBytes = 0;
};

} // namespace Deskbridge
