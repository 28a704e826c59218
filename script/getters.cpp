// The typed getters through which effects read their script variables. A
// missing variable is a fatal run-time error naming it and the effect's file.
#include <cstring>

#include "runtime/fatal.h"
#include "script/internal.h"

namespace {

// kind is the word of the template: "int", "float", "texture", ...
const Variable& require(const ScriptContext& ctx, const std::string& name, const char* kind) {
  Variable* v = findVariable(ctx, name);
  if (!v) {
    fatalError("RUNTIME EFFECT ERROR",
               std::string("Missing variable  \n ") + kind + " " + name + "\n\n from\n " + ctx.effectName + "\n\n", -1);
  }
  return *v;
}

// Indices are the caller's to keep in range; one that is not would read
// outside the variable, so it ends the program the same way.
void requireIndex(const ScriptContext& ctx, const Variable& v, int index, size_t size) {
  if (index >= 0 && static_cast<size_t>(index) < size) return;
  fatalError("RUNTIME EFFECT ERROR",
             "Index " + std::to_string(index) + " out of range  \n " + typeKeyword(v.type) + " " + v.name + " has " +
                 std::to_string(size) + " items\n\n from\n " + ctx.effectName + "\n\n",
             -1);
}

int32_t floatWidth(int32_t type) {
  switch (type) {
    case varFloat: return 1;
    case varVec2: return 2;
    case varVec3: return 3;
    case varVec4: return 4;
    default: return 0;
  }
}

bool readFloats(const Variable& v, int index, float* out) {
  int32_t width = floatWidth(v.type);
  if (width == 0) return false;
  const float* words = v.floats + static_cast<size_t>(index) * static_cast<size_t>(v.stride);
  for (int32_t k = 0; k < width; ++k) out[k] = words[k];
  return true;
}

// The text a string or texture variable gives at index; null for other types.
const std::string* textAt(const ScriptContext& ctx, const std::string& name, int index) {
  const Variable& v = require(ctx, name, "texture");
  if (v.type == varString) return &v.text;
  if (v.type != varTexture) return nullptr;
  requireIndex(ctx, v, index, v.textures.size());
  return &v.textures[static_cast<size_t>(index)];
}

}  // namespace

bool getInt(const ScriptContext& ctx, const std::string& name, int32_t* out) { return getIntAt(ctx, name, out, 0); }

bool getIntAt(const ScriptContext& ctx, const std::string& name, int32_t* out, int index) {
  const Variable& v = require(ctx, name, "int");
  if (v.type != varInt) return false;
  requireIndex(ctx, v, index, static_cast<size_t>(v.count));
  *out = v.ints[static_cast<size_t>(index) * static_cast<size_t>(v.stride)];
  return true;
}

bool getFloats(const ScriptContext& ctx, const std::string& name, float* out) {
  return getFloatsAt(ctx, name, out, 0);
}

bool getFloatsAt(const ScriptContext& ctx, const std::string& name, float* out, int index) {
  const Variable& v = require(ctx, name, "float");
  if (floatWidth(v.type) == 0) return false;
  requireIndex(ctx, v, index, static_cast<size_t>(v.count));
  return readFloats(v, index, out);
}

bool getText(const ScriptContext& ctx, const std::string& name, std::string* out, int index) {
  const std::string* text = textAt(ctx, name, index);
  if (!text) return false;
  *out = *text;
  return true;
}

bool getText(const ScriptContext& ctx, const std::string& name, char* out, size_t outSize, int index) {
  const std::string* text = textAt(ctx, name, index);
  if (!text) return false;
  if (outSize == 0) return true;
  size_t n = text->size() < outSize - 1 ? text->size() : outSize - 1;
  std::memcpy(out, text->data(), n);
  out[n] = 0;
  return true;
}

bool getCurve(const ScriptContext& ctx, const std::string& name, const Curve** out, int index) {
  const Variable& v = require(ctx, name, "curve");
  if (v.type != varCurve) return false;
  requireIndex(ctx, v, index, v.curves.size());
  *out = v.curves[static_cast<size_t>(index)].get();
  return true;
}

bool getMaterial(const ScriptContext& ctx, const std::string& name, Material** out, int index) {
  const Variable& v = require(ctx, name, "material");
  if (v.type != varMaterial) return false;
  requireIndex(ctx, v, index, v.materials.size());
  *out = v.materials[static_cast<size_t>(index)].get();
  return true;
}

bool getMesh(const ScriptContext& ctx, const std::string& name, Mesh** out, int index) {
  const Variable& v = require(ctx, name, "mesh");
  if (v.type != varMesh) return false;
  requireIndex(ctx, v, index, v.meshes.size());
  *out = v.meshes[static_cast<size_t>(index)].get();
  return true;
}
