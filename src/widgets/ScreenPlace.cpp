#include "widgets/ScreenPlace.h"

#include "platform/Conventions.h"
#include "session/Session.h"
#include "widgets/WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int BottomMarginTwips = 450;

} // namespace

QRect primaryScreenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QPoint keptOnScreen(QSize frame, const QPoint& topLeft)
{
    const QRect area = primaryScreenArea();
    const int x = std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - frame.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - frame.height()));
    return { x, y };
}

void centreOver(QWidget* window, const QWidget* owner)
{
    new WindowFrame(window, [window, owner](QMargins frame) {
        const QSize outer = window->size().grownBy(frame);
        const QRect over = owner->frameGeometry();
        window->move(over.x() + (over.width() - outer.width()) / 2, over.y() + (over.height() - outer.height()) / 2);
    });
}

void placeInCornerOf(QWidget* window, const QWidget* owner, int inset)
{
    new WindowFrame(window, [window, owner, inset](QMargins frame) {
        const QSize outer = window->size().grownBy(frame);
        const QRect over = owner->frameGeometry();
        window->move(
            over.x() + over.width() - outer.width() - inset, over.y() + over.height() - outer.height() - inset);
    });
}

void placeProgressWindow(QWidget* window, const Session& session)
{
    new WindowFrame(window, [window, &session](QMargins frame) {
        const QSize outer = window->size().grownBy(frame);
        if (session.PreScanTop != Session::NoStoredPosition) {
            window->move(keptOnScreen(
                outer, QPoint(conv::twipsToPixels(session.PreScanLeft), conv::twipsToPixels(session.PreScanTop))));
            return;
        }
        const QRect area = primaryScreenArea();
        const int top = conv::pixelsToTwips(area.height()) - conv::pixelsToTwips(outer.height()) - BottomMarginTwips;
        const int left = conv::pixelsToTwips(area.width()) - conv::pixelsToTwips(outer.width());
        window->move(area.topLeft() + QPoint(conv::twipsToPixels(left), conv::twipsToPixels(top)));
    });
}
