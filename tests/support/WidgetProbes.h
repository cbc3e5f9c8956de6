#pragma once

#include <QListWidget>
#include <QScreen>
#include <QStringList>
#include <QTest>

// The texts of a list's items, top to bottom.
inline QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The progress windows' places: the stored place (twips) and where the window's outer frame
// stands once the window is framed, by its top left corner, or by how far its bottom right
// corner stands in from the screen's.
inline void progressPlacementRows()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("corner");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("none stored: 450 twips above the bottom")
        << -5000 << -5000 << QStringLiteral("bottom right") << QPoint(0, 30);
    QTest::newRow("stored") << 1500 << 3000 << QStringLiteral("top left") << QPoint(200, 100);
    QTest::newRow("only the top is tested") << 1500 << -5000 << QStringLiteral("top left") << QPoint(0, 100);
    QTest::newRow("beyond a smaller screen: kept on it")
        << 90000 << 90000 << QStringLiteral("bottom right") << QPoint(0, 0);
}

// Shows the window and checks its frame against the row of progressPlacementRows().
inline void verifyProgressPlacement(QWidget* window)
{
    QFETCH(QString, corner);
    QFETCH(QPoint, expected);
    window->show();
    const QRect frame = window->frameGeometry();
    QVERIFY(frame.size() != window->size()); // the platform draws a frame
    if (corner == QLatin1String("top left"))
        QCOMPARE(frame.topLeft(), expected);
    else
        QCOMPARE(window->screen()->geometry().bottomRight() - frame.bottomRight(), expected);
}
