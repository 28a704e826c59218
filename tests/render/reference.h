// CPU references for the GPU program tests: four-component vectors with the
// programs' operations, and pictures sampled the way the texture units do.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

struct V4 {
  float x = 0, y = 0, z = 0, w = 0;
};

inline V4 v4(float x, float y, float z, float w) { return V4{x, y, z, w}; }
inline V4 splat(float s) { return V4{s, s, s, s}; }
inline V4 operator+(V4 a, V4 b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline V4 operator-(V4 a, V4 b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
inline V4 operator*(V4 a, V4 b) { return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w}; }
inline V4 operator*(V4 a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }
inline V4 operator*(float s, V4 a) { return a * s; }
inline V4 operator-(V4 a) { return {-a.x, -a.y, -a.z, -a.w}; }
inline float dot3(V4 a, V4 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float dot4(V4 a, V4 b) { return dot3(a, b) + a.w * b.w; }
inline V4 cross3(V4 a, V4 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0}; }
inline V4 normalize3(V4 a) {
  float length = std::sqrt(dot3(a, a));
  return {a.x / length, a.y / length, a.z / length, a.w / length};
}
inline float sat(float s) { return std::min(1.0f, std::max(0.0f, s)); }
inline V4 sat(V4 a) { return {sat(a.x), sat(a.y), sat(a.z), sat(a.w)}; }

// RGBA8 texels, row 0 at t = 0.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  V4 texel(int x, int y) const {
    x = ((x % width) + width) % width;
    y = ((y % height) + height) % height;
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
  }
  // GL_NEAREST with GL_REPEAT.
  V4 nearest(float s, float t) const {
    return texel(static_cast<int>(std::floor(s * width)), static_cast<int>(std::floor(t * height)));
  }
  // GL_LINEAR with GL_REPEAT.
  V4 linear(float s, float t) const {
    float u = s * width - 0.5f, v = t * height - 0.5f;
    int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
    float a = u - x0, b = v - y0;
    return texel(x0, y0) * ((1 - a) * (1 - b)) + texel(x0 + 1, y0) * (a * (1 - b)) + texel(x0, y0 + 1) * ((1 - a) * b) +
           texel(x0 + 1, y0 + 1) * (a * b);
  }
};

inline uint8_t toByte(float value) { return static_cast<uint8_t>(std::lround(sat(value) * 255.0f)); }

// One colour everywhere.
inline Image uniformImage(V4 colour) {
  return Image{1, 1, {toByte(colour.x), toByte(colour.y), toByte(colour.z), toByte(colour.w)}};
}
// What the GPU reads back from a texel written as colour.
inline V4 quantized(V4 colour) { return uniformImage(colour).texel(0, 0); }

template <typename Texel>
Image makeImage(int width, int height, Texel texelAt) {
  Image image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      V4 c = texelAt(x, y);
      uint8_t* p = &image.rgba[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = toByte(c.x);
      p[1] = toByte(c.y);
      p[2] = toByte(c.z);
      p[3] = toByte(c.w);
    }
  }
  return image;
}
