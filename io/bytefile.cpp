#include "io/bytefile.h"

#include <climits>

#include "io/os_file.h"

bytefile::bytefile(const std::filesystem::path& name, bool forReading) {
  if (!forReading) {
    file = OpenFile(name, "w+b");
    failed = file == nullptr;
    return;
  }
  // The size first, from a handle of its own.
  if (std::FILE* probe = OpenFile(name, "rb")) {
    const int64_t length = SizeOfFile(probe);
    std::fclose(probe);
    // Positions are 32-bit: a file they cannot describe is refused rather than wrapped.
    if (length < 0 || length > INT32_MAX) {
      failed = true;
      return;
    }
    size = int32_t(length);
  } else {
    failed = true;
    return;
  }
  file = OpenFile(name, "r+b");
  // A file without write permission can still be read; writes to it then go nowhere.
  if (!file) file = OpenFile(name, "rb");
  if (!file) {
    failed = true;
    return;
  }
  ReadBlock(0);
}

bytefile::~bytefile() { close(); }

bool bytefile::close() {
  if (!file) return !writeFailed;
  if (modified && !WriteBack()) writeFailed = true;
  modified = false;
  if (std::fclose(file) != 0) writeFailed = true;
  file = nullptr;
  return !writeFailed;
}

bool bytefile::WriteBack() {
  if (!file || !SeekFile(file, position - cursor)) return false;
  const size_t written = std::fwrite(buffer, 1, size_t(valid), file);
  fileOffset = position - cursor + int64_t(written);
  // Flushed at once, so that a full disk shows here and not only at closing.
  return written == size_t(valid) && std::fflush(file) == 0;
}

void bytefile::ReadBlock(int32_t offset) {
  size_t got = 0;
  if (file && SeekFile(file, offset)) got = std::fread(buffer, 1, BufferSize, file);
  valid = int32_t(got);
  cursor = 0;
  modified = false;
  fileOffset = int64_t(offset) + int64_t(got);
}

void bytefile::Refill() {
  if (!file) {  // nothing behind the buffer: it only holds what was written last
    if (position > size) size = position;
    cursor = valid = 0;
    modified = false;
    return;
  }
  if (modified) {
    bool written = false;
    for (int attempt = 0; attempt < 5 && !written; ++attempt) written = WriteBack();
    if (!written) {
      writeFailed = true;
      fileOffset = position;  // the object's own position stays the truth
    }
  }
  // The current position becomes the system's, the end of the block just written or read.
  position = int32_t(fileOffset);
  if (position > size) size = position;
  ReadBlock(position);
}

void bytefile::writebyte(uint8_t b) {
  if (cursor >= BufferSize) Refill();
  ++cursor;
  ++position;
  // Rewriting a byte with its own value inside the valid data does not mark the buffer.
  if (cursor > valid || buffer[cursor - 1] != b) modified = true;
  buffer[cursor - 1] = b;
  if (cursor > valid) valid = cursor;
}

uint8_t bytefile::readbyte() {
  if (cursor >= valid) Refill();
  if (cursor >= valid) readPastEnd = true;
  if (cursor >= valid || failed) return 0;
  ++cursor;
  ++position;
  return buffer[cursor - 1];
}

void bytefile::seek(int32_t offset) {
  const int64_t d = int64_t(offset) - position + cursor;
  if (d >= 0 && d <= valid) {
    cursor = int32_t(d);
    position = offset;
    return;
  }
  if (modified && !WriteBack()) writeFailed = true;
  ReadBlock(offset);
  position = offset;
}

bool bytefile::eof() {
  if (cursor < valid) return false;
  if (!file) return true;
  return fileOffset >= SizeOfFile(file);
}

void bytefile::writeint(int32_t value) {
  const uint32_t bits = uint32_t(value);
  writebyte(uint8_t(bits >> 24));
  writebyte(uint8_t(bits >> 16));
  writebyte(uint8_t(bits >> 8));
  writebyte(uint8_t(bits));
}

int32_t bytefile::readint() {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits = (bits << 8) | readbyte();
  return int32_t(bits);
}

void bytefile::writeword(uint16_t value) {
  writebyte(uint8_t(value));
  writebyte(uint8_t(value >> 8));
}

uint16_t bytefile::readword() {
  const uint8_t low = readbyte();
  const uint8_t high = readbyte();
  return uint16_t(high * 256 + low);
}

void bytefile::writebool(bool value) { writebyte(value ? 1 : 0); }

bool bytefile::readbool() { return readbyte() != 0; }

void bytefile::writestr(const std::string& text) {
  writeint(int32_t(text.size()));
  for (char c : text) writebyte(uint8_t(c));
}

std::string bytefile::readstr() {
  int32_t n = readint();
  // A length running past the known size is damage: nothing is allocated for it.
  if (int64_t(position) + n > size) {
    failed = true;
    n = 0;
  }
  std::string text(size_t(n > 0 ? n : 0), '\0');
  for (char& c : text) c = char(readbyte());
  return text;
}

void bytefile::writewstr(const std::u16string& text) {
  writeint(int32_t(text.size()));
  for (char16_t c : text) writeword(uint16_t(c));
}

std::u16string bytefile::readwstr() {
  int32_t n = readint();
  if (int64_t(position) + 2 * int64_t(n) > size) {
    failed = true;
    n = 0;
  }
  std::u16string text(size_t(n > 0 ? n : 0), u'\0');
  for (char16_t& c : text) c = char16_t(readword());
  return text;
}

int32_t bytefile::filesize() {
  if (position > size) size = position;
  return size;
}
