#pragma once

#include <QMargins>
#include <QObject>
#include <QSize>

#include <functional>

class QWidget;

// Places and sizes a top-level window by its outer frame, title bar and borders included, which
// the window manager draws round it. The frame's margins are known only once the window manager
// has framed the window: until then the window is placed for the margins it will most likely get,
// and placed once more when the real ones are known. Later moves and resizes are the user's.
class WindowFrame : public QObject
{
    Q_OBJECT
public:
    // place puts the window for the frame margins given: it moves the frame (QWidget::move moves
    // a window's frame) and sizes the client area. It runs now and once the window is framed.
    WindowFrame(QWidget* window, std::function<void(QMargins)> place);

    QMargins margins() const { return m_margins; }
    // The outer size for the window's present client size.
    QSize outerSize() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void settle(QMargins margins);

    QWidget* m_window;
    std::function<void(QMargins)> m_place;
    QMargins m_margins;
    bool m_framed = false;
};
