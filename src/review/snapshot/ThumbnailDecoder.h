#pragma once

#include "imagestats/ImageDecoder.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <memory>
#include <vector>

// Decodes the pictures of a page on worker threads, each within a bound (JPEG at a reduced
// scale), so the window stays responsive and the page fills as fast as the processors allow.
// The caller takes the results in the order it wants them.
class ThumbnailDecoder
{
public:
    struct Job;
    using Ticket = std::shared_ptr<Job>;

    explicit ThumbnailDecoder(int threads = 0); // 0: one per processor
    // Drops the jobs not started and waits for those running.
    ~ThumbnailDecoder();
    ThumbnailDecoder(const ThumbnailDecoder&) = delete;
    ThumbnailDecoder& operator=(const ThumbnailDecoder&) = delete;

    Ticket submit(const QString& path, QSize bound);
    // Waits up to timeoutMs; true when the result is there.
    bool wait(const Ticket& ticket, int timeoutMs);
    // The result, waiting for it as long as it takes; an empty result for a dropped job.
    DecodeResult take(const Ticket& ticket);
    // The jobs not started yet are not decoded.
    void dropPending();

private:
    QThreadPool m_pool;
    std::vector<std::weak_ptr<Job>> m_jobs;
};

// The picture fitted into a thumbnail's square of the given background, centred across and
// standing at its top; a picture that fits keeps its size.
QImage fittedThumbnail(const QImage& picture, QSize box, QColor background);
