#pragma once

class QWidget;

// The width a small window needs so that the window manager shows its whole title beside the
// frame's buttons instead of cutting it down to "t'olq! - Dri...".
int titleRoom(const QWidget* window);
