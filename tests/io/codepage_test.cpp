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

}  // namespace
