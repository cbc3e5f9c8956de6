#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;
struct Session;

// The primary screen's rectangle.
QRect primaryScreenArea();

// A window put back at a remembered place shows all of itself: the screen may have become
// smaller since the place was stored, or the place was never whole. The top left corner of the
// window's outer frame is moved just as far as needed onto the primary screen.
QPoint keptOnScreen(QSize frame, const QPoint& topLeft);

// Place a dialog by its outer frame against its owner's, now and once the window manager has
// framed it: centred over the owner, or with its bottom-right corner inset pixels inside the
// owner's.
void centreOver(QWidget* window, const QWidget* owner);
void placeInCornerOf(QWidget* window, const QWidget* owner, int inset);

// Places a progress window by its frame, now and once the window manager has framed it: at the
// stored place of the progress windows, kept on the screen, or with none stored at the right
// edge of the screen, 450 twips above its bottom.
void placeProgressWindow(QWidget* window, const Session& session);
