#include "runtime/datapack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

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

// Reads up to size bytes at offset; returns how many arrived.
size_t readAt(int fd, uint64_t offset, uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t got = pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// The next byte of the pack, or -1 at its end.
int nextByte(PackScanner& s) {
  if (s.offset < s.windowStart || s.offset >= s.windowStart + s.windowLength) {
    s.windowStart = s.offset;
    s.windowLength = readAt(s.fd, s.offset, s.window, sizeof s.window);
    if (s.windowLength == 0) return -1;
  }
  return s.window[s.offset++ - s.windowStart];
}

// Only a regular file counts: a directory of the same name is no loose file.
bool readWholeFile(const std::string& name, DataBuffer& data) {
  int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  data.resize(static_cast<size_t>(info.st_size));
  data.resize(readAt(fd, 0, data.data(), data.size()));
  close(fd);
  return true;
}

}  // namespace

bool openPack(const char* path, PackScanner& scanner) {
  scanner.fd = open(path, O_RDONLY | O_CLOEXEC);
  if (scanner.fd < 0) return false;
  struct stat info;
  if (fstat(scanner.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    closePack(scanner);
    return false;
  }
  scanner.fileSize = static_cast<uint64_t>(info.st_size);
  scanner.offset = 0;
  scanner.windowStart = 0;
  scanner.windowLength = 0;
  return true;
}

void closePack(PackScanner& scanner) {
  if (scanner.fd >= 0) close(scanner.fd);
  scanner.fd = -1;
}

bool packAtEnd(const PackScanner& scanner) { return scanner.offset >= scanner.fileSize; }

void readPackRecordHeader(PackScanner& scanner, PackRecordHeader& header) {
  header.name.clear();
  header.length = 0;
  header.nameHitEnd = false;
  for (;;) {
    int c = nextByte(scanner);
    if (c < 0) {
      header.nameHitEnd = true;
      return;
    }
    if (c == 0) break;
    header.name.push_back(static_cast<char>(c));
  }
  uint32_t length = 0;
  for (int i = 0; i < 4; ++i) {
    int c = nextByte(scanner);
    if (c < 0) return;
    length |= static_cast<uint32_t>(c) << (8 * i);
  }
  header.length = length;
}

void readPackRecordData(PackScanner& scanner, uint32_t length, DataBuffer& data) {
  uint64_t available = scanner.fileSize > scanner.offset ? scanner.fileSize - scanner.offset : 0;
  data.resize(static_cast<size_t>(std::min<uint64_t>(available, length)));
  data.resize(readAt(scanner.fd, scanner.offset, data.data(), data.size()));
  scanner.offset += data.size();
}

void skipPackRecordData(PackScanner& scanner, uint32_t length) { scanner.offset += length; }

ReadSource readDataFile(const std::string& name, DataBuffer& data) {
  logRequest(name);
  data.clear();
  if (readWholeFile(name, data)) return readLooseFile;

  PackScanner pack;
  if (!openPack(packFileName, pack)) {
    platform::messageBox("Error", "Error: datafile " + name + " not found.\n", platform::MessageIcon::error);
    return readNothing;
  }
  PackRecordHeader header;
  for (;;) {
    readPackRecordHeader(pack, header);
    if (header.name.find(name) != std::string::npos) {
      readPackRecordData(pack, header.length, data);
      break;
    }
    if (header.nameHitEnd) break;
    skipPackRecordData(pack, header.length);
  }
  closePack(pack);
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
