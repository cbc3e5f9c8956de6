// Add Tree over a generated tree on the real mount table: directories per second of the walk, and
// what reading the volume afresh for every directory would cost instead.
#include "main/DirectoryAdder.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"
#include "session/DirectoryEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int fanOut = 12;
    int created = 1;
    for (int a = 0; a < fanOut; ++a) {
        for (int b = 0; b < fanOut; ++b) {
            for (int c = 0; c < fanOut; ++c) {
                QDir().mkpath(QStringLiteral("%1/d%2/d%3/d%4").arg(dir.path()).arg(a).arg(b).arg(c));
                ++created;
            }
            ++created;
        }
        ++created;
    }
    const SystemVolumes volumes;
    NullYielder yielder;

    MainSettings settings;
    QElapsedTimer timer;
    timer.start();
    const int added = DirectoryAdder(settings, volumes).addTree(dir.path(), yielder);
    const qint64 walkMs = timer.elapsed();
    std::printf("tree walk: %d directories added of %d in %lld ms\n", added, created, walkMs);

    const int sample = 200;
    timer.restart();
    for (int i = 0; i < sample; ++i)
        DirectoryEntry::forPath(dir.path(), volumes);
    const double perLookup = double(timer.nsecsElapsed()) / 1e6 / sample;
    std::printf("volume read per directory: %.3f ms, %.0f ms for the same tree\n", perLookup, perLookup * created);
    return 0;
}
