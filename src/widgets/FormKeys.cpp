#include "widgets/FormKeys.h"

#include <QKeyEvent>

std::optional<QChar> typedCharacter(const QKeyEvent* event)
{
    if (event->text().isEmpty() || (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)))
        return std::nullopt;
    return event->text().at(0);
}

int releasedKeyCode(const QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return 0;
    switch (event->key()) {
    case Qt::Key_PageUp:
        return keycode::PageUp;
    case Qt::Key_PageDown:
        return keycode::PageDown;
    case Qt::Key_Delete:
        return keycode::Delete;
    default:
        return 0;
    }
}
