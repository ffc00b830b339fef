#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace swf::test {

// A one-file web server on 127.0.0.1 for load tests. Each request gets the same answer:
// the body with a Content-Length, sent in three pieces 150 ms apart so that progress is
// seen between them (Qt reports download progress at most every 100 ms); or a status
// line alone; or nothing at all, to stand for a server that hangs; or, Held, the first
// `heldAfter` bytes of the body at once and the rest only when the test calls release().
class HttpServer : public QObject {
public:
    enum class Mode { Serve, NotFound, Hang, Held };

    explicit HttpServer(QByteArray body, Mode mode = Mode::Serve, qsizetype heldAfter = 0);
    QUrl url(const QString& path = QStringLiteral("/movie.swf")) const;
    int requests() const { return requests_; }
    // Held: sends the rest of the body and ends the answer.
    void release();

private:
    void answer();

    QTcpServer server_;
    QByteArray body_;
    Mode mode_;
    qsizetype heldAfter_;
    int requests_ = 0;
    QList<QPointer<QTcpSocket>> held_;
};

} // namespace swf::test
