#include "cli/progress_line.h"

#include <cstdio>

#include "cli/count_text.h"

namespace {

constexpr double ShortestMeasure = 0.1;  // seconds
constexpr size_t StageColumns = 21;      // all stage texts but the longest fit
constexpr size_t RateColumns = 17;       // "1,234,567 games/s"; a rate wider than that is cut

}  // namespace

std::string ProgressLine(std::string_view stage, std::string_view file, double part, std::string_view rate) {
  part = part < 0 ? 0 : part > 1 ? 1 : part;
  std::string bar = "[";
  const int filled = int(part * 20);
  for (int i = 0; i < 20; ++i) bar += i < filled ? '#' : '.';
  bar += ']';
  // Columns that stay put from one drawing to the next: the stage text, then the file name in
  // what is left beside the bar and the widest rate.
  std::string line(stage);
  if (line.size() < StageColumns) line.resize(StageColumns, ' ');
  const size_t used = line.size() + 1 + 1 + bar.size() + 1 + RateColumns;
  const size_t fileColumns = ProgressLineWidth > used ? ProgressLineWidth - used : 0;
  std::string name(file);
  if (name.size() > fileColumns) name = fileColumns > 3 ? "..." + name.substr(name.size() - (fileColumns - 3)) : "";
  name.resize(fileColumns, ' ');
  line += " " + name + " " + bar;
  if (!rate.empty()) line += " " + std::string(rate);
  if (line.size() > ProgressLineWidth) line.resize(ProgressLineWidth);
  return line;
}

std::string ByteRate(int64_t bytes, double seconds) {
  if (seconds < ShortestMeasure) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB/s", double(bytes) / 1e6 / seconds);
  return text;
}

std::string GameRate(int64_t games, double seconds) {
  if (seconds < ShortestMeasure) return {};
  return GroupedCount(int64_t(double(games) / seconds)) + " games/s";
}
