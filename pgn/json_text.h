// JSON string literals from the single-byte texts of PGN files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A quoted JSON string. Valid UTF-8 passes through; every other byte is taken as Latin-1
// (the common case in old PGN files) and written as a \u escape, so the output is always valid.
std::string JsonString(std::string_view text);
// The same appended to `out`.
void AppendJsonString(std::string& out, std::string_view text);

// A path's text as UTF-8, on every system (what JSON and EPD operands carry).
std::string PathUtf8(const std::filesystem::path& path);
