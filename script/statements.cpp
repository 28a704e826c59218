// One statement per chunk. What belongs to loading (variables, curves,
// meshes, textures, materials) happens here; what runs every frame becomes a
// node in the current sub-section.
#include <cstdio>

#include "script/internal.h"
#include "script/state.h"

namespace {

// Steps to the next "=" (true) or ";" (false); a chunk that ends first has
// lost its ";" to a "{", "}" or byte 255.
bool advanceToAssign(ScriptContext& ctx) {
  for (;;) {
    char c = charAt(ctx, ctx.position);
    if (c == '=') return true;
    if (c == ';') return false;
    if (atChunkEnd(ctx)) unexpectedEnd(ctx);
    ++ctx.position;
  }
}

// "2", "17x": the leading digits as an integer; fallback when there are none.
int readInteger(const std::string& run, int fallback) {
  if (run.empty() || run[0] < '0' || run[0] > '9') return fallback;
  long long value = 0;
  for (char c : run) {
    if (c < '0' || c > '9') break;
    if (value < 2147483647LL) value = value * 10 + (c - '0');
  }
  return value > 2147483647LL ? 2147483647 : static_cast<int>(value);
}

int32_t nestingDepth(const ScriptNode* block) {
  int32_t depth = 0;
  for (; block->parent; block = block->parent) ++depth;
  return depth;
}

void reportMissingLoader(const ScriptContext& ctx, const char* what, const std::string& name) {
  std::fprintf(stderr, "%s: no %s loader in this build; \"%s\" not loaded\n", ctx.effectName.c_str(), what,
               name.c_str());
}

// declaration -> type name [ "[" size "]" ] [ "=" value ] ";"
Variable* parseDeclaration(ScriptContext& ctx, const Token& type) {
  Token name = readStatementToken(ctx);
  if (name.type >= 0 || name.builtin >= 0) {
    parseError(ctx, ctx.position, "Variable name expected after type name " + type.name + ".");
  }
  int32_t size = 1;
  if (charAt(ctx, ctx.position) == '[') {
    ++ctx.position;
    Token sizeToken = readStatementToken(ctx);
    float number;
    if (readNumber(sizeToken.name, &number)) {
      size = truncToInt(number);
    } else if (Variable* v = findVariable(ctx, sizeToken.name)) {
      size = v->type == varInt ? v->ints[0] : v->type == varFloat ? truncToInt(v->floats[0]) : 1;
    } else {
      parseError(ctx, ctx.position, "Invalid array subscript " + sizeToken.name + ".");
    }
    skipPastSubscriptEnd(ctx);
    if (size < 1 || size > maxArraySize) {
      parseError(ctx, ctx.position,
                 "Array size " + std::to_string(size) + " out of range 1 to " + std::to_string(maxArraySize) + ".");
    }
  }
  Variable* v = declareVariable(ctx, name.name, type.type, size);
  if (!v) parseError(ctx, ctx.position, "Param " + name.name + " redefinition.");
  if (!advanceToAssign(ctx)) return nullptr;
  v->selectedIndex = 0;
  ++ctx.position;
  ctx.assignPending = 1;
  return v;
}

// assignment -> name [ "[" subscript "]" ] "=" value ";"  (without "=": ignored)
Variable* parseAssignment(ScriptContext& ctx, const Token& name) {
  int32_t constant = 0;
  Variable* indexVar = nullptr;
  if (charAt(ctx, ctx.position) == '[') readSubscript(ctx, &constant, &indexVar);
  if (!advanceToAssign(ctx)) return nullptr;
  Variable* v = findVariable(ctx, name.name);
  if (!v) parseError(ctx, ctx.position, "Undefined parameter " + name.name + ".");
  v->selectedIndex = constant;
  v->pendingIndexVar = indexVar;
  ++ctx.position;
  ctx.assignPending = 1;
  return v;
}

// A condition operand: a number (held outside the table) or a variable with
// an optional subscript.
void parseOperand(ScriptContext& ctx, Variable** operand, std::unique_ptr<Variable>* constant, int32_t* index,
                  Variable** indexVar) {
  Token token = readStatementToken(ctx);
  float number;
  if (readNumber(token.name, &number)) {
    auto v = std::make_unique<Variable>();
    v->type = varFloat;
    v->floatStorage.assign(1, number);
    v->floats = v->floatStorage.data();
    *operand = v.get();
    *constant = std::move(v);
    return;
  }
  *operand = findVariable(ctx, token.name);
  if (!*operand) variableNotFound(ctx, ctx.position, token.name);
  if (charAt(ctx, ctx.position) == '[') readSubscript(ctx, index, indexVar);
}

void skipBlanks(ScriptContext& ctx) {
  while (charAt(ctx, ctx.position) == ' ') ++ctx.position;
}

int32_t readCompare(ScriptContext& ctx, const std::string& keyword) {
  char a = charAt(ctx, ctx.position);
  char b = charAt(ctx, ctx.position + 1);
  int32_t code = -1;
  int32_t length = 2;
  if (a == '=' && b == '=') code = cmpEqual;
  else if (a == '<' && b == '=') code = cmpLessEqual;
  else if (a == '>' && b == '=') code = cmpGreaterEqual;
  else if (a == '!' && b == '=') code = cmpNotEqual;
  else if (a == '<') code = cmpLess, length = 1;
  else if (a == '>') code = cmpGreater, length = 1;
  if (code < 0) parseError(ctx, ctx.position, "Invalid condition compare type in " + keyword + ".");
  ctx.position += length;
  return code;
}

// condition -> ("if" | "while") "(" operand compare operand ")" ...
// The rest of the chunk is not examined; the sub-section runs to the next "}" chunk.
void parseCondition(ScriptContext& ctx, const Token& keyword) {
  Token open = readExpressionToken(ctx);
  if (open.bracket != 0) parseError(ctx, ctx.position, "Expected opening brace after condition " + keyword.name + ".");
  auto node = std::make_unique<ScriptNode>();
  node->kind = keyword.keyword;
  parseOperand(ctx, &node->left, &node->leftConstant, &node->leftIndex, &node->leftIndexVar);
  skipBlanks(ctx);
  node->compare = readCompare(ctx, keyword.name);
  skipBlanks(ctx);
  parseOperand(ctx, &node->right, &node->rightConstant, &node->rightIndex, &node->rightIndexVar);
  Token close = readExpressionToken(ctx);
  if (close.bracket != 1) parseError(ctx, ctx.position, "Expected brace close after condition " + keyword.name + ".");
  if (nestingDepth(ctx.currentBlock) + 1 > maxNesting) parseError(ctx, ctx.position, "Sub-sections nested too deeply.");
  node->parent = ctx.currentBlock;
  ScriptNode* raw = node.get();
  ctx.currentBlock->children.push_back(std::move(node));
  ctx.currentBlock = raw;
}

// Runs a value list: tokens up to the ";" (after at most one blank), calling
// literal for each quoted text and other for every other token.
template <class Literal, class Other>
void readValueList(ScriptContext& ctx, Literal literal, Other other) {
  for (;;) {
    skipOneBlank(ctx);
    if (charAt(ctx, ctx.position) == ';') return;
    if (atChunkEnd(ctx)) unexpectedEnd(ctx);
    Token token = readExpressionToken(ctx);
    if (token.bracket == 2) {
      literal(readStringLiteral(ctx), token);
    } else {
      other(token);
    }
  }
}

void loadListItem(ScriptContext& ctx, Variable& target, const std::string& literal) {
  const ScriptResourceLoaders& loaders = scriptState.loaders;
  switch (target.type) {
    case varCurve:
      appendCurve(target, std::make_unique<Curve>(loadCurve(literal)));
      break;
    case varString:
      setText(target, literal);
      break;
    case varMesh:
      if (!loaders.loadMesh) {
        reportMissingLoader(ctx, "mesh", literal);
      } else if (std::shared_ptr<Mesh> mesh = loaders.loadMesh(literal)) {
        appendMesh(target, std::move(mesh));
      }
      break;
    case varMaterial:
      if (!loaders.loadMaterial) {
        reportMissingLoader(ctx, "material", literal);
      } else if (std::shared_ptr<Material> material = loaders.loadMaterial(literal)) {
        appendMaterial(target, std::move(material));
      }
      break;
    default:
      break;
  }
}

// What one texture value list collects; nothing is reset between calls.
struct TextureList {
  enum Mode { none, load, make };
  std::string fileName;
  std::string textureName;
  int normalMap = 0;
  float saturation = 1.0f;
  int width = 0;
  int height = 0;
  Mode mode = none;
  int n = 0;  // argument number within the call
};

// "in0".."in5" stand for the timeline entry's input names (empty past its list).
std::string inputName(const ScriptContext& ctx, const std::string& literal) {
  if (literal.size() != 3 || literal[0] != 'i' || literal[1] != 'n' || literal[2] < '0' || literal[2] > '5') {
    return literal;
  }
  size_t k = static_cast<size_t>(literal[2] - '0');
  return k < ctx.inputNames.size() ? ctx.inputNames[k] : std::string();
}

void finishTextureCall(ScriptContext& ctx, Variable& target, TextureList& list) {
  const ScriptResourceLoaders& loaders = scriptState.loaders;
  if (list.mode == TextureList::load) {
    if (list.textureName.empty()) list.textureName = list.fileName;
    appendTextureName(target, list.textureName);
    bool png = isPngName(list.fileName);
    if (png && loaders.loadPngTexture) {
      loaders.loadPngTexture(list.normalMap, list.textureName, list.fileName, list.saturation);
    } else if (!png && loaders.loadJpegTexture) {
      loaders.loadJpegTexture(list.normalMap, list.textureName, list.fileName);
    } else {
      reportMissingLoader(ctx, png ? "PNG texture" : "JPEG texture", list.fileName);
    }
  } else if (list.mode == TextureList::make) {
    appendTextureName(target, list.textureName);
    if (loaders.makeTexture) {
      loaders.makeTexture(list.textureName, list.width, list.height);
    } else {
      reportMissingLoader(ctx, "texture", list.textureName);
    }
  }
}

// texture value -> { literal | "textureLoad(" file [, name [, normalMap [, saturation]]] ")"
//                 | "textureMake(" name [, width [, height]] ")" } ";"
void parseTextureList(ScriptContext& ctx, Variable& target) {
  TextureList list;
  auto afterToken = [&](const Token& token) {
    if (charAt(ctx, ctx.position) == ',') {
      ++list.n;
      ++ctx.position;
    }
    if (token.name == "textureLoad") {
      list.mode = TextureList::load;
      list.n = 0;
    } else if (token.name == "textureMake") {
      list.mode = TextureList::make;
      list.n = 0;
    } else if (token.bracket == 0) {
      list.n = 0;
    }
  };
  auto literal = [&](const std::string& text, const Token& token) {
    if (list.mode == TextureList::none) {
      appendTextureName(target, inputName(ctx, text));
    } else if (list.mode == TextureList::load) {
      if (list.n == 0) list.fileName = text;
      if (list.n == 1) list.textureName = text;
    } else if (list.n == 0) {
      list.textureName = text;
    }
    afterToken(token);
  };
  auto other = [&](const Token& token) {
    if (token.bracket == 1) {
      finishTextureCall(ctx, target, list);
    } else if (!token.name.empty() && list.mode == TextureList::load) {
      float number;
      if (list.n == 2) list.normalMap = readInteger(token.name, 1);
      if (list.n == 3) list.saturation = readNumber(token.name, &number) ? number : 1.0f;
    } else if (!token.name.empty() && list.mode == TextureList::make) {
      if (list.n == 1) list.width = readInteger(token.name, 0);
      if (list.n == 2) list.height = readInteger(token.name, 0);
    }
    afterToken(token);
  };
  readValueList(ctx, literal, other);
}

// The second half of a statement: an expression node for numeric targets and
// bare calls, a load-time value list for the others.
void parseValue(ScriptContext& ctx, Variable* target, int32_t type) {
  if ((type >= varInt && type <= varVec4) || type == -1) {
    auto node = std::make_unique<ScriptNode>();
    node->targetType = type;
    node->target = target;
    if (target) {
      node->targetIndex = target->selectedIndex;
      node->targetIndexVar = target->pendingIndexVar;
    }
    parseExpression(ctx, *node, 0, 0, false);
    ctx.currentBlock->children.push_back(std::move(node));
  } else if (type == varTexture) {
    parseTextureList(ctx, *target);
  } else {
    readValueList(
        ctx, [&](const std::string& text, const Token&) { loadListItem(ctx, *target, text); }, [](const Token&) {});
  }
}

}  // namespace

// statement -> declaration | assignment | bare call | condition | "}" | anything else (ignored)
void parseChunk(ScriptContext& ctx, std::string_view chunk) {
  if (!cleanChunk(ctx, chunk)) return;
  ctx.position = 0;
  ctx.assignPending = 0;
  Token first = readStatementToken(ctx);
  Variable* target = nullptr;
  if (first.type >= 0) {
    target = parseDeclaration(ctx, first);
  } else if (first.builtin >= 0) {
    ctx.position = 0;  // the whole chunk is the call's expression
    ctx.assignPending = 1;
  } else if (first.keyword == -1) {
    target = parseAssignment(ctx, first);
  } else if (first.keyword == 3) {
    if (!ctx.currentBlock->parent) parseError(ctx, ctx.position, "Unexpected sub-section ending.");
    ctx.currentBlock = ctx.currentBlock->parent;
  } else if (first.keyword == 2) {
    parseError(ctx, ctx.position, "Unexpected sub-section opening.");
  } else {
    parseCondition(ctx, first);
  }
  if (ctx.assignPending) parseValue(ctx, target, target ? target->type : -1);
}
