#include "app/ShowChannel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// A request: the title's bytes, length first; the answer one byte.
constexpr char kShown = 'y';
constexpr char kNotFound = 'n';
constexpr int kMaxTitleBytes = 1 << 20;

} // namespace

QString ShowChannelName(const std::string& folder) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray(folder.data(), static_cast<qsizetype>(folder.size())),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return dir + QStringLiteral("/tindrel-") + QString::fromLatin1(hash);
}

CShowServer::CShowServer(std::function<bool(const std::string& title)> show, QObject* parent)
    : QObject(parent), m_show(std::move(show)) {}

CShowServer::~CShowServer() {
    if (m_server)
        m_server->close();
}

bool CShowServer::Listen(const std::string& folder) {
    const QString name = ShowChannelName(folder);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        // Left behind by a window that ended without closing it, or in use by one that runs.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500))
            return false;
        QLocalServer::removeServer(name);
        if (!m_server->listen(name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &CShowServer::OnConnection);
    return true;
}

void CShowServer::OnConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            qint32 size = 0;
            in >> size;
            if (in.status() != QDataStream::Ok) {
                in.rollbackTransaction(); // the rest comes later
                return;
            }
            if (size < 0 || size > kMaxTitleBytes) {
                socket->abort();
                return;
            }
            QByteArray title(size, Qt::Uninitialized);
            if (in.readRawData(title.data(), size) != size) {
                in.rollbackTransaction();
                return;
            }
            in.commitTransaction();
            const bool shown = m_show(std::string(title.constData(), static_cast<size_t>(title.size())));
            socket->write(shown ? &kShown : &kNotFound, 1);
            socket->flush();
        });
    }
}

ShowAnswer AskWindowToShow(const std::string& folder, const std::string& title, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ShowChannelName(folder));
    if (!socket.waitForConnected(timeoutMs))
        return ShowAnswer::NoWindow;
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << static_cast<qint32>(title.size());
    out.writeRawData(title.data(), static_cast<int>(title.size()));
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMs) && socket.bytesToWrite() > 0)
        return ShowAnswer::NoWindow;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs))
            return ShowAnswer::NoWindow;
    char answer = 0;
    socket.read(&answer, 1);
    return answer == kShown ? ShowAnswer::Shown : ShowAnswer::NotFound;
}
