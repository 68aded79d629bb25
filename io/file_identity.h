// Which file a path names, whatever its spelling: links, "./" and letter case on a file system
// that ignores it all lead to the same identity.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

struct FileIdentity {
  uint64_t device = 0;  // the volume
  uint64_t file = 0;    // the file on it
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileIdentityHash {
  size_t operator()(const FileIdentity& id) const { return size_t(id.device * 0x9E3779B97F4A7C15ull ^ id.file); }
};

// The identity of an existing file or folder; none when it does not exist or cannot be asked.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

// Whether two paths name one existing file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);
