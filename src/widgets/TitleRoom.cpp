#include "widgets/TitleRoom.h"

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

int titleRoom(const QWidget* window)
{
    // Title bars draw in a bold face; the frame's icon and three buttons take about 140 pixels.
    QFont font = window->font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window->windowTitle()) + 140;
}
