#include "platform/DisplayPlatform.h"

#include <QtGlobal>

QByteArray placementPlatform(const QByteArray& qpaPlatform, const QByteArray& sessionType,
    const QByteArray& waylandDisplay, const QByteArray& x11Display)
{
    if (!qpaPlatform.isEmpty() || x11Display.isEmpty())
        return {};
    const bool wayland = sessionType.compare("wayland", Qt::CaseInsensitive) == 0 || !waylandDisplay.isEmpty();
    return wayland ? QByteArrayLiteral("xcb") : QByteArray();
}

void choosePlacementPlatform()
{
    const QByteArray platform = placementPlatform(
        qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
