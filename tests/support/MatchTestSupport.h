#pragma once

// Shared by the match tests: catalogues built row by row, fakes of the cycle's ports.

#include "catalogue/CatalogueRecord.h"
#include "match/FileConfirmer.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CatalogueDatabase;

// A live, active record of one file: WHOLENAME "NAME.EXT" upper-cased, NAME and EXTENSION split
// off it, BASENAME its letters, DISKNAME the name as given.
CatalogueRecord fileRow(int recnum, const QString& wholeName, const QString& path = QStringLiteral("/pics/"),
    const QString& volume = QStringLiteral("[DISK]"));

// A new catalogue from the template at path, holding the rows in the order given.
std::unique_ptr<CatalogueDatabase> makeMatchCatalogue(const QString& path, const QList<CatalogueRecord>& rows);
// The RECNUMs of the rows marked "*", ascending.
QList<int> markedRecnums(CatalogueDatabase& database);

// A sound player that only counts.
class RecordingSoundPlayer : public SoundPlayer
{
public:
    void playWav(const QString& path) override { played << path; }
    void beep() override { ++beeps; }
    QStringList played;
    int beeps = 0;
};

// A yielder that runs a script at each yield and each pause sleep (the window's button presses).
class ScriptedYielder : public Yielder
{
public:
    void yield() override
    {
        ++yields;
        if (onYield)
            onYield(yields);
    }
    void sleep(int milliseconds) override
    {
        ++sleeps;
        slept += milliseconds;
        if (onSleep)
            onSleep(sleeps);
    }
    std::function<void(int)> onYield;
    std::function<void(int)> onSleep;
    int yields = 0;
    int sleeps = 0;
    int slept = 0;
};

// Confirms by a list of files that differ (by DISKNAME); counts its calls.
class FakeConfirmer : public FileConfirmer
{
public:
    bool identical(const ImageFacts& reference, const ImageFacts& candidate) override;
    QSet<QString> differing;
    int calls = 0;
};
