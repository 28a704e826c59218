#include "render/camera.h"
#include "script/script.h"

namespace {

// Reads up to four floats into a buffer of four, so a variable of any vector
// size fits, and keeps x, y, z.
void readVector(const ScriptContext& script, const char* name, Vector3& into) {
  float value[4] = {into.x, into.y, into.z, 0.0f};
  getFloats(script, name, value);
  into = Vector3{value[0], value[1], value[2]};
}

}  // namespace

void readCameraBlock(const ScriptContext& script) {
  int32_t setCamera = 0;
  getInt(script, "setCamera", &setCamera);
  if (setCamera != 0) {
    readVector(script, "cameraPos", camera.position);
    readVector(script, "cameraLookAt", camera.lookAt);
    readVector(script, "cameraRPY", camera.rpy);
    readVector(script, "cameraLookAtRPY", camera.lookAtRpy);
    float zoom[4] = {camera.zoom, 0.0f, 0.0f, 0.0f};
    getFloats(script, "cameraZoom", zoom);
    camera.zoom = zoom[0];
  }
  applyCamera();
}
