#include "platform/SoundPlayer.h"

#include <QRandomGenerator>

void soundStep(SoundPlayer& player, const QStringList& soundFiles, bool noSound)
{
    if (noSound)
        return;
    if (soundFiles.isEmpty()) {
        player.beep();
        return;
    }
    player.playWav(soundFiles.at(QRandomGenerator::global()->bounded(int(soundFiles.size()))));
}
