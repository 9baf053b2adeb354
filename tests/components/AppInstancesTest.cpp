#include "app/components/AppInstances.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// Only a guard against a hung probe: every wait returns as soon as its line arrives.
constexpr int ProbeTimeoutMs = 8000;

class Probe {
public:
    explicit Probe(const QString& program, const QStringList& arguments = {})
    {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~Probe()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(ProbeTimeoutMs);
        }
    }

    void Start() { process_.start(); }

    // Reads until `line` has been printed; false if the probe ended or hung before that.
    bool WaitForLine(const QString& line)
    {
        QDeadlineTimer deadline(ProbeTimeoutMs);
        for (;;) {
            output_ += QString::fromUtf8(process_.readAllStandardOutput());
            if (Lines().contains(line)) {
                return true;
            }
            if (deadline.hasExpired() || (process_.state() == QProcess::NotRunning && !process_.bytesAvailable())) {
                return false;
            }
            process_.waitForReadyRead(50);
        }
    }

    // Waits for the end; true if it exited normally with code 0.
    bool Finish()
    {
        const bool ended = process_.waitForFinished(ProbeTimeoutMs);
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        return ended && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

    void Kill()
    {
        process_.kill();
        process_.waitForFinished(ProbeTimeoutMs);  // reaps it, so its pid is really gone
    }

    QStringList Lines() const { return output_.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

private:
    QProcess process_;
    QString output_;
};

QString LockFileOf(const QString& program)
{
    return QDir(QDir::tempPath()).filePath(TJvAppInstances::InstanceKey(program) + QStringLiteral(".lock"));
}

}  // namespace

class AppInstancesTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        // A probe killed by an earlier failed run must not decide this one.
        QFile::remove(LockFileOf(QStringLiteral(INSTANCE_PROBE)));
    }

    void keyIgnoresCaseButNotThePath()
    {
        const QString key = TJvAppInstances::InstanceKey(QStringLiteral("/opt/Shop/Backup/tool"));
        QCOMPARE(TJvAppInstances::InstanceKey(QStringLiteral("/OPT/shop/backup/TOOL")), key);
        QCOMPARE(TJvAppInstances::InstanceKey(QStringLiteral("/opt/Shop/Other/../Backup/tool")), key);
        QVERIFY(TJvAppInstances::InstanceKey(QStringLiteral("/opt/Shop/Backup2/tool")) != key);
        QVERIFY(TJvAppInstances::InstanceKey(QStringLiteral("/opt/Shop/Backup/tool2")) != key);
    }

    void secondCopyHandsOverAndExits()
    {
        Probe first(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("--wait=%1").arg(ProbeTimeoutMs)});
        first.Start();
        QVERIFY(first.WaitForLine(QStringLiteral("first")));

        Probe second(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("alpha"), QStringLiteral("beta gamma")});
        second.Start();
        QVERIFY(second.Finish());
        QCOMPARE(second.Lines(), QStringList{QStringLiteral("second")});

        // The first copy quits after one hand-over, long before its wait is over.
        QVERIFY(first.Finish());
        QCOMPARE(first.Lines(), (QStringList{QStringLiteral("first"), QStringLiteral("args:alpha|beta gamma"),
                                             QStringLiteral("activated")}));
    }

    void pathsAreComparedWithoutCaseAndOtherPathsRun()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString lower = dir.filePath(QStringLiteral("shop/instance_probe"));
        const QString upper = dir.filePath(QStringLiteral("SHOP/instance_probe"));
        for (const QString& copy : {lower, upper}) {
            QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
            QVERIFY(QFile::copy(QStringLiteral(INSTANCE_PROBE), copy));
        }

        Probe original(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("--wait=%1").arg(ProbeTimeoutMs)});
        original.Start();
        QVERIFY(original.WaitForLine(QStringLiteral("first")));

        // Another folder: runs alongside the original.
        Probe elsewhere(lower, {QStringLiteral("--wait=%1").arg(ProbeTimeoutMs)});
        elsewhere.Start();
        QVERIFY(elsewhere.WaitForLine(QStringLiteral("first")));

        // The same folder spelt in other case (two files on this file system, one on Windows).
        Probe sameInOtherCase(upper, {QStringLiteral("x")});
        sameInOtherCase.Start();
        QVERIFY(sameInOtherCase.Finish());
        QCOMPARE(sameInOtherCase.Lines(), QStringList{QStringLiteral("second")});
        QVERIFY(elsewhere.Finish());
        QVERIFY(elsewhere.Lines().contains(QStringLiteral("args:x")));

        original.Kill();
        QCOMPARE(original.Lines(), QStringList{QStringLiteral("first")});
    }

    void copiesStartedTogetherHaveOneFirst()
    {
        constexpr int copies = 3;
        for (int round = 0; round < 3; ++round) {
            std::vector<std::unique_ptr<Probe>> probes;
            for (int i = 0; i < copies; ++i) {
                probes.push_back(std::make_unique<Probe>(
                    QStringLiteral(INSTANCE_PROBE),
                    QStringList{QStringLiteral("--wait=%1").arg(ProbeTimeoutMs),
                                QStringLiteral("--expect=%1").arg(copies - 1)}));
            }
            for (auto& probe : probes) {
                probe->Start();
            }
            int firsts = 0;
            int seconds = 0;
            for (auto& probe : probes) {
                QVERIFY(probe->Finish());
                firsts += probe->Lines().count(QStringLiteral("first"));
                seconds += probe->Lines().count(QStringLiteral("second"));
            }
            QCOMPARE(firsts, 1);
            QCOMPARE(seconds, copies - 1);
        }
    }

    void lockOfKilledCopyDoesNotBlock()
    {
        Probe crashed(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("--wait=%1").arg(ProbeTimeoutMs)});
        crashed.Start();
        QVERIFY(crashed.WaitForLine(QStringLiteral("first")));
        crashed.Kill();
        QVERIFY(QFile::exists(LockFileOf(QStringLiteral(INSTANCE_PROBE))));

        // The next copy is first and, despite the socket the killed one left, serves later ones.
        Probe next(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("--wait=%1").arg(ProbeTimeoutMs)});
        next.Start();
        QVERIFY(next.WaitForLine(QStringLiteral("first")));
        Probe later(QStringLiteral(INSTANCE_PROBE));
        later.Start();
        QVERIFY(later.Finish());
        QCOMPARE(later.Lines(), QStringList{QStringLiteral("second")});
        QVERIFY(next.Finish());
        QVERIFY(next.Lines().contains(QStringLiteral("activated")));
    }

    void lockWithoutOwnerDoesNotBlock()
    {
        // What a crash between creating the lock file and writing into it leaves.
        QFile empty(LockFileOf(QStringLiteral(INSTANCE_PROBE)));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();

        Probe next(QStringLiteral(INSTANCE_PROBE));
        next.Start();
        QVERIFY(next.Finish());
        QCOMPARE(next.Lines(), QStringList{QStringLiteral("first")});
    }
};

QTEST_GUILESS_MAIN(AppInstancesTest)
#include "AppInstancesTest.moc"
