#pragma once

#include <QByteArray>

// Several windows must stand at exact places (the pre-scan window, the move dialog, the
// snapshot's pads), and a Wayland client cannot place its own windows. In a Wayland session
// with XWayland at hand the program therefore runs as an X client. An explicit
// QT_QPA_PLATFORM is always kept. Returns the platform to ask Qt for, or empty for its default.
QByteArray placementPlatform(const QByteArray& qpaPlatform, const QByteArray& sessionType,
    const QByteArray& waylandDisplay, const QByteArray& x11Display);

// Sets QT_QPA_PLATFORM from the environment by that rule; call before the application object.
void choosePlacementPlatform();

// Qt ends the process with an abort when it cannot open the display it was asked for. While one
// of these lives (around the making of the application object), that end becomes the program's
// own line on standard error, alone, and the exit status of a refusal; what the platform says
// meanwhile is told only once a display is open.
class DisplayRequired
{
public:
    DisplayRequired();
    ~DisplayRequired();
    DisplayRequired(const DisplayRequired&) = delete;
    DisplayRequired& operator=(const DisplayRequired&) = delete;
};
