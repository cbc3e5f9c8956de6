// The catalogue writer of the pre-scan: one directory and one type, and the re-activation of a
// directory's records without reading the disk.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/RecordKey.h"
#include "catalogue/SqlRecordSet.h"
#include "catalogue/TableRecordSet.h"
#include "imagestats/MediaPrompts.h"
#include "platform/Conventions.h"
#include "platform/Yielder.h"
#include "scan/DirectoryListing.h"
#include "scan/PreScanEngine.h"
#include "scan/PreScanView.h"
#include "scan/StatisticsPipeline.h"
#include "session/FileTypes.h"

#include <algorithm>

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
void PreScanEngine::lookup(PendingFile& item)
{
    item.lookedUp = true;
    const DirectoryEntry& where = m_entries[std::size_t(item.file.entry)];
    const QString& name = item.file.name;
    const QString path = where.path + name;
    const std::optional<FileFacts> facts = item.file.directory ? item.file.directory->factsOf(name) : fileFacts(path);
    // Files ahead may come from many directories: none is held open longer than needed.
    item.file.directory.reset();
    if (!facts) {
        item.vanished = true;
        return;
    }
    item.facts = *facts;
    item.key = recordKeyText(
        where.volume, where.path, name, facts->length, facts->modifiedSeconds, m_session.IdentifyByLocation);
    item.found = seekRow(item.key, item.row);

    const ComparisonMode mode = m_settings.mode;
    const bool gather = m_settings.gather;
    StatisticsJob& job = item.job;
    job = StatisticsJob();
    job.filePath = path;
    job.fileType = item.file.fileType;
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
    item.suspect = false;
    if (!job.needsWork()) {
        m_lastDeaths.suspects.remove(path);
        return;
    }
    if (m_lastDeaths.alone.contains(path)) {
        // The process died while it read this picture on its own: catalogued as a file that
        // cannot be read, and never read again in this run.
        if (!m_fatalPassedOver.contains(path))
            m_fatalPassedOver << path;
        return;
    }
    item.suspect = m_lastDeaths.suspects.contains(path);
    if (!item.suspect)
        item.ticket = m_pipeline->submit(job);
}

// The pictures handed to the workers are recorded before a worker may start them, many at a
// time: new jobs wait until they are an eighth of the files ahead (fewer leave the workers idle
// between records), or until the loop needs one of them. Not synced: the write outlives the
// process, and a record lost with the power only names suspects, which cost a reading on their
// own, never a picture passed over.
void PreScanEngine::recordAhead(bool needed)
{
    const std::size_t held = std::size_t(m_pipeline->heldJobs());
    if (held == 0)
        return;
    if (!needed && held < qMax(std::size_t(m_pipeline->threads()), m_lookedUpAhead / 8))
        return;
    recordReading(m_pipeline->unfinished(), false, false);
    m_pipeline->release();
}

// The guard against a picture that ends the process is never off in silence: a record that
// cannot be written ends the run as a catalogue that fails under it does, its resume point kept.
void PreScanEngine::recordReading(const QStringList& reading, bool alone, bool sync)
{
    if (!m_journal->record(reading, alone, m_lastDeaths.suspects, sync))
        throw DecodingJournal::Unwritable(m_journal->failure());
}

// A picture that may end the process ends it with the rows written before it committed: the
// loop commits when it would wait for a result, at most every so often, and whenever a picture
// keeps it waiting.
void PreScanEngine::commitBeforeWait(bool waitedLong)
{
    constexpr qint64 CommitEveryMs = 250;
    if (m_writesInBatch > 0 && (waitedLong || m_sinceCommit.elapsed() >= CommitEveryMs)) {
        commitNow();
        beginBatch();
    }
}

StatisticsResult PreScanEngine::measure(PendingFile& item)
{
    if (!m_pipeline->background()) {
        // One picture at a time, read here; recorded as the workers' pictures are.
        recordReading({ item.job.filePath }, false, false);
        commitBeforeWait(false);
        return m_pipeline->take(item.ticket);
    }
    recordAhead(m_pipeline->held(item.ticket));
    if (!m_pipeline->wait(item.ticket, 0)) {
        commitBeforeWait(false);
        while (!m_pipeline->wait(item.ticket, ResultWaitMs)) {
            commitBeforeWait(true);
            m_ports.yielder.yield();
        }
    }
    return m_pipeline->take(item.ticket);
}

// A picture read beside others when the process died is read again on its own, after the rows
// before it are committed and every other reading has ended, so that if it ends the process
// again the next run knows it is the one.
StatisticsResult PreScanEngine::measureAlone(PendingFile& item)
{
    commitNow();
    beginBatch();
    while (!m_pipeline->waitIdle(ResultWaitMs))
        m_ports.yielder.yield();
    const QString path = item.job.filePath;
    m_lastDeaths.suspects.remove(path);
    recordReading({ path }, true, true);
    item.ticket = m_pipeline->submit(item.job);
    m_pipeline->release();
    while (!m_pipeline->wait(item.ticket, ResultWaitMs))
        m_ports.yielder.yield();
    StatisticsResult result = m_pipeline->take(item.ticket);
    recordReading({}, false, true);
    return result;
}

bool PreScanEngine::fixesJpeg() const
{
    static const int jpgIndex = int(std::find_if(FileTypes.begin(), FileTypes.end(), [](const FileType& t) {
        return qstrcmp(t.extension, ".JPG") == 0;
    }) - FileTypes.begin());
    return m_settings.fixJpeg && typeTicked(jpgIndex);
}

// A directory read before the loop gets to its entry holds what the loop will find there, unless
// the entry's opening steps change it: the media prompt may bring another disk or the directory
// itself, and .jpeg and .jpe files are renamed.
bool PreScanEngine::usableAhead(int entry, const ScanQueue::Listing& listing) const
{

    if (!listing.readable)
        return false;
    const DirectoryEntry& where = m_entries[std::size_t(entry)];
    if (directoryPromptDue(where.volume, where.path,
            MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_ports.volumes))
        return false;
    if (fixesJpeg()) {
        for (const QStringList* names : { &listing.names, &listing.undecodable }) {
            for (const QString& name : *names) {
                if (name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive)
                    || name.endsWith(QLatin1String(".jpe"), Qt::CaseInsensitive))
                    return false;
            }
        }
    }
    return true;
}

// With workers, the files ahead, also of later types and entries, are keyed and sought early so
// that their measuring runs while earlier files are written, as far as the pixel budget allows.
// Looking ahead pays only while files need measuring: an unchanged rescan stops doing it (and so
// seeks each file once), and the first file that needs work starts it again.
void PreScanEngine::lookAhead()
{
    if (!m_pipeline->background())
        return;
    while (m_aheadUseful && m_pipeline->hasRoom()) {
        if (m_lookedUpAhead == m_pending.size()) {
            std::optional<ScanQueue::File> file = m_queue->next();
            if (!file)
                return;
            m_pending.emplace_back().file = std::move(*file);
        }
        PendingFile& ahead = m_pending[m_lookedUpAhead++];
        lookup(ahead);
        m_aheadUseful = ahead.ticket != nullptr;
    }
}

// The next file of the current entry and this type, or null when it has none left. Without a
// look-ahead no later entry is read here.
PendingFile* PreScanEngine::nextPending(const QString& fileType)
{
    if (m_pending.empty()) {
        std::optional<ScanQueue::File> file = m_queue->next(m_entryIndex);
        if (!file)
            return nullptr;
        m_pending.emplace_back().file = std::move(*file);
    }
    PendingFile& front = m_pending.front();
    if (front.file.entry != m_entryIndex || front.file.fileType != fileType)
        return nullptr;
    return &front;
}

void PreScanEngine::dropPending()
{
    for (PendingFile& item : m_pending) {
        if (item.ticket && m_pipeline)
            m_pipeline->discard(item.ticket);
    }
    m_pending.clear();
    m_lookedUpAhead = 0;
    m_aheadUseful = true;
}

void PreScanEngine::pauseWait()
{
    // Abort acts while paused; Quit waits for the pause to end.
    while (m_paused && !m_abortRequested) {
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
    const ScanQueue::Listing& listing = m_queue->entered();
    if (!listing.readable)
        return;
    // Names that cannot be opened again from their text are passed over, and counted.
    for (const QString& name : filesOfType(listing.undecodable, fileType)) {
        if (scanAccepts(m_filter, name, fileType, m_settings.notFilter))
            ++m_passedOver;
    }
    if (!m_database->inTransaction())
        beginBatch();

    for (;;) {
        lookAhead();
        recordAhead(false);
        PendingFile* head = nextPending(fileType);
        if (!head)
            break;
        if (m_quitRequested) {
            dropPending();
            return;
        }
        pauseWait();
        if (m_abortRequested) {
            dropPending();
            return;
        }
        PendingFile& item = *head;
        showProgress(item.file.name);

        // The files looked up stay a prefix of m_pending until they are written.
        const auto popHead = [this] {
            m_pending.pop_front();
            --m_lookedUpAhead;
        };
        if (!item.lookedUp) {
            lookup(item);
            ++m_lookedUpAhead;
            m_aheadUseful = item.ticket != nullptr;
        } else {
            // A file ahead may have lost its row to an earlier file of the same key (photo.jpg
            // and PHOTO.JPG, or one file in two listed directories): seek again and measure
            // afresh when the row is no longer the same.
            CatalogueRecord now;
            const bool found = !item.vanished && seekRow(item.key, now);
            if (!item.vanished && (found != item.found || (found && now.rowId != item.row.rowId))) {
                if (item.ticket)
                    m_pipeline->discard(item.ticket);
                lookup(item);
            }
        }
        if (item.vanished) {
            popHead();
            continue;
        }
        StatisticsResult result;
        if (item.ticket || item.suspect) {
            // No look-ahead meanwhile: its seeks would move the record set off the row to write.
            result = item.suspect ? measureAlone(item) : measure(item);
            if (result.vanished) {
                popHead();
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
        popHead();
    }
}

void PreScanEngine::writeRecord(const PendingFile& item, const QString& fileType)
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
        rst.setField(u"DISKNAME", item.file.name);
        rst.update();
    } else {
        const QString& name = item.file.name;
        const QString stem = name.left(name.size() - 4);
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
        r.WHOLENAME = conv::upper(name);
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
        r.DISKNAME = name;
        rst.addNew();
        rst.setRecord(r);
        rst.update();
    }
    countWrite();
}

void PreScanEngine::ReactivateDirectoryType(const QString& fileType)
{
    SqlRecordSet dboFILES(*m_database);
    dboFILES.setSource(EntryRows + QStringLiteral(" AND EXTENSION = ? AND ACTIVE <> 'X'"), QString(),
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
