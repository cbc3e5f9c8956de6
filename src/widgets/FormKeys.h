#pragma once

#include "platform/KeyCodes.h"

#include <QChar>

#include <optional>

class QKeyEvent;

// The review windows handle keys as forms do: a KeyPress with the character typed, a KeyUp with
// the code of the key released.

// The character a key press types; none when it types nothing or comes with Alt, Ctrl or Meta
// (then it is an access key or a shortcut, never a typed character).
std::optional<QChar> typedCharacter(const QKeyEvent* event);

// The code of a released key the review windows act on (keycode::PageUp, PageDown, Delete); 0 for
// any other key and for the releases of an auto-repeat.
int releasedKeyCode(const QKeyEvent* event);
