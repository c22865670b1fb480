#include "app/InstanceChannel.h"

#include "app/OpenRequest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QtEndian>

#include <unistd.h>

namespace pavonia {

namespace {

constexpr int kHeaderBytes = 8;
// Paths are short; a longer request is not one of ours.
constexpr quint32 kMaxRequestBytes = 64 * 1024;
constexpr int kConnectMilliseconds = 2000;
constexpr int kWriteMilliseconds = 5000;
constexpr int kClaimLockMilliseconds = 10000;
const char* const kRequestLength = "pavoniaRequestLength";

QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

bool writeAll(QLocalSocket& socket, const QByteArray& bytes)
{
    if (socket.write(bytes) != bytes.size())
        return false;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kWriteMilliseconds))
            return false;
    return true;
}

} // namespace

QString instanceServerName(const std::string& installationFolder, unsigned userId)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(kApplicationIdentifier.data()),
                                qsizetype(kApplicationIdentifier.size())));
    hash.addData(QByteArray::number(userId));
    hash.addData(QByteArrayView("\n", 1));
    hash.addData(QByteArray::fromStdString(installationFolder));
    // Short enough for a socket path in any temporary folder.
    return QStringLiteral("pavonia-") + QString::fromLatin1(hash.result().toHex().left(24));
}

QString instanceServerName(const std::string& installationFolder)
{
    return instanceServerName(installationFolder, unsigned(::getuid()));
}

InstanceServer::InstanceServer(QString name, QObject* parent) : QObject(parent), name_(std::move(name))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer() { server_.close(); }

bool InstanceServer::claim()
{
    QLockFile lock(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
    lock.setStaleLockTime(kClaimLockMilliseconds);
    lock.tryLock(kClaimLockMilliseconds);
    // Whatever the lock said: a live listener on the name is the first
    // instance; without one, its socket file is what a dead one left.
    {
        QLocalSocket probe;
        probe.connectToServer(name_);
        if (probe.waitForConnected(kConnectMilliseconds)) {
            probe.abort();
            return false;
        }
    }
    QLocalServer::removeServer(name_);
    return server_.listen(name_);
}

void InstanceServer::setHandler(Handler handler)
{
    handler_ = std::move(handler);
    serveNext();
}

void InstanceServer::accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        readFrom(socket);
    }
}

void InstanceServer::readFrom(QLocalSocket* socket)
{
    if (socket->property(kRequestLength).isValid())
        return; // whole already, waiting its turn
    if (socket->bytesAvailable() < kHeaderBytes)
        return;
    const QByteArray header = socket->peek(kHeaderBytes);
    const quint32 length = qFromLittleEndian<quint32>(header.constData() + 4);
    if (length > kMaxRequestBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kHeaderBytes + qint64(length))
        return;
    socket->setProperty(kRequestLength, length);
    ready_.push_back(socket);
    serveNext();
}

void InstanceServer::serveNext()
{
    // Opening a project may show dialogs whose event loops deliver further
    // requests: those wait until this one is answered.
    if (serving_ || !handler_)
        return;
    serving_ = true;
    while (!ready_.empty()) {
        const QPointer<QLocalSocket> socket = ready_.front();
        ready_.pop_front();
        if (!socket)
            continue; // the sender went away
        const QByteArray header = socket->read(kHeaderBytes);
        const quint32 tag = qFromLittleEndian<quint32>(header.constData());
        const QByteArray body = socket->read(socket->property(kRequestLength).toUInt());
        const std::optional<std::string> path =
            decodeOpenRequest(tag, std::vector<std::uint8_t>(body.begin(), body.end()));
        const bool opened = path && handler_(*path);
        if (socket && socket->state() == QLocalSocket::ConnectedState) {
            socket->write(littleEndian32(opened ? 1 : 0));
            socket->flush();
            socket->disconnectFromServer();
        }
    }
    serving_ = false;
}

std::optional<bool> sendOpenRequest(const QString& name, const std::string& path)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectMilliseconds))
        return std::nullopt;
    const std::vector<std::uint8_t> data = encodeOpenRequest(path);
    QByteArray message = littleEndian32(kOpenRequestTag) + littleEndian32(quint32(data.size()));
    message.append(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    if (!writeAll(socket, message))
        return std::nullopt;
    // The request is answered once the project is open, however long that
    // takes (the first instance may be asking about unsaved changes).
    while (socket.bytesAvailable() < 4)
        if (!socket.waitForReadyRead(-1))
            break;
    if (socket.bytesAvailable() < 4)
        return std::nullopt;
    return qFromLittleEndian<quint32>(socket.read(4).constData()) == 1;
}

} // namespace pavonia
