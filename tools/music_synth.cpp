#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/music_gen.h"

namespace {

constexpr int sampleRate = 44100;
constexpr double pi = 3.14159265358979323846;
// An eighth note lasts one beat of the effects' beat clock (t x 3.5875).
constexpr double stepSeconds = 1.0 / 3.5875;
constexpr int stepsPerBar = 8;
constexpr int barsPerSection = 8;
constexpr double barSeconds = stepSeconds * stepsPerBar;

double noteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// The one noise source: a 32-bit LCG, seeded per note so every run is alike.
struct Noise {
  uint32_t state;
  float next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) * (2.0f / 16777216.0f) - 1.0f;
  }
};

// y += a (x - y): a one-pole low-pass with its -3 dB point at hz.
double lowPassCoefficient(double hz) { return 1.0 - std::exp(-2.0 * pi * hz / sampleRate); }

// A band-limited sawtooth: the naive ramp with its step smoothed (polyBLEP).
double sawtooth(double phase, double increment) {
  double value = 2.0 * phase - 1.0;
  if (phase < increment) {
    double t = phase / increment;
    value -= t + t - t * t - 1.0;
  } else if (phase > 1.0 - increment) {
    double t = (phase - 1.0) / increment;
    value -= t * t + t + t + 1.0;
  }
  return value;
}

struct Chord {
  int bass;      // root, two octaves down
  int notes[4];  // the pad's voicing
};

// Am7 - Fmaj7 - Cmaj7 - G6, one bar each.
const Chord progression[4] = {
    {33, {57, 60, 64, 67}},
    {29, {53, 57, 60, 64}},
    {36, {55, 60, 64, 71}},
    {31, {55, 59, 62, 64}},
};
const int pentatonic[10] = {57, 60, 62, 64, 67, 69, 72, 74, 76, 79};

enum Part : unsigned {
  partPad = 1,
  partHats = 2,
  partKick = 4,
  partBass = 8,
  partSnare = 16,
  partArp = 32,
  partLead = 64,
};
// Intro, groove, full, break, then full sections with the lead, repeating.
const unsigned sectionParts[6] = {
    partPad | partHats,
    partPad | partHats | partKick | partBass,
    partPad | partHats | partKick | partBass | partSnare | partArp,
    partPad | partArp,
    partPad | partHats | partKick | partBass | partSnare | partArp | partLead,
    partPad | partHats | partKick | partBass | partSnare | partLead,
};

unsigned partsOfBar(int bar) {
  int section = bar / barsPerSection;
  if (section >= 6) section = 2 + (section - 6) % 4;
  return sectionParts[section];
}

struct Mix {
  std::vector<float>& samples;
  int64_t frames;
  void add(int64_t frame, double left, double right) {
    if (frame < 0 || frame >= frames) return;
    samples[static_cast<size_t>(frame) * 2] += static_cast<float>(left);
    samples[static_cast<size_t>(frame) * 2 + 1] += static_cast<float>(right);
  }
};

int64_t frameAt(double seconds) { return static_cast<int64_t>(std::llround(seconds * sampleRate)); }

// Equal-power pan: -1 left, +1 right.
void panGains(double pan, double& left, double& right) {
  double angle = (pan + 1.0) * 0.25 * pi;
  left = std::cos(angle);
  right = std::sin(angle);
}

void kick(Mix& mix, double start) {
  int64_t first = frameAt(start);
  double phase = 0.0;
  for (int i = 0; i < sampleRate * 4 / 10; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double hz = 48.0 + 110.0 * std::exp(-t * 28.0);  // pitch drops from 158 Hz to 48 Hz
    phase += hz / sampleRate;
    double v = std::sin(2.0 * pi * phase) * std::exp(-t * 7.0) * 0.9;
    mix.add(first + i, v, v);
  }
}

void snare(Mix& mix, double start, uint32_t seed) {
  Noise noise{seed};
  int64_t first = frameAt(start);
  double low = 0.0, a = lowPassCoefficient(1500.0);
  for (int i = 0; i < sampleRate / 4; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double n = noise.next();
    low += a * (n - low);
    double body = std::sin(2.0 * pi * 185.0 * t) * std::exp(-t * 25.0) * 0.4;
    double v = ((n - low) * std::exp(-t * 16.0) * 0.45 + body) * 0.8;
    mix.add(first + i, v, v);
  }
}

void hat(Mix& mix, double start, double level, double pan, uint32_t seed) {
  Noise noise{seed};
  int64_t first = frameAt(start);
  double low = 0.0, a = lowPassCoefficient(7000.0);
  double gl, gr;
  panGains(pan, gl, gr);
  for (int i = 0; i < sampleRate / 12; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double n = noise.next();
    low += a * (n - low);
    double v = (n - low) * std::exp(-t * 55.0) * level;  // high-passed noise
    mix.add(first + i, v * gl, v * gr);
  }
}

void bassNote(Mix& mix, double start, double length, int midi) {
  int64_t first = frameAt(start);
  int count = static_cast<int>(length * sampleRate);
  double hz = noteHz(midi), increment = hz / sampleRate;
  double phase = 0.0, low = 0.0, low2 = 0.0;
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double a = lowPassCoefficient(180.0 + 1400.0 * std::exp(-t * 14.0));  // a plucked filter
    double x = sawtooth(phase, increment) * 0.6 + std::sin(2.0 * pi * phase) * 0.5;
    low += a * (x - low);
    low2 += a * (low - low2);
    double envelope = std::min(1.0, t * 400.0) * std::min(1.0, (length - t) * 80.0);
    double v = low2 * envelope * 0.55;
    mix.add(first + i, v, v);
    phase += increment;
    if (phase >= 1.0) phase -= 1.0;
  }
}

// One bar of a chord: two detuned saws per note through a low-pass that opens
// and closes over 16 bars, faded in and out so bars overlap smoothly.
void padChord(Mix& mix, double start, const Chord& chord) {
  const double fade = 0.25;
  int64_t first = frameAt(start - fade);
  int count = static_cast<int>((barSeconds + 2 * fade) * sampleRate);
  double phases[8] = {0.1, 0.35, 0.6, 0.85, 0.2, 0.45, 0.7, 0.95};
  double increments[8];
  for (int n = 0; n < 4; ++n) {
    increments[2 * n] = noteHz(chord.notes[n]) * 1.003 / sampleRate;
    increments[2 * n + 1] = noteHz(chord.notes[n]) * 0.997 / sampleRate;
  }
  double lowL = 0.0, lowR = 0.0, a = 0.0;
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    if (i % 64 == 0) {
      double song = start - fade + t;
      double sweep = 0.5 - 0.5 * std::cos(2.0 * pi * song / (16.0 * barSeconds));
      a = lowPassCoefficient(350.0 + 3800.0 * sweep * sweep);
    }
    double left = 0.0, right = 0.0;
    for (int v = 0; v < 8; ++v) {
      double s = sawtooth(phases[v], increments[v]);
      (v % 2 ? right : left) += s;
      phases[v] += increments[v];
      if (phases[v] >= 1.0) phases[v] -= 1.0;
    }
    lowL += a * (left - lowL);
    lowR += a * (right - lowR);
    double envelope = std::min({1.0, t / fade, (count / static_cast<double>(sampleRate) - t) / fade});
    mix.add(first + i, lowL * envelope * 0.1, lowR * envelope * 0.1);
  }
}

// A short square-ish pluck, panned, for the arpeggio and its echoes.
void pluck(Mix& mix, double start, int midi, double level, double pan) {
  int64_t first = frameAt(start);
  int count = static_cast<int>(stepSeconds * sampleRate);
  double increment = noteHz(midi) / sampleRate, phase = 0.0, low = 0.0;
  double gl, gr;
  panGains(pan, gl, gr);
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double x = sawtooth(phase, increment) - sawtooth(std::fmod(phase + 0.3, 1.0), increment);
    low += lowPassCoefficient(900.0 + 5000.0 * std::exp(-t * 20.0)) * (x - low);
    double v = low * std::exp(-t * 9.0) * std::min(1.0, t * 800.0) * level;
    mix.add(first + i, v * gl, v * gr);
    phase += increment;
    if (phase >= 1.0) phase -= 1.0;
  }
}

void leadNote(Mix& mix, double start, double length, int midi) {
  int64_t first = frameAt(start);
  int count = static_cast<int>(length * sampleRate);
  double hz = noteHz(midi), phase = 0.0;
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double vibrato = 1.0 + 0.004 * std::sin(2.0 * pi * 5.5 * t) * std::min(1.0, t * 3.0);
    phase += hz * vibrato / sampleRate;
    double x = std::sin(2.0 * pi * phase) + 0.35 * std::sin(4.0 * pi * phase) + 0.15 * std::sin(6.0 * pi * phase);
    double envelope = std::min(1.0, t * 60.0) * std::exp(-t * 1.5) * std::min(1.0, (length - t) * 30.0);
    double v = x * envelope * 0.16;
    mix.add(first + i, v * 0.9, v);
  }
}

void arrange(Mix& mix, double seconds) {
  int bars = static_cast<int>(std::ceil(seconds / barSeconds)) + 1;
  for (int bar = 0; bar < bars; ++bar) {
    unsigned parts = partsOfBar(bar);
    const Chord& chord = progression[bar % 4];
    double barStart = bar * barSeconds;
    if (parts & partPad) padChord(mix, barStart, chord);
    Noise melody{static_cast<uint32_t>(bar / 2) * 2654435761u + 17u};
    int leadIndex = 4;
    for (int step = 0; step < stepsPerBar; ++step) {
      double t = barStart + step * stepSeconds;
      uint32_t seed = static_cast<uint32_t>(bar * stepsPerBar + step) * 2246822519u + 1u;
      if ((parts & partKick) && (step % 2 == 0 || (step == 7 && bar % 4 == 3))) kick(mix, t);
      if ((parts & partSnare) && (step == 2 || step == 6)) snare(mix, t, seed);
      if (parts & partHats) {
        hat(mix, t + stepSeconds * 0.5, step % 2 ? 0.22 : 0.14, 0.3, seed ^ 0x9e3779b9u);
        if (step % 2) hat(mix, t, 0.1, -0.3, seed);
      }
      if ((parts & partBass) && step != 3) {
        int midi = chord.bass + 12 + (step == 5 ? 12 : 0) + (step == 7 ? 7 : 0);
        bassNote(mix, t, stepSeconds * 0.9, midi);
      }
      if (parts & partArp) {
        // Up the chord on sixteenths, with a dotted-eighth echo on the other side.
        for (int half = 0; half < 2; ++half) {
          int index = (step * 2 + half) % 6;
          int midi = chord.notes[index % 4] + (index >= 4 ? 24 : 12);
          double at = t + half * stepSeconds * 0.5;
          double pan = half ? 0.5 : -0.5;
          pluck(mix, at, midi, 0.11, pan);
          pluck(mix, at + 1.5 * stepSeconds, midi, 0.045, -pan);
        }
      }
      if ((parts & partLead) && step % 2 == 0) {
        float r = melody.next();
        if (r > -0.6f) {
          leadIndex = std::clamp(leadIndex + static_cast<int>(std::lround(r * 3.0f)), 0, 9);
          leadNote(mix, t, stepSeconds * (r > 0.5f ? 2.0 : 1.0), pentatonic[leadIndex]);
        }
      }
    }
  }
}

}  // namespace

PcmAudio synthesiseMusic(double seconds) {
  PcmAudio audio;
  audio.sampleRate = sampleRate;
  audio.channels = 2;
  int64_t frames = std::max<int64_t>(0, frameAt(seconds));
  audio.samples.assign(static_cast<size_t>(frames) * 2, 0.0f);
  Mix mix{audio.samples, frames};
  arrange(mix, seconds);

  // Fade in over 1 s and out over the last 3 s (or the whole piece when short).
  double fadeOut = std::min(3.0, seconds / 2);
  float peak = 0.0f;
  for (int64_t i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double gain = std::min({1.0, t / std::min(1.0, seconds / 2), (seconds - t) / fadeOut});
    for (int c = 0; c < 2; ++c) {
      float& s = audio.samples[static_cast<size_t>(i) * 2 + c];
      s = static_cast<float>(s * std::max(0.0, gain));
      peak = std::max(peak, std::fabs(s));
    }
  }
  // Loud, with headroom for the encoder.
  if (peak > 0.0f) {
    float scale = 0.89f / peak;
    for (float& s : audio.samples) s *= scale;
  }
  return audio;
}

PcmAudio synthesiseTone(double frequency, double amplitude, double toneSeconds, double silenceSeconds) {
  PcmAudio audio;
  audio.sampleRate = sampleRate;
  audio.channels = 1;
  int64_t toneFrames = std::max<int64_t>(0, frameAt(toneSeconds));
  int64_t silenceFrames = std::max<int64_t>(0, frameAt(silenceSeconds));
  audio.samples.assign(static_cast<size_t>(toneFrames + silenceFrames), 0.0f);
  for (int64_t i = 0; i < toneFrames; ++i) {
    double phase = 2.0 * pi * frequency * static_cast<double>(i) / sampleRate;
    audio.samples[static_cast<size_t>(i)] = static_cast<float>(amplitude * std::sin(phase));
  }
  return audio;
}
