// File access: a loose file in the working directory, or else a record of the
// pack file "datapack.dat". Every requested name is logged for datapack.txt.
#pragma once

#include <cstdint>
#include <cstdio>
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

// One record header of a pack: the name up to its 0 byte, then the 32-bit
// little-endian length. nameHitEnd is set when the file ended inside the name;
// a length cut short by the end of the file reads as 0.
struct PackRecordHeader {
  std::string name;
  uint32_t length = 0;
  bool nameHitEnd = false;
};
void readPackRecordHeader(std::FILE* pack, PackRecordHeader& header);

extern const char* const packFileName;  // "datapack.dat"
