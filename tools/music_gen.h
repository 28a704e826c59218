// The project's own music: a synthesised piece and pure test tones, encoded
// as MP3 with libmp3lame. Everything is deterministic: the same arguments give
// the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PcmAudio {
  int sampleRate = 44100;
  int channels = 2;
  std::vector<float> samples;  // interleaved, full scale = 1.0
};

// A rhythmic piece in A minor at the production's beat rate (3.5875 eighth
// notes a second): drums, bass, a filtered pad, an arpeggio and a lead, in
// sections that keep the spectrum moving. Fades in and out.
PcmAudio synthesiseMusic(double seconds);

// A mono sine of the given frequency and amplitude, then silence.
PcmAudio synthesiseTone(double frequency, double amplitude, double toneSeconds, double silenceSeconds);

// CBR MP3 with a LAME tag at the start, so decoders can trim the encoder's
// delay and padding and give back exactly the frames that went in.
bool encodeMp3(const PcmAudio& audio, int kbps, std::vector<uint8_t>& mp3, std::string& error);
