#include "render/placement.h"

#include <GL/gl.h>

#include "script/script.h"

Placement readPlacement(const ScriptContext& script, const std::string& prefix, int index) {
  // Four floats each, so a vec4 variable cannot write past a Vector3.
  float pos[4] = {}, cen[4] = {}, rot[4] = {}, sca[4] = {};
  getFloatsAt(script, prefix + "Pos", pos, index);
  getFloatsAt(script, prefix + "Cen", cen, index);
  getFloatsAt(script, prefix + "Rot", rot, index);
  getFloatsAt(script, prefix + "Sca", sca, index);
  return {{pos[0], pos[1], pos[2]}, {cen[0], cen[1], cen[2]}, {rot[0], rot[1], rot[2]}, {sca[0], sca[1], sca[2]}};
}

void applyPlacement(const Placement& p, PlacementForm form) {
  glTranslatef(p.position.x, p.position.y, p.position.z);
  if (form == PlacementForm::turnAboutCentre) glTranslatef(p.centre.x, p.centre.y, p.centre.z);
  glRotatef(p.rotation.x, 1.0f, 0.0f, 0.0f);
  glRotatef(p.rotation.y, 0.0f, 1.0f, 0.0f);
  glRotatef(p.rotation.z, 0.0f, 0.0f, 1.0f);
  glTranslatef(-p.centre.x, -p.centre.y, -p.centre.z);
  glScalef(p.scale.x, p.scale.y, p.scale.z);
}
