#include "review/ReviewSources.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "match/ImageFacts.h"
#include "match/MatchCursors.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "review/ReviewPorts.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <exception>

QString reviewActiveCode(const MainSettings& settings)
{
    return settings.preMatch ? QStringLiteral("*") : QStringLiteral("X");
}

RecordSource reviewSource(const MainSettings& settings, const QString& activeCode)
{
    return buildModeRecordSource(settings.mode, settings.exclusive, settings.ignoreExtension, { activeCode });
}

RecordSource reviewPatternSource(const QString& activeCode)
{
    return patternRecordSource({ activeCode });
}

ReviewCatalogue openReviewCatalogue(const QString& path, const RecordSource& source, Prompter& prompter)
{
    ReviewCatalogue opened;
    QString reason;
    opened.database = CatalogueDatabase::open(path, &reason);
    if (opened.database) {
        try {
            opened.files = std::make_unique<SqlRecordSet>(*opened.database);
            applySource(*opened.files, source);
            return opened;
        } catch (const std::exception& error) {
            reason = QString::fromUtf8(error.what());
        }
    }
    prompter.tell(CatalogueDatabase::failureText(path, reason), QStringLiteral("t'olq! - Error"), MsgIcon::Critical);
    return {};
}

bool catalogueHeld(Prompter& prompter, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        prompter.tell(QStringLiteral("The catalogue could not be read or written.\r\r") + QString::fromUtf8(error.what()),
            QStringLiteral("Error"), MsgIcon::Critical);
        return false;
    }
}

void placeReviewStart(SqlRecordSet& files, qint32 stoppedAtRecord)
{
    files.moveFirst();
    if (stoppedAtRecord > 0 && !files.findFirst(QStringLiteral("RECNUM = ?"), { stoppedAtRecord }))
        files.moveFirst();
    if (files.hasCurrent() && !onLiveRecord(files))
        moveNextUntagged(files);
}

void storeReviewPosition(Session& session, const ImageFacts& reference, SettingsWriter& writer)
{
    session.StoppedAtRecord = reference.RECNUM;
    writer.writeSettings();
}

void reviewSoundStep(SoundPlayer& player, const MainSettings& settings, const Session& session)
{
    soundStep(player, session.SoundFiles, settings.noSound);
}

std::optional<QString> skipRefusalText(ComparisonMode mode)
{
    QString word;
    switch (mode) {
    case ComparisonMode::Name:
    case ComparisonMode::NameAndSize:
    case ComparisonMode::Numbered:
        return std::nullopt;
    case ComparisonMode::Size:
        word = QStringLiteral("SIZE");
        break;
    case ComparisonMode::Checksum:
        word = QStringLiteral("CHECKSUM");
        break;
    case ComparisonMode::AverageRgb:
        word = QStringLiteral("Avg RGB");
        break;
    case ComparisonMode::QuadrantRgb:
        word = QStringLiteral("Quadrant RGB");
        break;
    default:
        word = QStringLiteral("PATTERN");
        break;
    }
    return QStringLiteral("Cannot skip to next major alpha in %1 mode (browse sequence not in name order).").arg(word);
}
