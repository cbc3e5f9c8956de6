#include "match/ModeOrder.h"

#include "catalogue/SqlRecordSet.h"
#include "match/StepLoader.h"

QStringList prematchActiveCodes()
{
    return { QStringLiteral("X"), QStringLiteral("*") };
}

QString modeOrderKey(ComparisonMode mode, bool ignoreExtension)
{
    switch (mode) {
    case ComparisonMode::Name:
        return ignoreExtension ? QStringLiteral("NAME") : QStringLiteral("WHOLENAME");
    case ComparisonMode::Size:
        return QStringLiteral("SIZE");
    case ComparisonMode::NameAndSize:
        return ignoreExtension ? QStringLiteral("NAME, SIZE") : QStringLiteral("WHOLENAME, SIZE");
    case ComparisonMode::Numbered:
        return ignoreExtension ? QStringLiteral("BASENAME") : QStringLiteral("WHOLEBASE");
    case ComparisonMode::Checksum:
        return QStringLiteral("CHECKSUM");
    case ComparisonMode::AverageRgb:
        return QStringLiteral("RGB");
    case ComparisonMode::QuadrantRgb:
        return QStringLiteral("QRGB");
    case ComparisonMode::Pattern:
        break;
    }
    return QStringLiteral("RECNUM");
}

static RecordSource activeRecords(const QStringList& activeCodes, const QString& orderBy)
{
    RecordSource source;
    QStringList terms;
    for (const QString& code : activeCodes) {
        terms << QStringLiteral("ACTIVE = ?");
        source.params << code;
    }
    source.where = terms.join(QStringLiteral(" OR "));
    source.orderBy = orderBy;
    return source;
}

RecordSource buildModeRecordSource(
    ComparisonMode mode, bool exclusive, bool ignoreExtension, const QStringList& activeCodes)
{
    if (mode == ComparisonMode::Pattern)
        return patternRecordSource(activeCodes);
    // Directories in the order of their names regardless of case, yet /p/A/ and /p/a/ apart:
    // exclusive matching pairs only neighbours of one exact path.
    const QString prefix = exclusive ? QStringLiteral("PATH, PATH COLLATE BINARY, ") : QString();
    RecordSource source = activeRecords(activeCodes, prefix + modeOrderKey(mode, ignoreExtension));
    source.heldFields = StepLoader::fieldsFor(mode);
    return source;
}

RecordSource patternRecordSource(const QStringList& activeCodes)
{
    RecordSource source = activeRecords(activeCodes, QStringLiteral("RECNUM"));
    source.heldFields = StepLoader::fieldsFor(ComparisonMode::Pattern);
    return source;
}

void applySource(SqlRecordSet& recordSet, const RecordSource& source)
{
    recordSet.setSource(source.where, source.orderBy, source.params);
    recordSet.setHeldFields(source.heldFields);
    recordSet.refresh();
}
