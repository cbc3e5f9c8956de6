#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;
struct Session;

// The primary screen's rectangle.
QRect primaryScreenArea();

// No window stands with its frame outside the screen: a place remembered on a larger screen, or a
// window placed against another that stands near an edge. The top left corner of the window's
// outer frame is moved just as far as needed into the area (the primary screen's unless given);
// a window larger than the area keeps its title bar on it.
QPoint keptOnScreen(QSize frame, const QPoint& topLeft, const QRect& area = primaryScreenArea());

// A window whose rows cannot stand in the height given closes them up: the vertical spacing of its
// layouts shrinks, as far as none, until its least height fits. The window is then made no taller
// than the height, where it can be.
void closeUpToFit(QWidget* window, int height);

// Place a dialog by its outer frame against its owner's, now and once the window manager has
// framed it: centred over the owner, or with its bottom-right corner inset pixels inside the
// owner's.
void centreOver(QWidget* window, const QWidget* owner);
void placeInCornerOf(QWidget* window, const QWidget* owner, int inset);

// Places a progress window by its frame, now and once the window manager has framed it: at the
// stored place of the progress windows, kept on the screen, or with none stored at the right
// edge of the screen, 450 twips above its bottom.
void placeProgressWindow(QWidget* window, const Session& session);
