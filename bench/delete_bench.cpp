// Times the delete of review on files on disk, through the file-action service both reviews use:
//
//   delete_bench [--dir DIR] [--files N] [--deletes K] [--recycle]
//       writes N pictures of 4 KB and their catalogue (one row each) into a new folder under DIR
//       (the temporary folder by default; give a real disk, not a tmpfs, where a sync costs what it
//       costs), then deletes K of them one after the other, as Delete all does slot after slot
//       (K = 1: a single delete), outright or to the trash (a trash of its own under the folder).
//       Prints files=N deletes=K first_ms=F median_ms=M seconds=S: the first delete, the median
//       one, and all K.

#include "BenchSupport.h"
#include "ScriptedPrompter.h"

#include "catalogue/CatalogueDatabase.h"
#include "match/RowFacts.h"
#include "platform/SystemVolumes.h"
#include "review/FileActions.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int PictureBytes = 4096;

QString nameOf(int i)
{
    return QStringLiteral("p%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int files = bench::option(args, QStringLiteral("--files"), QStringLiteral("1000")).toInt();
    const int deletes = std::min(files, bench::option(args, QStringLiteral("--deletes"), QStringLiteral("1000")).toInt());
    if (files < 1 || deletes < 1) {
        std::fprintf(stderr, "usage: delete_bench [--dir DIR] [--files N] [--deletes K] [--recycle]\n");
        return 2;
    }
    const QString parent = bench::option(args, QStringLiteral("--dir"), QDir::tempPath());
    QTemporaryDir work(parent + QStringLiteral("/delete_bench-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a folder under %s\n", qPrintable(parent));
        return 1;
    }
    // The trash of a file on the data directory's file system is the home trash.
    qputenv("HOME", QFile::encodeName(work.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(work.filePath(QStringLiteral("data"))));

    const QString pictures = work.filePath(QStringLiteral("pics/"));
    QDir().mkpath(pictures);
    QStringList names;
    const QByteArray bytes(PictureBytes, 'x');
    for (int i = 1; i <= files; ++i) {
        names << nameOf(i);
        QFile picture(pictures + names.last());
        if (!picture.open(QIODevice::WriteOnly) || picture.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(picture.fileName()));
            return 1;
        }
    }
    const QString catalogue = work.filePath(QStringLiteral("tolq.mdb"));
    bench::writePictureCatalogue(catalogue, pictures, names, [](CatalogueRecord& r) { r.SIZE = PictureBytes; });
    auto db = CatalogueDatabase::open(catalogue);
    if (!db) {
        std::fprintf(stderr, "cannot open the catalogue\n");
        return 1;
    }

    MainSettings settings;
    settings.recycle = args.contains(QStringLiteral("--recycle"));
    settings.noConfirm = true;
    Session session;
    session.DisableFilePolling = true;
    ScriptedPrompter prompter;
    SystemVolumes volumes;
    FileActions actions(settings, session, *db, prompter, volumes);

    std::vector<double> times;
    QElapsedTimer all;
    all.start();
    for (int recnum = 1; recnum <= deletes; ++recnum) {
        const qint64 rowId = db->queryValue(QStringLiteral("SELECT rowid FROM FILES WHERE RECNUM = ?"), { recnum })
                                 .toLongLong();
        std::optional<ImageFacts> slot = factsOfRow(*db, rowId);
        if (!slot) {
            std::fprintf(stderr, "no row %d\n", recnum);
            return 1;
        }
        QElapsedTimer one;
        one.start();
        if (!actions.deleteFile(*slot).done()) {
            std::fprintf(stderr, "the delete of %s failed\n", qPrintable(slot->filePath()));
            return 1;
        }
        times.push_back(double(one.nsecsElapsed()) / 1e6);
    }
    const double seconds = double(all.nsecsElapsed()) / 1e9;
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("files=%d deletes=%d first_ms=%.2f median_ms=%.2f seconds=%.3f\n", files, deletes, first,
        times[times.size() / 2], seconds);
    return 0;
}
