// The host's pictures: GIF files any reader decodes back to the same pixels, and the committed
// files are what the generator makes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "tools/gif_image.h"

namespace {

// A plain GIF reader for one image with a global colour table: the LZW decoding of the format,
// variable code width included.
GifPicture Decode(const std::string& gif) {
  GifPicture picture;
  auto word = [&](size_t at) { return int(uint8_t(gif[at])) | int(uint8_t(gif[at + 1])) << 8; };
  EXPECT_EQ(gif.substr(0, 6), "GIF89a");
  picture.width = word(6);
  picture.height = word(8);
  const int tableSize = 2 << (uint8_t(gif[10]) & 7);
  std::vector<Rgb> palette;
  for (int i = 0; i < tableSize; ++i)
    palette.push_back(Rgb{uint8_t(gif[13 + 3 * i]), uint8_t(gif[14 + 3 * i]), uint8_t(gif[15 + 3 * i])});
  size_t at = 13 + 3 * size_t(tableSize);
  EXPECT_EQ(gif[at], ',');
  at += 10;
  const int minimum = uint8_t(gif[at++]);
  std::string data;
  while (uint8_t length = uint8_t(gif[at++])) {
    data += gif.substr(at, length);
    at += length;
  }
  EXPECT_EQ(gif[at], ';');

  const int clear = 1 << minimum, end = clear + 1;
  std::vector<std::vector<uint8_t>> table;
  int width = minimum + 1;
  size_t bit = 0;
  std::vector<uint8_t> previous;
  auto reset = [&] {
    table.clear();
    for (int i = 0; i < clear + 2; ++i) table.push_back({uint8_t(i)});
    width = minimum + 1;
    previous.clear();
  };
  reset();
  std::vector<uint8_t> indexes;
  while (bit + size_t(width) <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((uint8_t(data[bit / 8]) >> (bit % 8)) & 1) << i;
    if (code == clear) {
      reset();
      continue;
    }
    if (code == end) break;
    std::vector<uint8_t> entry;
    if (code < int(table.size())) {
      entry = table[size_t(code)];
      if (!previous.empty()) {
        std::vector<uint8_t> added = previous;
        added.push_back(entry[0]);
        table.push_back(added);
      }
    } else {
      entry = previous;
      entry.push_back(previous[0]);
      table.push_back(entry);
    }
    indexes.insert(indexes.end(), entry.begin(), entry.end());
    previous = entry;
    if (int(table.size()) == (1 << width) && width < 12) ++width;
  }
  for (uint8_t index : indexes) picture.pixels.push_back(palette[index]);
  return picture;
}

TEST(GifImage, DecodesToTheSamePixels) {
  GifPicture picture{40, 30, {}};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      picture.pixels.push_back(Rgb{uint8_t(x % 8 * 30), uint8_t(y % 8 * 30), uint8_t((x + y) % 3)});
  const GifPicture decoded = Decode(EncodeGif(picture));
  EXPECT_EQ(decoded.width, 40);
  EXPECT_EQ(decoded.height, 30);
  EXPECT_TRUE(decoded.pixels == picture.pixels);
}

TEST(GifImage, RefusesPicturesItCannotHold) {
  GifPicture many{300, 1, {}};
  for (int x = 0; x < 300; ++x) many.pixels.push_back(Rgb{uint8_t(x), uint8_t(x / 256), 0});
  EXPECT_EQ(EncodeGif(many), "");
  EXPECT_EQ(EncodeGif(GifPicture{2, 2, std::vector<Rgb>(3)}), "");
  EXPECT_EQ(EncodeGif(GifPicture{}), "");
}

TEST(GifImage, TheCommittedPicturesAreTheGeneratedOnes) {
  for (const NamedPicture& named : HostPictures()) {
    const std::string path = std::string(PGN_SOURCE_DIR) + "/data/host/" + named.folder + "/" + named.name;
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), EncodeGif(named.picture)) << path << ": run make_host_images data/host";
    EXPECT_TRUE(Decode(bytes.str()).pixels == named.picture.pixels) << path;
  }
}

}  // namespace
