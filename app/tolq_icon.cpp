// Writes the program's icon for the desktop: the main window's open eyes, drawn by the window's
// own drawing and doubled pixel for pixel, on a 128 x 128 transparent square.
// Usage: tolq_icon FILE.png

#include "main/EyeFrames.h"

#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolq_icon FILE.png\n");
        return 2;
    }
    constexpr int Side = 128;
    const QImage eyes = eyeframes::draw(0, false);
    const QImage doubled = eyes.scaled(eyes.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QImage icon(Side, Side, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage((Side - doubled.width()) / 2, (Side - doubled.height()) / 2, doubled);
    painter.end();
    if (!icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "tolq_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
