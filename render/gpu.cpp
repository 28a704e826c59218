#include "render/gpu.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "platform/platform.h"
#include "render/gpu_internal.h"
#include "runtime/fatal.h"

GpuState gpu;

namespace {

const char* const requiredExtensions[] = {
    "GL_ARB_vertex_program",
    "GL_ARB_fragment_program",
    "GL_ARB_multitexture",
    "GL_EXT_framebuffer_object",
};

struct StepReport {
  GLenum error;
  GLint position;
};

// One diagnostic line: the GL error text, then, when the driver reports an
// error position, the position and at most 20 characters of the text there.
StepReport reportStep(const char* text, const char* positionFormat) {
  StepReport report{glGetError(), -1};
  const GLubyte* errorText = gluErrorString(report.error);
  std::string line = errorText ? reinterpret_cast<const char*>(errorText) : "unknown error";
  glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &report.position);
  if (report.position != -1) {
    char position[32];
    std::snprintf(position, sizeof position, positionFormat, static_cast<int>(report.position));
    line += position;
    size_t length = std::strlen(text);
    if (report.position >= 0 && static_cast<size_t>(report.position) < length) {
      size_t start = static_cast<size_t>(report.position);
      line.append(text + start, std::min<size_t>(20, length - start));
    }
  }
  line += "\n";
  platform::debugOutput(line);
  return report;
}

}  // namespace

bool hasExtension(const char* extensions, const char* name) {
  if (!extensions || !name || !*name) return false;
  size_t length = std::strlen(name);
  for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
    bool startsWord = at == extensions || at[-1] == ' ';
    bool endsWord = at[length] == ' ' || at[length] == '\0';
    if (startsWord && endsWord) return true;
  }
  return false;
}

std::string loadEntryPoints(GpuState& state, const char* extensions, ProcLookup lookup) {
  for (const char* extension : requiredExtensions) {
    if (!hasExtension(extensions, extension)) return std::string("OpenGL extension ") + extension;
  }
  // A driver may hand out a stub for any name; the extension check above is
  // what proves the entry points real, this one catches the absent ones.
  const char* missing = nullptr;
  auto fetch = [&](auto& slot, const char* name) {
    if (missing) return;
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookup(name));
    if (!slot) missing = name;
  };
  fetch(state.glGenProgramsARB, "glGenProgramsARB");
  fetch(state.glBindProgramARB, "glBindProgramARB");
  fetch(state.glProgramStringARB, "glProgramStringARB");
  fetch(state.glProgramEnvParameter4fvARB, "glProgramEnvParameter4fvARB");
  fetch(state.glActiveTextureARB, "glActiveTextureARB");
  fetch(state.glGenFramebuffersEXT, "glGenFramebuffersEXT");
  fetch(state.glBindFramebufferEXT, "glBindFramebufferEXT");
  fetch(state.glGenRenderbuffersEXT, "glGenRenderbuffersEXT");
  fetch(state.glBindRenderbufferEXT, "glBindRenderbufferEXT");
  fetch(state.glRenderbufferStorageEXT, "glRenderbufferStorageEXT");
  fetch(state.glFramebufferRenderbufferEXT, "glFramebufferRenderbufferEXT");
  fetch(state.glFramebufferTexture2DEXT, "glFramebufferTexture2DEXT");
  fetch(state.glCheckFramebufferStatusEXT, "glCheckFramebufferStatusEXT");
  return missing ? std::string("OpenGL entry point ") + missing : std::string();
}

void initGpu() {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string missing = loadEntryPoints(gpu, extensions, platform::glProcAddress);
  if (!missing.empty()) {
    // Every effect draws with these; going on would only crash later.
    fatalError("ERROR", "The graphics driver does not offer the " + missing + ", which this program needs. Quit.",
               -1);
  }
  compileAllPrograms();
}

void compileProgram(const char* name, GLenum target, const char* text, GLuint* programId) {
  platform::debugOutput(std::string("START compiling ") + name + "\n");
  gpu.glGenProgramsARB(1, programId);
  reportStep(text, ", pos %d");
  gpu.glBindProgramARB(target, *programId);
  reportStep(text, ", pos %d");
  gpu.glProgramStringARB(target, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(std::strlen(text)), text);
  StepReport load = reportStep(text, ", pos %d: ");
  platform::debugOutput(std::string("END compiling ") + name + "\n");

  // The debug output is off in a normal run; a broken program must still be seen.
  if (load.error != GL_NO_ERROR || load.position != -1) {
    const GLubyte* driverText = glGetString(GL_PROGRAM_ERROR_STRING_ARB);
    std::fprintf(stderr, "GPU program \"%s\" does not compile, error position %d: %s\n", name,
                 static_cast<int>(load.position), driverText ? reinterpret_cast<const char*>(driverText) : "");
    size_t length = std::strlen(text);
    if (load.position >= 0 && static_cast<size_t>(load.position) < length) {
      std::fprintf(stderr, "  at: %.20s\n", text + load.position);
    }
  }
}

void bindPrograms(GLuint vertexProgram, GLuint fragmentProgram) {
  glEnable(GL_VERTEX_PROGRAM_ARB);
  glEnable(GL_FRAGMENT_PROGRAM_ARB);
  gpu.glBindProgramARB(GL_VERTEX_PROGRAM_ARB, vertexProgram);
  gpu.glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, fragmentProgram);
}

void unbindPrograms() {
  glDisable(GL_VERTEX_PROGRAM_ARB);
  glDisable(GL_FRAGMENT_PROGRAM_ARB);
}

void resetPhongParameters() {
  const float specular[4] = {1.5f, 1.4f, 1.1f, 1.0f};
  std::copy(specular, specular + 4, gpu.phongSpecular);
  // The last two shading values stay as the previous effect left them.
  gpu.phongShading[0] = 4.0f;
  gpu.phongShading[1] = 0.995f;
  const float surface[4] = {2.0f, 0.15f, 0.01f, 0.0f};
  std::copy(surface, surface + 4, gpu.phongSurface);
}
