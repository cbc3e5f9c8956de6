#pragma once

#include "platform/Conventions.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>

// The windows' design places and the layouts worked out for them are in twips; Qt places in
// pixels. Every coordinate is converted on its own, so a rectangle keeps its design width and
// height whatever its corner.
namespace twips {

// Twips to pixels.
constexpr int px(int value)
{
    return conv::twipsToPixels(value);
}

inline QPoint px(QPoint point)
{
    return { px(point.x()), px(point.y()) };
}

inline QSize px(QSize size)
{
    return { px(size.width()), px(size.height()) };
}

inline QRect px(const QRect& rect)
{
    return { px(rect.x()), px(rect.y()), px(rect.width()), px(rect.height()) };
}

inline QLine px(const QLine& line)
{
    return { px(line.p1()), px(line.p2()) };
}

// A design place: Left, Top, Width and Height in twips.
inline QRect px(int left, int top, int width, int height)
{
    return px(QRect(left, top, width, height));
}

// Pixels to twips.
constexpr int of(int value)
{
    return conv::pixelsToTwips(value);
}

inline QPoint of(QPoint point)
{
    return { of(point.x()), of(point.y()) };
}

inline QSize of(QSize size)
{
    return { of(size.width()), of(size.height()) };
}

inline QRect of(const QRect& rect)
{
    return { of(rect.x()), of(rect.y()), of(rect.width()), of(rect.height()) };
}

} // namespace twips
