#include "io/byte_source.h"

#include <algorithm>
#include <cstring>

#include "io/decompression.h"
#include "io/os_file.h"
#include "io/stream_read.h"

Compression CompressionOf(std::string_view head) {
  auto startsWith = [&](std::string_view signature) { return head.substr(0, signature.size()) == signature; };
  if (startsWith("\x1f\x8b")) return Compression::Gzip;
  if (startsWith("\x28\xb5\x2f\xfd")) return Compression::Zstd;
  if (startsWith(std::string_view("\xfd"
                                  "7zXZ\0",
                                  6)))
    return Compression::Xz;
  // "BZh" and the block size digit: a PGN text never starts so ("BZh1" is no tag or move).
  if (head.size() >= 4 && startsWith("BZh") && head[3] >= '1' && head[3] <= '9') return Compression::Bzip2;
  if (startsWith("\xff\xfe")) return Compression::Utf16Le;
  if (startsWith("\xfe\xff")) return Compression::Utf16Be;
  if (head.size() >= 2) {
    const unsigned char first = static_cast<unsigned char>(head[0]), second = static_cast<unsigned char>(head[1]);
    if (second == 0 && first != 0 && first < 0x80) return Compression::Utf16Le;
    if (first == 0 && second != 0 && second < 0x80) return Compression::Utf16Be;
  }
  return Compression::None;
}

const char* CompressionName(Compression compression) {
  switch (compression) {
    case Compression::None:
      return "plain";
    case Compression::Gzip:
      return "gzip";
    case Compression::Zstd:
      return "zstd";
    case Compression::Bzip2:
      return "bzip2";
    case Compression::Xz:
      return "xz";
    case Compression::Utf16Le:
    case Compression::Utf16Be:
      return "UTF-16";
  }
  return "unknown";
}

StoredInput::~StoredInput() {
  if (owned && file) std::fclose(file);
}

size_t StoredInput::Read(char* to, size_t count) {
  size_t got = 0;
  if (aheadUsed < ahead.size()) {
    got = std::min(count, ahead.size() - aheadUsed);
    std::memcpy(to, ahead.data() + aheadUsed, got);
    aheadUsed += got;
  }
  if (got < count && file) got += ReadFile(to + got, count - got);
  taken += int64_t(got);
  return got;
}

size_t StoredInput::ReadFile(char* to, size_t count) {
  if (owned) return std::fread(to, 1, count, file);
  return ReadStream(file, to, count, stop, failed, stopped);
}

std::string_view StoredInput::Peek(size_t count) {
  ahead.erase(0, aheadUsed);
  aheadUsed = 0;
  if (ahead.size() < count && file) {
    const size_t had = ahead.size();
    ahead.resize(count);
    ahead.resize(had + ReadFile(ahead.data() + had, count - had));
  }
  return std::string_view(ahead).substr(0, count);
}

namespace {

// Text stored as it is.
class PlainSource : public ByteSource {
 public:
  explicit PlainSource(std::unique_ptr<StoredInput> input) : ByteSource(std::move(input), Compression::None) {}
  size_t Read(char* to, size_t count) override {
    const size_t got = stored->Read(to, count);
    if (got < count && stored->Failed()) Fail(ReadError::ReadFailed, "");
    // A file that ends before the size it had when opened was cut while it was read: the games
    // after the cut are lost, which is a failure, not the file's end.
    if (got < count && storedSize >= 0 && stored->BytesTaken() < storedSize)
      Fail(ReadError::ReadFailed,
           "the file got shorter while it was read: it had " + std::to_string(storedSize) + " bytes when opened");
    return got;
  }
};

// UTF-16 text (as Windows programs write it) given as UTF-8, its byte-order mark left out: a
// character outside the first 128 takes two to four bytes, and a surrogate without its other
// half becomes U+FFFD. An odd last byte is no character and is left out.
class Utf16Source : public ByteSource {
 public:
  Utf16Source(std::unique_ptr<StoredInput> input, Compression how) : ByteSource(std::move(input), how) {}
  size_t Read(char* to, size_t count) override {
    size_t given = 0;
    while (given < count) {
      if (used == ready.size() && !Convert()) break;
      const size_t n = std::min(count - given, ready.size() - used);
      std::memcpy(to + given, ready.data() + used, n);
      used += n;
      given += n;
    }
    return given;
  }

 private:
  // Converts the next block of stored bytes into `ready`; false at the end of the text.
  bool Convert() {
    ready.clear();
    used = 0;
    while (ready.empty()) {
      char block[1 << 15];
      const size_t got = stored->Read(block, sizeof block);
      if (got == 0) {
        if (stored->Failed()) Fail(ReadError::ReadFailed, "");
        if (highSurrogate) Append(0xFFFD);
        highSurrogate = 0;
        return !ready.empty();
      }
      for (size_t i = 0; i < got; ++i) {
        if (!havePending) {
          pending = static_cast<unsigned char>(block[i]);
          havePending = true;
          continue;
        }
        const unsigned char next = static_cast<unsigned char>(block[i]);
        havePending = false;
        const uint32_t unit =
            compression == Compression::Utf16Le ? uint32_t(pending | next << 8) : uint32_t(pending << 8 | next);
        Unit(unit);
      }
    }
    return true;
  }
  void Unit(uint32_t unit) {
    if (!begun) {
      begun = true;
      if (unit == 0xFEFF) return;  // the byte-order mark
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (highSurrogate) Append(0xFFFD);
      highSurrogate = unit;
      return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      if (highSurrogate) {
        Append(0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
        highSurrogate = 0;
      } else {
        Append(0xFFFD);
      }
      return;
    }
    if (highSurrogate) Append(0xFFFD);
    highSurrogate = 0;
    Append(unit);
  }
  void Append(uint32_t c) {
    if (c < 0x80) {
      ready += char(c);
    } else if (c < 0x800) {
      ready += char(0xC0 | c >> 6);
      ready += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      ready += char(0xE0 | c >> 12);
      ready += char(0x80 | (c >> 6 & 0x3F));
      ready += char(0x80 | (c & 0x3F));
    } else {
      ready += char(0xF0 | c >> 18);
      ready += char(0x80 | (c >> 12 & 0x3F));
      ready += char(0x80 | (c >> 6 & 0x3F));
      ready += char(0x80 | (c & 0x3F));
    }
  }

  std::string ready;  // converted bytes not given yet
  size_t used = 0;
  unsigned char pending = 0;  // the first byte of a unit whose second is still to come
  bool havePending = false;
  bool begun = false;
  uint32_t highSurrogate = 0;
};

// A compression this build cannot unpack: no text, and the reason.
class RefusedSource : public ByteSource {
 public:
  RefusedSource(std::unique_ptr<StoredInput> input, Compression how) : ByteSource(std::move(input), how) {
    Fail(ReadError::Unsupported, std::string("compressed with ") + CompressionName(how) +
                                     ", which this build of the program does not read: unpack it first");
  }
  size_t Read(char*, size_t) override { return 0; }
};

std::unique_ptr<ByteSource> SourceOver(std::unique_ptr<StoredInput> input) {
  const Compression compression = CompressionOf(input->Peek(6));
  if (compression == Compression::None) return std::make_unique<PlainSource>(std::move(input));
  if (compression == Compression::Utf16Le || compression == Compression::Utf16Be)
    return std::make_unique<Utf16Source>(std::move(input), compression);
  if (!DecoderAvailable(compression)) return std::make_unique<RefusedSource>(std::move(input), compression);
  return MakeDecoder(compression, std::move(input));
}

}  // namespace

std::unique_ptr<ByteSource> OpenByteSource(const std::filesystem::path& path, ReadError& error) {
  std::FILE* file = OpenFile(path, "rb", FileShare::None);
  if (!file) {
    error = ReadError::CannotOpen;
    return nullptr;
  }
  // A file that cannot be measured is a pipe (as `<(zcat games.pgn.gz)` gives): read as a stream.
  const int64_t size = SizeOfFile(file);
  if (size < 0) std::clearerr(file);
  error = ReadError::None;
  std::unique_ptr<ByteSource> source = SourceOver(std::make_unique<StoredInput>(file, true));
  source->storedSize = size < 0 ? -1 : size;
  return source;
}

std::unique_ptr<ByteSource> StreamByteSource(std::FILE* stream, const std::atomic<bool>* stop) {
  return SourceOver(std::make_unique<StoredInput>(stream, false, stop));
}

ReadError ReadWholeText(const std::filesystem::path& path, std::string& text) {
  ReadError error = ReadError::None;
  std::unique_ptr<ByteSource> source = OpenByteSource(path, error);
  if (!source) return error;
  text.clear();
  constexpr size_t Block = size_t(1) << 16;
  for (;;) {
    const size_t had = text.size();
    text.resize(had + Block);
    const size_t got = source->Read(text.data() + had, Block);
    text.resize(had + got);
    if (got < Block) break;
  }
  return source->error;
}
