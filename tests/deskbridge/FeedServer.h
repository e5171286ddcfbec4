#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

// A feed served on the loopback interface, answering every request the same way.
class FeedServer : public QObject {
public:
    enum class Mode { Answer, Silent, Trickle };

    explicit FeedServer(Mode mode = Mode::Answer, QByteArray body = {}, bool announceLength = true)
        : m_mode(mode), m_body(std::move(body)), m_announceLength(announceLength)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                serve(socket);
        });
        m_trickle.setInterval(50);
        connect(&m_trickle, &QTimer::timeout, this, [this] {
            for (const QPointer<QTcpSocket>& socket : std::as_const(m_sockets)) {
                if (socket)
                    socket->write("<");
            }
        });
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(m_server.serverPort())); }
    int requests() const { return m_requests; }

private:
    void serve(QTcpSocket* socket)
    {
        m_sockets << socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            ++m_requests;
            if (m_mode == Mode::Silent)
                return;
            QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\n";
            if (m_announceLength && m_mode == Mode::Answer)
                head += "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
            head += "Connection: close\r\n\r\n";
            socket->write(head);
            if (m_mode == Mode::Trickle) {
                m_trickle.start();
                return;
            }
            socket->write(m_body);
            socket->disconnectFromHost();
        });
    }

    Mode m_mode;
    QByteArray m_body;
    bool m_announceLength;
    QTcpServer m_server;
    QTimer m_trickle;
    QList<QPointer<QTcpSocket>> m_sockets;
    int m_requests = 0;
};
