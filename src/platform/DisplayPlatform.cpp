#include "platform/DisplayPlatform.h"

#include "platform/ExitStatus.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previousHandler = nullptr;

void refuseWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (previousHandler)
            previousHandler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    // While the application object is made, a fatal message is the platform's: no display.
    std::fputs("t'olq! needs a display to show its windows, and none could be opened.\n", stderr);
    std::fflush(stderr);
    // Nothing is open or written yet; the half-made application object is left as it is.
    std::_Exit(int(ExitStatus::Refused));
}

} // namespace

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

DisplayRequired::DisplayRequired()
{
    previousHandler = qInstallMessageHandler(refuseWithoutDisplay);
}

DisplayRequired::~DisplayRequired()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}
