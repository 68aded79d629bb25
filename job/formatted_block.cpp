#include "job/formatted_block.h"

#include <algorithm>
#include <thread>

#include "pgn/eco_tags.h"
#include "pgn/entry_prefetch.h"
#include "pgn/game_formats.h"

namespace {

// Fewer games than this are formatted by the calling thread alone: a thread costs more.
constexpr size_t SharedFrom = 32;

}  // namespace

void FormattedBlock::Format(TGames& entries, const std::vector<int32_t>& order, size_t from,
                            const TProcessingOptions& options, const OutputForm& form, const OpeningNames* openings,
                            int64_t numberBase) {
  start = from;
  const size_t furthest = std::min(order.size(), from + Positions);
  std::vector<size_t> loaded;  // positions whose game is in memory
  int64_t textBytes = 0;
  size_t end = from;
  for (; end < furthest && textBytes < blockTextBytes; ++end) {
    PrefetchEntries(entries, order, end);
    const int32_t index = order[end];
    if (index < 0 || size_t(index) >= entries.size()) continue;
    const TGame& entry = entries[size_t(index)];
    if (!entry.game && entry.packed.empty()) continue;
    if (options.splitEcoLevel != EcoSplit::None && end > from) EcoCode(entries[size_t(index)]);
    loaded.push_back(end);
    textBytes += std::max<int64_t>(0, entry.sourceLength);
  }
  pieces.assign(end - from, Piece{});
  auto formatRange = [&](uint8_t half, size_t first, size_t last) {
    OutputBuffer& text = texts[half];
    text.Clear();
    for (size_t k = first; k < last; ++k) {
      const size_t p = loaded[k];
      PrefetchEntries(entries, order, p);
      Piece& piece = pieces[p - from];
      piece.half = half;
      piece.offset = text.Size();
      const TGame& entry = entries[size_t(order[p])];
      const int64_t number = numberBase + int64_t(order[p]) + 1;  // its place in the list, as inspect counts
      if (entry.game) {
        WriteGameAs(entry, entry.game.get(), number, text, options, form, openings);
      } else if (!WritePackedGameAs(entry, text, options, form, openings)) {
        // Unpacked here, on the formatting thread, and gone once written.
        const std::unique_ptr<jurnal> game = entry.packed.Unpack();
        WriteGameAs(entry, game.get(), number, text, options, form, openings);
      }
      piece.length = text.Size() - piece.offset;
      piece.formatted = true;
    }
  };
  if (loaded.size() < SharedFrom) {
    texts[1].Clear();
    formatRange(0, 0, loaded.size());
    return;
  }
  const size_t middle = loaded.size() / 2;
  std::thread helper(formatRange, uint8_t(1), middle, loaded.size());
  formatRange(0, 0, middle);
  helper.join();
}
