#include "effects/framework/effects.h"

#include <GL/gl.h>

#include <cstdio>

#include "effects/basicmesh.h"
#include "effects/spektrometri.h"
#include "mesh/mesh.h"
#include "render/targets.h"
#include "runtime/text_files.h"

Timeline timeline;
std::vector<std::shared_ptr<Mesh>> defaultGlyphs;
std::vector<std::shared_ptr<Mesh>> alternateGlyphs;

namespace {

using EffectFactory = std::unique_ptr<Effect> (*)();

template <typename T>
std::unique_ptr<Effect> make() {
  return std::make_unique<T>();
}

struct FactoryEntry {
  const char* code;
  EffectFactory create;  // null: the class is not written yet, so no instance
};

// Compared exactly, in this order.
const FactoryEntry factoryTable[] = {
    {"spektrometri", make<SpektrometriEffect>},
    {"meshi", nullptr},
    {"twist", nullptr},
    {"curvex", nullptr},
    {"sorver", nullptr},
    {"sorverBreak", nullptr},
    {"cubetube", nullptr},
    {"motion", nullptr},
    {"springy", nullptr},
    {"text", nullptr},
    {"springer", nullptr},
    {"basicmesh", make<BasicMeshEffect>},
    {"glow", nullptr},
    {"layer", nullptr},
    {"bumpheight", nullptr},
    {"box", nullptr},
    {"breaker", nullptr},
    {"projectioner", nullptr},
};

// Codes 33..126 from prefix + three digits + ".lwo"; every other code keeps an empty mesh.
void loadGlyphSet(std::vector<std::shared_ptr<Mesh>>& glyphs, const char* prefix) {
  glyphs.clear();
  for (int c = 0; c < glyphCount; ++c) glyphs.push_back(std::make_shared<Mesh>());
  const Vector3 axisU{1.0f, 0.0f, 0.0f}, axisV{0.0f, 1.0f, 0.0f}, offset{0.0f, 0.0f, 0.0f};
  for (int c = 33; c <= 126; ++c) {
    char name[128];
    std::snprintf(name, sizeof name, "%s%03d.lwo", prefix, c);
    loadLwoMesh(name, *glyphs[static_cast<size_t>(c)], axisU, axisV, offset, 0);
  }
}

// Every input and output name becomes a render target of the target size.
void makeSectionTargets(const TimelineSection& section) {
  for (const std::vector<std::string>* names : {&section.inputs, &section.outputs}) {
    for (const std::string& name : *names) makeTexture(false, 0, name, 0, nullptr, GL_RGBA);
  }
}

}  // namespace

std::unique_ptr<Effect> createEffect(const std::string& code) {
  for (const FactoryEntry& entry : factoryTable) {
    if (code == entry.code) return entry.create ? entry.create() : nullptr;
  }
  return nullptr;
}

std::unique_ptr<Effect> loadEffect(const TimelineSection& section) {
  makeSectionTargets(section);
  DataBuffer description;
  readDataFile(section.name, description);
  if (description.empty()) return nullptr;
  std::string code;
  size_t bodyOffset = 0;
  if (!splitEffectDescription(description, &code, &bodyOffset) || code.empty()) return nullptr;
  std::unique_ptr<Effect> effect = createEffect(code);
  if (!effect) return nullptr;
  initEffectScript(effect->script, section);
  effect->start = section.start;
  effect->length = section.end - section.start;
  std::string_view body(reinterpret_cast<const char*>(description.data()) + bodyOffset,
                        description.size() - bodyOffset);
  parseScriptBody(effect->script, body);
  effect->setup();
  runBlock(effect->script);
  return effect;
}

void loadEffects(const std::string& timelinePath) {
  createOffscreenTargets();
  loadGlyphSet(alternateGlyphs, "duvova/meshes/123and/font_");
  loadGlyphSet(defaultGlyphs, "duvova/meshes/font/porscha_");
  if (timelinePath.empty()) return;
  DataBuffer data;
  readDataFile(timelinePath, data);
  if (data.empty()) return;
  for (const TimelineSection& section : parseTimeline(data)) {
    std::unique_ptr<Effect> effect = loadEffect(section);
    if (effect) timeline.effects.push_back(std::move(effect));
  }
}

void renderActiveEffects(float time, float timeStep) {
  for (const std::unique_ptr<Effect>& effect : timeline.effects) {
    if (effect->start <= time && time < effect->start + effect->length) {
      renderEffectFrame(*effect, time, timeStep);
    }
  }
}
