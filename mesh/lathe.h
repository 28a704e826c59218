// Lathe surfaces: a 2D profile (radius x against height y) swept round a 2D
// outline, bent by curves sampled round the revolution and optionally carried
// along a 3D path. Built once in an effect's set-up.
#pragma once

#include <cstdint>

#include "mesh/mesh.h"
#include "script/curve.h"

// The largest number of profile samples (rows).
constexpr int32_t maxLatheDivisions = 5000;

// Curves not given (null) or without points read as (0, 0, 0). The three
// "around" curves are sampled by key time at frac((U + offset) x repeat), U
// running from 0 to 1 across the columns; of them only y is used.
struct LatheParams {
  const Curve* scaleYCurve = nullptr;  // height scale
  float scaleYRepeat = 1.0f;
  float scaleYOffset = 0.0f;
  const Curve* scaleCenterCurve = nullptr;  // scale of the profile about its centre
  float scaleCenterRepeat = 1.0f;
  float scaleCenterOffset = 0.0f;
  const Curve* rotateCenterCurve = nullptr;  // turn of the profile about its centre, in turns
  float rotateCenterRepeat = 1.0f;
  float rotateCenterOffset = 0.0f;
  const Curve* moveCurve = nullptr;  // 3D path, used when move is non-zero
  int32_t move = 0;
  const Curve* outCurve = nullptr;  // the outline, x and y used
  int32_t divisions = 0;            // rows, 2 ... maxLatheDivisions
  int32_t revolutions = 0;          // vertices per row, at least 2
  int32_t axis = 1;                 // 0, 1, 2: the axis the bitangent turns about
  int32_t texGenMode = 1;           // v from 1: relative height, 3: row / divisions, 4: arc length
};

// Fills an emptied mesh with divisions x revolutions vertices (row q, column u
// at q x revolutions + u) and 2 revolutions (divisions - 1) triangles, or
// 2 revolutions divisions for a closed profile, with bitangents, seam flags
// and seam texture coordinates. Normals are left zero. A profile without a
// height range, fewer than 2 rows or columns, or more than maxLatheDivisions
// rows give an empty mesh and a line on stderr.
void buildLatheSurface(Mesh& mesh, const Curve& profile, const LatheParams& params);
