#include "widgets/QtSoundPlayer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

namespace {

// Qt's wave decoder waits for ever on a file that is cut short (or empty) and never reports an
// error, so the chunks are checked here: a format chunk, then sound data that the file holds whole.
bool isCompleteWave(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || riff.mid(8, 4) != "WAVE")
        return false;
    const bool bigEndian = riff.startsWith("RIFX");
    if (!bigEndian && !riff.startsWith("RIFF"))
        return false;
    const qint64 size = file.size();
    bool haveFormat = false;
    qint64 pos = 12;
    while (pos + 8 <= size && file.seek(pos)) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return false;
        const quint32 length = bigEndian ? qFromBigEndian<quint32>(header.constData() + 4)
                                         : qFromLittleEndian<quint32>(header.constData() + 4);
        if (header.startsWith("data"))
            return haveFormat && length > 0 && pos + 8 + qint64(length) <= size;
        if (header.startsWith("fmt "))
            haveFormat = true;
        pos += 8 + qint64(length) + (length & 1);
    }
    return false;
}

} // namespace

QtSoundPlayer::QtSoundPlayer(QObject* parent)
    : QObject(parent)
{
}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::playWav(const QString& path)
{
    if (m_current) {
        QSoundEffect* previous = m_current;
        m_current = nullptr;
        previous->disconnect(this);
        previous->stop();
        previous->deleteLater();
    }
    if (!QFileInfo(path).isFile() || !isCompleteWave(path)) {
        beep();
        return;
    }
    auto* effect = new QSoundEffect(this);
    m_current = effect;
    connect(effect, &QSoundEffect::statusChanged, this, [this, effect] {
        if (effect->status() == QSoundEffect::Error) {
            release(effect);
            beep();
        }
    });
    connect(effect, &QSoundEffect::playingChanged, this, [this, effect] {
        if (!effect->isPlaying() && effect->status() == QSoundEffect::Ready)
            release(effect);
    });
    effect->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    effect->play();
}

void QtSoundPlayer::beep()
{
    QApplication::beep();
}

void QtSoundPlayer::release(QSoundEffect* effect)
{
    if (m_current == effect)
        m_current = nullptr;
    effect->disconnect(this);
    effect->deleteLater();
}
