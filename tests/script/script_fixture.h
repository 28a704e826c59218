// Runs script bodies in-process. Fatal errors are caught: the handler throws
// what fatalError was given, so a test can compare the exact message.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/text_files.h"
#include "script/script.h"

struct FatalCall {
  std::string caption;
  std::string text;
  int exitStatus;
};

[[noreturn]] inline void throwFatal(const char* caption, const char* text, int exitStatus) {
  throw FatalCall{caption, text, exitStatus};
}

// Installs the throwing handler for the test's lifetime.
class ScriptTest : public testing::Test {
 protected:
  void SetUp() override { setFatalHandler(throwFatal); }
  void TearDown() override {
    setFatalHandler(nullptr);
    setScriptResourceLoaders(ScriptResourceLoaders{});
  }
};

inline TimelineSection testSection() {
  TimelineSection section;
  section.name = "fx/test.txt";
  section.start = 0.0f;
  section.end = 10.0f;
  return section;
}

// The built-ins of section, then body parsed; the set-up run when run is set.
inline ScriptContext loadScript(const std::string& body, const TimelineSection& section = testSection(),
                                bool run = true) {
  ScriptContext ctx;
  initEffectScript(ctx, section);
  parseScriptBody(ctx, body);
  if (run) runBlock(ctx);
  return ctx;
}

// The fatal error that loading (and one run of) body ends with; empty
// caption when it ends normally.
inline FatalCall failureOf(const std::string& body) {
  try {
    loadScript(body);
  } catch (const FatalCall& call) {
    return call;
  }
  return FatalCall{"", "", 0};
}

// Every stored word of a numeric variable, ints converted to float.
inline std::vector<float> words(const ScriptContext& ctx, const std::string& name) {
  std::vector<float> result;
  Variable* v = findVariable(ctx, name);
  if (!v) {
    ADD_FAILURE() << "no variable " << name;
    return result;
  }
  if (v->type == varInt) {
    for (int32_t word : v->intStorage) result.push_back(static_cast<float>(word));
  } else if (v->isAlias) {
    for (int32_t e = 0; e < v->count; ++e) result.push_back(v->floats[e * v->stride]);
  } else {
    result = v->floatStorage;
  }
  return result;
}
