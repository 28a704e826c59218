// The bump map format the lighting programs read from texture unit 0.
#pragma once

// From each pixel's luminance L = trunc(0.299 r + 0.587 g + 0.114 b) and
// height H = L / 2: red = 127 + floor((H(x-1) - H(x+1)) / 2), green =
// 127 + floor((H(y+1) - H(y-1)) / 2) (rows in buffer order), blue = 255 - L,
// and a fourth byte 0 when bytesPerPixel is 4. Edge pixels get slope 0
// across the edge. source and destination are width x height x bytesPerPixel.
void heightToNormal(const unsigned char* source, unsigned char* destination, int width, int height,
                    int bytesPerPixel);
