#include "runtime/datapack.h"

#include <algorithm>

#include "platform/platform.h"

const char* const packFileName = "datapack.dat";

namespace {

struct DataPackState {
  std::vector<std::string> requestLog;
};

DataPackState dataPack;

void logRequest(const std::string& name) {
  auto& log = dataPack.requestLog;
  if (std::find(log.begin(), log.end(), name) == log.end()) log.push_back(name);
}

long remainingBytes(std::FILE* file) {
  long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return end > here ? end - here : 0;
}

// Reads up to length bytes; a record cut short by the end of the pack gives
// the bytes that are there, never a buffer sized from the declared length alone.
void readRecordData(std::FILE* pack, uint32_t length, DataBuffer& data) {
  size_t available = static_cast<size_t>(std::min<long>(remainingBytes(pack), static_cast<long>(length)));
  data.resize(available);
  size_t got = available ? std::fread(data.data(), 1, available, pack) : 0;
  data.resize(got);
}

bool readWholeFile(const std::string& name, DataBuffer& data) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) return false;
  long size = remainingBytes(file);
  data.resize(static_cast<size_t>(size));
  size_t got = size ? std::fread(data.data(), 1, data.size(), file) : 0;
  data.resize(got);
  std::fclose(file);
  return true;
}

}  // namespace

void readPackRecordHeader(std::FILE* pack, PackRecordHeader& header) {
  header.name.clear();
  header.length = 0;
  header.nameHitEnd = false;
  for (;;) {
    int c = std::getc(pack);
    if (c == EOF) {
      header.nameHitEnd = true;
      break;
    }
    if (c == 0) break;
    header.name.push_back(static_cast<char>(c));
  }
  uint8_t bytes[4];
  if (std::fread(bytes, 1, 4, pack) == 4) {
    header.length = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                    uint32_t(bytes[3]) << 24;
  }
}

ReadSource readDataFile(const std::string& name, DataBuffer& data) {
  logRequest(name);
  data.clear();
  if (readWholeFile(name, data)) return readLooseFile;

  std::FILE* pack = std::fopen(packFileName, "rb");
  if (!pack) {
    platform::messageBox("Error", "Error: datafile " + name + " not found.\n", platform::MessageIcon::error);
    return readNothing;
  }
  PackRecordHeader header;
  for (;;) {
    readPackRecordHeader(pack, header);
    if (header.name.find(name) != std::string::npos) {
      readRecordData(pack, header.length, data);
      break;
    }
    if (header.nameHitEnd || std::fseek(pack, static_cast<long>(header.length), SEEK_CUR) != 0) break;
  }
  std::fclose(pack);
  return readFromPack;
}

const std::vector<std::string>& fileRequestLog() { return dataPack.requestLog; }

void clearFileRequestLog() { dataPack.requestLog.clear(); }

void writeFileList() {
  std::FILE* file = std::fopen("datapack.txt", "w");
  if (!file) return;
  for (const std::string& name : dataPack.requestLog) std::fprintf(file, "%s\n", name.c_str());
  std::fclose(file);
}
