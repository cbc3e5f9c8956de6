#pragma once

// The number of colours the screen shows, 2 to the power of its bits per pixel; 2^24 when
// there is no screen to ask.
double ScreenColours();
