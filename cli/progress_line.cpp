#include "cli/progress_line.h"

#include <cstdio>

#include "cli/count_text.h"

namespace {

constexpr double ShortestMeasure = 0.1;  // seconds
constexpr size_t StageColumns = 21;      // all stage texts but the longest fit
constexpr size_t RateColumns = 17;       // "1,234,567 games/s"; a rate wider than that is cut
constexpr size_t AmountColumns = 12;     // "9999M->9999M"

std::string ShortAmount(int64_t bytes) {
  char text[24];
  const double megabytes = double(bytes) / 1e6;
  if (megabytes < 10000)
    std::snprintf(text, sizeof text, "%lldM", static_cast<long long>(megabytes));
  else
    std::snprintf(text, sizeof text, "%.1fG", megabytes / 1000);
  return text;
}

}  // namespace

std::string ProgressLine(std::string_view stage, std::string_view file, double part, std::string_view rate,
                         std::string_view amounts) {
  part = part < 0 ? 0 : part > 1 ? 1 : part;
  const int length = amounts.empty() ? 20 : 10;
  std::string bar = "[";
  const int filled = int(part * length);
  for (int i = 0; i < length; ++i) bar += i < filled ? '#' : '.';
  bar += ']';
  if (!amounts.empty()) {
    bar += " " + std::string(amounts.substr(0, AmountColumns));
    bar.resize(size_t(length) + 3 + AmountColumns, ' ');
  }
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

std::string LoadAmounts(int64_t storedBytes, int64_t textBytes, bool compressed, bool stream) {
  if (compressed) return ShortAmount(storedBytes) + "->" + ShortAmount(textBytes);
  return stream ? ShortAmount(textBytes) : std::string();
}
