#include "widgets/FloatingPad.h"

#include "widgets/FormKeys.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

FloatingPad::FloatingPad(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setWindowTitle(QString());
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(grey);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        // The modal dialog has closed and its owner came to the front: the pad returns there.
        if (!m_backAfterModal || QApplication::activeModalWidget() || !focused)
            return;
        m_backAfterModal = false;
        if (m_parked && parentWidget() && focused == parentWidget()->windowHandle())
            bringUp();
    });
}

void FloatingPad::setVisible(bool visible)
{
    if (!m_parking)
        m_parked = false;
    QWidget::setVisible(visible);
}

void FloatingPad::park()
{
    m_parking = true;
    hide();
    m_parking = false;
    m_parked = true;
}

void FloatingPad::bringUp()
{
    // Shown above its owner, as a tool window always is.
    show();
    if (!isActiveWindow())
        activateWindow();
}

QPushButton* FloatingPad::accessKeyButton(const QKeyEvent* event) const
{
    if (!(event->modifiers() & Qt::AltModifier))
        return nullptr;
    const QKeySequence typed(event->keyCombination());
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isEnabled() && !button->isHidden() && QKeySequence::mnemonic(button->text()) == typed)
            return button;
    }
    return nullptr;
}

bool FloatingPad::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The owner's access letters would count as well while the pad is in front, and a letter
        // both have would only move the focus: the pad's own come first.
        if (accessKeyButton(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::WindowActivate:
        activated();
        break;
    case QEvent::WindowDeactivate:
        // Another window of the program is in front: the pad must not stand over it.
        if (isVisible()) {
            m_backAfterModal = QApplication::activeModalWidget() != nullptr;
            park();
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void FloatingPad::keyPressEvent(QKeyEvent* event)
{
    if (const auto typed = typedCharacter(event); typed && m_keyPreview)
        Form_KeyPress(*typed);
    if (QPushButton* button = accessKeyButton(event)) {
        pressButton(button);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FloatingPad::keyReleaseEvent(QKeyEvent* event)
{
    if (const int code = releasedKeyCode(event); code && m_keyPreview)
        Form_KeyUp(code);
    QWidget::keyReleaseEvent(event);
}

void FloatingPad::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
