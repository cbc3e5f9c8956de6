#pragma once

// A program directory with a list catalogue, and a pair review over it with fake ports.

#include "catalogue/CatalogueDatabase.h"
#include "dialogs/CountNotice.h"
#include "match/ModeOrder.h"
#include "review/ReviewPorts.h"
#include "review/pair/PairReview.h"
#include "review/pair/PairReviewView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "MatchTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QStringList>

// Counts the settings writes and what each found as the resume record.
class FakeSettingsWriter : public SettingsWriter
{
public:
    explicit FakeSettingsWriter(const Session& session)
        : m_session(session)
    {
    }
    void writeSettings() override { written << m_session.StoppedAtRecord; }
    QList<qint32> written;

private:
    const Session& m_session;
};

class FakeCountNotice : public CountNotice
{
public:
    void showRunning(const QString& text) override { shown << "running: " + text; }
    void showFinal(const QString& text) override { shown << "final: " + text; }
    QStringList shown;
};

// Records what the review shows.
class FakePairView : public PairReviewView
{
public:
    void setReviewControls(bool enabled, bool first, bool second) override
    {
        controlsEnabled = enabled;
        actions = { first, second };
        ++switches;
    }
    void setStatus(const QString& text) override { status = text; }
    void setStopVisible(bool visible) override { stopVisible = visible; }
    void clearImage(int image) override { files[image - 1].clear(); }
    void hideMarks() override { marks = AgreementMarks(); }
    void showFacts(int image, const FactsText& facts) override { files[image - 1] = facts.file; }
    QSize showPicture(int, const QString& file, bool, const QString&) override
    {
        pictures << file;
        return QSize(100, 80);
    }
    void showDimensions(const QString&, const QString&) override { }
    void showMarks(const AgreementMarks& shown) override { marks = shown; }

    bool controlsEnabled = false;
    std::array<bool, 2> actions {};
    int switches = 0;
    QString status;
    bool stopVisible = false;
    std::array<QString, 2> files;
    QStringList pictures;
    AgreementMarks marks;
};

struct PairReviewFixture
{
    TemporaryProgramDirectory dir;
    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    RecordingSoundPlayer sound;
    ScriptedYielder yielder;
    FakeConfirmer confirmer;
    FakeVolumes volumes;
    FakeSettingsWriter writer { session };
    FakePairView view;
    FakeCountNotice countNotice;
    std::unique_ptr<PairReview> review;

    PairReviewFixture()
    {
        settings.listName = QStringLiteral("Pics");
        settings.ignoreExtension = false;
        session.DisableFilePolling = true;
    }
    QString databasePath() const { return listDatabasePath(dir.path(), settings); }
    bool make(const QList<CatalogueRecord>& rows) { return makeCatalogueWithRows(databasePath(), rows) != nullptr; }

    // Loads the review and runs its first activation; false when it would unload.
    bool open(ReviewDialogs dialogs = {})
    {
        review = std::make_unique<PairReview>(settings, session, dir.path(),
            ReviewPorts { prompter, sound, yielder, confirmer, volumes, writer }, &view, &countNotice, dialogs);
        return review->load() && review->firstActivation();
    }

    // "3-4" for a pair on show, "3-" for a reference alone, "" for nothing.
    QString shown() const
    {
        if (!review->imageShown(1))
            return QString();
        const RecordPair& pair = review->pair();
        return QString::number(pair.reference.RECNUM) + "-"
            + (review->imageShown(2) ? QString::number(pair.candidate.RECNUM) : QString());
    }

    // Presses Next (or Previous) until "No more matches..." and gives the pairs shown on the way,
    // the one already on show first.
    QStringList walk(bool forward)
    {
        QStringList pairs;
        if (!shown().isEmpty())
            pairs << shown();
        for (int guard = 0; guard < 1000; ++guard) {
            prompter.clear();
            forward ? review->cmdNEXT_Click() : review->cmdPREVIOUS_Click();
            if (prompter.texts().contains(PairReview::noMoreMatchesText()))
                return pairs;
            pairs << shown();
        }
        return pairs << "no end";
    }

    // The RTAGs of the rows by RECNUM.
    QString tags() const
    {
        auto db = CatalogueDatabase::open(databasePath());
        return db
            ? db->queryValue("SELECT group_concat(RTAG, '') FROM (SELECT RTAG FROM FILES ORDER BY RECNUM)").toString()
            : QStringLiteral("no catalogue");
    }
};
