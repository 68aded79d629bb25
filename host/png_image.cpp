#include "host/png_image.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace {

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char type[4], const std::string& data) {
  PutBigEndian(out, uint32_t(data.size()));
  const size_t start = out.size();
  out.append(type, 4);
  out += data;
  PutBigEndian(out, Crc32(reinterpret_cast<const uint8_t*>(out.data() + start), out.size() - start));
}

uint32_t Adler32(const std::string& bytes) {
  uint32_t a = 1, b = 0;
  for (unsigned char c : bytes) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// A zlib stream of stored blocks: no compression, so no compressor to get wrong.
std::string StoredZlib(const std::string& raw) {
  std::string out = "\x78\x01";
  size_t offset = 0;
  do {
    const size_t length = std::min<size_t>(raw.size() - offset, 65535);
    const bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(char(length & 0xFF));
    out.push_back(char(length >> 8));
    out.push_back(char(~length & 0xFF));
    out.push_back(char((~length >> 8) & 0xFF));
    out.append(raw, offset, length);
    offset += length;
  } while (offset < raw.size());
  PutBigEndian(out, Adler32(raw));
  return out;
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < count; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string EncodePng(const RgbImage& image) {
  std::string out = "\x89PNG\r\n\x1A\n";
  std::string header;
  PutBigEndian(header, uint32_t(image.width));
  PutBigEndian(header, uint32_t(image.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, truecolour, no interlace
  PutChunk(out, "IHDR", header);
  std::string raw;
  const size_t rowBytes = size_t(image.width) * 3;
  raw.reserve((rowBytes + 1) * size_t(image.height));
  for (int32_t y = 0; y < image.height; ++y) {
    raw.push_back('\0');  // no filter
    raw.append(reinterpret_cast<const char*>(image.pixels.data()) + size_t(y) * rowBytes, rowBytes);
  }
  PutChunk(out, "IDAT", StoredZlib(raw));
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePng(const std::filesystem::path& file, const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() != size_t(image.width) * size_t(image.height) * 3)
    return false;
  const std::string bytes = EncodePng(image);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}
