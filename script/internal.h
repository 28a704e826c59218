// What the script sources share among themselves: the readers over the
// cleaned chunk, the parse-error path, conversions and the process-wide state.
#pragma once

#include <cstdint>
#include <string>

#include "script/script.h"

// The x86 conversion: toward zero, and the lowest value for NaN and for
// values out of range (where a plain cast is undefined).
inline int32_t truncToInt(float f) {
  if (f > -2147483648.0f && f < 2147483648.0f) return static_cast<int32_t>(f);
  return INT32_MIN;
}
inline int64_t truncToInt64(float f) {
  if (f > -9223372036854775808.0f && f < 9223372036854775808.0f) return static_cast<int64_t>(f);
  return INT64_MIN;
}

// Element e of a numeric variable as a word offset: e taken as unsigned and
// reduced modulo the count, times the stride. A count below 1 (an empty curve
// list) addresses word 0.
inline int32_t wordOffset(const Variable& v, int32_t element) {
  uint32_t e = static_cast<uint32_t>(element);
  uint32_t count = v.count > 0 ? static_cast<uint32_t>(v.count) : 1u;
  if (e >= count) e %= count;
  return static_cast<int32_t>(e) * v.stride;
}

// The element a subscript names: the constant, or the value of the subscript
// variable when it is an int (element 0) or a float (element 0, truncated).
inline int32_t subscriptElement(int32_t constant, const Variable* indexVar) {
  if (indexVar) {
    if (indexVar->type == varInt) return indexVar->ints[0];
    if (indexVar->type == varFloat) return truncToInt(indexVar->floats[0]);
  }
  return constant;
}

// Applies the pending operator: c = c + v, c - v, c * v or c / v (IEEE
// division, no error on zero).
inline void combine(float& c, float v, int32_t op) {
  switch (op) {
    case opAdd: c = c + v; break;
    case opSubtract: c = c - v; break;
    case opMultiply: c = c * v; break;
    default: c = c / v; break;
  }
}

// --- Readers (lexer.cpp) ---------------------------------------------------

struct Token {
  std::string name;     // the identifier-character run, possibly empty
  int32_t type = -1;    // VarType of a type keyword
  int32_t builtin = -1; // BuiltinId
  int32_t keyword = -1; // 0 "if", 1 "while", 2 "{", 3 "}"
  int32_t bracket = -1; // 0 "(", 1 ")", 2 double quote
  int32_t op = -1;      // ArithOp
  bool atEnd = false;   // the chunk ended before any token began
};

bool isIdentifierChar(char c);
// The character at the position, or 0 past the end of the chunk.
char charAt(const ScriptContext& ctx, int32_t position);
bool atChunkEnd(const ScriptContext& ctx);
// Steps over one blank (a space) at the position, if there is one.
void skipOneBlank(ScriptContext& ctx);
// A run that begins with a decimal number ("2x" is 2).
bool readNumber(const std::string& run, float* value);
int32_t builtinCode(const std::string& name);

// The three readers; each starts at ctx.position and stops at the end of the chunk.
Token readStatementToken(ScriptContext& ctx);
Token readExpressionToken(ScriptContext& ctx);
std::string readStringLiteral(ScriptContext& ctx);
bool cleanChunk(ScriptContext& ctx, std::string_view chunk);

// --- Parse errors (lexer.cpp) ----------------------------------------------

// "Error on line %d, col %d:\n%s\n\n" + message, caption "ERROR", status -1.
[[noreturn]] void parseError(const ScriptContext& ctx, int32_t column, const std::string& message);
// The one template spelled "col%d": "Variable named %s not found."
[[noreturn]] void variableNotFound(const ScriptContext& ctx, int32_t column, const std::string& name);
// A statement whose chunk ends (at "{", "}" or a byte 255) before its ";".
[[noreturn]] void unexpectedEnd(const ScriptContext& ctx);

// Deeper nesting of brackets or sub-sections is rejected: the parser and the
// runner recurse once per level.
constexpr int32_t maxNesting = 256;
// Largest declared array: the script names every size it uses, and a limit
// keeps one declaration from taking all memory.
constexpr int32_t maxArraySize = 65536;

// --- Parsing ----------------------------------------------------------------

// Reads "[" subscript "]" at the position when the character there is "[":
// a number (truncated) into constant, or else a variable of any type into
// indexVar; "Invalid array subscript %s." otherwise. Then steps past the "]".
void readSubscript(ScriptContext& ctx, int32_t* constant, Variable** indexVar);
// Steps to the next "]" (stopping early at a ";" or the end) and over it.
void skipPastSubscriptEnd(ScriptContext& ctx);
// Parses from the position into node's items: at depth 0 up to the ";"
// (left unread), deeper up to and over the ")" or "," that ends a group or
// an argument. openPosition (just after this level's "(") is the column of
// the unclosed-bracket message; moreArguments says a "," must end it.
void parseExpression(ScriptContext& ctx, ScriptNode& node, int32_t depth, int32_t openPosition, bool moreArguments);

// --- Built-ins (builtins.cpp) ------------------------------------------------

struct BuiltinInfo {
  const char* name;
  int32_t argumentCount;
  BuiltinHandler handler;
};
extern const BuiltinInfo builtinTable[builtinCount];
