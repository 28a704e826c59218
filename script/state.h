// The script subsystem's process-wide state, in one record.
#pragma once

#include <cstdint>

#include "script/script.h"

struct ScriptState {
  uint32_t randomState = 1;  // random15
  ScriptResourceLoaders loaders;
};

extern ScriptState scriptState;
