// Writing and reading pack files in the engine's record format.
#pragma once

#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/datapack.h"

// Appends one record: the name, a 0 byte, the 32-bit little-endian length, the bytes.
bool writePackRecord(std::FILE* pack, const std::string& name, const DataBuffer& data);

struct PackEntry {
  std::string name;
  uint32_t declaredLength;
  uint32_t storedLength;  // less than declared when the pack is cut short
};

// The records of a pack in order; false when the file cannot be opened.
bool listPack(const std::string& path, std::vector<PackEntry>& entries);

// The data of the first record whose name equals name exactly.
bool extractPackRecord(const std::string& path, const std::string& name, DataBuffer& data);
