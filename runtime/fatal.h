// The one way the program ends on an error it cannot go on from.
#pragma once

#include <string>

// Shows the message (message box, or stderr without a display) and ends the
// process with exitStatus. Never returns.
[[noreturn]] void fatalError(const std::string& caption, const std::string& text, int exitStatus);

// Fuzz targets and tests replace the ending: the handler is called after the
// message is printed and must not return (it may longjmp). Null restores exit.
using FatalHandler = void (*)(const char* caption, const char* text, int exitStatus);
void setFatalHandler(FatalHandler handler);
