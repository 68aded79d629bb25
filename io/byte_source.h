// Reading a file or a stream from its start to its end as the text it holds, whether stored
// plain or compressed (gzip, zstd, bzip2, xz: known by their first bytes, not by the name).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/file_read.h"

// How a file's text is stored: as it is, compressed, or as UTF-16 (little or big end first),
// which is read as UTF-8.
enum class Compression : uint8_t { None, Gzip, Zstd, Bzip2, Xz, Utf16Le, Utf16Be };

// The compression whose signature the first bytes of a file carry (six are enough); None for
// anything else, plain text included. UTF-16 is known by its byte-order mark, or by a first
// character below 128 beside a zero byte ("[" is 5B 00 or 00 5B); zeros alone are no text.
Compression CompressionOf(std::string_view head);

// "gzip", "zstd", "bzip2", "xz"; "plain" for None.
const char* CompressionName(Compression compression);

// The bytes of a file or stream as they are stored, taken in blocks, with those looked at
// ahead (the signature) given back first.
class StoredInput {
 public:
  // A file owned is closed at the end; a stream is not, and a stop request ends a wait for it.
  StoredInput(std::FILE* from, bool closeAtEnd, const std::atomic<bool>* stopFlag = nullptr)
      : file(from), owned(closeAtEnd), stop(stopFlag) {}
  ~StoredInput();
  StoredInput(const StoredInput&) = delete;
  StoredInput& operator=(const StoredInput&) = delete;

  // Up to `count` bytes into `to`; 0 at the end or on a failure (then Failed).
  size_t Read(char* to, size_t count);
  // Reads up to `count` bytes ahead and keeps them to be read again; returns them.
  std::string_view Peek(size_t count);
  bool Failed() const { return failed || (file && std::ferror(file)); }
  bool Stopped() const { return stopped; }
  int64_t BytesTaken() const { return taken; }

 private:
  size_t ReadFile(char* to, size_t count);
  std::FILE* file;
  bool owned;
  const std::atomic<bool>* stop;
  bool failed = false, stopped = false;
  std::string ahead;  // peeked bytes not read yet
  size_t aheadUsed = 0;
  int64_t taken = 0;  // bytes delivered by Read
};

// A text read in order. Read fills as much as asked until the end; a failure ends the text
// early and is kept in `error` and `detail` (the library's or the system's words).
class ByteSource {
 public:
  ByteSource(std::unique_ptr<StoredInput> input, Compression how) : stored(std::move(input)), compression(how) {}
  virtual ~ByteSource() = default;

  // Up to `count` bytes of text into `to`; fewer only at the end or on a failure.
  virtual size_t Read(char* to, size_t count) = 0;

  Compression GetCompression() const { return compression; }
  // The bytes taken from the file or stream so far: the compressed ones for a compressed text.
  int64_t StoredBytesTaken() const { return stored->BytesTaken(); }

  ReadError error = ReadError::None;
  std::string detail;
  int64_t storedSize = -1;  // of the file as opened; -1 for a stream

 protected:
  void Fail(ReadError why, std::string words) {
    if (error != ReadError::None) return;
    error = why;
    detail = std::move(words);
  }
  std::unique_ptr<StoredInput> stored;
  Compression compression;
};

// Opens a file for reading its text; null with `error` set when it cannot be opened (a
// compression this build does not read is found at the first Read). The file is held until
// the source goes, and other openers are refused meanwhile where the system allows.
std::unique_ptr<ByteSource> OpenByteSource(const std::filesystem::path& path, ReadError& error);

// The text of a stream (standard input) from where it stands; the stream is not closed. A wait
// for more of it ends when `stop` is set: the text ends there.
std::unique_ptr<ByteSource> StreamByteSource(std::FILE* stream, const std::atomic<bool>* stop = nullptr);

// The text of a whole file read at once, unpacked when compressed; for small files (tests).
ReadError ReadWholeText(const std::filesystem::path& path, std::string& text);
