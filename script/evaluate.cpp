// Running parsed scripts: expression items applied left to right to one
// running value shaped by the target, stores, and if/while sub-sections.
#include "script/internal.h"

namespace {

// How many components a number is combined into: x for int, float and no
// target; x..w by vector size; none for the list types.
int32_t broadcastWidth(int32_t type) {
  switch (type) {
    case -1:
    case varInt:
    case varFloat: return 1;
    case varVec2: return 2;
    case varVec3: return 3;
    case varVec4: return 4;
    default: return 0;
  }
}

inline void broadcast(ScriptValue& r, int32_t width, float v, int32_t op) {
  if (width <= 0) return;
  combine(r.x, v, op);
  if (width == 1) return;
  combine(r.y, v, op);
  if (width == 2) return;
  combine(r.z, v, op);
  if (width == 3) return;
  combine(r.w, v, op);
}

// A variable item: scalars broadcast; vectors combine component by
// component whatever the target; a curve records which curve it selected.
inline void applyVariable(ScriptValue& r, const ExprItem& item, int32_t width, int32_t op) {
  Variable& v = *item.variable;
  r.source = &v;
  int32_t element = subscriptElement(item.index, item.indexVar);
  if (v.type == varCurve) {
    v.count = static_cast<int32_t>(v.curves.size());
    v.stride = 1;
  }
  int32_t i = wordOffset(v, element);
  switch (v.type) {
    case varInt: broadcast(r, width, static_cast<float>(v.ints[i]), op); break;
    case varFloat: broadcast(r, width, v.floats[i], op); break;
    case varVec4: combine(r.w, v.floats[i + 3], op); [[fallthrough]];
    case varVec3: combine(r.z, v.floats[i + 2], op); [[fallthrough]];
    case varVec2:
      combine(r.y, v.floats[i + 1], op);
      combine(r.x, v.floats[i], op);
      break;
    case varCurve: v.selectedIndex = i; break;
    default: break;
  }
}

void store(const ScriptNode& node, const ScriptValue& value) {
  Variable& t = *node.target;
  int32_t i = wordOffset(t, subscriptElement(node.targetIndex, node.targetIndexVar));
  switch (node.targetType) {
    case varInt: t.ints[i] = truncToInt(value.x); break;
    case varFloat: t.floats[i] = value.x; break;
    case varVec4: t.floats[i + 3] = value.w; [[fallthrough]];
    case varVec3: t.floats[i + 2] = value.z; [[fallthrough]];
    case varVec2:
      t.floats[i + 1] = value.y;
      t.floats[i] = value.x;
      break;
    default: break;
  }
}

// A condition operand: an int or float word; 0 for any other type.
float operandValue(const Variable& v, int32_t index, const Variable* indexVar) {
  if (v.type != varInt && v.type != varFloat) return 0.0f;
  int32_t i = wordOffset(v, subscriptElement(index, indexVar));
  return v.type == varInt ? static_cast<float>(v.ints[i]) : v.floats[i];
}

// A NaN makes "==" and the orderings false and "!=" true.
bool conditionHolds(const ScriptNode& node) {
  float a = operandValue(*node.left, node.leftIndex, node.leftIndexVar);
  float b = operandValue(*node.right, node.rightIndex, node.rightIndexVar);
  switch (node.compare) {
    case cmpEqual: return a == b;
    case cmpLess: return a < b;
    case cmpLessEqual: return a <= b;
    case cmpGreater: return a > b;
    case cmpGreaterEqual: return a >= b;
    default: return a != b;
  }
}

// budget: while iterations left; -1 for no limit.
void runChildren(const ScriptNode& block, int64_t& budget) {
  for (const std::unique_ptr<ScriptNode>& child : block.children) {
    const ScriptNode& node = *child;
    if (node.kind == nodeStatement) {
      ScriptValue value = evaluate(node, node.target);
      if (node.target) store(node, value);
    } else if (node.kind == nodeIf) {
      if (conditionHolds(node)) runChildren(node, budget);
    } else {
      while (conditionHolds(node)) {
        if (budget == 0) break;
        if (budget > 0) --budget;
        runChildren(node, budget);
      }
    }
  }
}

}  // namespace

ScriptValue evaluate(const ScriptNode& node, const Variable* target) {
  int32_t width = broadcastWidth(target ? target->type : -1);
  ScriptValue r;
  int32_t op = opAdd;  // the pending operator, never consumed
  for (const ExprItem& item : node.items) {
    switch (item.kind) {
      case itemOperator: op = item.op; break;
      case itemConstant: broadcast(r, width, item.constant, op); break;
      case itemVariable: applyVariable(r, item, width, op); break;
      case itemGroup: broadcast(r, width, evaluate(*item.nodes[0], target).x, op); break;
      default: {
        ScriptValue args[4];
        for (size_t k = 0; k < item.nodes.size(); ++k) args[k] = evaluate(*item.nodes[k], target);
        item.handler(r, args, op);
        break;
      }
    }
  }
  return r;
}

void runBlock(ScriptContext& ctx, ScriptNode* block) {
  int64_t budget = ctx.whileIterationLimit > 0 ? ctx.whileIterationLimit : -1;
  runChildren(block ? *block : *ctx.rootBlock, budget);
}

void runScriptFrame(ScriptContext& ctx, float time, float timeStep) {
  Variable* t = findVariable(ctx, "time");
  if (t && t->type == varFloat) t->floats[0] = time;
  Variable* step = findVariable(ctx, "timeStep");
  if (step && step->type == varFloat) step->floats[0] = timeStep;
  Variable* frame = findVariable(ctx, "frame");
  if (frame && frame->type == varInt) frame->ints[0] = static_cast<int32_t>(static_cast<uint32_t>(frame->ints[0]) + 1u);
  runBlock(ctx, nullptr);
}
