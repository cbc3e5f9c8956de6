#pragma once

// Shared by the match tests: catalogues built row by row, fakes of the cycle's ports.

#include "catalogue/CatalogueRecord.h"
#include "match/FileConfirmer.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"
#include "ScriptedPorts.h"

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
std::unique_ptr<CatalogueDatabase> makeCatalogueWithRows(const QString& path, const QList<CatalogueRecord>& rows);
// The RECNUMs of the rows marked "*", ascending.
QList<int> markedRecnums(CatalogueDatabase& database);

// Confirms by a list of files that differ (by DISKNAME); counts its calls.
class FakeConfirmer : public FileConfirmer
{
public:
    bool identical(const ImageFacts& reference, const ImageFacts& candidate) override;
    QSet<QString> differing;
    int calls = 0;
};
