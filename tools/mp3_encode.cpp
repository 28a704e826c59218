#include <lame.h>

#include <algorithm>
#include <cstring>

#include "tools/music_gen.h"

bool encodeMp3(const PcmAudio& audio, int kbps, std::vector<uint8_t>& mp3, std::string& error) {
  mp3.clear();
  if (audio.channels != 1 && audio.channels != 2) {
    error = "only mono and stereo can be encoded";
    return false;
  }
  lame_global_flags* lame = lame_init();
  if (!lame) {
    error = "the MP3 encoder could not start";
    return false;
  }
  lame_set_in_samplerate(lame, audio.sampleRate);
  lame_set_out_samplerate(lame, audio.sampleRate);
  lame_set_num_channels(lame, audio.channels);
  lame_set_mode(lame, audio.channels == 1 ? MONO : JOINT_STEREO);
  lame_set_VBR(lame, vbr_off);
  lame_set_brate(lame, kbps);
  lame_set_quality(lame, 5);
  lame_set_bWriteVbrTag(lame, 1);
  // No ID3 tag: the LAME tag frame must be the first bytes of the file.
  lame_set_write_id3tag_automatic(lame, 0);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    error = "the MP3 encoder refused the settings (rate " + std::to_string(audio.sampleRate) + ", " +
            std::to_string(kbps) + " kbps)";
    return false;
  }

  const int block = 4096;
  std::vector<unsigned char> out(static_cast<size_t>(1.25 * block + 7200));
  int frames = static_cast<int>(audio.samples.size() / audio.channels);
  bool ok = true;
  for (int at = 0; at < frames && ok; at += block) {
    int n = std::min(block, frames - at);
    const float* pcm = audio.samples.data() + static_cast<size_t>(at) * audio.channels;
    int room = static_cast<int>(out.size());
    int written = audio.channels == 2 ? lame_encode_buffer_interleaved_ieee_float(lame, pcm, n, out.data(), room)
                                      : lame_encode_buffer_ieee_float(lame, pcm, pcm, n, out.data(), room);
    if (written < 0) ok = false;
    else mp3.insert(mp3.end(), out.begin(), out.begin() + written);
  }
  if (ok) {
    int written = lame_encode_flush(lame, out.data(), static_cast<int>(out.size()));
    if (written < 0) ok = false;
    else mp3.insert(mp3.end(), out.begin(), out.begin() + written);
  }
  if (!ok) {
    lame_close(lame);
    error = "the MP3 encoder failed";
    return false;
  }
  // The first frame was a placeholder for the tag that holds the delay and
  // padding; now that they are known, write it over the placeholder.
  unsigned char tag[2880];
  size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
  lame_close(lame);
  if (tagSize == 0 || tagSize > sizeof tag || tagSize > mp3.size()) {
    error = "the MP3 encoder gave no LAME tag";
    return false;
  }
  std::memcpy(mp3.data(), tag, tagSize);
  return true;
}
