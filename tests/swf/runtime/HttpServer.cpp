#include "HttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace swf::test {

HttpServer::HttpServer(QByteArray body, Mode mode, qsizetype heldAfter)
    : body_(std::move(body))
    , mode_(mode)
    , heldAfter_(heldAfter)
{
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, &HttpServer::answer);
}

QUrl HttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void HttpServer::answer()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            // Answer once the request head is complete.
            if (!socket->peek(64 * 1024).contains("\r\n\r\n") || socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            ++requests_;
            if (mode_ == Mode::Hang)
                return;
            if (mode_ == Mode::NotFound) {
                socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
                return;
            }
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/x-shockwave-flash\r\nContent-Length: "
                + QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n");
            if (mode_ == Mode::Held) {
                socket->write(body_.left(heldAfter_));
                held_ << socket;
                return;
            }
            // Three pieces, a little apart.
            const qsizetype piece = body_.size() / 3 + 1;
            for (int i = 0; i < 3; ++i) {
                QTimer::singleShot(
                    150 * i, socket, [socket, chunk = body_.mid(i * piece, piece), last = i == 2] {
                        socket->write(chunk);
                        if (last)
                            socket->disconnectFromHost();
                    });
            }
        });
    }
}

void HttpServer::release()
{
    for (const QPointer<QTcpSocket>& socket : held_) {
        if (!socket)
            continue;
        socket->write(body_.mid(heldAfter_));
        socket->disconnectFromHost();
    }
    held_.clear();
}

} // namespace swf::test
