#pragma once

// An HTTP/1.1 server on 127.0.0.1 serving archives under the organiser's layout
// (`PREFIX/K/YYYYMM/kYYMMDD.lzh`, `PREFIX/B/YYYYMM/bYYMMDD.lzh`) from folders, one request
// a connection. A path can be given a script of answers (an error status, a stalled or
// cut-short body, an HTML page, a redirect); once its script is used up it is served as
// the folders have it, or answered 404. Every request is recorded with the time it came.

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <optional>

namespace archiveserver {

struct Answer final {
    enum class Kind { Status, Stall, CutShort, Truncated, Html, Redirect, Slow };
    Kind kind = Kind::Status;
    int status = 500;
    QByteArray location; ///< for a redirect
    int chunkDelayMs = 0; ///< for a slow body: the wait between chunks of 4 KiB
};

struct Request final {
    QByteArray path;
    QByteArray userAgent;
    qint64 atMs = 0; ///< since the server started
};

class ArchiveServer final : public QTcpServer {
public:
    /// Serves `results` under K/ and `programmes` under B/, below `prefix` (as "/od2").
    ArchiveServer(QString results, QString programmes, QByteArray prefix = "/od2")
        : m_results(std::move(results))
        , m_programmes(std::move(programmes))
        , m_prefix(std::move(prefix))
    {
        m_clock.start();
        connect(this, &QTcpServer::newConnection, this, &ArchiveServer::onConnection);
    }

    bool start() { return listen(QHostAddress::LocalHost, 0); }
    QString source() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(serverPort())
            + QString::fromLatin1(m_prefix);
    }
    /// The path of an archive below the prefix, as "/od2/K/202001/k200101.lzh".
    QByteArray pathOf(char kind, const QDate &date) const
    {
        const char lower = char(kind | 0x20);
        return m_prefix + '/' + kind + '/' + date.toString(QStringLiteral("yyyyMM")).toLatin1()
            + '/' + lower + date.toString(QStringLiteral("yyMMdd")).toLatin1() + ".lzh";
    }
    void script(const QByteArray &path, QList<Answer> answers) { m_scripts[path] = answers; }
    /// Every path without a script of its own is answered this way.
    void scriptAll(const Answer &answer) { m_always = answer; }
    QList<Request> requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    void onConnection()
    {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void onRead(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        m_buffers.remove(socket);
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        Request request;
        request.path = lines.value(0).split(' ').value(1);
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("user-agent:"))
                request.userAgent = line.mid(11).trimmed();
        }
        request.atMs = m_clock.elapsed();
        m_requests.append(request);
        answer(socket, request.path);
    }

    QByteArray body(const QByteArray &path) const
    {
        if (!path.startsWith(QByteArray(m_prefix + '/')))
            return {};
        // Any path below the prefix ending in an archive's name serves it (so that a
        // redirect can point elsewhere).
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        const QString folder = name.startsWith('k') ? m_results
            : name.startsWith('b')                  ? m_programmes
                                                    : QString();
        if (folder.isEmpty() || name.contains(".."))
            return {};
        QFile file(folder + u'/' + QString::fromLatin1(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void send(QTcpSocket *socket, int status, const QByteArray &headers,
        const QByteArray &content, qint64 length = -1)
    {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nConnection: close\r\n"
            + headers + "Content-Length: "
            + QByteArray::number(length < 0 ? content.size() : length) + "\r\n\r\n" + content);
    }

    void answer(QTcpSocket *socket, const QByteArray &path)
    {
        QList<Answer> &queue = m_scripts[path];
        const std::optional<Answer> scripted
            = !queue.isEmpty() ? std::optional<Answer>(queue.takeFirst()) : m_always;
        const QByteArray archive = body(path);
        if (!scripted) {
            if (archive.isEmpty())
                send(socket, 404, {}, "not found");
            else
                send(socket, 200, "Content-Type: application/octet-stream\r\n", archive);
            socket->disconnectFromHost();
            return;
        }
        switch (scripted->kind) {
        case Answer::Kind::Status:
            send(socket, scripted->status, {}, "error");
            break;
        case Answer::Kind::Stall: // headers and a part, then nothing more
            send(socket, 200, {}, archive.left(archive.size() / 2), archive.size());
            return;
        case Answer::Kind::CutShort: // a length promised, half of it sent
            send(socket, 200, {}, archive.left(archive.size() / 2), archive.size());
            break;
        case Answer::Kind::Truncated: // half an archive, the length saying it is all
            send(socket, 200, {}, archive.left(archive.size() / 2));
            break;
        case Answer::Kind::Html:
            send(socket, 200, "Content-Type: text/html\r\n",
                "<html><body>Service unavailable</body></html>");
            break;
        case Answer::Kind::Redirect:
            send(socket, 302, "Location: " + scripted->location + "\r\n", {});
            break;
        case Answer::Kind::Slow:
            sendSlowly(socket, archive, scripted->chunkDelayMs);
            return;
        }
        socket->disconnectFromHost();
    }

    void sendSlowly(QTcpSocket *socket, const QByteArray &archive, int delayMs)
    {
        if (archive.isEmpty()) {
            send(socket, 404, {}, "not found");
            socket->disconnectFromHost();
            return;
        }
        send(socket, 200, {}, {}, archive.size());
        auto *timer = new QTimer(socket);
        auto offset = std::make_shared<qsizetype>(0);
        QPointer<QTcpSocket> guarded(socket);
        connect(timer, &QTimer::timeout, socket, [guarded, timer, archive, offset] {
            if (!guarded)
                return;
            guarded->write(archive.mid(*offset, 4096));
            *offset += 4096;
            if (*offset >= archive.size()) {
                timer->stop();
                guarded->disconnectFromHost();
            }
        });
        timer->start(delayMs);
    }

    QString m_results;
    QString m_programmes;
    QByteArray m_prefix;
    QHash<QByteArray, QList<Answer>> m_scripts;
    std::optional<Answer> m_always;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<Request> m_requests;
    QElapsedTimer m_clock;
};

} // namespace archiveserver
