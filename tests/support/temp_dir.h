// A fresh working directory for a test: created on construction, entered,
// and left (and removed) on destruction.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class ScopedTempDir {
 public:
  ScopedTempDir() {
    char pattern[] = "/tmp/quorin-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "/tmp";
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~ScopedTempDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::filesystem::path previous_;
};

inline void writeTextFile(const std::string& path, const std::string& text) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

inline std::string readTextFile(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
  std::fclose(f);
  return text;
}
