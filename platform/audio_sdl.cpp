#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/audio.h"

namespace platform {
namespace {

struct AudioState {
  bool subsystemStarted = false;
  SDL_AudioDeviceID device = 0;
  AudioCallback callback = nullptr;
  void* user = nullptr;
};

AudioState audio;

void SDLCALL pullSamples(void*, Uint8* stream, int len) {
  int frames = len / static_cast<int>(2 * sizeof(float));
  audio.callback(reinterpret_cast<float*>(stream), frames, audio.user);
}

void stopSubsystem() {
  if (audio.subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio.subsystemStarted = false;
}

}  // namespace

bool openAudioOutput(int sampleRate, AudioCallback callback, void* user) {
  closeAudioOutput();
  if (!callback || sampleRate <= 0) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "no sound output (%s): music runs silently\n", SDL_GetError());
    return false;
  }
  audio.subsystemStarted = true;
  // The dummy driver pulls samples at an uneven rate; a clock keeps better time.
  const char* driver = SDL_GetCurrentAudioDriver();
  if (driver && std::strcmp(driver, "dummy") == 0) {
    stopSubsystem();
    return false;
  }
  SDL_AudioSpec wanted;
  SDL_zero(wanted);
  wanted.freq = sampleRate;
  wanted.format = AUDIO_F32SYS;
  wanted.channels = 2;
  wanted.samples = 1024;
  wanted.callback = pullSamples;
  audio.callback = callback;
  audio.user = user;
  SDL_AudioSpec obtained;
  // No allowed changes: SDL converts to whatever the device runs at.
  audio.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (audio.device == 0) {
    std::fprintf(stderr, "no sound output (%s): music runs silently\n", SDL_GetError());
    stopSubsystem();
    return false;
  }
  SDL_PauseAudioDevice(audio.device, 0);
  return true;
}

void closeAudioOutput() {
  if (audio.device != 0) SDL_CloseAudioDevice(audio.device);
  audio.device = 0;
  audio.callback = nullptr;
  audio.user = nullptr;
  stopSubsystem();
}

}  // namespace platform
