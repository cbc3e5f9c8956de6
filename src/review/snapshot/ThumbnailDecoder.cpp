#include "review/snapshot/ThumbnailDecoder.h"

#include <QPainter>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <mutex>

struct ThumbnailDecoder::Job
{
    QString path;
    QSize bound;
    std::mutex mutex;
    std::condition_variable ready;
    bool dropped = false;
    bool done = false;
    DecodeResult result;
};

ThumbnailDecoder::ThumbnailDecoder(int threads)
{
    m_pool.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
}

ThumbnailDecoder::~ThumbnailDecoder()
{
    dropPending();
    m_pool.waitForDone();
}

ThumbnailDecoder::Ticket ThumbnailDecoder::submit(const QString& path, QSize bound)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    job->bound = bound;
    std::erase_if(m_jobs, [](const std::weak_ptr<Job>& held) { return held.expired(); });
    m_jobs.push_back(job);
    m_pool.start([job] {
        bool dropped = false;
        {
            std::lock_guard lock(job->mutex);
            dropped = job->dropped;
        }
        DecodeResult result = dropped ? DecodeResult() : decodeImageFile(job->path, job->bound);
        {
            std::lock_guard lock(job->mutex);
            job->result = std::move(result);
            job->done = true;
        }
        job->ready.notify_all();
    });
    return job;
}

bool ThumbnailDecoder::wait(const Ticket& ticket, int timeoutMs)
{
    std::unique_lock lock(ticket->mutex);
    return ticket->ready.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return ticket->done; });
}

DecodeResult ThumbnailDecoder::take(const Ticket& ticket)
{
    std::unique_lock lock(ticket->mutex);
    ticket->ready.wait(lock, [&] { return ticket->done; });
    return ticket->result;
}

void ThumbnailDecoder::dropPending()
{
    for (const std::weak_ptr<Job>& held : m_jobs) {
        if (const Ticket job = held.lock()) {
            std::lock_guard lock(job->mutex);
            job->dropped = true;
        }
    }
    m_jobs.clear();
}

QImage fittedThumbnail(const QImage& picture, QSize box, QColor background)
{
    if (picture.isNull())
        return {};
    const QImage fitted = picture.width() > box.width() || picture.height() > box.height()
        ? picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : picture;
    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(background);
    QPainter painter(&canvas);
    painter.drawImage(QPoint((box.width() - fitted.width()) / 2, 0), fitted);
    return canvas;
}
