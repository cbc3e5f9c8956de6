#pragma once

#include "platform/Conventions.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <concepts>

// The windows' design places and the layouts worked out for them are in twips; Qt places in
// pixels. px turns twips into pixels, of pixels into twips.
namespace twips {

constexpr int px(int value)
{
    return conv::twipsToPixels(value);
}

constexpr int of(int value)
{
    return conv::pixelsToTwips(value);
}

namespace detail {

template <class T>
concept Place = std::same_as<T, QPoint> || std::same_as<T, QSize> || std::same_as<T, QRect> || std::same_as<T, QLine>;

// Every number of a place converted on its own, so a rectangle keeps its design width and height
// whatever its corner.
template <class Convert> QPoint each(QPoint point, Convert convert)
{
    return { convert(point.x()), convert(point.y()) };
}

template <class Convert> QSize each(QSize size, Convert convert)
{
    return { convert(size.width()), convert(size.height()) };
}

template <class Convert> QRect each(const QRect& rect, Convert convert)
{
    return { convert(rect.x()), convert(rect.y()), convert(rect.width()), convert(rect.height()) };
}

template <class Convert> QLine each(const QLine& line, Convert convert)
{
    return { each(line.p1(), convert), each(line.p2(), convert) };
}

} // namespace detail

// A point, size, rectangle or line.
template <detail::Place Place> Place px(const Place& place)
{
    return detail::each(place, [](int value) { return px(value); });
}

template <detail::Place Place> Place of(const Place& place)
{
    return detail::each(place, [](int value) { return of(value); });
}

// A design place: Left, Top, Width and Height in twips.
inline QRect px(int left, int top, int width, int height)
{
    return px(QRect(left, top, width, height));
}

} // namespace twips
