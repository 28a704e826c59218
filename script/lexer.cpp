// Chunks, comment cleaning with line counting, and the three readers that
// share the context's position counter.
#include <cstdio>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/text_files.h"
#include "script/internal.h"

namespace {

struct Keyword {
  const char* text;
  int32_t code;
};

const Keyword typeKeywords[] = {
    {"int", varInt},       {"float", varFloat},     {"vec2", varVec2},   {"vec3", varVec3},
    {"vec4", varVec4},     {"curve", varCurve},     {"string", varString}, {"texture", varTexture},
    {"mesh", varMesh},     {"material", varMaterial},
};

bool isStatementDelimiter(char c) { return c != 0 && std::strchr("()*+-/;={}", c) != nullptr; }
bool isExpressionDelimiter(char c) { return c != 0 && std::strchr("()*+-/;\"", c) != nullptr; }

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int32_t typeCode(const std::string& name) {
  for (const Keyword& k : typeKeywords) {
    if (name == k.text) return k.code;
  }
  return -1;
}

// Appends identifier characters to the name; before the first one, skips any
// character that is not a delimiter. Stops on the delimiter without taking it.
template <bool (*isDelimiter)(char)>
void readRun(ScriptContext& ctx, Token& token) {
  int32_t size = static_cast<int32_t>(ctx.chunk.size());
  int32_t p = ctx.position;
  while (p < size) {
    char c = ctx.chunk[p];
    if (isIdentifierChar(c)) {
      token.name.push_back(c);
    } else if (!token.name.empty() || isDelimiter(c)) {
      break;
    }
    ++p;
  }
  ctx.position = p;
  token.atEnd = token.name.empty() && p >= size;
}

std::string formatPrefix(const char* format, int32_t line, int32_t column) {
  char prefix[96];
  std::snprintf(prefix, sizeof prefix, format, line, column);
  return prefix;
}

}  // namespace

bool isIdentifierChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '.';
}

char charAt(const ScriptContext& ctx, int32_t position) {
  if (position < 0 || position >= static_cast<int32_t>(ctx.chunk.size())) return 0;
  return ctx.chunk[position];
}

bool atChunkEnd(const ScriptContext& ctx) { return ctx.position >= static_cast<int32_t>(ctx.chunk.size()); }

void skipOneBlank(ScriptContext& ctx) {
  if (charAt(ctx, ctx.position) == ' ') ++ctx.position;
}

bool readNumber(const std::string& run, float* value) { return !run.empty() && readDecimal(run.c_str(), value); }

int32_t builtinCode(const std::string& name) {
  for (int32_t id = 0; id < builtinCount; ++id) {
    if (name == builtinTable[id].name) return id;
  }
  return -1;
}

// Statement token: a run, classified as type keyword, built-in name, "if" or
// "while"; an empty run stopped by "{" or "}" gives keyword 2 or 3.
Token readStatementToken(ScriptContext& ctx) {
  Token token;
  readRun<isStatementDelimiter>(ctx, token);
  token.type = typeCode(token.name);
  token.builtin = builtinCode(token.name);
  if (token.name == "if") {
    token.keyword = 0;
  } else if (token.name == "while") {
    token.keyword = 1;
  } else if (token.name.empty()) {
    char c = charAt(ctx, ctx.position);
    if (c == '{') token.keyword = 2;
    if (c == '}') token.keyword = 3;
  }
  return token;
}

// Expression token: a run (with its built-in code), or else one of ( ) " + - * /
// taken as bracket or operator. A ";" stays unread.
Token readExpressionToken(ScriptContext& ctx) {
  Token token;
  readRun<isExpressionDelimiter>(ctx, token);
  if (!token.name.empty()) {
    token.builtin = builtinCode(token.name);
    return token;
  }
  switch (charAt(ctx, ctx.position)) {
    case '(': token.bracket = 0; break;
    case ')': token.bracket = 1; break;
    case '"': token.bracket = 2; break;
    case '+': token.op = opAdd; break;
    case '-': token.op = opSubtract; break;
    case '*': token.op = opMultiply; break;
    case '/': token.op = opDivide; break;
    default: return token;
  }
  ++ctx.position;
  return token;
}

// After an opening quote: the text up to the closing quote (taken) or a ";"
// or the end of the chunk (not taken). No escapes.
std::string readStringLiteral(ScriptContext& ctx) {
  std::string text;
  int32_t size = static_cast<int32_t>(ctx.chunk.size());
  while (ctx.position < size) {
    char c = ctx.chunk[ctx.position];
    if (c == ';') break;
    ++ctx.position;
    if (c == '"') break;
    text.push_back(c);
  }
  return text;
}

std::vector<std::string_view> cutChunks(std::string_view body) {
  std::vector<std::string_view> chunks;
  size_t begin = 0;
  for (size_t i = 0; i < body.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(body[i]);
    if (c == ';' || c == '{' || c == '}') {
      chunks.push_back(body.substr(begin, i + 1 - begin));
      begin = i + 1;
    } else if (c == 255) {
      chunks.push_back(body.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  return chunks;
}

// Copies the chunk without its "//" comments into ctx.chunk, counting lines.
// Quotes do not protect "//". True when something other than white space is left.
bool cleanChunk(ScriptContext& ctx, std::string_view chunk) {
  ctx.chunk.clear();
  bool inComment = false;
  bool blank = true;
  for (size_t i = 0; i < chunk.size(); ++i) {
    char c = chunk[i];
    if (c == '\n') {
      ++ctx.lineNumber;
      inComment = false;
    } else if (inComment) {
      continue;
    } else if (c == '/' && i + 1 < chunk.size() && chunk[i + 1] == '/') {
      inComment = true;
      continue;
    }
    ctx.chunk.push_back(c);
    if (!isWhiteSpace(c)) blank = false;
  }
  return !blank;
}

void parseScriptBody(ScriptContext& ctx, std::string_view body) {
  for (std::string_view chunk : cutChunks(body)) parseChunk(ctx, chunk);
}

void parseError(const ScriptContext& ctx, int32_t column, const std::string& message) {
  std::string text = formatPrefix("Error on line %d, col %d:\n", ctx.lineNumber, column);
  text += ctx.chunk + "\n\n" + message;
  fatalError("ERROR", text, -1);
}

void variableNotFound(const ScriptContext& ctx, int32_t column, const std::string& name) {
  std::string text = formatPrefix("Error on line %d, col%d:\n", ctx.lineNumber, column);
  text += ctx.chunk + "\n\nVariable named " + name + " not found.";
  fatalError("ERROR", text, -1);
}

void unexpectedEnd(const ScriptContext& ctx) {
  parseError(ctx, ctx.position, "Unexpected end of statement. Missing ; before { or }?");
}
