#include "widgets/WindowFrame.h"

#include <QEvent>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <optional>

namespace {

// A window manager that draws no frame never reports one: after this long the window is taken
// as framed with what there is.
constexpr int FrameWaitMs = 1000;

// The margins the last framed window got; the next one will most likely get the same.
std::optional<QMargins> lastFrame;

QMargins expectedMargins(const QWidget* window)
{
    if (lastFrame)
        return *lastFrame;
    return { 0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), 0, 0 };
}

QMargins reportedMargins(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

WindowFrame::WindowFrame(QWidget* window, std::function<void(QMargins)> place)
    : QObject(window)
    , m_window(window)
    , m_place(std::move(place))
    , m_margins(expectedMargins(window))
{
    m_window->installEventFilter(this);
    m_place(m_margins);
}

QSize WindowFrame::outerSize() const
{
    return m_window->size().grownBy(m_margins);
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || m_framed)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        QTimer::singleShot(FrameWaitMs, this, [this] {
            if (!m_framed)
                settle(reportedMargins(m_window));
        });
        [[fallthrough]];
    case QEvent::Move:
    case QEvent::Resize:
        // Framing moves the client area into the frame.
        if (const QMargins reported = reportedMargins(m_window); !reported.isNull())
            settle(reported);
        break;
    default:
        break;
    }
    return false;
}

void WindowFrame::settle(QMargins margins)
{
    m_framed = true;
    lastFrame = margins;
    if (margins == m_margins)
        return;
    m_margins = margins;
    m_place(m_margins);
}
