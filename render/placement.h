// Placing an object from its script variables <prefix>Pos, Cen, Rot and Sca.
#pragma once

#include <string>

#include "render/math.h"

struct ScriptContext;

struct Placement {
  Vector3 position;
  Vector3 centre;
  Vector3 rotation;  // degrees about X, then Y, then Z
  Vector3 scale;
};

// Element index of "<prefix>Pos", "<prefix>Cen", "<prefix>Rot", "<prefix>Sca".
Placement readPlacement(const ScriptContext& script, const std::string& prefix, int index = 0);

enum class PlacementForm {
  // translate(position) translate(centre) rotate translate(-centre) scale:
  // the object turns about its centre point, then is placed.
  turnAboutCentre,
  // translate(position) rotate translate(-centre) scale.
  centreAtPosition,
};

// Multiplies the current modelview matrix by the placement.
void applyPlacement(const Placement& placement, PlacementForm form);
