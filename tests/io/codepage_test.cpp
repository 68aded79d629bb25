// Tag bytes as text and typed text as bytes: UTF-8 (else Latin-1) here, the ANSI code page on
// Windows.
#include "io/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, PlainTextRoundTrips) {
  for (const std::u16string& text : {std::u16string(u"Nepomniachtchi, Ian"), std::u16string()})
    EXPECT_EQ(BytesToUtf16(Utf16ToBytes(text)), text);
}

#ifndef _WIN32
TEST(CodePage, Utf8RoundTripsAndOtherBytesReadAsLatin1) {
  for (const std::u16string& text :
       {std::u16string(u"\u0410\u043B\u0451\u0445\u0438\u043D"), std::u16string(u"R\u00E9ti \U0001F600")})
    EXPECT_EQ(BytesToUtf16(Utf16ToBytes(text)), text);
  EXPECT_EQ(BytesToUtf16("R\xE9ti"), u"R\u00E9ti");
  EXPECT_EQ(Utf16ToBytes(u"\u00E9"), "\xC3\xA9");
  // Half of a surrogate pair alone is no character: it becomes the replacement character.
  EXPECT_EQ(Utf16ToBytes(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
#else
TEST(CodePage, ACharacterTheCodePageLacksBecomesAQuestionMark) { EXPECT_EQ(Utf16ToBytes(u"\u4E2D"), "?"); }
#endif

// The wide characters of system calls: UTF-8 read whole (characters past 65536 included), a byte
// that begins no character read as U+FFFD and the rest kept, and back again.
TEST(CodePage, WideTextFromUtf8AndBack) {
  const std::string utf8 = "\xd0\xa2\xd0\xb0\xd0\xbb\xd1\x8c \xf0\x9f\x98\x80 Tal";
  const std::wstring wide = Widen(utf8, ByteText::Utf8);
  EXPECT_EQ(wide.substr(0, 5), L"\u0422\u0430\u043b\u044c ");
  EXPECT_EQ(wide.substr(wide.size() - 4), L" Tal");
  EXPECT_EQ(Narrow(wide, ByteText::Utf8), utf8);
  // A lone continuation byte, a cut sequence, an overlong form and a surrogate's encoding.
  EXPECT_EQ(Widen("a\x80"
                  "b",
                  ByteText::Utf8),
            L"a\ufffdb");
  EXPECT_EQ(Widen("a\xe2\x82", ByteText::Utf8), L"a\ufffd\ufffd");
  EXPECT_EQ(Widen("\xc0\xaf", ByteText::Utf8), L"\ufffd\ufffd");
  EXPECT_EQ(Widen("\xed\xa0\x80!", ByteText::Utf8), L"\ufffd\ufffd\ufffd!");
  EXPECT_EQ(Widen("", ByteText::Utf8), L"");
  // Plain text is the same in the system's code page.
  EXPECT_EQ(Widen("Nepomniachtchi, Ian", ByteText::SystemCodePage), L"Nepomniachtchi, Ian");
  EXPECT_EQ(Narrow(L"Nepomniachtchi, Ian", ByteText::SystemCodePage), "Nepomniachtchi, Ian");
  std::u16string decoded;
  EXPECT_FALSE(DecodeUtf8("\xff", decoded));
  EXPECT_TRUE(DecodeUtf8("\xc3\xa9", decoded));
  EXPECT_EQ(decoded, u"\u00e9");
}

}  // namespace
