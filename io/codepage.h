// Text between bytes and UTF-16: the single-byte text of tag values into file-name text, text a
// person typed into bytes, and the wide characters of system calls.
#pragma once

#include <string>
#include <string_view>

// Windows: the system's ANSI code page. Elsewhere: UTF-8 when the bytes are valid UTF-8, else
// Latin-1, byte for character.
std::u16string BytesToUtf16(std::string_view bytes);
// The other way, for text a person typed: Windows: the ANSI code page, "?" for a character it
// lacks. Elsewhere: UTF-8.
std::string Utf16ToBytes(std::u16string_view text);

// UTF-8 on every system: the text (false, and `text` cut short, when the bytes are not valid
// UTF-8), and the other way (half of a surrogate pair alone becomes U+FFFD).
bool DecodeUtf8(std::string_view bytes, std::u16string& text);
std::string Utf16ToUtf8(std::u16string_view text);

// What bytes of text are: the system's own (the ANSI code page on Windows, as BytesToUtf16 reads
// them), or UTF-8.
enum class ByteText { SystemCodePage, Utf8 };

// Bytes as the wide characters of system calls, and back. Bytes that are not UTF-8 where UTF-8 is
// said become U+FFFD; a character the code page lacks becomes "?".
std::wstring Widen(std::string_view bytes, ByteText how);
std::string Narrow(std::wstring_view text, ByteText how);
