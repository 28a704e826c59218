// The two lighting pairs on a flat, tilted surface under an orthographic
// view, where every interpolated value is exact at pixel centres: the CPU
// works out the vertex formulas at the surface point behind each pixel, then
// the fragment formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "render/gpu.h"
#include "tests/render/gl_fixture.h"
#include "tests/render/reference.h"

namespace {

constexpr int canvasSize = 16;
constexpr float quadHalf = 6.0f;  // object-space half size, enough to cover the view after the tilt
const V4 normal = v4(0, 0, 1, 1);
const V4 tangent = v4(0.8f, 0.6f, 0, 1);  // carried in the primary colour

struct Matrix {
  float m[16];  // column order
  V4 row(int r) const { return {m[r], m[r + 4], m[r + 8], m[r + 12]}; }
  V4 column(int c) const { return {m[4 * c], m[4 * c + 1], m[4 * c + 2], m[4 * c + 3]}; }
  V4 operator*(V4 v) const { return {dot4(row(0), v), dot4(row(1), v), dot4(row(2), v), dot4(row(3), v)}; }
};

Matrix inverse(const Matrix& a) {
  double m[4][8];
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      m[r][c] = a.m[4 * c + r];
      m[r][c + 4] = r == c ? 1.0 : 0.0;
    }
  }
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r) {
      if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) pivot = r;
    }
    for (int k = 0; k < 8; ++k) std::swap(m[c][k], m[pivot][k]);
    double scale = m[c][c];
    for (int k = 0; k < 8; ++k) m[c][k] /= scale;
    for (int r = 0; r < 4; ++r) {
      if (r == c) continue;
      double f = m[r][c];
      for (int k = 0; k < 8; ++k) m[r][k] -= f * m[c][k];
    }
  }
  Matrix out;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) out.m[4 * c + r] = static_cast<float>(m[r][c + 4]);
  }
  return out;
}

// The view: orthographic over x -1.5..1.5, y -1..1, and a surface turned,
// tilted, scaled unevenly and moved away.
struct View {
  Matrix projection, modelview, inverseTranspose;
};

View setUpView() {
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.5, 1.5, -1, 1, 0.1, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.1f, -0.2f, -3.0f);
  glRotatef(35, 1, 0, 0);
  glRotatef(20, 0, 0, 1);
  glScalef(1.3f, 0.9f, 0.7f);
  View view;
  glGetFloatv(GL_PROJECTION_MATRIX, view.projection.m);
  glGetFloatv(GL_MODELVIEW_MATRIX, view.modelview.m);
  Matrix inv = inverse(view.modelview);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) view.inverseTranspose.m[4 * c + r] = inv.m[4 * r + c];
  }
  return view;
}

void drawSurface() {
  glNormal3f(normal.x, normal.y, normal.z);
  glColor3f(tangent.x, tangent.y, tangent.z);
  glBegin(GL_QUADS);
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (const auto& corner : corners) {
    glTexCoord2f((corner[0] + 1) * 0.5f, (corner[1] + 1) * 0.5f);
    glVertex3f(corner[0] * quadHalf, corner[1] * quadHalf, 0);
  }
  glEnd();
  glColor3f(1, 1, 1);
}

// What the vertex programs hand over at one pixel.
struct Varyings {
  V4 uv;  // the texture coordinate before any scale
  V4 tc[6];
};

Varyings varyingsAt(const View& view, int px, int py, V4 lightEye) {
  float ndcX = (px + 0.5f) / canvasSize * 2 - 1, ndcY = (py + 0.5f) / canvasSize * 2 - 1;
  float eyeX = ndcX * 1.5f, eyeY = ndcY;
  // The surface point (u, v, 0) that the modelview takes there.
  const float* m = view.modelview.m;
  float bx = eyeX - m[12], by = eyeY - m[13];
  float det = m[0] * m[5] - m[4] * m[1];
  float u = (bx * m[5] - m[4] * by) / det, v = (m[0] * by - m[1] * bx) / det;
  V4 p = v4(u, v, 0, 1);

  Varyings out;
  out.uv = v4((u / quadHalf + 1) * 0.5f, (v / quadHalf + 1) * 0.5f, 0, 1);
  V4 e = view.modelview * p;
  out.tc[1] = e;
  out.tc[2] = lightEye - e;
  out.tc[3] = view.inverseTranspose * normal;
  out.tc[4] = view.inverseTranspose * tangent;
  V4 w = view.inverseTranspose.row(3) - p;
  out.tc[5] = v4(dot3(w, tangent), dot3(w, cross3(normal, tangent)), dot3(w, normal), 0);
  return out;
}

// p = normalize(n + d.r g + d.g cross(n, g)), d = (bump - 0.5) * strength
V4 bumpedNormal(V4 n, V4 g, V4 bump, float strength) {
  V4 d = (bump - splat(0.5f)) * strength;
  return normalize3(n + d.x * g + d.y * cross3(n, g));
}

void expectCanvas(const ProgramPair& pair, const std::function<V4(int, int)>& reference, int* nonTrivial) {
  Canvas canvas = makeCanvas(canvasSize, canvasSize);
  glDisable(GL_DEPTH_TEST);
  bindPrograms(pair);
  drawSurface();
  unbindPrograms();
  std::vector<uint8_t> pixels = readRgba(0, 0, canvasSize, canvasSize);
  // Every other pixel: enough places over the surface.
  for (int y = 1; y < canvasSize; y += 2) {
    for (int x = 1; x < canvasSize; x += 2) {
      const uint8_t* p = &pixels[(static_cast<size_t>(y) * canvasSize + x) * 4];
      V4 actual{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
      V4 expected = sat(reference(x, y));
      EXPECT_TRUE(pixelNear(actual, expected, 3, x, y));
      auto midRange = [](float c) { return c > 0.05f && c < 0.95f; };
      if (midRange(expected.x) || midRange(expected.y) || midRange(expected.z)) ++*nonTrivial;
    }
  }
  releaseCanvas(canvas);
}

// Waves of the given frequency (radians per texel), which linear filtering
// follows closely.
Image smoothPicture(float phase, float frequency = 0.39f) {
  return makeImage(16, 16, [=](int x, int y) {
    return v4(0.5f + 0.4f * std::sin(frequency * x + phase), 0.5f + 0.35f * std::cos(frequency * y + phase),
              0.5f + 0.3f * std::sin(frequency * (x + y)), 1.0f);
  });
}

// Specular light appears where dot(r, e) > 0, with e pointing from the eye to
// the surface: for a light behind the surface. The first light lights the
// front, the second shows the specular part.
TEST(LightingPrograms, PhongMatchesItsFormulas) {
  openGl();
  View view = setUpView();
  const V4 texScale = v4(1.5f, 1.25f, 1, 1);
  const V4 surface = v4(0.9f, 0.8f, 0.7f, 1.0f);
  const V4 specular = v4(1.5f, 1.4f, 1.1f, 1.0f);
  const V4 shading = v4(3.0f, 0.9f, 0.3f, 0.1f);  // exponent, multiplier, extra, texture add
  const V4 material = v4(2.0f, 0.7f, 0.5f, -0.1f);  // bump, texture multiplier, parallax depth, bias
  setVertexEnv(1, texScale);
  setFragmentEnv(0, surface);
  setFragmentEnv(1, specular);
  setFragmentEnv(2, shading);
  setFragmentEnv(3, material);
  Image bump = smoothPicture(3.0f);
  Image colour = smoothPicture(0.0f);
  GLuint bumpTexture = makeTestTexture(bump, GL_LINEAR);
  GLuint colourTexture = makeTestTexture(colour, GL_LINEAR);
  bindUnit(0, bumpTexture);
  bindUnit(1, colourTexture);

  for (V4 light : {v4(1.0f, 2.0f, 1.0f, 1.0f), v4(0.0f, 2.0f, -4.0f, 1.0f)}) {
    setVertexEnv(0, light);
    int nonTrivial = 0, specularPixels = 0;
    expectCanvas(gpu.phong, [&](int x, int y) {
      Varyings in = varyingsAt(view, x, y, light);
      V4 tc0 = in.uv * texScale;
      V4 n = normalize3(in.tc[3]), g = normalize3(in.tc[4]), v = normalize3(in.tc[5]);
      float h = bump.linear(tc0.x, tc0.y).z * material.z + material.w;
      V4 uv = tc0 + h * v;
      V4 p = bumpedNormal(n, g, bump.linear(uv.x, uv.y), material.x);
      V4 e = normalize3(in.tc[1]), l = normalize3(in.tc[2]);
      float diffuse = dot3(p, l);
      V4 r = 2 * diffuse * p - l;
      float s = sat(dot3(r, e) * shading.y);
      V4 shine = sat(std::pow(s, shading.x) * specular);
      if (shine.x > 0.05f) ++specularPixels;
      V4 col = (colour.linear(uv.x, uv.y) * material.y + splat(shading.w)) * surface;
      return sat(sat(diffuse * col + shine) + shine * shading.z);
    }, &nonTrivial);
    EXPECT_GT(nonTrivial, 4) << "the surface shows shading, not only black or white";
    if (light.z < 0) {
      EXPECT_GT(specularPixels, 8);
    }
  }
  glDeleteTextures(1, &bumpTexture);
  glDeleteTextures(1, &colourTexture);
}

TEST(LightingPrograms, PhongWithSpecularMapMatchesItsFormulas) {
  openGl();
  View view = setUpView();
  const V4 light = v4(-0.5f, 1.5f, 0.5f, 1.0f);
  V4 env[10] = {
      v4(0.7f, 0.6f, 0.5f, 1.0f),       // diffuse colour
      v4(0.5f, 0.45f, 0.4f, 1.0f),      // specular colour
      v4(2.0f, 0.0f, 0.2f, 0.05f),      // exponent, -, extra specular, texture add
      v4(1.5f, 0.6f, 0.3f, -0.1f),      // bump, texture multiplier, parallax depth, bias
      v4(0.2f, 0.15f, 0.5f, 0.4f),      // environment, environment x texture, position factors
      v4(0.08f, 0.1f, 0.06f, 1.0f),     // ambient
      v4(1.25f, 1.5f, 0.1f, 0.2f),      // colour map scale, offset
      v4(1.0f, 1.0f, 0.0f, 0.0f),       // bump map
      v4(1.5f, 1.25f, 0.3f, 0.1f),      // specular map
      v4(0.8f, 0.9f, 0.05f, -0.05f),    // environment map
  };
  setVertexEnv(0, light);
  for (int i = 0; i < 10; ++i) setFragmentEnv(i, env[i]);
  Image bump = smoothPicture(4.0f);
  Image colour = smoothPicture(0.0f), specularMap = smoothPicture(1.0f, 1.2f), environment = smoothPicture(2.0f);
  GLuint textures[4] = {makeTestTexture(bump, GL_LINEAR), makeTestTexture(colour, GL_LINEAR),
                        makeTestTexture(specularMap, GL_LINEAR), makeTestTexture(environment, GL_LINEAR)};
  for (int unit = 0; unit < 4; ++unit) bindUnit(unit, textures[unit]);

  int nonTrivial = 0;
  expectCanvas(gpu.phongSpecularMap, [&](int x, int y) {
    Varyings in = varyingsAt(view, x, y, light);
    V4 tc0 = in.uv;
    V4 n = normalize3(in.tc[3]), g = normalize3(in.tc[4]), v = normalize3(in.tc[5]);
    auto mapCoordinate = [&](int k) {
      V4 c = v4(tc0.x * env[k].x + env[k].z, tc0.y * env[k].y + env[k].w, 0, 0);
      float h = bump.linear(c.x, c.y).z * env[3].z + env[3].w;
      return c + h * v;
    };
    V4 uvColour = mapCoordinate(6), uvBump = mapCoordinate(7), uvSpecular = mapCoordinate(8);
    V4 p = bumpedNormal(n, g, bump.linear(uvBump.x, uvBump.y), env[3].x);
    V4 S = specularMap.linear(uvSpecular.x, uvSpecular.y);
    V4 e = normalize3(in.tc[1]), l = normalize3(in.tc[2]);
    // the environment lookup through the projection's x and y rows
    float qx = dot3(view.projection.row(0), p) + dot3(view.projection.row(0), e) * env[4].z;
    float qy = dot3(view.projection.row(1), p) + dot3(view.projection.row(1), -e) * env[4].w;
    qy *= 0.5f;
    qx = qx * env[9].x + env[9].z;
    qy = qy * env[9].y + env[9].w;
    V4 environmentColour = environment.linear(qx * 0.5f + 0.5f, qy * 0.5f + 0.5f) * S;
    float diffuse = dot3(p, l);
    V4 r = e - 2 * dot3(e, p) * p;
    float s = sat(dot3(r, l)) * (0.5f + 0.5f * S.x);
    V4 shine = sat(sat(std::pow(s, env[2].x)) * env[1]);
    V4 tex = colour.linear(uvColour.x, uvColour.y);
    V4 envTex = tex * env[4].y * environmentColour;
    V4 col = tex * env[3].y + splat(env[2].w);
    V4 ambient = col * env[5];
    col = col * env[0];
    V4 base = sat(sat(diffuse * col + shine) + shine * env[2].z);
    V4 result = base + environmentColour * env[4].x + envTex + ambient;
    result.w = 1;
    return result;
  }, &nonTrivial);
  EXPECT_GT(nonTrivial, 8) << "the surface shows shading, not only black or white";
  glDeleteTextures(4, textures);
}

}  // namespace
