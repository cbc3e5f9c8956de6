// The catalogue writer of the pre-scan: one directory and one type, and the re-activation of a
// directory's records without reading the disk.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "catalogue/TableRecordSet.h"
#include "platform/Conventions.h"
#include "platform/Yielder.h"
#include "scan/DirectoryListing.h"
#include "scan/PreScanEngine.h"
#include "scan/PreScanView.h"
#include "scan/RecordKey.h"
#include "scan/StatisticsPipeline.h"

#include <deque>

namespace {

constexpr int PauseSleepMs = 2000;
constexpr int ResultWaitMs = 20;

// Earlier scans gave a file they could not read 200 zero digits; such a checksum is read again
// (a file longer than two bytes whose digits are truly all zero only costs that re-read).
bool zerosOfAFailedRead(const QString& checksum)
{
    static const QString zeros(200, QLatin1Char('0'));
    const QStringView length = QStringView(checksum).mid(5, checksum.size() - 5 - 201);
    return checksum.endsWith(zeros) && checksum.at(checksum.size() - 201) == QLatin1Char(' ')
        && length.toLongLong() > 2;
}

bool checksumMissing(const QString& checksum)
{
    return checksum.size() < 200 || checksum.at(4) != QLatin1Char(' ') || zerosOfAFailedRead(checksum);
}

bool colourMissing(const CatalogueRecord& row)
{
    return row.RGB.size() < 5 || row.QRGB.size() < 5 || row.SOFTRGB.size() < 5 || row.SOFTQRGB.size() < 5;
}

ImageStats statsOf(const CatalogueRecord& row)
{
    ImageStats stats;
    stats.X = row.X;
    stats.Y = row.Y;
    stats.XYRATIO = row.XYRATIO;
    stats.RGB = row.RGB;
    stats.QRGB = row.QRGB;
    stats.SOFTRGB = row.SOFTRGB;
    stats.SOFTQRGB = row.SOFTQRGB;
    stats.PXLRAY = row.PXLRAY;
    stats.PXLNUM = row.PXLNUM;
    return stats;
}

// The letters A to Z (either case) of the name without its extension, in their own case.
QString baseLetters(const QString& stem)
{
    QString letters;
    for (const QChar c : stem) {
        const QChar u = c.toUpper();
        if (u >= QLatin1Char('A') && u <= QLatin1Char('Z'))
            letters += c;
    }
    return letters;
}

} // namespace

// One accepted file on its way through the loop.
struct PreScanEngine::Pending
{
    QString name;
    bool lookedUp = false;
    bool vanished = false;
    FileFacts facts;
    QString key;
    bool found = false;
    CatalogueRecord row; // the row found, as it stood at the lookup
    StatisticsJob job;
    StatisticsPipeline::TicketPtr ticket;
};

bool PreScanEngine::seekRow(const QString& key, CatalogueRecord& row)
{
    m_rstFILES->seek(QStringLiteral("="), key);
    if (m_rstFILES->noMatch())
        return false;
    row = m_rstFILES->record();
    return true;
}

// The key, the seek and the statistics the mode needs and the record lacks; the measuring
// itself is handed to the pipeline.
void PreScanEngine::lookup(Pending& item, const QString& fileType)
{
    item.lookedUp = true;
    const QString path = m_entryPath + item.name;
    const std::optional<FileFacts> facts = m_listedDirectory ? m_listedDirectory->factsOf(item.name) : fileFacts(path);
    if (!facts) {
        item.vanished = true;
        return;
    }
    item.facts = *facts;
    item.key = recordKeyText(m_entryVolume, m_entryPath, item.name, facts->length, fileDateTime(facts->modifiedSeconds),
        m_session.IdentifyByLocation);
    item.found = seekRow(item.key, item.row);

    const ComparisonMode mode = m_settings.mode;
    const bool gather = m_settings.gather;
    StatisticsJob& job = item.job;
    job = StatisticsJob();
    job.filePath = path;
    job.fileType = fileType;
    job.length = facts->length;
    if (item.found) {
        job.checksum = item.row.CHECKSUM;
        job.stats = statsOf(item.row);
    }
    job.wantChecksum = (mode == ComparisonMode::Checksum || gather) && checksumMissing(job.checksum);
    job.wantColour = (mode == ComparisonMode::AverageRgb || mode == ComparisonMode::QuadrantRgb || gather)
        && colourMissing(item.found ? item.row : CatalogueRecord());
    job.wantPattern = (mode == ComparisonMode::Pattern || gather) && job.stats.PXLRAY.size() < 5;
    job.wantPreview = m_ports.view.wantsPreview();
    item.ticket.reset();
    if (job.needsWork())
        item.ticket = m_pipeline->submit(job);
}

void PreScanEngine::pauseWait()
{
    while (m_paused) {
        m_ports.view.showCaption(QStringLiteral("tolq! - Paused"));
        m_ports.yielder.sleep(PauseSleepMs);
        m_ports.yielder.yield();
    }
}

void PreScanEngine::showProgress(const QString& name)
{
    const QString n = QString::number(qint64(m_filesCounted) + 1);
    m_ports.view.showDirectory(m_entryPath + QLatin1Char(' ') + name);
    m_ports.view.showNumber(n + QStringLiteral(" found..."));
    m_ports.view.showCaption(
        m_ports.view.isMinimized() ? n + QStringLiteral(" files...") : QStringLiteral("t'olq! - Directory Pre-Scan"));
    m_ports.yielder.yield();
}

void PreScanEngine::ScanDirectoryType(const QString& fileType)
{
    m_ports.view.showDirectory(m_entryPath);
    if (m_listedPath != m_entryPath || !m_listed) {
        m_listedUndecodable.clear();
        m_listed = listRegularFiles(m_entryPath, &m_listedUndecodable);
        m_listedDirectory = std::make_unique<DirectoryHandle>(m_entryPath);
        m_listedPath = m_entryPath;
    }
    if (!m_listed)
        return;
    const QStringList names = filesOfType(*m_listed, fileType);
    // Names that cannot be opened again from their text are passed over, and counted.
    for (const QString& name : filesOfType(m_listedUndecodable, fileType)) {
        if (scanAccepts(m_filter, name, fileType, m_settings.notFilter))
            ++m_passedOver;
    }
    if (!m_pipeline)
        m_pipeline = std::make_unique<StatisticsPipeline>(m_config.threads);
    if (!m_database->inTransaction())
        beginBatch();

    // With workers, the files ahead are keyed and sought early so that their measuring runs
    // while earlier files are written; one thread works strictly file by file.
    const qsizetype lookAhead = m_pipeline->background() ? 4 * qsizetype(m_pipeline->threads()) : 0;
    std::deque<Pending> pending;
    qsizetype nextName = 0;
    qsizetype lookedUpAhead = 0;
    bool aheadUseful = true;
    const auto acceptNext = [&]() {
        while (nextName < names.size()) {
            const QString& name = names.at(nextName++);
            if (scanAccepts(m_filter, name, fileType, m_settings.notFilter)) {
                pending.emplace_back();
                pending.back().name = name;
                return true;
            }
        }
        return false;
    };
    const auto dropPending = [&]() {
        for (Pending& item : pending) {
            if (item.ticket)
                m_pipeline->discard(item.ticket);
        }
        pending.clear();
    };

    for (;;) {
        // Looking ahead pays only while files need measuring: an unchanged rescan stops doing it
        // (and so seeks each file once), and the first file that needs work starts it again.
        while (
            aheadUseful && lookedUpAhead < lookAhead && (lookedUpAhead < qsizetype(pending.size()) || acceptNext())) {
            Pending& ahead = pending[std::size_t(lookedUpAhead++)];
            lookup(ahead, fileType);
            aheadUseful = ahead.ticket != nullptr;
        }
        if (pending.empty() && !acceptNext())
            break;
        if (m_quitRequested) {
            dropPending();
            return;
        }
        pauseWait();
        Pending& item = pending.front();
        showProgress(item.name);

        if (!item.lookedUp) {
            lookup(item, fileType);
            aheadUseful = item.ticket != nullptr;
        } else {
            --lookedUpAhead;
            // A file ahead may have lost its row to an earlier file of the same key (photo.jpg
            // and PHOTO.JPG): seek again and measure afresh when the row is no longer the same.
            CatalogueRecord now;
            const bool found = !item.vanished && seekRow(item.key, now);
            if (!item.vanished && (found != item.found || (found && now.rowId != item.row.rowId))) {
                if (item.ticket)
                    m_pipeline->discard(item.ticket);
                lookup(item, fileType);
            }
        }
        if (item.vanished) {
            pending.pop_front();
            continue;
        }
        StatisticsResult result;
        if (item.ticket) {
            while (!m_pipeline->wait(item.ticket, ResultWaitMs))
                m_ports.yielder.yield();
            result = m_pipeline->take(item.ticket);
            if (result.vanished) {
                pending.pop_front();
                continue;
            }
            if (!result.preview.isNull())
                m_ports.view.showPreview(result.preview);
        } else {
            result.checksum = item.job.checksum;
            result.stats = item.job.stats;
        }
        m_filesCounted += 1;
        item.job.checksum = result.checksum;
        item.job.stats = result.stats;
        writeRecord(item, fileType);
        pending.pop_front();
    }
}

void PreScanEngine::writeRecord(const Pending& item, const QString& fileType)
{
    const StatisticsJob& job = item.job;
    TableRecordSet& rst = *m_rstFILES;
    if (item.found) {
        // Seeking again made the found row current; only the fields that change are written.
        rst.edit();
        rst.setField(u"RECNUM", m_filesCounted);
        rst.setField(u"REF", QString());
        rst.setField(u"ACTIVE", QStringLiteral("X"));
        rst.setField(u"ACCESSED", m_accessed);
        if (job.wantChecksum)
            rst.setField(u"CHECKSUM", job.checksum);
        if (job.wantColour || job.wantPattern) {
            const ImageStats& s = job.stats;
            rst.setField(u"X", s.X);
            rst.setField(u"Y", s.Y);
            rst.setField(u"XYRatio", s.XYRATIO);
            rst.setField(u"RGB", s.RGB);
            rst.setField(u"QRGB", s.QRGB);
            rst.setField(u"SOFTRGB", s.SOFTRGB);
            rst.setField(u"SOFTQRGB", s.SOFTQRGB);
            rst.setField(u"PXLRAY", s.PXLRAY);
            rst.setField(u"PxlNum", s.PXLNUM);
        }
        rst.setField(u"DRIVEVOLUME", m_entryVolume);
        rst.setField(u"PATH", m_entryPath);
        rst.setField(u"STAG", item.key);
        rst.setField(u"DISKNAME", item.name);
        rst.update();
    } else {
        const QString stem = item.name.left(item.name.size() - 4);
        const QString letters = conv::upper(baseLetters(stem));
        CatalogueRecord r;
        r.RECNUM = m_filesCounted;
        r.REF = QString();
        r.ACTIVE = QStringLiteral("X");
        r.ACCESSED = m_accessed;
        r.RTAG = QStringLiteral(" ");
        r.DRIVEVOLUME = m_entryVolume;
        r.PATH = m_entryPath;
        r.NAME = conv::upper(stem);
        r.REFNAME = stem;
        r.BASENAME = letters;
        r.EXTENSION = conv::upper(fileType);
        r.WHOLENAME = conv::upper(item.name);
        r.WHOLEBASE = letters + conv::upper(fileType);
        r.SIZE = double(item.facts.length);
        r.DATE = fileDateTime(item.facts.modifiedSeconds);
        r.CHECKSUM = job.checksum;
        r.X = job.stats.X;
        r.Y = job.stats.Y;
        r.XYRATIO = job.stats.XYRATIO;
        r.RGB = job.stats.RGB;
        r.QRGB = job.stats.QRGB;
        r.SOFTRGB = job.stats.SOFTRGB;
        r.SOFTQRGB = job.stats.SOFTQRGB;
        r.PXLRAY = job.stats.PXLRAY;
        r.PXLNUM = job.stats.PXLNUM;
        r.STAG = item.key;
        r.DISKNAME = item.name;
        rst.addNew();
        rst.setRecord(r);
        rst.update();
    }
    countWrite();
}

void PreScanEngine::ReactivateDirectoryType(const QString& fileType)
{
    SqlRecordSet dboFILES(*m_database);
    dboFILES.setSource(QStringLiteral("DRIVEVOLUME = ? AND PATH = ? AND EXTENSION = ? AND ACTIVE <> 'X'"), QString(),
        { m_entryVolume, m_entryPath, fileType });
    dboFILES.refresh();
    while (!dboFILES.isEof()) {
        if (m_abortRequested)
            return;
        const CatalogueRecord row = dboFILES.record();
        const QString& CurrentFile = row.WHOLENAME;
        if (reactivationAccepts(m_filter, CurrentFile, fileType, m_settings.notFilter)) {
            m_filesCounted += 1;
            dboFILES.edit();
            dboFILES.setField(u"RECNUM", m_filesCounted);
            dboFILES.setField(u"ACTIVE", QStringLiteral("X"));
            dboFILES.setField(u"REF", QString());
            dboFILES.setField(u"ACCESSED", m_accessed);
            dboFILES.update();
            countWrite();
            m_ports.view.showDirectory(QStringLiteral("Activating ") + m_entryPath + QLatin1Char(' ') + CurrentFile);
            m_ports.view.showNumber(QString::number(qint64(m_filesCounted)) + QStringLiteral(" found..."));
            m_ports.yielder.yield();
            if (row.CHECKSUM.size() < 200)
                m_checksumMissing = true;
            if (row.RGB.size() < 5)
                m_rgbMissing = true;
            if (row.PXLRAY.size() < 5)
                m_patternMissing = true;
        }
        dboFILES.moveNext();
    }
}
