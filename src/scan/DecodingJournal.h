#pragma once

#include "scan/StatisticsPipeline.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <climits>
#include <stdexcept>
#include <sys/types.h>

// Decoding.dat beside Scanning.dat: the pictures the pre-scan is reading and measuring, on disk
// before their reading starts. A picture that makes the process die (memory, a decoder's crash)
// is found there by the next run. A picture read on its own is marked so: when the process died
// with it, it is the one to blame; pictures read beside others are only suspects, read on their
// own next time. Suspects not read yet are kept from run to run.
class DecodingJournal
{
public:
    // What a run throws when its record cannot be written; what() is the text the user is told.
    struct Unwritable : std::runtime_error
    {
        explicit Unwritable(const QString& text)
            : std::runtime_error(text.toStdString())
        {
        }
    };

    struct Contents
    {
        QSet<QString> alone; // read on its own when the process died
        QSet<QString> suspects; // read beside others, or not yet read on its own
    };

    // The most entries a record holds: the pictures the workers may hold (the files ahead of the
    // loop and its own) and as many suspects again. A worker may still be reading a picture it
    // dropped besides: on a machine of thousands of threads the next run may take such a record
    // as torn.
    static constexpr qsizetype MostEntries = 2 * (StatisticsPipeline::MostFilesAhead + 1);
    // A path of PATH_MAX bytes or more cannot be opened, so no reading of it ends the process.
    static constexpr qsizetype MostPathBytes = PATH_MAX - 1;
    static constexpr qsizetype MostLengthDigits = 19; // of a qint64
    // The most bytes a record takes: its length line, and as many entries of the longest path.
    static constexpr qint64 MostBytes = MostLengthDigits + 1 + MostEntries * (1 + MostPathBytes + 1);

    static QString pathIn(const QString& programDirectory);
    // What the file holds; empty when it is missing, not a regular file (a link to one included)
    // or not whole.
    static Contents read(const QString& path);
    // What the user is told when the file at the path cannot serve as the record: something other
    // than a regular file stands there (a link too), or a file larger than any record, or one the
    // program cannot read or write. The program neither writes its record there nor removes it.
    // Empty when nothing stands there or the file serves.
    static QString refusal(const QString& path);

    explicit DecodingJournal(QString path);
    ~DecodingJournal();
    DecodingJournal(const DecodingJournal&) = delete;
    DecodingJournal& operator=(const DecodingJournal&) = delete;

    // Replaces what the file holds, in one write, so that a process killed meanwhile leaves the
    // old contents or the new; with sync, the new contents are on the disk when it returns. False
    // when the file cannot be written. The pictures read come first; the suspects follow, the
    // first in name order, as many as keep the record within MostEntries.
    bool record(const QStringList& reading, bool alone, const QSet<QString>& suspects, bool sync);
    // What the user is told of the last record() that failed: the file and the cause.
    QString failure() const;
    // Nothing is being read and nothing is suspect: the file goes, when it is still the regular
    // file this journal wrote or found; nothing put in its place is removed.
    void remove();

private:
    bool openFile(int flags);
    bool fail(int error);

    QString m_path;
    QString m_failure;
    int m_fd = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
