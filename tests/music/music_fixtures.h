// MP3 fixtures made on the spot by the project's own generator.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/datapack.h"
#include "tools/music_gen.h"

constexpr int fixtureRate = 44100;
constexpr double fixturePi = 3.14159265358979323846;

inline DataBuffer encodeFixture(const PcmAudio& audio, int kbps) {
  DataBuffer mp3;
  std::string error;
  EXPECT_TRUE(encodeMp3(audio, kbps, mp3, error)) << error;
  return mp3;
}

// A mono sine, amplitude 0.5 unless given, then silence. 320 kbps: at lower
// rates the encoder lets a pure tone lose a few per cent of its level.
inline DataBuffer toneMp3(double hz, double toneSeconds, double silenceSeconds, double amplitude = 0.5) {
  return encodeFixture(synthesiseTone(hz, amplitude, toneSeconds, silenceSeconds), 320);
}

// The frame of a millisecond, as the sound layer rounds it.
inline int64_t frameOfMs(int64_t ms) { return ms * fixtureRate / 1000; }
