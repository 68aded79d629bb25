#include "io/codepage.h"

namespace {

// Decodes UTF-8 into UTF-16; false when the bytes are not valid UTF-8.
bool DecodeUtf8(std::string_view s, std::u16string& out) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t code;
    size_t length;
    if (c < 0x80) {
      code = c;
      length = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      code = c & 0x1F;
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      code = c & 0x0F;
      length = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      code = c & 0x07;
      length = 4;
    } else {
      return false;
    }
    if (i + length > s.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(s[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    if (code >= 0x10000) {
      code -= 0x10000;
      out += char16_t(0xD800 + (code >> 10));
      out += char16_t(0xDC00 + (code & 0x3FF));
    } else {
      out += char16_t(code);
    }
    i += length;
  }
  return true;
}

}  // namespace

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string text;
  if (DecodeUtf8(bytes, text)) return text;
  text.clear();
  for (char c : bytes) text += char16_t(static_cast<unsigned char>(c));
  return text;
}

std::string Utf16ToBytes(std::u16string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (code >= 0xD800 && code <= 0xDFFF)
      code = 0xFFFD;  // half of a pair alone
    if (code < 0x80) {
      bytes += char(code);
    } else if (code < 0x800) {
      bytes += char(0xC0 | (code >> 6));
      bytes += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      bytes += char(0xE0 | (code >> 12));
      bytes += char(0x80 | ((code >> 6) & 0x3F));
      bytes += char(0x80 | (code & 0x3F));
    } else {
      bytes += char(0xF0 | (code >> 18));
      bytes += char(0x80 | ((code >> 12) & 0x3F));
      bytes += char(0x80 | ((code >> 6) & 0x3F));
      bytes += char(0x80 | (code & 0x3F));
    }
  }
  return bytes;
}
