// The one camera every 3D effect looks through, camera-facing sprites and the
// depth-map shadow passes.
#pragma once

#include "render/math.h"

struct ScriptContext;

// Kept between frames and effects: an effect that does not set the camera
// sees what the previous one left.
struct CameraState {
  Vector3 position{0.0f, 0.0f, 1.0f};  // the eye before zoom
  Vector3 lookAt;
  Vector3 direction;  // normalised lookAt - position, recomputed by applyCamera
  Vector3 rpy;        // degrees, turns the view itself (applied before the look-at)
  Vector3 lookAtRpy;  // degrees, turns the world about its origin (after the look-at)
  float zoom = 0.0f;  // moves the eye along direction; negative values move it back
  float matrix[16] = {};  // the modelview left by the last applyCamera
};

extern CameraState camera;

// Three rotations: a degrees about Z, then b about X, then c about Y.
void rotateRpy(const Vector3& angles);

// Projection: 60 degrees, 16:9, near 0.01, far 1000. Modelview:
// rotateRpy(rpy), look from position + direction * zoom along direction with
// up (0, 1, 0), rotateRpy(lookAtRpy); stored in camera.matrix and left current.
// With the look-at point on the eye the camera looks down -Z.
void applyCamera();

// The camera block of an effect's script: when the int "setCamera" is
// non-zero, "cameraPos", "cameraLookAt", "cameraRPY", "cameraLookAtRPY" (vec3)
// and "cameraZoom" (float) are read into the camera; applyCamera either way.
void readCameraBlock(const ScriptContext& script);

// Identity in the texture, projection and modelview matrices, leaving the
// modelview current.
void resetMatrices();

// A position (w = 1) or direction (w = 0) brought into eye space with
// camera.matrix; the result's w is 0.
Vector4 eyeSpace(const Vector4& worldPoint);

// --- Sprites: textured quads parallel to the screen ---------------------------

// Pushes the modelview and keeps only its translation, so sprites ignore the
// rotation and scaling; depth test, texturing, blending and alpha test (> 0.01)
// on, culling off. Blend function and depth writes are the caller's.
void beginSprites();
// A quad of half size halfWidth x halfHeight centred where position is seen,
// coloured (colour, alpha), turned by angle degrees in the screen plane.
void drawSprite(const Vector3& position, float halfWidth, float halfHeight, const Vector3& colour, float angle,
                float alpha);
// Pops the modelview; alpha test off, depth test and depth writes on.
void endSprites();

// --- Shadow maps "shadowmap0".."shadowmap3" -------------------------------------

// With the light's view loaded as projection and modelview: records it for map
// index, and sets up a depth pass into the lower-left targetHeight square.
void beginShadowPass(int index);
// Copies the pass's depth into "shadowmap<index>" and restores the matrices,
// viewport and state.
void endShadowPass(int index);
// Generates light-space coordinates on units lastUnit down to 0 from the eye
// position (the current modelview must be the camera's) and binds the map on
// the active unit with depth comparison (1 where nearer the light than the map).
void bindShadowMap(int index, int lastUnit);
// Switches the coordinate generation of bindShadowMap off again.
void releaseShadowMaps();
