// Writes the project's music, or a test tone, as an MP3 file.
//   make_music [--seconds S] [--kbps K] OUT.mp3
//   make_music --tone HZ [--amplitude A] [--seconds S] [--silence S] [--kbps K] OUT.mp3
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/music_gen.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: make_music [--seconds S] [--kbps K] OUT.mp3\n"
               "       make_music --tone HZ [--amplitude A] [--seconds S] [--silence S] [--kbps K] OUT.mp3\n");
  return 2;
}

bool readNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == 0 && value >= 0.0 && value < 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = -1.0, tone = -1.0, amplitude = 0.5, silence = 0.0, kbps = -1.0;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    double* target = nullptr;
    if (std::strcmp(argv[i], "--seconds") == 0) target = &seconds;
    else if (std::strcmp(argv[i], "--tone") == 0) target = &tone;
    else if (std::strcmp(argv[i], "--amplitude") == 0) target = &amplitude;
    else if (std::strcmp(argv[i], "--silence") == 0) target = &silence;
    else if (std::strcmp(argv[i], "--kbps") == 0) target = &kbps;
    else if (argv[i][0] == '-' || path) return usage();
    else path = argv[i];
    if (target && (i + 1 >= argc || !readNumber(argv[++i], *target))) return usage();
  }
  if (!path || amplitude > 1.0) return usage();

  bool isTone = tone >= 0.0;
  if (seconds < 0.0) seconds = isTone ? 3.0 : 296.0;
  PcmAudio audio = isTone ? synthesiseTone(tone, amplitude, seconds, silence) : synthesiseMusic(seconds);
  std::vector<uint8_t> mp3;
  std::string error;
  if (!encodeMp3(audio, kbps >= 0.0 ? static_cast<int>(kbps) : (isTone ? 320 : 192), mp3, error)) {
    std::fprintf(stderr, "make_music: %s\n", error.c_str());
    return 1;
  }
  std::FILE* file = std::fopen(path, "wb");
  bool written = file && std::fwrite(mp3.data(), 1, mp3.size(), file) == mp3.size();
  if (file && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "make_music: cannot write %s\n", path);
    return 1;
  }
  std::printf("wrote %s: %zu bytes, %.3f s of %s\n", path, mp3.size(), seconds + (isTone ? silence : 0.0),
              isTone ? "tone" : "music");
  return 0;
}
