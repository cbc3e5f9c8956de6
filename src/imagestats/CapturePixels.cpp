#include "imagestats/CapturePixels.h"

bool CapturePixels(PixelArray& pixels, const QImage& drawnPicture)
{
    return pixels.adopt(drawnPicture);
}
