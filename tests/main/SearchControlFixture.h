#pragma once

// A program directory with its template, the main controller and the search control over it, with
// fake windows.

#include "catalogue/DatabaseCompaction.h"
#include "catalogue/TemplateDatabase.h"
#include "main/ListDatabaseUpkeep.h"
#include "main/MainController.h"
#include "main/SearchControl.h"
#include "main/SearchHost.h"

#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QTest>

#include <functional>
#include <optional>

// Records what the search control asks of the windows; the stages unload at once.
struct FakeHost : SearchHost
{
    Session& session;
    QStringList calls;
    std::optional<QString> resumeChoice; // what Start leaves in SessionMode; nullopt: closed
    QString modeAtResume;
    std::function<void()> duringPreScan;
    std::function<void()> duringPreMatch;
    bool windows = true;
    explicit FakeHost(Session& s)
        : session(s)
    {
    }
    void settingsChanged() override { }
    void showResumeDialog() override
    {
        calls << "resume";
        modeAtResume = session.SessionMode;
        if (resumeChoice)
            session.SessionMode = *resumeChoice;
    }
    void stopAnimation() override { calls << "stopAnimation"; }
    void hideMainWindow() override { calls << "hide"; }
    void showMainWindow() override { calls << "show"; }
    void showPreScan() override
    {
        calls << "preScan";
        if (duringPreScan)
            duringPreScan();
        session.SearchUnloaded = true;
    }
    void showPreMatch() override
    {
        calls << "preMatch";
        if (duringPreMatch)
            duringPreMatch();
        session.PrematchUnloaded = true;
    }
    bool waitUntil(const bool& flag) override
    {
        calls << (flag ? "wait done" : "wait hung");
        return true;
    }
    void showReview(bool snapshot, const QString& caption) override
    {
        calls << (snapshot ? "snapshot: " : "pair: ") + caption;
    }
    bool showsWindows() const override { return windows; }
    void pressQuit() override { calls << "quit"; }
    void endProgramNow() override { calls << "end"; }
    void endDuringStage(ExitStatus) override { calls << "end during stage"; }
};

struct FakeNotice : CompactionNotice
{
    QStringList calls;
    void showNotice() override { calls << "show"; }
    void hideNotice() override { calls << "hide"; }
    void yieldOnce() override { }
};

// A program directory with its template, and the search control over it.
struct Fixture
{
    TemporaryProgramDirectory dir;
    ScriptedPrompter prompter;
    MainController controller { dir.path(), prompter };
    FakeNotice notice;
    ListDatabaseUpkeep upkeep { controller, prompter, notice };
    FakeHost host { controller.session() };
    SearchControl search { controller, prompter, upkeep, host };
    int compactions = 0;

    Fixture()
    {
        writeTemplateDatabase(dir.file("tolq.mdb"));
        MainSettings& s = controller.settings();
        s.listName = "Pics";
        s.fileTypes[9] = true; // JPG
        s.ignoreExtension = false;
        upkeep.setCompactor([this](const QString& source, const QString& work, QString* error) {
            ++compactions;
            return compactDatabase(source, work, error);
        });
    }
    Session& session() { return controller.session(); }
    MainSettings& settings() { return controller.settings(); }
    QString database() const { return dir.file("data/Pics.mdb"); }
    QString tag() const { return dir.file("data/Pics.lcd"); }
    void makeDatabase()
    {
        QDir().mkpath(dir.file("data"));
        QVERIFY(writeTemplateDatabase(database()));
    }
    QString tagText() const { return QString::fromLatin1(readFile(tag())).trimmed(); }
};
