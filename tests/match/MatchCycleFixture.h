#pragma once

// A program directory with a list catalogue, and a pre-match cycle over it with fake ports.

#include "catalogue/CatalogueDatabase.h"
#include "match/ModeOrder.h"
#include "match/PrematchCycle.h"
#include "match/PrematchView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "MatchTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QStringList>

class FakeView : public PrematchView
{
public:
    void setCaption(const QString& caption) override { captions << caption; }
    void setFoundText(const QString& text) override { found << text; }
    bool isMinimized() const override { return minimized; }
    QStringList captions;
    QStringList found;
    bool minimized = false;
};

// Thrown by a scripted yielder to end a run the way the process would end.
struct ProgramEnded
{
};

struct MatchCycleFixture
{
    TemporaryProgramDirectory dir;
    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    RecordingSoundPlayer sound;
    ScriptedYielder yielder;
    FakeConfirmer confirmer;
    FakeView view;
    QString home = dir.path(); // the program directory the cycle works in

    QString databasePath() const { return listDatabasePath(home, settings); }
    QString resumeFile() const { return home + QStringLiteral("/Matching.dat"); }

    bool make(const QList<CatalogueRecord>& rows) { return makeCatalogueWithRows(databasePath(), rows) != nullptr; }

    std::unique_ptr<PrematchCycle> cycle(int saveInterval = 0)
    {
        auto c = std::make_unique<PrematchCycle>(
            settings, session, home, PrematchPorts { yielder, prompter, sound, confirmer, &view });
        c->setSaveInterval(saveInterval);
        c->setProgressInterval(0);
        if (!c->open())
            return {};
        return c;
    }

    // One whole cycle: the first activation's run and the ending (threads: those of the pattern
    // step, 0 the machine's).
    // A whole run saves its position only at the end: every step's write to the disk would only
    // slow the tests down.
    int runWhole(int threads = 0)
    {
        auto c = cycle(3600000);
        if (!c)
            return -1;
        if (threads > 0)
            c->setThreadCount(threads);
        c->run();
        c->finish();
        c->removeResumeFile();
        return c->MatchCount;
    }

    QList<int> marks() const
    {
        auto db = CatalogueDatabase::open(databasePath());
        return db ? markedRecnums(*db) : QList<int> { -1 };
    }
};
