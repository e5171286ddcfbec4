#include "FeedFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace Deskbridge {

FeedFetcher::FeedFetcher(QNetworkAccessManager* network, QObject* parent) : QObject(parent), m_network(network)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("The update feed did not answer in time.")); });
}

FeedFetcher::~FeedFetcher()
{
    drop();
}

void FeedFetcher::fetch(const QUrl& url, int timeoutMs, qint64 maximumBytes)
{
    drop();
    m_data.clear();
    m_maximumBytes = maximumBytes;
    QNetworkRequest request(url);
    // Stalls end early; the deadline below also ends an answer that trickles in forever.
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &FeedFetcher::checkAnnouncedSize);
    connect(m_reply, &QNetworkReply::readyRead, this, &FeedFetcher::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &FeedFetcher::complete);
    m_deadline.start(timeoutMs);
}

void FeedFetcher::checkAnnouncedSize()
{
    const QVariant length = m_reply ? m_reply->header(QNetworkRequest::ContentLengthHeader) : QVariant();
    if (length.isValid() && length.toLongLong() > m_maximumBytes)
        fail(QStringLiteral("The update feed is larger than %1 bytes.").arg(m_maximumBytes));
}

void FeedFetcher::readAvailable()
{
    if (!m_reply)
        return;
    // Never more than one byte past the limit is kept: enough to know the limit was passed.
    m_data += m_reply->read(m_maximumBytes + 1 - m_data.size());
    if (m_data.size() > m_maximumBytes)
        fail(QStringLiteral("The update feed is larger than %1 bytes.").arg(m_maximumBytes));
}

void FeedFetcher::complete()
{
    if (!m_reply)
        return;
    readAvailable();
    if (!m_reply)
        return;
    const QNetworkReply::NetworkError error = m_reply->error();
    const QString reason = m_reply->errorString();
    drop();
    if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        emit finished({}, QStringLiteral("The update feed did not answer in time."));
        return;
    }
    if (error != QNetworkReply::NoError) {
        emit finished({}, reason);
        return;
    }
    emit finished(m_data, QString());
}

void FeedFetcher::fail(const QString& error)
{
    if (!m_reply)
        return;
    drop();
    m_data.clear();
    emit finished({}, error);
}

void FeedFetcher::drop()
{
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

} // namespace Deskbridge
