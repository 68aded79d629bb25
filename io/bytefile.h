// A binary file behind one 2048-byte buffer, with typed reads and writes in fixed encodings:
// 32-bit integers big-endian, 16-bit words little-endian, strings with a length prefix. The
// buffer is a small write-back cache over a window of the file, so the same object reads and
// overwrites bytes in place. Errors never raise: the `failed` flag records them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

class bytefile {
 public:
  static constexpr int32_t BufferSize = 2048;

  // forReading true: opens an existing file for reading and writing, sharing it with other
  // handles. false: creates the file, or truncates it. Test `failed` afterwards.
  bytefile(const std::filesystem::path& name, bool forReading);
  // Writes back a modified buffer and closes the file.
  virtual ~bytefile();
  bytefile(const bytefile&) = delete;
  bytefile& operator=(const bytefile&) = delete;

  virtual void writebyte(uint8_t b);
  virtual uint8_t readbyte();
  virtual void seek(int32_t offset);
  // True when the buffer is used up and the file is at its end.
  virtual bool eof();

  void writeint(int32_t value);  // 4 bytes, most significant first
  int32_t readint();
  void writeword(uint16_t value);  // 2 bytes, least significant first
  uint16_t readword();
  void writebool(bool value);  // 1 or 0; any non-zero byte reads as true
  bool readbool();
  void writestr(const std::string& text);  // byte count as writeint, then the bytes
  std::string readstr();
  void writewstr(const std::u16string& text);  // code unit count as writeint, then writeword each
  std::u16string readwstr();
  // The size as far as the object knows it: raised to the position when that is larger.
  int32_t filesize();
  // Writes back a modified buffer and closes the file now; false when any write of the
  // object's life did not complete (the destructor does the same silently).
  bool close();

  bool failed = false;       // opening failed, or a string length ran past the file
  bool writeFailed = false;  // some write did not complete (disk full, read-only file...)
  bool readPastEnd = false;  // some read found no byte left and returned 0

 private:
  // Writes back a modified buffer (up to five attempts) and reads the next block.
  void Refill();
  // Writes the valid bytes at the buffer's file offset; true when all were written.
  bool WriteBack();
  void ReadBlock(int32_t offset);

  std::FILE* file = nullptr;
  uint8_t buffer[BufferSize] = {};
  bool modified = false;
  int32_t valid = 0;       // meaningful bytes in the buffer
  int32_t cursor = 0;      // buffer bytes before the current position
  int32_t position = 0;    // file offset of the current position
  int32_t size = 0;        // the file size as far as the object knows it
  int64_t fileOffset = 0;  // where the system's file position stands
};
