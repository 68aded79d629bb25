// What a path that output is to be written to names: symbolic links followed to the file they
// lead to, and what stands there. Regular files are replaced through a temporary file beside
// them (no half-written file is ever seen), pipes and devices are written in place, and
// folders refuse.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

enum class TargetKind {
  Absent,   // nothing there yet: made through a temporary file
  Regular,  // a file: replaced through a temporary file
  Stream,   // a pipe or a device (/dev/null, a FIFO, a terminal): written in place
  Folder,
  Other,  // a socket, a link that leads round in circles, or what cannot be asked
};

struct WriteTarget {
  std::filesystem::path path;  // where the bytes go: the path with its symbolic links followed
  TargetKind kind = TargetKind::Absent;
};

WriteTarget ResolveWriteTarget(const std::filesystem::path& path);

// Why a target of this kind cannot be written; empty for the kinds that can.
std::string UnwritableReason(TargetKind kind);

// The longest name (one path component) the usual file systems take: 255 bytes, or 255 UTF-16
// units on Windows.
constexpr size_t MaxNameLength = 255;

// The file beside `target` that takes its new text until it is renamed over it: the target's
// name and `suffix` when that fits MaxNameLength, else a short name of its own (a hash of the
// target's name), so that no name is ever too long for the file system.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target, std::string_view suffix);
