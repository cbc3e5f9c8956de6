#pragma once

#include "imagestats/PixelArray.h"

#include <QImage>

// Fills the array with the drawn picture at its natural size, bottom row first. Nothing of an
// earlier capture survives. False, with the array empty, when there is nothing to capture.
bool CapturePixels(PixelArray& pixels, const QImage& drawnPicture);
