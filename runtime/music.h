// The soundtrack: an MP3 streamed from memory on one music channel, and the
// spectrum that effects draw from. A small sound layer (system, stream,
// channel) comes first; the program's use of it (start-up, resync, pause,
// release) is at the end.
#pragma once

#include <cstdint>

#include "runtime/datapack.h"

// --- Sound layer ------------------------------------------------------------

enum class SoundResult {
  ok,
  noSystem,      // createSoundSystem was not called
  noData,        // the stream was given no bytes
  notDecodable,  // the bytes are not an MP3 stream the decoder can play
  noStream,      // nothing to put on the channel
};

// Creates the system; calling it again keeps it as it is. The output opens
// with each stream, at the stream's rate: the default sound device, or, when
// none plays sound (no device, SDL_AUDIODRIVER=dummy), a silent output whose
// position runs on the clock at the same rate.
void createSoundSystem();
bool soundSystemCreated();
// A real device plays the music (false on the silent output).
bool soundOutputAudible();

// Makes the music stream from MP3 bytes, which it keeps: they are decoded a
// little at a time as the channel plays, never all at once. Replaces any
// earlier stream.
SoundResult createMusicStream(DataBuffer data);
// Puts the stream on the music channel at position 0, paused.
SoundResult playMusicPaused();
// Paused: playback halts at once and the position holds.
void setChannelPaused(bool paused);
// The channel continues from that millisecond, to the sample; beyond the end
// of the music it plays silence while the position keeps running.
void setChannelPositionMs(int64_t ms);
// The play position in sample frames (0 without a stream) and the stream's
// sample rate (0 without one).
int64_t channelPositionFrames();
int channelSampleRate();
// The count samples of one channel (0 left, 1 right; a mono file plays on
// both) that end at the play position; zeros before the start, past the end
// and without a stream. False (out untouched) for another channel or count.
bool channelSamples(float* out, int count, int channelOffset);
// Stops the output and frees the stream; createSoundSystem may start over.
void releaseSoundSystem();

// --- Spectrum ---------------------------------------------------------------

enum SpectrumWindow {
  spectrumWindowRect = 0,
  spectrumWindowTriangle = 1,
  spectrumWindowHamming = 2,
  spectrumWindowHanning = 3,
  spectrumWindowBlackman = 4,
  spectrumWindowBlackmanHarris = 5,
};
constexpr int spectrumBands = 2048;

// Magnitudes of count bands (a power of two, 64 to 8192) from the FFT of the
// 2 x count samples, weighted by the window. Band k is centred on
// k x rate / (2 x count) Hz; a sine of amplitude A centred in a band reads A
// there. False (values untouched) for an unknown window or count.
bool spectrumOfSamples(const float* samples, int count, int windowType, float* values);

// With music enabled, fills values with the spectrum of the requested
// channel's samples at the current play position (zeros while nothing plays).
// With music off it leaves the array as it was. Every caller passes 2048
// values, window spectrumWindowHanning and channel 0.
void getSpectrum(float* values, int windowType, int count, int channelOffset);

// --- The program's music ----------------------------------------------------

extern const char* const musicFileName;  // "./duvova/dodazovar.mp3"

// Start-up, when music is enabled: system, stream from the music file, channel
// started paused and then unpaused. A missing or unplayable file is reported
// in a message naming it, and the run goes on without music (music is then
// off, as with "music 0").
void startMusic();
// The stream is on its channel; guards every pause and position change.
bool musicPlaying();
// Authoring pause and resume. Resuming does not move the position: the caller
// sets the resync flag so the same frame puts the music at the demo time.
void pauseMusic();
void resumeMusic();
// Moves the music to a demo time in whole milliseconds (truncated), if it plays.
void syncMusicTo(float demoTime);
// Normal shutdown: releases the sound system if it was created.
void releaseMusic();
