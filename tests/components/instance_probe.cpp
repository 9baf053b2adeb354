// Runs the single-instance guard the way the program does, for the tests to start as real
// processes. Usage: instance_probe [--wait=MS] [--expect=N] [arguments to hand over...]
// Prints "first" or "second". A first copy then prints "args:<a|b|...>" and "activated" for
// each later copy and exits after N of them (default 1) or after MS milliseconds (default 0).
#include "app/components/AppInstances.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

void Say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

int Option(const QStringList& arguments, const QString& name, int fallback)
{
    for (const QString& argument : arguments) {
        if (argument.startsWith(name)) {
            return argument.mid(name.size()).toInt();
        }
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const int waitMs = Option(arguments, QStringLiteral("--wait="), 0);
    const int expected = Option(arguments, QStringLiteral("--expect="), 1);

    TJvAppInstances instances;
    int received = 0;
    QObject::connect(&instances, &TJvAppInstances::CmdLineReceived, [](const QStringList& handed) {
        Say(QStringLiteral("args:") + handed.join(QLatin1Char('|')));
    });
    instances.SetActivateHandler([&] {
        Say(QStringLiteral("activated"));
        if (++received >= expected) {
            app.quit();
        }
    });

    if (!instances.Check()) {
        Say(QStringLiteral("second"));
        return 0;
    }
    Say(QStringLiteral("first"));
    QTimer::singleShot(waitMs, &app, &QCoreApplication::quit);
    return app.exec();
}
