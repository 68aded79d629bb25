// Opening files by path on every platform: UTF-16 names on Windows, the native bytes elsewhere.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

enum class FileShare {
  ReadWrite,  // other handles may read and write the file meanwhile
  None,       // other openers are refused while it is open (where the system can enforce it)
};

// fopen with a path and a mode such as "rb", "r+b" or "w+b"; null on failure.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode, FileShare share = FileShare::ReadWrite);

// 64-bit seek, tell and size, so that large files are measured rather than wrapped.
bool SeekFile(std::FILE* file, int64_t offset);
int64_t TellFile(std::FILE* file);
// The size of an open file, or -1.
int64_t SizeOfFile(std::FILE* file);
