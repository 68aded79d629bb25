// Screenshots as PNG files: 24-bit colour, the image data in stored (uncompressed) deflate
// blocks, which every PNG reader accepts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Rows top to bottom, three bytes (red, green, blue) per pixel, no padding.
struct RgbImage {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// The bytes of a PNG file holding the image.
std::string EncodePng(const RgbImage& image);

// Writes the image; false when the file cannot be written whole.
bool WritePng(const std::filesystem::path& file, const RgbImage& image);

// The CRC-32 of PNG chunks and zip files.
uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc = 0);
