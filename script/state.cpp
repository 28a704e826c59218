#include "script/state.h"

ScriptState scriptState;

void setScriptResourceLoaders(const ScriptResourceLoaders& loaders) { scriptState.loaders = loaders; }
