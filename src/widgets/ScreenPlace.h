#pragma once

#include <QPoint>

class QWidget;

// A window put back at a remembered place shows all of itself: the screen may have become
// smaller since the place was stored, or the place was never whole. The top left corner given
// is moved just as far as needed onto the primary screen.
QPoint keptOnScreen(const QWidget* window, const QPoint& topLeft);
