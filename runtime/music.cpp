#include "runtime/music.h"

#include <kiss_fftr.h>
#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/audio.h"
#include "platform/platform.h"
#include "runtime/settings.h"

const char* const musicFileName = "./duvova/dodazovar.mp3";

namespace {

using Clock = std::chrono::steady_clock;

// Decoded frames kept around the play position: the longest spectrum (16384
// samples) plus what one device pull and one decoder read add.
constexpr int64_t ringFrames = 1 << 16;
// A jump further ahead than this seeks instead of decoding through the gap.
constexpr int64_t decodeAheadLimit = ringFrames / 4;
// Frames the device pulls, or the decoder delivers, at a time.
constexpr int chunkFrames = 4096;

// The MP3 bytes as a file for the decoder's reader callbacks.
struct MemoryReader {
  const uint8_t* bytes = nullptr;
  int64_t size = 0;
  int64_t offset = 0;
};

struct MusicStream {
  DataBuffer data;
  MemoryReader reader;
  mpg123_handle* decoder = nullptr;
  int sampleRate = 0;
  int64_t lengthFrames = -1;  // -1 while unknown
  // Interleaved stereo; frame f lives at (f mod ringFrames).
  std::vector<float> ring;
  int64_t ringStart = 0;  // absolute frames [ringStart, ringEnd) are held
  int64_t ringEnd = 0;
  bool decoderEnded = false;  // everything from ringEnd on is silence
};

struct MusicChannel {
  bool active = false;  // the stream is on the channel
  bool paused = true;
  // On a device: frames handed to it. On the silent output: the position at
  // `anchor`, from which the clock runs while not paused.
  int64_t position = 0;
  Clock::time_point anchor;
};

struct SpectrumWorkspace {
  int fftSize = 0;
  int windowType = -1;
  kiss_fftr_cfg plan = nullptr;
  std::vector<float> weights;  // window x normalisation
  std::vector<float> samples;
  std::vector<kiss_fft_scalar> input;
  std::vector<kiss_fft_cpx> output;
};

struct SoundState {
  // The audio thread reads stream and channel; every access takes the lock.
  std::mutex lock;
  MusicStream stream;
  MusicChannel channel;
  // Main thread only.
  bool systemCreated = false;
  bool audible = false;
  bool musicPlaying = false;
  SpectrumWorkspace spectrum;
};

SoundState sound;

// --- Memory reader --------------------------------------------------------

mpg123_ssize_t readMemory(void* handle, void* buffer, size_t count) {
  auto* reader = static_cast<MemoryReader*>(handle);
  int64_t left = reader->size - reader->offset;
  size_t n = std::min(count, static_cast<size_t>(left));
  if (n > 0) std::memcpy(buffer, reader->bytes + reader->offset, n);
  reader->offset += static_cast<int64_t>(n);
  return static_cast<mpg123_ssize_t>(n);
}

off_t seekMemory(void* handle, off_t offset, int whence) {
  auto* reader = static_cast<MemoryReader*>(handle);
  int64_t base;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = reader->offset; break;
    case SEEK_END: base = reader->size; break;
    default: return -1;
  }
  // Compared without forming base + offset, which could overflow.
  if (offset < -base || offset > reader->size - base) return -1;
  reader->offset = base + offset;
  return static_cast<off_t>(reader->offset);
}

// --- Decoding into the ring (lock held) ------------------------------------

void closeDecoder(MusicStream& s) {
  if (s.decoder) mpg123_delete(s.decoder);  // also closes the reader
  s.decoder = nullptr;
}

// Opens the decoder on s.data with stereo float output at the file's rate.
bool openDecoder(MusicStream& s) {
  int error = MPG123_OK;
  s.decoder = mpg123_new(nullptr, &error);
  if (!s.decoder) return false;
  mpg123_param(s.decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO, 0.0);
  // Every frame in the seek index: seeks then decode only the frames they need.
  mpg123_param(s.decoder, MPG123_INDEX_SIZE, -1000, 0.0);
  mpg123_format_none(s.decoder);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) mpg123_format(s.decoder, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32);

  s.reader = {s.data.data(), static_cast<int64_t>(s.data.size()), 0};
  if (mpg123_replace_reader_handle(s.decoder, readMemory, seekMemory, nullptr) != MPG123_OK ||
      mpg123_open_handle(s.decoder, &s.reader) != MPG123_OK) {
    return false;
  }
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(s.decoder, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels != 2 ||
      encoding != MPG123_ENC_FLOAT_32) {
    return false;
  }
  // One format for the whole run: a later rate change ends the music.
  mpg123_format_none(s.decoder);
  mpg123_format(s.decoder, rate, MPG123_STEREO, MPG123_ENC_FLOAT_32);
  s.sampleRate = static_cast<int>(rate);
  // Frame headers only, no decoding: gives the exact length and a seek index.
  if (mpg123_scan(s.decoder) == MPG123_OK) {
    off_t length = mpg123_length(s.decoder);
    s.lengthFrames = length >= 0 ? static_cast<int64_t>(length) : -1;
  }
  if (mpg123_seek(s.decoder, 0, SEEK_SET) < 0) return false;
  // A stream must give at least one frame of sound to count as music.
  float probe[2 * 64];
  size_t done = 0;
  int result = mpg123_read(s.decoder, probe, sizeof probe, &done);
  if ((result != MPG123_OK && result != MPG123_DONE) || done == 0) return false;
  return mpg123_seek(s.decoder, 0, SEEK_SET) >= 0;
}

void appendFrames(MusicStream& s, const float* frames, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    size_t at = static_cast<size_t>((s.ringEnd + i) % ringFrames) * 2;
    s.ring[at] = frames ? frames[2 * i] : 0.0f;
    s.ring[at + 1] = frames ? frames[2 * i + 1] : 0.0f;
  }
  s.ringEnd += count;
  s.ringStart = std::max(s.ringStart, s.ringEnd - ringFrames);
}

void repositionDecoder(MusicStream& s, int64_t frame) {
  s.ringStart = s.ringEnd = frame;
  s.decoderEnded = true;
  if (s.lengthFrames >= 0 && frame >= s.lengthFrames) return;
  off_t reached = mpg123_seek(s.decoder, static_cast<off_t>(frame), SEEK_SET);
  s.decoderEnded = reached < 0 || static_cast<int64_t>(reached) != frame;
}

// Decodes until the ring holds frames [start, end); frames before 0 need none.
void ensureDecoded(MusicStream& s, int64_t start, int64_t end) {
  start = std::max<int64_t>(start, 0);
  if (end <= start) return;
  if (start < s.ringStart || start > s.ringEnd + decodeAheadLimit) repositionDecoder(s, start);
  float buffer[2 * 1152];
  int emptyReads = 0;
  while (s.ringEnd < end) {
    if (s.decoderEnded) {
      appendFrames(s, nullptr, end - s.ringEnd);
      break;
    }
    size_t done = 0;
    int result = mpg123_read(s.decoder, buffer, sizeof buffer, &done);
    appendFrames(s, buffer, static_cast<int64_t>(done / (2 * sizeof(float))));
    // A damaged stream must not keep the caller (or the audio thread) here.
    emptyReads = done == 0 ? emptyReads + 1 : 0;
    if (emptyReads > 16) s.decoderEnded = true;
    if (result == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(s.decoder, &rate, &channels, &encoding);
      if (rate != s.sampleRate || channels != 2 || encoding != MPG123_ENC_FLOAT_32) s.decoderEnded = true;
    } else if (result != MPG123_OK) {
      s.decoderEnded = true;  // the end, or a stream the decoder cannot go on with
    }
  }
}

// Copies channel samples of frames [start, start + count) (held or before 0).
void copyChannel(const MusicStream& s, int64_t start, int count, int channelOffset, float* out) {
  for (int i = 0; i < count; ++i) {
    int64_t frame = start + i;
    out[i] = frame < s.ringStart ? 0.0f : s.ring[static_cast<size_t>(frame % ringFrames) * 2 + channelOffset];
  }
}

// --- Channel (lock held) -----------------------------------------------------

int64_t framesSince(Clock::time_point anchor, int rate) {
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - anchor).count();
  return static_cast<int64_t>(static_cast<double>(ns) * rate / 1e9);
}

int64_t playFrame() {
  const MusicChannel& c = sound.channel;
  if (!c.active) return 0;
  if (sound.audible || c.paused) return c.position;
  return c.position + framesSince(c.anchor, sound.stream.sampleRate);
}

// The audio thread's pull: stream frames at the position, silence otherwise.
void renderMusic(float* out, int frames, void*) {
  std::lock_guard<std::mutex> guard(sound.lock);
  MusicChannel& c = sound.channel;
  MusicStream& s = sound.stream;
  if (!c.active || c.paused) {
    std::fill(out, out + 2 * frames, 0.0f);
    return;
  }
  while (frames > 0) {
    int n = std::min(frames, chunkFrames);
    ensureDecoded(s, c.position, c.position + n);
    for (int i = 0; i < n; ++i) {
      size_t at = static_cast<size_t>((c.position + i) % ringFrames) * 2;
      out[2 * i] = s.ring[at];
      out[2 * i + 1] = s.ring[at + 1];
    }
    c.position += n;
    out += 2 * n;
    frames -= n;
  }
}

void freeStream() {
  std::lock_guard<std::mutex> guard(sound.lock);
  closeDecoder(sound.stream);
  sound.stream = MusicStream();
  sound.channel = MusicChannel();
}

// --- Spectrum workspace --------------------------------------------------------

constexpr double pi = 3.14159265358979323846;

// Periodic windows of length n (period n, so the Hanning sum is exactly n/2).
double windowWeight(int type, int i, int n) {
  const double x = 2.0 * pi * i / n;
  switch (type) {
    case spectrumWindowRect: return 1.0;
    case spectrumWindowTriangle: return 1.0 - std::fabs(2.0 * i / n - 1.0);
    case spectrumWindowHamming: return 0.54 - 0.46 * std::cos(x);
    case spectrumWindowHanning: return 0.5 - 0.5 * std::cos(x);
    case spectrumWindowBlackman: return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
    case spectrumWindowBlackmanHarris:
      return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
    default: return 0.0;
  }
}

bool validSpectrumRequest(int count, int windowType) {
  bool powerOfTwo = count > 0 && (count & (count - 1)) == 0;
  return powerOfTwo && count >= 64 && count <= 8192 && windowType >= spectrumWindowRect &&
         windowType <= spectrumWindowBlackmanHarris;
}

void prepareSpectrum(SpectrumWorkspace& w, int count, int windowType) {
  int n = 2 * count;
  if (w.fftSize == n && w.windowType == windowType) return;
  if (w.fftSize != n) {
    kiss_fftr_free(w.plan);
    w.plan = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    w.fftSize = n;
    w.samples.assign(n, 0.0f);
    w.input.assign(n, 0.0f);
    w.output.assign(count + 1, kiss_fft_cpx{0.0f, 0.0f});
  }
  // Normalisation: a sine A*sin(2*pi*k*i/n) with k a whole band number has
  // |X[k]| = A * sum(w) / 2 after windowing (the other half of its energy sits
  // in band n - k), so every weight is scaled by 2 / sum(w) and band k reads A.
  // A full-scale sine centred in a band therefore reads 1.0; Hanning has
  // sum(w) = n/2, making the factor 4/n. Sines between band centres read less
  // (Hanning: 0.85 halfway) and spread into the neighbouring bands.
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += windowWeight(windowType, i, n);
  w.weights.resize(n);
  for (int i = 0; i < n; ++i) w.weights[i] = static_cast<float>(windowWeight(windowType, i, n) * 2.0 / sum);
  w.windowType = windowType;
}

}  // namespace

// --- Sound layer ------------------------------------------------------------

void createSoundSystem() {
  if (sound.systemCreated) return;
  sound.systemCreated = true;
  sound.audible = false;
}

bool soundSystemCreated() { return sound.systemCreated; }

bool soundOutputAudible() { return sound.audible; }

SoundResult createMusicStream(DataBuffer data) {
  if (!sound.systemCreated) return SoundResult::noSystem;
  if (sound.audible) platform::closeAudioOutput();
  sound.audible = false;
  freeStream();
  if (data.empty()) return SoundResult::noData;

  int rate = 0;
  {
    // Built in place: the decoder keeps a pointer to the stream's reader.
    std::lock_guard<std::mutex> guard(sound.lock);
    MusicStream& s = sound.stream;
    s.data = std::move(data);
    s.ring.assign(static_cast<size_t>(ringFrames) * 2, 0.0f);
    if (!openDecoder(s)) {
      closeDecoder(s);
      s = MusicStream();
      return SoundResult::notDecodable;
    }
    rate = s.sampleRate;
  }
  // The device runs at the music's rate; it starts pulling silence until the
  // stream is put on the channel.
  sound.audible = platform::openAudioOutput(rate, renderMusic, nullptr);
  return SoundResult::ok;
}

SoundResult playMusicPaused() {
  std::lock_guard<std::mutex> guard(sound.lock);
  if (!sound.stream.decoder) return SoundResult::noStream;
  sound.channel.active = true;
  sound.channel.paused = true;
  sound.channel.position = 0;
  sound.channel.anchor = Clock::now();
  return SoundResult::ok;
}

void setChannelPaused(bool paused) {
  std::lock_guard<std::mutex> guard(sound.lock);
  MusicChannel& c = sound.channel;
  if (!c.active || c.paused == paused) return;
  c.position = playFrame();
  c.anchor = Clock::now();
  c.paused = paused;
}

void setChannelPositionMs(int64_t ms) {
  std::lock_guard<std::mutex> guard(sound.lock);
  MusicChannel& c = sound.channel;
  if (!c.active) return;
  ms = std::max<int64_t>(ms, 0);
  c.position = ms * sound.stream.sampleRate / 1000;
  c.anchor = Clock::now();
}

int64_t channelPositionFrames() {
  std::lock_guard<std::mutex> guard(sound.lock);
  return playFrame();
}

int channelSampleRate() {
  std::lock_guard<std::mutex> guard(sound.lock);
  return sound.stream.sampleRate;
}

bool channelSamples(float* out, int count, int channelOffset) {
  if (!out || count <= 0 || count > ringFrames / 2 || channelOffset < 0 || channelOffset > 1) return false;
  std::lock_guard<std::mutex> guard(sound.lock);
  if (!sound.channel.active) {
    std::fill(out, out + count, 0.0f);
    return true;
  }
  int64_t end = playFrame();
  ensureDecoded(sound.stream, end - count, end);
  copyChannel(sound.stream, end - count, count, channelOffset, out);
  return true;
}

void releaseSoundSystem() {
  // The device stops first, so the audio thread no longer reads the stream.
  if (sound.audible) platform::closeAudioOutput();
  sound.audible = false;
  freeStream();
  sound.systemCreated = false;
}

// --- Spectrum ---------------------------------------------------------------

bool spectrumOfSamples(const float* samples, int count, int windowType, float* values) {
  if (!samples || !values || !validSpectrumRequest(count, windowType)) return false;
  SpectrumWorkspace& w = sound.spectrum;
  prepareSpectrum(w, count, windowType);
  for (int i = 0; i < w.fftSize; ++i) w.input[i] = samples[i] * w.weights[i];
  kiss_fftr(w.plan, w.input.data(), w.output.data());
  for (int k = 0; k < count; ++k) values[k] = std::sqrt(w.output[k].r * w.output[k].r + w.output[k].i * w.output[k].i);
  return true;
}

void getSpectrum(float* values, int windowType, int count, int channelOffset) {
  if (!settings.musicEnabled) return;
  if (!values || !validSpectrumRequest(count, windowType)) return;
  SpectrumWorkspace& w = sound.spectrum;
  prepareSpectrum(w, count, windowType);
  if (!channelSamples(w.samples.data(), w.fftSize, channelOffset)) return;
  spectrumOfSamples(w.samples.data(), count, windowType, values);
}

// --- The program's music ----------------------------------------------------

namespace {

void goOnWithoutMusic(const std::string& problem) {
  platform::messageBox("Error", std::string("Music ") + musicFileName + " " + problem + "; playing without music.",
                       platform::MessageIcon::exclamation);
  releaseSoundSystem();
  settings.musicEnabled = false;
}

}  // namespace

void startMusic() {
  if (!settings.musicEnabled) return;
  createSoundSystem();
  DataBuffer data;
  readDataFile(musicFileName, data);
  if (data.empty()) {
    goOnWithoutMusic("could not be read");
    return;
  }
  if (createMusicStream(std::move(data)) != SoundResult::ok || playMusicPaused() != SoundResult::ok) {
    goOnWithoutMusic("is not an MP3 file that can be played");
    return;
  }
  sound.musicPlaying = true;
  setChannelPaused(false);
}

bool musicPlaying() { return sound.musicPlaying; }

void pauseMusic() {
  if (sound.musicPlaying) setChannelPaused(true);
}

void resumeMusic() {
  if (sound.musicPlaying) setChannelPaused(false);
}

void syncMusicTo(float demoTime) {
  if (sound.musicPlaying) setChannelPositionMs(static_cast<int64_t>(demoTime * 1000.0f));
}

void releaseMusic() {
  sound.musicPlaying = false;
  if (sound.systemCreated) releaseSoundSystem();
}
