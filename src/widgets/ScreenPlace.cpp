#include "widgets/ScreenPlace.h"

#include "platform/Conventions.h"
#include "session/Session.h"
#include "widgets/WindowFrame.h"

#include <QBoxLayout>
#include <QGridLayout>
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

QPoint keptOnScreen(QSize frame, const QPoint& topLeft, const QRect& area)
{
    const int x = std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - frame.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - frame.height()));
    return { x, y };
}

namespace {

bool vertical(const QBoxLayout* box)
{
    return box->direction() == QBoxLayout::TopToBottom || box->direction() == QBoxLayout::BottomToTop;
}

// Closes every vertical gap of the layouts by a pixel; false when none was left to close.
bool closeUpByOne(const QList<QLayout*>& layouts)
{
    bool closed = false;
    for (QLayout* layout : layouts) {
        if (auto* grid = qobject_cast<QGridLayout*>(layout); grid && grid->verticalSpacing() > 0) {
            grid->setVerticalSpacing(grid->verticalSpacing() - 1);
            closed = true;
        } else if (auto* box = qobject_cast<QBoxLayout*>(layout); box && vertical(box) && box->spacing() > 0) {
            box->setSpacing(box->spacing() - 1);
            closed = true;
        }
        // The size hints of a widget are kept until it is told its geometry changed.
        layout->invalidate();
        if (QWidget* owner = layout->parentWidget())
            owner->updateGeometry();
    }
    return closed;
}

} // namespace

void closeUpToFit(QWidget* window, int height)
{
    if (window->minimumSizeHint().height() > height) {
        const QList<QLayout*> layouts = window->findChildren<QLayout*>();
        // Spacing not set is inherited from the layout above: each is fixed first, so the rows
        // that stand side by side keep theirs.
        for (QLayout* layout : layouts) {
            if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
                grid->setHorizontalSpacing(grid->horizontalSpacing());
                grid->setVerticalSpacing(grid->verticalSpacing());
            } else if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
                box->setSpacing(box->spacing());
            }
        }
        while (window->minimumSizeHint().height() > height) {
            if (!closeUpByOne(layouts))
                break;
        }
        if (window->layout())
            window->layout()->activate();
    }
    if (window->height() > height)
        window->resize(window->width(), std::max(height, window->minimumHeight()));
}

void centreOver(QWidget* window, const QWidget* owner)
{
    new WindowFrame(window, [window, owner](QMargins frame) {
        const QSize outer = window->size().grownBy(frame);
        const QRect over = owner->frameGeometry();
        window->move(keptOnScreen(outer,
            QPoint(over.x() + (over.width() - outer.width()) / 2, over.y() + (over.height() - outer.height()) / 2)));
    });
}

void placeInCornerOf(QWidget* window, const QWidget* owner, int inset)
{
    new WindowFrame(window, [window, owner, inset](QMargins frame) {
        const QSize outer = window->size().grownBy(frame);
        const QRect over = owner->frameGeometry();
        window->move(keptOnScreen(outer,
            QPoint(
                over.x() + over.width() - outer.width() - inset, over.y() + over.height() - outer.height() - inset)));
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
        window->move(keptOnScreen(outer, area.topLeft() + QPoint(conv::twipsToPixels(left), conv::twipsToPixels(top))));
    });
}
