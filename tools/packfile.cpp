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

// Visits every record; visit returns true to stop with the scanner at the record's data.
template <typename Visit>
bool scanPack(const std::string& path, Visit visit) {
  PackScanner pack;
  if (!openPack(path.c_str(), pack)) return false;
  PackRecordHeader header;
  while (!packAtEnd(pack)) {
    readPackRecordHeader(pack, header);
    uint64_t left = pack.fileSize > pack.offset ? pack.fileSize - pack.offset : 0;
    uint32_t stored = static_cast<uint32_t>(std::min<uint64_t>(header.length, left));
    if (visit(pack, header, stored) || header.nameHitEnd) break;
    skipPackRecordData(pack, header.length);
  }
  closePack(pack);
  return true;
}

}  // namespace

bool listPack(const std::string& path, std::vector<PackEntry>& entries) {
  entries.clear();
  return scanPack(path, [&](PackScanner&, const PackRecordHeader& header, uint32_t stored) {
    entries.push_back({header.name, header.length, stored});
    return false;
  });
}

bool extractPackRecord(const std::string& path, const std::string& name, DataBuffer& data) {
  bool found = false;
  data.clear();
  scanPack(path, [&](PackScanner& pack, const PackRecordHeader& header, uint32_t) {
    if (header.name != name) return false;
    readPackRecordData(pack, header.length, data);
    found = true;
    return true;
  });
  return found;
}
