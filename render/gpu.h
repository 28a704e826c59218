// The extension entry points and the fixed set of GPU programs: eleven pairs
// of one ARB vertex program and one ARB fragment program.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// One vertex program and the fragment program it is always used with.
struct ProgramPair {
  GLuint vertex = 0;
  GLuint fragment = 0;
};

struct GpuState {
  // ARB_vertex_program / ARB_fragment_program
  PFNGLGENPROGRAMSARBPROC glGenProgramsARB = nullptr;
  PFNGLBINDPROGRAMARBPROC glBindProgramARB = nullptr;
  PFNGLPROGRAMSTRINGARBPROC glProgramStringARB = nullptr;
  PFNGLPROGRAMENVPARAMETER4FVARBPROC glProgramEnvParameter4fvARB = nullptr;
  // ARB_multitexture
  PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
  // EXT_framebuffer_object
  PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT = nullptr;
  PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT = nullptr;
  PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT = nullptr;
  PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC glCheckFramebufferStatusEXT = nullptr;

  // The pairs, in compile order.
  ProgramPair phong;             // lit, bump- and parallax-mapped surface with a colour map
  ProgramPair phongSpecularMap;  // material lighting: colour, bump, specular and environment maps
  ProgramPair blendMultiply;     // layer compositing modes
  ProgramPair blendScreen;
  ProgramPair blendAdd;
  ProgramPair blendSub;
  ProgramPair bumpHeight;        // height picture -> slopes and height
  ProgramPair motionVector;      // per-vertex velocity as colour
  ProgramPair motionBlur;        // blur along a velocity picture
  ProgramPair limit;             // bright part of a picture
  ProgramPair exponentialSum;    // two pictures shaped by powers of their luminance

  // The phong pair's fragment environment parameters 1, 2 and 3.
  float phongSpecular[4] = {0, 0, 0, 0};  // specular colour
  float phongShading[4] = {0, 0, 0, 0};   // exponent, multiplier, extra specular, texture add
  float phongSurface[4] = {0, 0, 0, 0};   // bump strength, texture multiplier, parallax depth, bias
};

extern GpuState gpu;

// Fetches the entry points and compiles the 22 programs. Needs a current GL
// context. A missing extension or entry point ends the run with a message
// naming it.
void initGpu();

// Compiles one program into a new program name, which stays bound to target.
// The steps go to the debug output; a failed compile is also told on stderr.
void compileProgram(const char* name, GLenum target, const char* text, GLuint* programId);

void bindPrograms(GLuint vertexProgram, GLuint fragmentProgram);
inline void bindPrograms(const ProgramPair& pair) { bindPrograms(pair.vertex, pair.fragment); }
void unbindPrograms();

// Specular (1.5, 1.4, 1.1, 1), shading (4, 0.995, kept, kept),
// surface (2, 0.15, 0.01, 0).
void resetPhongParameters();
