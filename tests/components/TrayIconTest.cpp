#include "app/components/Pictures.h"
#include "app/components/TrayIcon.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTest>

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void worksWithoutNotificationArea()
    {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            QSKIP("this desktop has a notification area");
        }
        const QIcon appIcon = ApplicationIcon();
        QApplication::setWindowIcon(appIcon);
        TJvTrayIcon tray;
        QCOMPARE(tray.Icon().cacheKey(), QApplication::windowIcon().cacheKey());
        QVERIFY(tray.Hint().isEmpty());

        tray.SetActive(true);
        QVERIFY(tray.Active());
        QVERIFY(!tray.Shown());

        // The animation follows the flags even with nowhere to show it.
        tray.SetAnimated(true);
        QVERIFY(tray.Animating());
        tray.SetActive(false);
        QVERIFY(!tray.Active());
        QVERIFY(tray.Animated());
        QVERIFY(!tray.Animating());
        tray.SetActive(true);
        QVERIFY(tray.Animating());
        tray.SetAnimated(false);
        QVERIFY(!tray.Animating());
        QVERIFY(tray.Active());
    }

    void fallsBackToTheProgramsIcon()
    {
        QApplication::setWindowIcon(QIcon());
        TJvTrayIcon tray;
        QVERIFY(!tray.Icon().isNull());
    }
};

QTEST_MAIN(TrayIconTest)
#include "TrayIconTest.moc"
