#include "widgets/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

QPoint keptOnScreen(const QWidget* window, const QPoint& topLeft)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return topLeft;
    const QRect area = screen->geometry();
    QSize size = window->frameGeometry().size().expandedTo(window->size());
    // Before it is first shown a window has no frame yet: room for the title bar the window
    // manager will add above it.
    if (!window->isVisible())
        size.rheight() += window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int x = std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - size.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - size.height()));
    return { x, y };
}
