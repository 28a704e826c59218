// The program: start-up, the frame loop and shutdown.
#pragma once

#include <string>

// Plays the production. The return value is the process exit status.
int runDemo(const std::string& commandLine);
