#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QWidget;

// Lets one copy of the program run per executable path and user; the path is compared
// without regard to case. A lock file in the temporary folder decides which copy is first
// (so two copies started together cannot both win, and a lock left by a crashed copy is
// taken over once its process is gone); the first copy then listens on a local socket through
// which later copies hand over their arguments and ask it to come to the front.
//
//   TJvAppInstances instances;
//   instances.SetActivateHandler([&] { TJvAppInstances::RestoreAndRaise(&window); });
//   if (!instances.Check()) return 0;
class TJvAppInstances : public QObject {
    Q_OBJECT

public:
    // How long a later copy keeps trying to reach the first one (which may still be starting)
    // before it gives up; it does not start in either case.
    static constexpr int HandOverTimeoutMs = 5000;

    explicit TJvAppInstances(QObject* parent = nullptr,
                             QString executablePath = QCoreApplication::applicationFilePath());
    ~TJvAppInstances() override;

    // True: this is the first copy; it now holds the lock and serves later copies until
    // destroyed. False: another copy is running and has been given our arguments (those after
    // the program name) and asked to come to the front; the caller should exit.
    // Blocks for at most HandOverTimeoutMs. Later calls return the first call's answer.
    bool Check();
    bool Check(const QStringList& arguments);

    // Called in the first copy, after CmdLineReceived, each time a later copy starts.
    void SetActivateHandler(std::function<void()> handler);

    // A handler for the common case: un-minimises the window, shows it, raises it and
    // gives it the focus.
    static void RestoreAndRaise(QWidget* window);

    // The name shared by the lock file and the local socket of every copy started from
    // executablePath by the current user.
    static QString InstanceKey(const QString& executablePath);

signals:
    void CmdLineReceived(const QStringList& arguments);
    void ActivateRequested();

private:
    bool TryLock();
    bool Listen();
    bool HandOver(const QStringList& arguments);
    void Serve(QLocalSocket* socket);

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    std::function<void()> activate_;
    int result_ = -1;  // -1 not checked yet, else the answer of Check()
};
