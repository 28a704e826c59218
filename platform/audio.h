// Sound output: one stereo stream of 32-bit float samples pulled by a
// callback on the audio thread. Nothing here exposes SDL.
#pragma once

namespace platform {

// Fills `frames` interleaved stereo frames (2 floats each) into out. Runs on
// the audio thread, never on the caller's.
using AudioCallback = void (*)(float* out, int frames, void* user);

// Opens the default output device at sampleRate and starts pulling from the
// callback. False when nothing can play sound (no device, or the dummy
// driver): callers then keep time with a clock of their own. The device
// converts the rate if it cannot run at sampleRate.
bool openAudioOutput(int sampleRate, AudioCallback callback, void* user);
// Stops the device; when it returns the callback is not running and will not
// be called again.
void closeAudioOutput();

}  // namespace platform
