// The effect script language: typed variables, statements parsed once at load
// and run every frame, and the typed getters through which effects read the
// results. The effect loader's part:
//   initEffectScript        the context of a new instance and its built-in variables
//   parseScriptBody         the description after its header line (or cutChunks + parseChunk)
//   runBlock                the set-up run; runScriptFrame on every rendered frame
//   getInt ... getMesh      what the effect reads afterwards
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/curve.h"

struct Mesh;      // the mesh record, filled by the mesh loader
struct Material;  // filled by the material loader
struct TimelineSection;

enum VarType : int32_t {
  varInt = 0,
  varFloat = 1,
  varVec2 = 2,
  varVec3 = 3,
  varVec4 = 4,
  varCurve = 5,
  varString = 7,  // 6 belongs to no keyword
  varTexture = 8,
  varMesh = 9,
  varMaterial = 10,
};

// One named value. Numeric variables are arrays of count elements; a vector's
// component aliases ("p.x" ...) are float variables viewing its storage.
struct Variable {
  std::string name;
  int32_t type = varFloat;
  int32_t* ints = nullptr;   // int storage
  float* floats = nullptr;   // float and vector storage, or an alias's view
  int32_t stride = 1;        // words from one element to the next
  int32_t count = 1;         // elements; for a curve, its list size once referenced
  int32_t selectedIndex = 0; // the curve a reference selected; parser scratch
  Variable* pendingIndexVar = nullptr;  // parser scratch: the target's subscript variable
  bool isAlias = false;

  std::vector<int32_t> intStorage;
  std::vector<float> floatStorage;
  // Resource lists, filled at load and never changed afterwards.
  std::vector<std::unique_ptr<Curve>> curves;
  std::string text;                   // string
  std::vector<std::string> textures;  // texture: names in the texture registry
  std::vector<std::shared_ptr<Mesh>> meshes;
  std::vector<std::shared_ptr<Material>> materials;
};

// The running value of an evaluation.
struct ScriptValue {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
  const Variable* source = nullptr;  // the variable of the latest variable item
};

enum ItemKind : int32_t { itemCall = 0, itemGroup = 1, itemVariable = 2, itemConstant = 3, itemOperator = 4 };
enum ArithOp : int32_t { opAdd = 0, opSubtract = 1, opMultiply = 2, opDivide = 3 };
enum NodeKind : int32_t { nodeStatement = -1, nodeIf = 0, nodeWhile = 1 };
enum CompareOp : int32_t { cmpEqual = 0, cmpLess = 1, cmpLessEqual = 2, cmpGreater = 3, cmpGreaterEqual = 4, cmpNotEqual = 5 };

enum BuiltinId : int32_t {
  builtinSin, builtinCos, builtinSqrt, builtinPow, builtinAtan, builtinMod,
  builtinVec2, builtinVec3, builtinVec4, builtinCurvePos, builtinCurveTan, builtinUnit,
  builtinDot, builtinCross, builtinRotate, builtinSmooth, builtinLinearPulse, builtinSmoothPulse,
  builtinLinearOn, builtinLinearOff, builtinSmoothOn, builtinSmoothOff, builtinSrand, builtinRandf,
  builtinRandfs,
  builtinCount
};

// A built-in updates the running value from its argument values and the
// pending operator.
using BuiltinHandler = void (*)(ScriptValue& result, const ScriptValue* args, int32_t op);

struct ScriptNode;

// One item of an expression's flat list.
struct ExprItem {
  int32_t kind = itemConstant;
  int32_t op = opAdd;            // operator
  float constant = 0.0f;         // constant
  int32_t builtin = -1;          // call
  BuiltinHandler handler = nullptr;
  Variable* variable = nullptr;  // variable reference
  int32_t index = 0;             // its constant subscript
  Variable* indexVar = nullptr;  // its subscript variable
  std::vector<std::unique_ptr<ScriptNode>> nodes;  // call arguments, or the group's expression
};

// A statement, a condition header with its sub-section, or an expression.
struct ScriptNode {
  int32_t targetType = -1;
  Variable* target = nullptr;
  int32_t targetIndex = 0;
  Variable* targetIndexVar = nullptr;
  std::vector<ExprItem> items;
  std::vector<std::unique_ptr<ScriptNode>> children;
  ScriptNode* parent = nullptr;
  int32_t kind = nodeStatement;
  int32_t compare = cmpEqual;
  int32_t leftIndex = 0;
  Variable* leftIndexVar = nullptr;
  Variable* left = nullptr;
  Variable* right = nullptr;
  int32_t rightIndex = 0;
  Variable* rightIndexVar = nullptr;
  std::unique_ptr<Variable> leftConstant;  // a number operand, outside the table
  std::unique_ptr<Variable> rightConstant;
};

// The script state of one effect instance.
struct ScriptContext {
  std::unordered_map<std::string, Variable*> variables;  // the table
  std::unique_ptr<ScriptNode> rootBlock = std::make_unique<ScriptNode>();
  int32_t lineNumber = 1;
  int32_t position = 0;  // next unread character of the cleaned chunk
  int32_t assignPending = 0;
  ScriptNode* currentBlock = rootBlock.get();
  std::string effectName;  // the description file, named by run-time errors

  // Every variable ever declared, in declaration order. One that a component
  // alias pushed out of the table lives on for the statements that name it.
  std::vector<std::unique_ptr<Variable>> declared;
  // The timeline entry's input names, which the texture literals "in0".."in5" stand for.
  std::vector<std::string> inputNames;
  std::string chunk;  // the cleaned chunk being parsed
  // While-loop iterations allowed per runBlock call; 0 is no limit (the
  // engine's behaviour: a loop that never ends hangs). Fuzzing sets one.
  int64_t whileIterationLimit = 0;
};

// --- Loading ----------------------------------------------------------------

// The header line of an effect description: its "code" value and the offset
// of the body (just after the first line feed). False without a line feed.
bool splitEffectDescription(const DataBuffer& data, std::string* code, size_t* bodyOffset);
// A fresh instance's script: effectName and input names from the timeline
// entry, then "frame", "time", "timeStep", "start", "length", "end",
// "paramIn0".. and "textureOut" (the first output, or "screen").
void initEffectScript(ScriptContext& ctx, const TimelineSection& section);
// The body cut into chunks: each ends with and includes ";", "{" or "}"; a
// byte 255 ends one and is dropped; what follows the last chunk is in none.
std::vector<std::string_view> cutChunks(std::string_view body);
// Cleans one chunk of comments (counting its lines) and parses it as one
// statement. A parse error ends the program.
void parseChunk(ScriptContext& ctx, std::string_view chunk);
// cutChunks, then parseChunk on each.
void parseScriptBody(ScriptContext& ctx, std::string_view body);

// --- Running ------------------------------------------------------------------

// Runs the statements of a sub-section (null: the root) in order.
void runBlock(ScriptContext& ctx, ScriptNode* block = nullptr);
// One rendered frame: "time" and "timeStep" set, "frame" increased by 1, the
// root run.
void runScriptFrame(ScriptContext& ctx, float time, float timeStep);
// The value of a node's expression, shaped by the target's type.
ScriptValue evaluate(const ScriptNode& node, const Variable* target);

// --- Variables ----------------------------------------------------------------

Variable* findVariable(const ScriptContext& ctx, const std::string& name);
// Declarations: null when the name exists already. count is at least 1 (less
// is taken as 1); initial, when given, holds count elements (N floats each
// for vecN), otherwise the storage is zero. Vectors get their ".x" ... aliases.
Variable* declareInt(ScriptContext& ctx, const std::string& name, int32_t count, const int32_t* initial = nullptr);
Variable* declareFloat(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial = nullptr);
Variable* declareVec2(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial = nullptr);
Variable* declareVec3(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial = nullptr);
Variable* declareVec4(ScriptContext& ctx, const std::string& name, int32_t count, const float* initial = nullptr);
Variable* declareCurve(ScriptContext& ctx, const std::string& name);
Variable* declareString(ScriptContext& ctx, const std::string& name);
Variable* declareTexture(ScriptContext& ctx, const std::string& name);
Variable* declareMesh(ScriptContext& ctx, const std::string& name);
Variable* declareMaterial(ScriptContext& ctx, const std::string& name);
// Any type by its code, zero-filled.
Variable* declareVariable(ScriptContext& ctx, const std::string& name, int32_t type, int32_t count);
void appendCurve(Variable& v, std::unique_ptr<Curve> curve);
void appendTextureName(Variable& v, const std::string& name);
void appendMesh(Variable& v, std::shared_ptr<Mesh> mesh);
void appendMaterial(Variable& v, std::shared_ptr<Material> material);
void setText(Variable& v, const std::string& text);
// "int", "float", ... for a type code; "" for none.
const char* typeKeyword(int32_t type);

// --- Typed getters --------------------------------------------------------------
// A missing variable ends the program ("RUNTIME EFFECT ERROR" naming the
// variable and the effect's file). A variable of another type leaves the
// output as it was and gives false. Indices at or past the count end the
// program as well.

bool getInt(const ScriptContext& ctx, const std::string& name, int32_t* out);
bool getIntAt(const ScriptContext& ctx, const std::string& name, int32_t* out, int index);
// 1, 2, 3 or 4 floats by type (float, vec2, vec3, vec4); the rest of out is untouched.
bool getFloats(const ScriptContext& ctx, const std::string& name, float* out);
bool getFloatsAt(const ScriptContext& ctx, const std::string& name, float* out, int index);
// A string's text (index unused) or a texture's name at index. The char form
// writes at most outSize bytes, always terminated.
bool getText(const ScriptContext& ctx, const std::string& name, std::string* out, int index);
bool getText(const ScriptContext& ctx, const std::string& name, char* out, size_t outSize, int index);
bool getCurve(const ScriptContext& ctx, const std::string& name, const Curve** out, int index);
bool getMaterial(const ScriptContext& ctx, const std::string& name, Material** out, int index);
bool getMesh(const ScriptContext& ctx, const std::string& name, Mesh** out, int index);

// --- Resource loaders ------------------------------------------------------------
// Mesh, material and texture statements load through these; the resource
// code installs them. Without one the statement still parses and declares
// its variable (texture names are still appended), and a line on stderr says
// what was not loaded.
struct ScriptResourceLoaders {
  // The mesh to append for an object file (an empty mesh when it cannot be read).
  std::shared_ptr<Mesh> (*loadMesh)(const std::string& fileName) = nullptr;
  std::shared_ptr<Material> (*loadMaterial)(const std::string& fileName) = nullptr;
  // textureLoad with a file name containing ".png", and with any other.
  void (*loadPngTexture)(int normalMap, const std::string& name, const std::string& fileName, float saturation) = nullptr;
  void (*loadJpegTexture)(int normalMap, const std::string& name, const std::string& fileName) = nullptr;
  // textureMake: an empty GL_RGBA texture; width and height as written (0
  // means the target size, a height of 0 the width), not checked here.
  void (*makeTexture)(const std::string& name, int width, int height) = nullptr;
};
void setScriptResourceLoaders(const ScriptResourceLoaders& loaders);
// A picture file name containing ".png" anywhere is a PNG, any other a JPEG.
bool isPngName(const std::string& fileName);
