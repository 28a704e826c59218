// The variable table: declarations with their storage and component aliases,
// lookup, list appends and the built-in variables of an effect instance.
#include <cstdio>
#include <cstring>

#include "runtime/text_files.h"
#include "script/internal.h"

namespace {

int32_t componentCount(int32_t type) {
  switch (type) {
    case varVec2: return 2;
    case varVec3: return 3;
    case varVec4: return 4;
    default: return 1;
  }
}

Variable* enter(ScriptContext& ctx, std::unique_ptr<Variable> v) {
  Variable* raw = v.get();
  ctx.variables[raw->name] = raw;  // an alias replaces what had its name
  ctx.declared.push_back(std::move(v));
  return raw;
}

// "N.x", "N.y" ... viewing component k of every element of vector N.
void declareAliases(ScriptContext& ctx, Variable& vector) {
  static const char* const suffixes[] = {".x", ".y", ".z", ".w"};
  int32_t n = vector.stride;
  for (int32_t k = 0; k < n; ++k) {
    auto alias = std::make_unique<Variable>();
    alias->name = vector.name + suffixes[k];
    alias->type = varFloat;
    alias->floats = vector.floats + k;
    alias->stride = n;
    alias->count = vector.count;
    alias->isAlias = true;
    enter(ctx, std::move(alias));
  }
}

Variable* declareNumeric(ScriptContext& ctx, const std::string& name, int32_t type, int32_t count,
                         const void* initial) {
  Variable* v = declareVariable(ctx, name, type, count);
  if (v && initial) {
    if (type == varInt) {
      std::memcpy(v->ints, initial, v->intStorage.size() * sizeof(int32_t));
    } else {
      std::memcpy(v->floats, initial, v->floatStorage.size() * sizeof(float));
    }
  }
  return v;
}

}  // namespace

Variable* findVariable(const ScriptContext& ctx, const std::string& name) {
  auto it = ctx.variables.find(name);
  return it == ctx.variables.end() ? nullptr : it->second;
}

Variable* declareVariable(ScriptContext& ctx, const std::string& name, int32_t type, int32_t count) {
  if (findVariable(ctx, name)) return nullptr;
  if (count < 1) count = 1;
  auto v = std::make_unique<Variable>();
  v->name = name;
  v->type = type;
  v->count = count;
  if (type == varInt) {
    v->intStorage.assign(static_cast<size_t>(count), 0);
    v->ints = v->intStorage.data();
  } else if (type >= varFloat && type <= varVec4) {
    v->stride = componentCount(type);
    v->floatStorage.assign(static_cast<size_t>(count) * static_cast<size_t>(v->stride), 0.0f);
    v->floats = v->floatStorage.data();
  }
  Variable* raw = enter(ctx, std::move(v));
  if (type >= varVec2 && type <= varVec4) declareAliases(ctx, *raw);
  return raw;
}

Variable* declareInt(ScriptContext& ctx, const std::string& name, int32_t count, const int32_t* initial) {
  return declareNumeric(ctx, name, varInt, count, initial);
}
Variable* declareFloat(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial) {
  return declareNumeric(ctx, name, varFloat, count, initial);
}
Variable* declareVec2(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial) {
  return declareNumeric(ctx, name, varVec2, count, initial);
}
Variable* declareVec3(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial) {
  return declareNumeric(ctx, name, varVec3, count, initial);
}
Variable* declareVec4(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial) {
  return declareNumeric(ctx, name, varVec4, count, initial);
}
Variable* declareCurve(ScriptContext& ctx, const std::string& name) { return declareVariable(ctx, name, varCurve, 1); }
Variable* declareString(ScriptContext& ctx, const std::string& name) { return declareVariable(ctx, name, varString, 1); }
Variable* declareTexture(ScriptContext& ctx, const std::string& name) { return declareVariable(ctx, name, varTexture, 1); }
Variable* declareMesh(ScriptContext& ctx, const std::string& name) { return declareVariable(ctx, name, varMesh, 1); }
Variable* declareMaterial(ScriptContext& ctx, const std::string& name) {
  return declareVariable(ctx, name, varMaterial, 1);
}

void appendCurve(Variable& v, std::unique_ptr<Curve> curve) { v.curves.push_back(std::move(curve)); }
void appendTextureName(Variable& v, const std::string& name) { v.textures.push_back(name); }
void appendMesh(Variable& v, std::shared_ptr<Mesh> mesh) { v.meshes.push_back(std::move(mesh)); }
void appendMaterial(Variable& v, std::shared_ptr<Material> material) { v.materials.push_back(std::move(material)); }
void setText(Variable& v, const std::string& text) { v.text = text; }

const char* typeKeyword(int32_t type) {
  switch (type) {
    case varInt: return "int";
    case varFloat: return "float";
    case varVec2: return "vec2";
    case varVec3: return "vec3";
    case varVec4: return "vec4";
    case varCurve: return "curve";
    case varString: return "string";
    case varTexture: return "texture";
    case varMesh: return "mesh";
    case varMaterial: return "material";
    default: return "";
  }
}

void initEffectScript(ScriptContext& ctx, const TimelineSection& section) {
  ctx.effectName = section.name;
  ctx.inputNames = section.inputs;
  float zero = 0.0f;
  float length = section.end - section.start;
  declareInt(ctx, "frame", 1);
  declareFloat(ctx, "time", 1, &zero);
  declareFloat(ctx, "timeStep", 1, &zero);
  declareFloat(ctx, "start", 1, &section.start);
  declareFloat(ctx, "length", 1, &length);
  declareFloat(ctx, "end", 1, &section.end);
  for (size_t i = 0; i < section.params.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "paramIn%d", static_cast<int>(i));
    declareFloat(ctx, name, 1, &section.params[i]);
  }
  Variable* out = declareTexture(ctx, "textureOut");
  if (out) appendTextureName(*out, section.outputs.empty() ? std::string("screen") : section.outputs.front());
}

bool splitEffectDescription(const DataBuffer& data, std::string* code, size_t* bodyOffset) {
  if (data.empty()) return false;
  const uint8_t* begin = data.data();
  const uint8_t* feed = static_cast<const uint8_t*>(std::memchr(begin, '\n', data.size()));
  if (!feed) return false;
  std::string header(reinterpret_cast<const char*>(begin), static_cast<size_t>(feed - begin));
  *code = keyValue(header, "code", ValueStyle::timeline);
  *bodyOffset = static_cast<size_t>(feed - begin) + 1;
  return true;
}
