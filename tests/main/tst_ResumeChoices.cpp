#include "main/ResumeChoices.h"

#include "FakeVolumes.h"

#include <QTest>

namespace {

VolumeInfo volume(const QString& mountPoint, DriveKind kind)
{
    VolumeInfo v;
    v.mountPoint = mountPoint;
    v.kind = kind;
    return v;
}

const FakeVolumes& machine()
{
    static const FakeVolumes volumes(
        { volume("/", DriveKind::Fixed), volume("/home", DriveKind::Fixed), volume("/mnt/nas", DriveKind::Remote),
            volume("/media/usb", DriveKind::Removable), volume("/media/cd", DriveKind::CdRom),
            volume("/run/ram", DriveKind::RamDisk) },
        false);
    return volumes;
}

// A box as "mount point", "mount point (ticked)", "mount point (disabled, ticked)"...
QStringList describe(const QList<ReactivateBox>& boxes)
{
    QStringList result;
    for (const ReactivateBox& box : boxes) {
        QStringList marks;
        if (!box.enabled)
            marks << "disabled";
        if (box.ticked)
            marks << "ticked";
        result << (marks.isEmpty() ? box.mountPoint : box.mountPoint + " (" + marks.join(", ") + ")");
    }
    return result;
}

} // namespace

class tst_ResumeChoices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("resumeEnabled");
        QTest::addColumn<bool>("resumeSelected");
        const QStringList offered { "/media/cd", "/media/usb", "/mnt/nas", "/run/ram" };
        QTest::newRow("new: resume not offered") << "NEW"
                                                 << "" << offered << false << false;
        QTest::newRow("resume, nothing remembered") << "RESUME"
                                                    << "" << offered << true << true;
        QTest::newRow("resume with a remembered mount point selects new")
            << "RESUME"
            << "/mnt/nas" << QStringList { "/media/cd", "/media/usb", "/mnt/nas (ticked)", "/run/ram" } << true
            << false;
        QTest::newRow("other mode text: design state") << "resume"
                                                       << "" << offered << true << false;
        QTest::newRow("remembered but absent: ticked and disabled")
            << "NEW"
            << "/media/gone|/media/usb"
            << QStringList { "/media/cd", "/media/gone (disabled, ticked)", "/media/usb (ticked)", "/mnt/nas",
                   "/run/ram" }
            << false << false;
        QTest::newRow("remembered but fixed: ticked and disabled")
            << "NEW"
            << "/home" << QStringList { "/home (disabled, ticked)", "/media/cd", "/media/usb", "/mnt/nas", "/run/ram" }
            << false << false;
        QTest::newRow("drive letters and relative names give no box") << "RESUME"
                                                                      << "DEG|media/usb|" << offered << true << true;
        QTest::newRow("remembered with a trailing slash")
            << "NEW"
            << "/media/usb/" << QStringList { "/media/cd", "/media/usb (ticked)", "/mnt/nas", "/run/ram" } << false
            << false;
    }
    void load()
    {
        QFETCH(QString, mode);
        QFETCH(QString, remembered);
        QFETCH(QStringList, boxes);
        QFETCH(bool, resumeEnabled);
        QFETCH(bool, resumeSelected);
        Session session;
        session.SessionMode = mode;
        session.ReactivateDrives = remembered;
        ResumeChoices choices;
        choices.load(session, machine());
        QCOMPARE(describe(choices.boxes()), boxes);
        QCOMPARE(choices.resumeEnabled(), resumeEnabled);
        QCOMPARE(choices.resumeSelected(), resumeSelected);
        QCOMPARE(choices.newSelected(), !resumeSelected);
        // Loading writes nothing.
        QCOMPARE(session.SessionMode, mode);
        QCOMPARE(session.ReactivateDrives, remembered);
    }

    void start_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("clicks"); // "+/mount", "-/mount", "resume", "new"
        QTest::addColumn<QString>("sessionMode");
        QTest::addColumn<QString>("reactivate");
        QTest::newRow("nothing ticked") << "RESUME"
                                        << "" << QStringList {} << "RESUME"
                                        << "";
        QTest::newRow("new cannot become resume") << "NEW"
                                                  << "" << QStringList { "resume" } << "NEW"
                                                  << "";
        QTest::newRow("order of the boxes, not of the clicks")
            << "NEW"
            << "" << QStringList { "+/run/ram", "+/media/cd", "+/mnt/nas" } << "NEW"
            << "/media/cd|/mnt/nas|/run/ram";
        QTest::newRow("a tick selects new") << "RESUME"
                                            << "" << QStringList { "+/media/usb" } << "NEW"
                                            << "/media/usb";
        QTest::newRow("clearing a box selects new too")
            << "RESUME"
            << "/media/usb" << QStringList { "resume", "-/media/usb" } << "NEW"
            << "";
        QTest::newRow("resume chosen again after the load-time tick")
            << "RESUME"
            << "/mnt/nas" << QStringList { "resume" } << "RESUME"
            << "/mnt/nas";
        QTest::newRow("absent remembered ones are written back")
            << "RESUME"
            << "/media/gone|/home" << QStringList { "+/media/usb" } << "NEW"
            << "/home|/media/gone|/media/usb";
        QTest::newRow("a disabled box cannot be cleared")
            << "RESUME"
            << "/media/gone" << QStringList { "resume", "-/media/gone" } << "RESUME"
            << "/media/gone";
        QTest::newRow("letters are gone after Start") << "NEW"
                                                      << "DEG" << QStringList {} << "NEW"
                                                      << "";
    }
    void start()
    {
        QFETCH(QString, mode);
        QFETCH(QString, remembered);
        QFETCH(QStringList, clicks);
        QFETCH(QString, sessionMode);
        QFETCH(QString, reactivate);
        Session session;
        session.SessionMode = mode;
        session.ReactivateDrives = remembered;
        ResumeChoices choices;
        choices.load(session, machine());
        for (const QString& click : clicks) {
            if (click == "resume") {
                choices.selectResume();
            } else if (click == "new") {
                choices.selectNew();
            } else {
                int index = -1;
                for (int i = 0; i < choices.boxes().size(); ++i) {
                    if (choices.boxes()[i].mountPoint == click.mid(1))
                        index = i;
                }
                QVERIFY2(index >= 0, qPrintable(click));
                choices.clickBox(index, click.startsWith('+'));
            }
        }
        choices.start(session);
        QCOMPARE(session.SessionMode, sessionMode);
        QCOMPARE(session.ReactivateDrives, reactivate);
    }
};

QTEST_GUILESS_MAIN(tst_ResumeChoices)
#include "tst_ResumeChoices.moc"
