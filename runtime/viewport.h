// Render-target sizes and the 16:9 letterbox.
#pragma once

struct Viewport {
  int x, y, width, height;
};

// The largest power of two not above value; 0 for values below 1.
int largestPowerOfTwoAtMost(int value);

// K = (1 - outputAspect / contentAspect) * height; the picture is drawn in
// (0, trunc(K / 2), width, trunc(height - K)). A window wider than the
// content gives a negative K: the picture is cut at top and bottom.
Viewport letterboxViewport(int width, int height, float outputAspect, float contentAspect);
