#include <windows.h>

#include "io/codepage.h"

std::u16string BytesToUtf16(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::u16string text(size_t(length > 0 ? length : 0), u'\0');
  if (length > 0)
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), reinterpret_cast<wchar_t*>(text.data()), length);
  return text;
}

std::string Utf16ToBytes(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), bytes.data(), length, nullptr, nullptr);
  return bytes;
}
