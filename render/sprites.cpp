#include <GL/gl.h>

#include <algorithm>

#include "render/camera.h"

namespace {

struct SpriteState {
  float view[16] = {};  // the modelview at beginSprites; its upper-left 3 x 3 places sprites
};

SpriteState sprites;

}  // namespace

void beginSprites() {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glGetFloatv(GL_MODELVIEW_MATRIX, sprites.view);
  float translationOnly[16];
  std::copy(sprites.view, sprites.view + 16, translationOnly);
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row) translationOnly[4 * column + row] = column == row ? 1.0f : 0.0f;
  }
  glLoadMatrixf(translationOnly);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.01f);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void drawSprite(const Vector3& position, float halfWidth, float halfHeight, const Vector3& colour, float angle,
                float alpha) {
  const float* m = sprites.view;
  glPushMatrix();
  // Where the camera's rotation (and scale) would put the centre; the quad
  // itself stays unturned and unscaled.
  glTranslatef(m[0] * position.x + m[4] * position.y + m[8] * position.z,
               m[1] * position.x + m[5] * position.y + m[9] * position.z,
               m[2] * position.x + m[6] * position.y + m[10] * position.z);
  glColor4f(colour.x, colour.y, colour.z, alpha);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(-halfWidth, -halfHeight, 0.0f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(-halfWidth, halfHeight, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(halfWidth, halfHeight, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(halfWidth, -halfHeight, 0.0f);
  glEnd();
  glPopMatrix();
}

void endSprites() {
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}
