#include "options/output_form.h"

#include <array>

namespace {

struct FormatName {
  OutputFormat format;
  std::string_view name;
  std::string_view extension;
};

constexpr std::array<FormatName, 7> Formats{{
    {OutputFormat::Pgn, "pgn", ".pgn"},
    {OutputFormat::Json, "json", ".jsonl"},
    {OutputFormat::San, "san", ".san.txt"},
    {OutputFormat::Uci, "uci", ".uci.txt"},
    {OutputFormat::Lan, "lan", ".lan.txt"},
    {OutputFormat::Fen, "fen", ".fen"},
    {OutputFormat::Epd, "epd", ".epd"},
}};

bool SameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<OutputFormat> ParseOutputFormat(std::string_view name) {
  for (const FormatName& f : Formats)
    if (SameFolded(f.name, name)) return f.format;
  return std::nullopt;
}

std::string_view OutputFormatName(OutputFormat format) { return Formats[size_t(format)].name; }

std::string_view OutputExtension(OutputFormat format) { return Formats[size_t(format)].extension; }

bool NamesTag(const std::vector<std::string>& names, std::string_view tag) {
  for (const std::string& name : names)
    if (SameFolded(name, tag)) return true;
  return false;
}
