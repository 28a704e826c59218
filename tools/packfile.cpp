#include "tools/packfile.h"

#include <algorithm>

bool writePackRecord(std::FILE* pack, const std::string& name, const DataBuffer& data) {
  uint32_t n = static_cast<uint32_t>(data.size());
  uint8_t length[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
  return std::fwrite(name.c_str(), 1, name.size() + 1, pack) == name.size() + 1 &&
         std::fwrite(length, 1, 4, pack) == 4 &&
         (data.empty() || std::fwrite(data.data(), 1, data.size(), pack) == data.size());
}

namespace {

long fileSize(std::FILE* file) {
  long here = std::ftell(file);
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return size;
}

// Visits every record; visit returns true to stop with the pack positioned at the record's data.
template <typename Visit>
bool scanPack(const std::string& path, Visit visit) {
  std::FILE* pack = std::fopen(path.c_str(), "rb");
  if (!pack) return false;
  long size = fileSize(pack);
  PackRecordHeader header;
  for (;;) {
    readPackRecordHeader(pack, header);
    if (header.nameHitEnd && header.name.empty()) break;
    long here = std::ftell(pack);
    uint32_t stored = static_cast<uint32_t>(std::min<long>(header.length, std::max<long>(0, size - here)));
    if (visit(pack, header, stored)) break;
    if (header.nameHitEnd || here + static_cast<long>(header.length) >= size) break;
    std::fseek(pack, static_cast<long>(header.length), SEEK_CUR);
  }
  std::fclose(pack);
  return true;
}

}  // namespace

bool listPack(const std::string& path, std::vector<PackEntry>& entries) {
  entries.clear();
  return scanPack(path, [&](std::FILE*, const PackRecordHeader& header, uint32_t stored) {
    entries.push_back({header.name, header.length, stored});
    return false;
  });
}

bool extractPackRecord(const std::string& path, const std::string& name, DataBuffer& data) {
  bool found = false;
  data.clear();
  scanPack(path, [&](std::FILE* pack, const PackRecordHeader& header, uint32_t stored) {
    if (header.name != name) return false;
    data.resize(stored);
    data.resize(stored ? std::fread(data.data(), 1, stored, pack) : 0);
    found = true;
    return true;
  });
  return found;
}
