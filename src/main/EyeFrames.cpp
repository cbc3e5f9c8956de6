#include "main/EyeFrames.h"

#include <QPainter>
#include <QPainterPath>

namespace eyeframes {

QImage draw(int frame, bool rightPair)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The edge the eyes peek over.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 36, Width, Height - 36);
    painter.setBrush(QColor(0xc0, 0xc0, 0xc0));
    painter.drawRect(0, 36, Width, 3);

    const int lookShift = rightPair ? -3 : 3;
    for (int eye = 0; eye < 2; ++eye) {
        const QRect ball(6 + eye * 25, 8, 22, 30);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(ball);
        const QPoint centre = ball.center() + QPoint(lookShift, 4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0x80));
        painter.drawEllipse(centre, 5, 6);
        painter.setBrush(Qt::black);
        painter.drawEllipse(centre, 2, 3);

        // The lid comes down over the ball: half way, then all the way.
        if (frame > 0) {
            const int lidBottom = frame == 1 ? ball.top() + ball.height() / 2 : ball.bottom() + 1;
            QPainterPath ballPath;
            ballPath.addEllipse(ball);
            QPainterPath lidPath;
            lidPath.addRect(ball.left() - 1, ball.top() - 1, ball.width() + 2, lidBottom - ball.top() + 1);
            painter.setBrush(QColor(0x80, 0x80, 0));
            painter.setPen(QPen(Qt::black, 1));
            painter.drawPath(ballPath.intersected(lidPath));
        }
    }
    // Brows.
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(8, 5 + (rightPair ? 2 : 0), 26, 5 + (rightPair ? 0 : 2));
    painter.drawLine(33, 5 + (rightPair ? 0 : 2), 51, 5 + (rightPair ? 2 : 0));
    painter.end();
    return image;
}

} // namespace eyeframes
