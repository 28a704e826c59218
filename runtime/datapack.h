// File access: a loose file in the working directory, or else a record of the
// pack file "datapack.dat". Every requested name is logged for datapack.txt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using DataBuffer = std::vector<uint8_t>;

enum ReadSource {
  readNothing = 0,  // no loose file and no pack
  readFromPack = 1, // the pack was searched; data empty when no record matched
  readLooseFile = 2,
};

// Reads the whole file into data (cleared first; data.size() is the length).
ReadSource readDataFile(const std::string& name, DataBuffer& data);

// Every name ever passed to readDataFile, in first-request order.
const std::vector<std::string>& fileRequestLog();
void clearFileRequestLog();

// Writes the log to "datapack.txt", one name per line. Silent on failure.
void writeFileList();

// Reads a pack record by record: the name up to its 0 byte, the 32-bit
// little-endian length, the data. The pack tool uses it too.
struct PackRecordHeader {
  std::string name;
  uint32_t length = 0;
  bool nameHitEnd = false;  // the file ended inside the name
};

struct PackScanner {
  int fd = -1;
  uint64_t fileSize = 0;
  uint64_t offset = 0;  // where the next read starts
  // Headers are read through a small window so that packs of many small
  // records cost few system calls.
  uint8_t window[16384];
  uint64_t windowStart = 0;
  size_t windowLength = 0;
};

bool openPack(const char* path, PackScanner& scanner);
void closePack(PackScanner& scanner);
// A length cut short by the end of the file reads as 0.
void readPackRecordHeader(PackScanner& scanner, PackRecordHeader& header);
// The record's data, at most length bytes: only what the file still holds.
void readPackRecordData(PackScanner& scanner, uint32_t length, DataBuffer& data);
void skipPackRecordData(PackScanner& scanner, uint32_t length);
bool packAtEnd(const PackScanner& scanner);

extern const char* const packFileName;  // "datapack.dat"
