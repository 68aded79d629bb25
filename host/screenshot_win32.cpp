#include "host/screenshot_win32.h"

#include <fstream>

#include "host/png_image.h"

namespace {

bool WriteBmp(const std::filesystem::path& file, const RgbImage& image) {
  const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * uint32_t(image.height);
  BITMAPFILEHEADER head{};
  head.bfType = 0x4D42;
  head.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  head.bfSize = head.bfOffBits + dataBytes;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;  // bottom-up
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&head), sizeof head);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  std::string row(rowBytes, '\0');
  for (int32_t y = image.height - 1; y >= 0; --y) {
    const uint8_t* source = image.pixels.data() + size_t(y) * size_t(image.width) * 3;
    for (int32_t x = 0; x < image.width; ++x) {
      row[size_t(x) * 3] = char(source[x * 3 + 2]);
      row[size_t(x) * 3 + 1] = char(source[x * 3 + 1]);
      row[size_t(x) * 3 + 2] = char(source[x * 3]);
    }
    out.write(row.data(), std::streamsize(row.size()));
  }
  out.close();
  return bool(out);
}

}  // namespace

void RepaintWindow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
}

bool GrabWindow(HWND window, RgbImage& image) {
  if (!IsWindow(window) || !IsWindowVisible(window)) return false;
  RECT r;
  GetWindowRect(window, &r);
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  if (image.width <= 0 || image.height <= 0) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, section);
  BitBlt(memory, 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  image.pixels.resize(size_t(image.width) * size_t(image.height) * 3);
  const auto* source = static_cast<const uint8_t*>(bits);
  for (size_t i = 0, n = size_t(image.width) * size_t(image.height); i < n; ++i) {
    image.pixels[i * 3] = source[i * 4 + 2];
    image.pixels[i * 3 + 1] = source[i * 4 + 1];
    image.pixels[i * 3 + 2] = source[i * 4];
  }
  SelectObject(memory, old);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return true;
}

int64_t CountColour(HWND window, uint8_t red, uint8_t green, uint8_t blue) {
  RgbImage image;
  if (!GrabWindow(window, image)) return -1;
  int64_t count = 0;
  for (size_t i = 0; i + 2 < image.pixels.size(); i += 3)
    count += image.pixels[i] == red && image.pixels[i + 1] == green && image.pixels[i + 2] == blue;
  return count;
}

bool CaptureWindow(HWND window, const std::filesystem::path& file) {
  RgbImage image;
  if (!GrabWindow(window, image)) return false;
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  std::wstring extension = file.extension().wstring();
  for (wchar_t& c : extension) c = wchar_t(towlower(c));
  return extension == L".bmp" ? WriteBmp(file, image) : WritePng(file, image);
}
