#pragma once

#include <QImage>

// The main window's cartoon eyes peeking over an edge, drawn in the 16 classic colours:
// frame 0 open, 1 half closed, 2 closed; the right pair looks the other way.
namespace eyeframes {

constexpr int Width = 60;
constexpr int Height = 50;

QImage draw(int frame, bool rightPair);

} // namespace eyeframes
