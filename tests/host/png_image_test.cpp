// Screenshots as PNG: the chunks, their checksums and the pixels read back from the stored
// deflate blocks.
#include <gtest/gtest.h>

#include <string>

#include "host/png_image.h"

namespace {

uint32_t BigEndian(const std::string& bytes, size_t at) {
  return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
         uint32_t(uint8_t(bytes[at + 2])) << 8 | uint32_t(uint8_t(bytes[at + 3]));
}

struct Chunk {
  std::string type, data;
};

// Splits a PNG into its chunks, checking each one's CRC.
std::vector<Chunk> Chunks(const std::string& png) {
  std::vector<Chunk> chunks;
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n"));
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = BigEndian(png, at);
    Chunk chunk{png.substr(at + 4, 4), png.substr(at + 8, length)};
    const uint32_t crc = BigEndian(png, at + 8 + length);
    EXPECT_EQ(crc, Crc32(reinterpret_cast<const uint8_t*>(png.data() + at + 4), 4 + length)) << chunk.type;
    chunks.push_back(chunk);
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  return chunks;
}

// The bytes of a zlib stream made of stored blocks.
std::string Unstore(const std::string& zlib) {
  std::string raw;
  size_t at = 2;
  for (;;) {
    const bool last = zlib[at] & 1;
    const size_t length = uint8_t(zlib[at + 1]) | size_t(uint8_t(zlib[at + 2])) << 8;
    const size_t complement = uint8_t(zlib[at + 3]) | size_t(uint8_t(zlib[at + 4])) << 8;
    EXPECT_EQ(length ^ 0xFFFF, complement);
    raw += zlib.substr(at + 5, length);
    at += 5 + length;
    if (last) break;
  }
  EXPECT_EQ(at + 4, zlib.size());  // the Adler-32 checksum ends it
  return raw;
}

TEST(PngImage, KnownChecksum) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
}

TEST(PngImage, HoldsThePixelsRowByRow) {
  RgbImage image{3, 2, {}};
  for (int i = 0; i < 18; ++i) image.pixels.push_back(uint8_t(i * 10));
  const std::vector<Chunk> chunks = Chunks(EncodePng(image));
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(BigEndian(chunks[0].data, 0), 3u);
  EXPECT_EQ(BigEndian(chunks[0].data, 4), 2u);
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  const std::string raw = Unstore(chunks[1].data);
  ASSERT_EQ(raw.size(), 2u * (1 + 9));
  EXPECT_EQ(raw[0], '\0');
  EXPECT_EQ(uint8_t(raw[1]), 0);
  EXPECT_EQ(uint8_t(raw[10]), 0);  // the second row's filter byte
  EXPECT_EQ(uint8_t(raw[11]), 90);
}

TEST(PngImage, ImagesLargerThanOneStoredBlockAreSplit) {
  RgbImage image{200, 200, std::vector<uint8_t>(200 * 200 * 3, 7)};
  const std::vector<Chunk> chunks = Chunks(EncodePng(image));
  ASSERT_EQ(chunks.size(), 3u);
  const std::string raw = Unstore(chunks[1].data);
  EXPECT_EQ(raw.size(), 200u * 601u);
}

TEST(PngImage, RefusesAnImageWhosePixelsDoNotFit) {
  EXPECT_FALSE(WritePng(::testing::TempDir() + "never.png", RgbImage{2, 2, std::vector<uint8_t>(11)}));
  EXPECT_FALSE(WritePng(::testing::TempDir() + "never.png", RgbImage{0, 0, {}}));
}

}  // namespace
