#include "platform/DisplayPlatform.h"

#include "platform/ExitStatus.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

QtMessageHandler previousHandler = nullptr;

// The platform's other messages while the application object is made, held back: without a
// display its complaints before the fatal one read as a crash, and the program's own line says it.
struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> held;

void pass(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

void refuseWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        held.append({ type, QByteArray(context.category ? context.category : ""), message });
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
    // A display was opened: what the platform said meanwhile is told as it would have been.
    for (const HeldMessage& message : std::exchange(held, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        pass(message.type, context, message.text);
    }
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}
