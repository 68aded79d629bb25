// The conversions between UTF-8, UTF-16 and the wide characters of system calls that are the same
// on every system.
#include "io/codepage.h"

namespace {

// Decodes UTF-8 into UTF-16; false when the bytes are not valid UTF-8. With `replace`, a byte
// that begins no valid character becomes U+FFFD and decoding goes on after it.
bool DecodeUtf8Into(std::string_view s, std::u16string& out, bool replace) {
  for (size_t i = 0; i < s.size();) {
    auto invalid = [&] {
      if (!replace) return false;
      out += char16_t(0xFFFD);
      ++i;
      return true;
    };
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
      if (invalid()) continue;
      return false;
    }
    bool valid = i + length <= s.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(s[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (valid && ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
                  (code >= 0xD800 && code <= 0xDFFF)))
      valid = false;
    if (!valid) {
      if (invalid()) continue;
      return false;
    }
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

bool DecodeUtf8(std::string_view bytes, std::u16string& text) {
  text.clear();
  return DecodeUtf8Into(bytes, text, false);
}

std::string Utf16ToUtf8(std::u16string_view text) {
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

std::wstring Widen(std::string_view bytes, ByteText how) {
  std::u16string text;
  if (how == ByteText::SystemCodePage)
    text = BytesToUtf16(bytes);
  else
    DecodeUtf8Into(bytes, text, true);
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    return std::wstring(text.begin(), text.end());
  } else {
    std::wstring wide;
    for (size_t i = 0; i < text.size(); ++i) {
      char32_t code = text[i];
      if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
      wide += wchar_t(code);
    }
    return wide;
  }
}

std::string Narrow(std::wstring_view wide, ByteText how) {
  std::u16string text;
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    text.assign(wide.begin(), wide.end());
  } else {
    for (wchar_t c : wide) {
      const char32_t code = char32_t(c);
      if (code >= 0x10000) {
        text += char16_t(0xD800 + ((code - 0x10000) >> 10));
        text += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
      } else {
        text += char16_t(code);
      }
    }
  }
  return how == ByteText::SystemCodePage ? Utf16ToBytes(text) : Utf16ToUtf8(text);
}
