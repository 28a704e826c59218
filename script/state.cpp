#include "script/state.h"

ScriptState scriptState;

void setScriptResourceLoaders(const ScriptResourceLoaders& loaders) { scriptState.loaders = loaders; }

bool isPngName(const std::string& fileName) { return fileName.find(".png") != std::string::npos; }
