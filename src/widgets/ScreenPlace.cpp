#include "widgets/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QPoint keptOnScreen(const QWidget* window, const QPoint& topLeft)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return topLeft;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    const int x = std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - size.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - size.height()));
    return { x, y };
}
