#include "render/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "runtime/settings.h"

CameraState camera;

void rotateRpy(const Vector3& angles) {
  glRotatef(angles.x, 0.0f, 0.0f, 1.0f);
  glRotatef(angles.y, 1.0f, 0.0f, 0.0f);
  glRotatef(angles.z, 0.0f, 1.0f, 0.0f);
}

void applyCamera() {
  camera.direction = camera.lookAt;
  subtract(camera.direction, camera.position);
  normalise(camera.direction);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, static_cast<double>(contentAspect), 0.01, 1000.0);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  rotateRpy(camera.rpy);
  Vector3 eye = camera.direction;
  scale(eye, camera.zoom);
  add(eye, camera.position);
  // A look-at point on the eye gives no direction and a degenerate look-at;
  // the camera then looks down -Z, as an unturned camera does.
  Vector3 view = camera.direction;
  if (vectorLength(view) == 0.0f) view = Vector3{0.0f, 0.0f, -1.0f};
  gluLookAt(eye.x, eye.y, eye.z, eye.x + view.x, eye.y + view.y, eye.z + view.z, 0.0, 1.0, 0.0);
  rotateRpy(camera.lookAtRpy);
  glGetFloatv(GL_MODELVIEW_MATRIX, camera.matrix);
}

void resetMatrices() {
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

Vector4 eyeSpace(const Vector4& worldPoint) {
  Vector4 result = worldPoint;
  transformPoint(result, camera.matrix);
  return result;
}
