#include "io/codepage.h"

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string text;
  if (DecodeUtf8(bytes, text)) return text;
  text.clear();
  for (char c : bytes) text += char16_t(static_cast<unsigned char>(c));
  return text;
}

std::string Utf16ToBytes(std::u16string_view text) { return Utf16ToUtf8(text); }
