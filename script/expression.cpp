// Expressions parse into a flat item list applied strictly left to right:
//   expression -> { operand | operator | "(" expression ")" | builtin "(" arguments ")" } ";"
// with no precedence. An operand is a number or a variable with an optional
// "[" subscript "]" written right after its name.
#include "script/internal.h"

void skipPastSubscriptEnd(ScriptContext& ctx) {
  int32_t size = static_cast<int32_t>(ctx.chunk.size());
  while (ctx.position < size && ctx.chunk[ctx.position] != ']' && ctx.chunk[ctx.position] != ';') ++ctx.position;
  if (charAt(ctx, ctx.position) == ']') ++ctx.position;
}

void readSubscript(ScriptContext& ctx, int32_t* constant, Variable** indexVar) {
  ++ctx.position;  // the "["
  Token token = readStatementToken(ctx);
  float number;
  if (readNumber(token.name, &number)) {
    *constant = truncToInt(number);
  } else if (Variable* v = findVariable(ctx, token.name)) {
    *indexVar = v;
  } else {
    parseError(ctx, ctx.position, "Invalid array subscript " + token.name + ".");
  }
  skipPastSubscriptEnd(ctx);
}

namespace {

std::unique_ptr<ScriptNode> parseNested(ScriptContext& ctx, int32_t depth, bool moreArguments) {
  if (depth + 1 > maxNesting) parseError(ctx, ctx.position, "Brackets nested too deeply.");
  auto node = std::make_unique<ScriptNode>();
  parseExpression(ctx, *node, depth + 1, ctx.position, moreArguments);
  return node;
}

// builtin "(" argument { "," argument } ")", with exactly the built-in's
// number of arguments; randf and randfs parse one and drop it.
void parseCall(ScriptContext& ctx, ScriptNode& node, int32_t depth, const Token& name) {
  Token open = readExpressionToken(ctx);
  if (open.bracket != 0) parseError(ctx, ctx.position, "No brace open found after function " + name.name + ".");
  const BuiltinInfo& info = builtinTable[name.builtin];
  ExprItem item;
  item.kind = itemCall;
  item.builtin = name.builtin;
  item.handler = info.handler;
  if (info.argumentCount == 0) {
    parseNested(ctx, depth, false);
  } else {
    for (int32_t k = 0; k < info.argumentCount; ++k) {
      item.nodes.push_back(parseNested(ctx, depth, k + 1 < info.argumentCount));
    }
  }
  node.items.push_back(std::move(item));
}

void parseOperand(ScriptContext& ctx, ScriptNode& node, const Token& token) {
  ExprItem item;
  float number;
  if (readNumber(token.name, &number)) {
    item.kind = itemConstant;
    item.constant = number;
    node.items.push_back(std::move(item));
    return;
  }
  Variable* v = findVariable(ctx, token.name);
  if (!v) variableNotFound(ctx, ctx.position, token.name);
  item.kind = itemVariable;
  item.variable = v;
  if (charAt(ctx, ctx.position) == '[') readSubscript(ctx, &item.index, &item.indexVar);
  node.items.push_back(std::move(item));
}

}  // namespace

void parseExpression(ScriptContext& ctx, ScriptNode& node, int32_t depth, int32_t openPosition, bool moreArguments) {
  for (;;) {
    Token token = readExpressionToken(ctx);
    if (token.atEnd) unexpectedEnd(ctx);
    if (token.bracket == 0) {
      ExprItem group;
      group.kind = itemGroup;
      group.nodes.push_back(parseNested(ctx, depth, false));
      node.items.push_back(std::move(group));
    } else if (token.bracket == 1) {
      if (depth == 0) parseError(ctx, ctx.position, "Unexpected brace close.");
      if (moreArguments) parseError(ctx, ctx.position, "Wrong number of function parameters. Expected comma separator.");
      return;
    } else if (token.builtin >= 0) {
      parseCall(ctx, node, depth, token);
    } else if (token.op >= 0) {
      ExprItem item;
      item.kind = itemOperator;
      item.op = token.op;
      node.items.push_back(std::move(item));
    } else if (token.bracket != 2) {  // a double quote is passed over
      parseOperand(ctx, node, token);
    }

    // The end of this level must follow directly or after exactly one blank.
    skipOneBlank(ctx);
    char c = charAt(ctx, ctx.position);
    if (c == ';') {
      if (depth == 0) return;
      parseError(ctx, openPosition, "No brace close found for brace opened.");
    }
    if (c == ',') {
      if (!moreArguments) parseError(ctx, ctx.position, "Unexpected comma separator. Too many function parameters?");
      ++ctx.position;
      return;
    }
  }
}
