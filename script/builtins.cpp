// The 25 built-in functions. Most combine one number into x with the pending
// operator; dot, cross, rotate, curvePos and curveTan replace components and
// ignore what came before them.
#include <cmath>

#include "script/internal.h"
#include "script/scalar.h"

namespace {

// The float nearest 1/32767 (bit pattern 0x38000100).
constexpr float randomScale = 3.0518509447574615e-05f;

void callSin(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, std::sin(a[0].x), op); }
void callCos(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, std::cos(a[0].x), op); }
void callSqrt(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, std::sqrt(a[0].x), op); }
void callPow(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, powSigned(a[0].x, a[1].x, true), op); }
void callAtan(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, atanRatio(a[0].x, a[1].x), op); }
// Fractional part, sign kept: -1.25 gives -0.25.
void callMod(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, a[0].x - std::trunc(a[0].x), op); }

void callVec2(ScriptValue& r, const ScriptValue* a, int32_t op) {
  combine(r.x, a[0].x, op);
  combine(r.y, a[1].x, op);
}
void callVec3(ScriptValue& r, const ScriptValue* a, int32_t op) {
  callVec2(r, a, op);
  combine(r.z, a[2].x, op);
}
void callVec4(ScriptValue& r, const ScriptValue* a, int32_t op) {
  callVec3(r, a, op);
  combine(r.w, a[3].x, op);
}

// The curve that the first argument's variable reference selected, if any.
const Curve* selectedCurve(const ScriptValue& arg) {
  const Variable* v = arg.source;
  if (!v || v->type != varCurve) return nullptr;
  if (v->selectedIndex < 0 || v->selectedIndex >= static_cast<int32_t>(v->curves.size())) return nullptr;
  return v->curves[v->selectedIndex].get();
}

void replaceXyz(ScriptValue& r, const Vector3& v) {
  r.x = v.x;
  r.y = v.y;
  r.z = v.z;
}

void callCurvePos(ScriptValue& r, const ScriptValue* a, int32_t) {
  const Curve* curve = selectedCurve(a[0]);
  if (!curve) return;
  Vector3 p;
  positionAt(*curve, a[1].x, p);
  replaceXyz(r, p);
}

void callCurveTan(ScriptValue& r, const ScriptValue* a, int32_t) {
  const Curve* curve = selectedCurve(a[0]);
  if (!curve) return;
  Vector3 t;
  tangentAt(*curve, a[1].x, t);
  replaceXyz(r, t);
}

void callUnit(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, stepAtZero(a[0].x), op); }

// Over as many components as the first argument's variable has.
void callDot(ScriptValue& r, const ScriptValue* a, int32_t) {
  if (!a[0].source) return;
  int32_t type = a[0].source->type;
  if (type < varFloat || type > varVec4) return;
  float sum = a[0].x * a[1].x;
  if (type >= varVec2) sum += a[0].y * a[1].y;
  if (type >= varVec3) sum += a[0].z * a[1].z;
  if (type >= varVec4) sum += a[0].w * a[1].w;
  r.x = sum;
}

void callCross(ScriptValue& r, const ScriptValue* a, int32_t) {
  if (!a[0].source || a[0].source->type != varVec3) return;
  replaceXyz(r, cross({a[0].x, a[0].y, a[0].z}, {a[1].x, a[1].y, a[1].z}));
}

// Axis 0, 1 or 2 as rotateAboutAxis; any other axis gives the zero vector.
void callRotate(ScriptValue& r, const ScriptValue* a, int32_t) {
  int32_t axis = truncToInt(a[2].x);
  Vector3 v{a[0].x, a[0].y, a[0].z};
  if (axis >= 0 && axis <= 2) {
    rotateAboutAxis(v, axis, a[1].x);
  } else {
    v = Vector3{};
  }
  replaceXyz(r, v);
}

void callSmooth(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, 1.0f - softFalloff(a[0].x, 1.0f), op); }

// rampUp(t, 0, u) * rampDown(t - s, 0, d) for (t, u, s, d).
float linearPulse(const ScriptValue* a) { return rampUp(a[0].x, 0.0f, a[1].x) * rampDown(a[0].x - a[2].x, 0.0f, a[3].x); }

void callLinearPulse(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, linearPulse(a), op); }
// The falloff of the pulse value itself: 1 where the linear pulse is 0.
void callSmoothPulse(ScriptValue& r, const ScriptValue* a, int32_t op) {
  combine(r.x, softFalloff(linearPulse(a), 1.0f), op);
}
void callLinearOn(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, rampUp(a[0].x, 0.0f, a[1].x), op); }
void callLinearOff(ScriptValue& r, const ScriptValue* a, int32_t op) { combine(r.x, rampDown(a[0].x, 0.0f, a[1].x), op); }
void callSmoothOn(ScriptValue& r, const ScriptValue* a, int32_t op) {
  combine(r.x, softFalloff(1.0f - rampUp(a[0].x, 0.0f, a[1].x), 1.0f), op);
}
void callSmoothOff(ScriptValue& r, const ScriptValue* a, int32_t op) {
  combine(r.x, softFalloff(rampUp(a[0].x, 0.0f, a[1].x), 1.0f), op);
}

// The seed is the low 32 bits of the argument truncated to a 64-bit integer.
void callSrand(ScriptValue&, const ScriptValue* a, int32_t) {
  seedRandom15(static_cast<uint32_t>(static_cast<uint64_t>(truncToInt64(a[0].x))));
}
void callRandf(ScriptValue& r, const ScriptValue*, int32_t op) {
  combine(r.x, static_cast<float>(random15()) * randomScale, op);
}
void callRandfs(ScriptValue& r, const ScriptValue*, int32_t op) {
  combine(r.x, (static_cast<float>(random15()) * randomScale - 0.5f) * 2.0f, op);
}

}  // namespace

const BuiltinInfo builtinTable[builtinCount] = {
    {"sin", 1, callSin},
    {"cos", 1, callCos},
    {"sqrt", 1, callSqrt},
    {"pow", 2, callPow},
    {"atan", 2, callAtan},
    {"mod", 1, callMod},
    {"vec2", 2, callVec2},
    {"vec3", 3, callVec3},
    {"vec4", 4, callVec4},
    {"curvePos", 2, callCurvePos},
    {"curveTan", 2, callCurveTan},
    {"unit", 1, callUnit},
    {"dot", 2, callDot},
    {"cross", 2, callCross},
    {"rotate", 3, callRotate},
    {"smooth", 1, callSmooth},
    {"linearPulse", 4, callLinearPulse},
    {"smoothPulse", 4, callSmoothPulse},
    {"linearOn", 2, callLinearOn},
    {"linearOff", 2, callLinearOff},
    {"smoothOn", 2, callSmoothOn},
    {"smoothOff", 2, callSmoothOff},
    {"srand", 1, callSrand},
    {"randf", 0, callRandf},
    {"randfs", 0, callRandfs},
};
