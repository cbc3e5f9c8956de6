#include "widgets/FloatingPad.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

FloatingPad::FloatingPad(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setWindowTitle(QString());
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(grey);
}

void FloatingPad::bringUp()
{
    // Shown above its owner, as a tool window always is.
    show();
    if (!isActiveWindow())
        activateWindow();
}

bool FloatingPad::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        activated();
        break;
    case QEvent::WindowDeactivate:
        // A window may not be placed off the screen everywhere: out of the way means hidden.
        if (!QApplication::activeModalWidget())
            hide();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void FloatingPad::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
