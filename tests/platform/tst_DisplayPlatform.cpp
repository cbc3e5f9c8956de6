#include "platform/DisplayPlatform.h"

#include <QTest>

class tst_DisplayPlatform : public QObject
{
    Q_OBJECT

private slots:
    void waylandSessionsRunAsXClients_data()
    {
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("wayland session with XWayland")
            << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray(":0")
            << QByteArray("xcb");
        QTest::newRow("only a wayland socket")
            << QByteArray() << QByteArray() << QByteArray("wayland-0") << QByteArray(":0") << QByteArray("xcb");
        QTest::newRow("no XWayland: Qt's default")
            << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray() << QByteArray();
        QTest::newRow("X session") << QByteArray() << QByteArray("x11") << QByteArray() << QByteArray(":0")
                                   << QByteArray();
        QTest::newRow("the user's choice stands") << QByteArray("wayland") << QByteArray("wayland")
                                                  << QByteArray("wayland-0") << QByteArray(":0") << QByteArray();
    }
    void waylandSessionsRunAsXClients()
    {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, expected);
        QCOMPARE(placementPlatform(qpa, session, wayland, x11), expected);
    }
};

QTEST_GUILESS_MAIN(tst_DisplayPlatform)
#include "tst_DisplayPlatform.moc"
