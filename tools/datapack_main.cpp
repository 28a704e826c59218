// datapack: builds, lists and extracts the engine's pack file.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/packfile.h"

namespace {

void usage() {
  std::fputs(
      "usage:\n"
      "  datapack build PACK FILE...        pack the named files, names as given\n"
      "  datapack build PACK --list LIST    pack the files named in LIST (one per line,\n"
      "                                     as the engine writes datapack.txt)\n"
      "  datapack list PACK                 print each record's length and name\n"
      "  datapack extract PACK NAME [OUT]   write the record named NAME to OUT\n"
      "                                     (default: standard output)\n",
      stderr);
}

bool readFile(const std::string& path, DataBuffer& data) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  data.clear();
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) data.insert(data.end(), chunk, chunk + got);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool readList(const std::string& path, std::vector<std::string>& names) {
  DataBuffer text;
  if (!readFile(path, text)) return false;
  std::string line;
  for (uint8_t c : text) {
    if (c == '\n' || c == '\r') {
      if (!line.empty()) names.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
  if (!line.empty()) names.push_back(line);
  return true;
}

int build(const std::string& packPath, const std::vector<std::string>& names) {
  std::vector<DataBuffer> contents(names.size());
  int missing = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!readFile(names[i], contents[i])) {
      std::fprintf(stderr, "datapack: cannot read %s\n", names[i].c_str());
      ++missing;
    } else if (contents[i].size() > 0xffffffffu) {
      std::fprintf(stderr, "datapack: %s is too large for a record\n", names[i].c_str());
      ++missing;
    }
  }
  if (missing) return 1;
  std::FILE* pack = std::fopen(packPath.c_str(), "wb");
  if (!pack) {
    std::fprintf(stderr, "datapack: cannot create %s\n", packPath.c_str());
    return 1;
  }
  bool ok = true;
  for (size_t i = 0; i < names.size() && ok; ++i) {
    ok = writePackRecord(pack, names[i], contents[i]);
    if (ok) std::printf("%10zu %s\n", contents[i].size(), names[i].c_str());
  }
  ok = std::fclose(pack) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "datapack: writing %s failed\n", packPath.c_str());
    return 1;
  }
  std::printf("wrote %zu records to %s\n", names.size(), packPath.c_str());
  return 0;
}

int list(const std::string& packPath) {
  std::vector<PackEntry> entries;
  if (!listPack(packPath, entries)) {
    std::fprintf(stderr, "datapack: cannot open %s\n", packPath.c_str());
    return 1;
  }
  for (const PackEntry& e : entries) {
    if (e.storedLength < e.declaredLength) {
      std::printf("%10u %s (cut short: %u of %u bytes)\n", e.storedLength, e.name.c_str(), e.storedLength,
                  e.declaredLength);
    } else {
      std::printf("%10u %s\n", e.declaredLength, e.name.c_str());
    }
  }
  return 0;
}

int extract(const std::string& packPath, const std::string& name, const char* outPath) {
  DataBuffer data;
  std::vector<PackEntry> entries;
  if (!listPack(packPath, entries)) {
    std::fprintf(stderr, "datapack: cannot open %s\n", packPath.c_str());
    return 1;
  }
  if (!extractPackRecord(packPath, name, data)) {
    std::fprintf(stderr, "datapack: %s has no record named %s\n", packPath.c_str(), name.c_str());
    return 1;
  }
  std::FILE* out = outPath ? std::fopen(outPath, "wb") : stdout;
  if (!out) {
    std::fprintf(stderr, "datapack: cannot create %s\n", outPath);
    return 1;
  }
  bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), out) == data.size();
  if (outPath) ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "datapack: writing failed\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    usage();
    return 2;
  }
  std::string command = argv[1];
  std::string pack = argv[2];
  if (command == "build") {
    std::vector<std::string> names;
    if (argc == 5 && std::strcmp(argv[3], "--list") == 0) {
      if (!readList(argv[4], names)) {
        std::fprintf(stderr, "datapack: cannot read the list %s\n", argv[4]);
        return 1;
      }
    } else {
      for (int i = 3; i < argc; ++i) names.push_back(argv[i]);
    }
    return build(pack, names);
  }
  if (command == "list" && argc == 3) return list(pack);
  if (command == "extract" && (argc == 4 || argc == 5)) return extract(pack, argv[3], argc == 5 ? argv[4] : nullptr);
  usage();
  return 2;
}
