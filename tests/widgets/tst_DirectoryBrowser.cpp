#include "widgets/DirectoryBrowser.h"

#include "FakeVolumes.h"

#include <QDir>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class tst_DirectoryBrowser : public QObject
{
    Q_OBJECT

private slots:
    // The tree unfolds to a path it is pointed at as the directories come in, but a directory
    // the user picks stays where it is in the view when its contents come in: it is not pulled
    // to the middle under the mouse.
    void aPickedDirectoryStaysPut()
    {
        QTemporaryDir dir;
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        for (int n = 0; n < 60; ++n)
            QDir().mkpath(root + QStringLiteral("/d%1/inner").arg(n, 2, 10, QLatin1Char('0')));
        const FakeVolumes volumes;
        QWidget host;
        DirectoryBrowser browser(volumes, &host);
        QTreeView* tree = browser.directories();
        tree->setGeometry(0, 0, 240, 160);
        host.resize(240, 160);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());

        browser.pointAt(root + QStringLiteral("/d50"));
        QTRY_COMPARE(model->filePath(tree->currentIndex()), root + QStringLiteral("/d50"));

        const QModelIndex picked = model->index(root + QStringLiteral("/d30"));
        tree->scrollTo(picked, QAbstractItemView::PositionAtTop);
        const int scrolled = tree->verticalScrollBar()->value();
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        tree->setCurrentIndex(picked);
        tree->expand(picked);
        QTRY_VERIFY(loaded.contains(QVariantList { root + QStringLiteral("/d30") }));
        QTest::qWait(50);
        QCOMPARE(browser.path(), root + QStringLiteral("/d30"));
        QCOMPARE(tree->verticalScrollBar()->value(), scrolled);
    }
};

QTEST_MAIN(tst_DirectoryBrowser)
#include "tst_DirectoryBrowser.moc"
