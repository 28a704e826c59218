// Turns the timeline into effect instances and renders the active ones.
#pragma once

#include <string>

void loadEffects(const std::string& timelinePath);
void renderActiveEffects(float time, float timeStep);
// How many instances the timeline holds.
int timelineSize();
