#include "app/components/AppInstances.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QWidget>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// First field of every hand-over, so a stray connection is not taken for a later copy.
constexpr quint32 HandOverMagic = 0x54425631;
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;
// A hand-over is a short argument list; anything larger is not one of ours.
constexpr qint64 MaxHandOverBytes = 1 << 20;
constexpr int RetryPauseMs = 50;
constexpr int ConnectTimeoutMs = 500;

QByteArray CurrentUser()
{
#if defined(_WIN32)
    return qgetenv("USERDOMAIN") + '\\' + qgetenv("USERNAME");
#else
    return QByteArray::number(static_cast<qulonglong>(::getuid()));
#endif
}

}  // namespace

TJvAppInstances::TJvAppInstances(QObject* parent, QString executablePath)
    : QObject(parent), key_(InstanceKey(executablePath))
{
}

TJvAppInstances::~TJvAppInstances()
{
    // Stop serving before giving up the lock, so no later copy talks to a dying server.
    if (server_ != nullptr) {
        server_->close();
    }
    if (lock_) {
        lock_->unlock();
    }
}

QString TJvAppInstances::InstanceKey(const QString& executablePath)
{
    const QFileInfo info(executablePath);
    QString path = info.canonicalFilePath();
    if (path.isEmpty()) {
        path = QDir::cleanPath(info.absoluteFilePath());
    }
    path = QDir::fromNativeSeparators(path).toCaseFolded();
    // The key includes the user: /tmp is shared on Linux and pipe names are global on Windows.
    const QByteArray identity = path.toUtf8() + '\n' + CurrentUser();
    const QByteArray digest = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex();
    return QStringLiteral("tarvix-backup-") + QString::fromLatin1(digest.left(32));
}

void TJvAppInstances::SetActivateHandler(std::function<void()> handler)
{
    activate_ = std::move(handler);
}

void TJvAppInstances::RestoreAndRaise(QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
    }
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

bool TJvAppInstances::Check()
{
    return Check(QCoreApplication::arguments().mid(1));
}

bool TJvAppInstances::Check(const QStringList& arguments)
{
    if (result_ >= 0) {
        return result_ == 1;
    }
    lock_ = std::make_unique<QLockFile>(QDir(QDir::tempPath()).filePath(key_ + QStringLiteral(".lock")));
    // No age limit: the first copy holds the lock for as long as it runs, possibly weeks. A
    // lock is stale only when its owner's process is gone, which QLockFile checks by pid.
    lock_->setStaleLockTime(0);

    // Loop because the first copy may own the lock but not listen yet, or may just be exiting.
    const QDeadlineTimer deadline(HandOverTimeoutMs);
    for (;;) {
        if (TryLock()) {
            Listen();
            result_ = 1;
            return true;
        }
        if (HandOver(arguments)) {
            break;
        }
        if (deadline.hasExpired()) {
            qWarning("Another copy holds %s but does not answer; not starting.",
                     qPrintable(key_ + QStringLiteral(".lock")));
            break;
        }
        QThread::msleep(RetryPauseMs);
    }
    lock_.reset();
    result_ = 0;
    return false;
}

bool TJvAppInstances::TryLock()
{
    if (lock_->tryLock(0)) {
        return true;
    }
    qint64 pid = 0;
    QString host;
    QString app;
    if (lock_->error() == QLockFile::LockFailedError && !lock_->getLockInfo(&pid, &host, &app)) {
        // A lock file without an owner in it (a crash while it was being written) is never
        // stale to QLockFile. Removing it fails while some process still holds it locked.
        if (lock_->removeStaleLockFile()) {
            return lock_->tryLock(0);
        }
    }
    return false;
}

bool TJvAppInstances::Listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed copy would make listen() fail; holding the lock means
    // nobody else is using it.
    QLocalServer::removeServer(key_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            Serve(socket);
        }
    });
    if (!server_->listen(key_)) {
        qWarning("Cannot listen for later copies on %s: %s", qPrintable(key_),
                 qPrintable(server_->errorString()));
        return false;
    }
    return true;
}

void TJvAppInstances::Serve(QLocalSocket* socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        QDataStream in(socket);
        in.setVersion(StreamVersion);
        in.startTransaction();
        quint32 magic = 0;
        QStringList arguments;
        in >> magic >> arguments;
        if (!in.commitTransaction()) {
            if (in.status() == QDataStream::ReadCorruptData || socket->bytesAvailable() > MaxHandOverBytes) {
                socket->abort();
            }
            return;  // incomplete: wait for the rest
        }
        if (magic != HandOverMagic) {
            socket->abort();
            return;
        }
        // Acknowledge first, so the later copy can exit while we bring the window up.
        socket->write("\x01", 1);
        socket->flush();
        socket->disconnectFromServer();
        emit CmdLineReceived(arguments);
        emit ActivateRequested();
        if (activate_) {
            activate_();
        }
    });
}

bool TJvAppInstances::HandOver(const QStringList& arguments)
{
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(ConnectTimeoutMs)) {
        return false;
    }
#if defined(_WIN32)
    // Windows lets only the process the user just started take the foreground; pass that on.
    AllowSetForegroundWindow(ASFW_ANY);
#endif
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out.setVersion(StreamVersion);
        out << HandOverMagic << arguments;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(ConnectTimeoutMs) && socket.bytesToWrite() > 0) {
        return false;
    }
    // Connected and sent: the first copy is there, so we must not retry (that would hand over
    // twice). The acknowledgement only keeps us alive until the message has been read.
    QDeadlineTimer ack(HandOverTimeoutMs);
    while (socket.bytesAvailable() == 0 && socket.state() == QLocalSocket::ConnectedState &&
           !ack.hasExpired()) {
        socket.waitForReadyRead(static_cast<int>(ack.remainingTime()));
    }
    return true;
}
