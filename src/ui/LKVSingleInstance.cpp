#include "ui/LKVSingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <unistd.h>

#include "core/LSettings.h"

namespace {

constexpr int kTimeoutMs = 3000;
constexpr char kAck = 'k';

} // namespace

QString LKVSingleInstance::ServerPath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    // One instance per settings home: a test's own KELVANE_HOME is another editor.
    const QByteArray home = QByteArray::fromStdString(LSettings::DataHome());
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(12));
    return dir + QStringLiteral("/kelvane-%1-%2.socket").arg(::getuid()).arg(hash);
}

LKVSingleInstance::LKVSingleInstance(QObject* parent) : QObject(parent) {}

LKVSingleInstance::~LKVSingleInstance()
{
    if (server_)
        server_->close();
}

bool LKVSingleInstance::HandOver(const LKVForward& forward)
{
    const QString path = ServerPath();
    lock_ = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock_->setStaleLockTime(10000);
    lock_->tryLock(kTimeoutMs);

    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(kTimeoutMs)) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << qint32(forward.message) << QString::fromStdString(forward.argument);
        socket.write(bytes);
        socket.flush();
        // The first instance answers once it has the message; then it is safe to end.
        while (socket.bytesAvailable() == 0 && socket.waitForReadyRead(kTimeoutMs)) {
        }
        socket.disconnectFromServer();
        lock_.reset();
        return true;
    }
    // No one answers: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &LKVSingleInstance::Accept);
    server_->listen(path);
    return false;
}

void LKVSingleInstance::Ready() { lock_.reset(); }

void LKVSingleInstance::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            qint32 message = 0;
            QString argument;
            in >> message >> argument;
            if (!in.commitTransaction())
                return;  // wait for the rest
            socket->disconnect(this);
            socket->write(&kAck, 1);
            socket->flush();
            // The message runs from the event loop, after this handler has
            // returned: opening a file runs a job that processes events, and
            // the other instance, which ends once it has the answer, would
            // have its socket deleted under this handler's feet.
            QTimer::singleShot(0, this, [this, message, argument] { emit messageReceived(int(message), argument); });
        });
    }
}
