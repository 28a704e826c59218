// Turns the timeline into effect instances and renders the active ones.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effects/framework/effect.h"
#include "runtime/datapack.h"
#include "runtime/text_files.h"

struct Mesh;

// Every instance, in timeline order. Instances are only appended, while loading.
struct Timeline {
  std::vector<std::unique_ptr<Effect>> effects;
};

extern Timeline timeline;

// The text effect's glyph meshes, indexed by character code; 33..126 are loaded.
constexpr int glyphCount = 256;
extern std::vector<std::shared_ptr<Mesh>> defaultGlyphs;
extern std::vector<std::shared_ptr<Mesh>> alternateGlyphs;

// The off-screen framebuffers, the glyph sets, then one instance per timeline
// section whose description names a known class.
void loadEffects(const std::string& timelinePath);

// Renders, in timeline order, every instance with start <= time < start + length.
void renderActiveEffects(float time, float timeStep);

// The class registered under a description's "code", or null for an unknown
// name. The one place where code names meet classes.
std::unique_ptr<Effect> createEffect(const std::string& code);

// One timeline section turned into an instance (null when it makes none):
// its description read, the class made, the built-ins declared, the body
// parsed, setup and one run of the script.
std::unique_ptr<Effect> loadEffect(const TimelineSection& section);
