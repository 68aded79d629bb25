// GIF files for the host's pictures: one image of up to 256 colours, its codes written so that
// they never outgrow nine bits (a clear code before the table would), which every reader takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct GifPicture {
  int32_t width = 0, height = 0;
  std::vector<Rgb> pixels;  // rows top to bottom
};

// The bytes of a GIF89a file; empty when the picture has more than 256 colours or no pixels.
std::string EncodeGif(const GifPicture& picture);

// The host's four pictures by file name relative to the host's folder: the tab backgrounds
// ("images\party_bg.gif", "images\party_bg_d.gif") and the "Browse..." faces
// ("plugins\obzor_u.gif", "plugins\obzor_d.gif").
struct NamedPicture {
  const char* folder;
  const char* name;
  GifPicture picture;
};
std::vector<NamedPicture> HostPictures();
