// Turning the single-byte text of tag values into file-name text.
#pragma once

#include <string>
#include <string_view>

// Windows: the system's ANSI code page. Elsewhere: UTF-8 when the bytes are valid UTF-8, else
// Latin-1, byte for character.
std::u16string BytesToUtf16(std::string_view bytes);
// The other way, for text a person typed: Windows: the ANSI code page, "?" for a character it
// lacks. Elsewhere: UTF-8.
std::string Utf16ToBytes(std::u16string_view text);
