#include "tools/gif_image.h"

#include <algorithm>

namespace {

void PutWord(std::string& out, int value) {
  out.push_back(char(value & 0xFF));
  out.push_back(char((value >> 8) & 0xFF));
}

// Codes packed least significant bit first, cut into sub-blocks of up to 255 bytes.
class CodeWriter {
 public:
  void Put(int code, int width) {
    bits |= uint32_t(code) << count;
    count += width;
    while (count >= 8) {
      bytes.push_back(char(bits & 0xFF));
      bits >>= 8;
      count -= 8;
    }
  }
  std::string Blocks() {
    if (count > 0) bytes.push_back(char(bits & 0xFF));
    std::string out;
    for (size_t at = 0; at < bytes.size(); at += 255) {
      const size_t length = std::min<size_t>(255, bytes.size() - at);
      out.push_back(char(length));
      out.append(bytes, at, length);
    }
    out.push_back('\0');
    return out;
  }

 private:
  std::string bytes;
  uint32_t bits = 0;
  int count = 0;
};

Rgb Mix(Rgb a, Rgb b, int part, int whole) {
  auto mix = [&](uint8_t x, uint8_t y) { return uint8_t((x * (whole - part) + y * part) / whole); };
  return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

// A vertical gradient with a one-pixel border, the corners rounded off into the background.
GifPicture Face(int width, int height, Rgb top, Rgb bottom, Rgb border, Rgb background) {
  GifPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool edgeX = x == 0 || x == width - 1, edgeY = y == 0 || y == height - 1;
      Rgb c = Mix(top, bottom, y, height - 1);
      if (edgeX || edgeY) c = border;
      if (edgeX && edgeY) c = background;
      p.pixels.push_back(c);
    }
  return p;
}

// A tab: a gradient, with a coloured band along the bottom for the active one.
GifPicture Tab(int width, int height, Rgb top, Rgb bottom, bool marked, Rgb mark) {
  GifPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels.push_back(marked && y >= height - 3 ? mark : Mix(top, bottom, y, height - 1));
  return p;
}

}  // namespace

std::string EncodeGif(const GifPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != size_t(picture.width) * size_t(picture.height))
    return {};
  std::vector<Rgb> palette;
  std::vector<uint8_t> indexes;
  indexes.reserve(picture.pixels.size());
  for (const Rgb& c : picture.pixels) {
    auto found = std::find(palette.begin(), palette.end(), c);
    if (found == palette.end()) {
      if (palette.size() == 256) return {};
      palette.push_back(c);
      found = palette.end() - 1;
    }
    indexes.push_back(uint8_t(found - palette.begin()));
  }
  palette.resize(256);

  std::string out = "GIF89a";
  PutWord(out, picture.width);
  PutWord(out, picture.height);
  out.push_back(char(0xF7));  // a global table of 256 colours, 8 bits each
  out.push_back('\0');        // background colour
  out.push_back('\0');        // no aspect ratio
  for (const Rgb& c : palette) {
    out.push_back(char(c.r));
    out.push_back(char(c.g));
    out.push_back(char(c.b));
  }
  out.push_back(',');
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, picture.width);
  PutWord(out, picture.height);
  out.push_back('\0');  // no local table, not interlaced
  out.push_back(char(8));

  // Each code after a clear adds a table entry at the reader; a clear every 250 codes keeps the
  // table, and so the code width, below 512 entries and nine bits.
  constexpr int Clear = 256, End = 257, Width = 9, Run = 250;
  CodeWriter codes;
  for (size_t i = 0; i < indexes.size(); ++i) {
    if (i % Run == 0) codes.Put(Clear, Width);
    codes.Put(indexes[i], Width);
  }
  codes.Put(End, Width);
  out += codes.Blocks();
  out.push_back(';');
  return out;
}

std::vector<NamedPicture> HostPictures() {
  const Rgb background{247, 248, 250}, accent{44, 102, 176};
  return {
      {"images", "party_bg.gif", Tab(8, 36, Rgb{242, 244, 247}, Rgb{222, 227, 234}, false, accent)},
      {"images", "party_bg_d.gif", Tab(8, 36, Rgb{255, 255, 255}, Rgb{238, 243, 250}, true, accent)},
      {"plugins", "obzor_u.gif", Face(90, 21, Rgb{252, 253, 255}, Rgb{224, 230, 238}, Rgb{150, 162, 178}, background)},
      {"plugins", "obzor_d.gif", Face(90, 21, Rgb{198, 215, 240}, Rgb{222, 233, 248}, accent, background)},
  };
}
