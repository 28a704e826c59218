#include <cstdio>

#include "render/gpu.h"
#include "render/targets.h"
#include "render/targets_internal.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"

RenderTarget hdrTarget;
RenderTarget ldrTarget;

namespace {

void createOffscreenTarget(RenderTarget& target, GLint colourFormat, const char* targetName) {
  target.width = targetWidth;
  target.height = targetHeight;
  gpu.glGenFramebuffersEXT(1, &target.framebuffer);
  gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);

  gpu.glGenRenderbuffersEXT(1, &target.depthBuffer);
  gpu.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.depthBuffer);
  gpu.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, target.width, target.height);
  gpu.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                   target.depthBuffer);

  glGenTextures(1, &target.colourTexture);
  glBindTexture(GL_TEXTURE_2D, target.colourTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, colourFormat, target.width, target.height, 0, GL_RGBA, GL_FLOAT, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  gpu.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, target.colourTexture, 0);

  checkFramebufferStatus(gpu.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), targetName);
  gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

}  // namespace

void checkFramebufferStatus(GLenum status, const char* targetName) {
  if (status == GL_FRAMEBUFFER_UNSUPPORTED_EXT) {
    // Both framebuffers are checked with the same text.
    fatalError("ERROR", "GL framebuffer format GL_RGBA16f unsupported, sorry. Quit.", -1);
  }
  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
    std::fprintf(stderr, "off-screen framebuffer %s is incomplete (status 0x%04x); what is drawn through it is lost\n",
                 targetName, static_cast<unsigned>(status));
  }
}

void createOffscreenTargets() {
  createOffscreenTarget(hdrTarget, GL_RGBA16F_ARB, "hdrTarget");
  createOffscreenTarget(ldrTarget, GL_RGBA, "ldrTarget");
}
