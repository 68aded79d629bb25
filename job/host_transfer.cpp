#include "job/host_transfer.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chess/jurnal.h"
#include "pgn/eco_tags.h"

namespace {

// Where the host stands in its current game: the current row, and from the innermost line
// outwards each line with the index of its shown move.
struct HostPosition {
  int32_t row = -1;
  std::vector<std::pair<HostLineId, int32_t>> lines;
};

HostPosition Remember(Host& host) {
  HostPosition p;
  p.lines.emplace_back(host.CurrentLine(), host.CurrentMove());
  while (host.InVariation()) {
    host.ShowMove(0);
    host.LeaveVariation();
    p.lines.emplace_back(host.CurrentLine(), host.CurrentMove());
  }
  p.row = host.CurrentRow();
  return p;
}

// Back to the remembered game and, from the main line inwards, to each line and move.
void Restore(Host& host, const HostPosition& p) {
  host.SelectGame(p.row);
  for (size_t k = p.lines.size(); k-- > 0;) {
    host.ShowMove(p.lines[k].second);
    if (k == 0) break;
    const HostMove* move = host.MoveAt(p.lines[k].second);
    if (!move) break;
    const HostLineId inner = p.lines[k - 1].first;
    bool entered = false;
    for (int32_t j = 0; j < move->variationCount && !entered; ++j)
      if (move->variations[j] == inner) {
        host.EnterVariation(j + 1);
        entered = true;
      }
    if (!entered) break;
  }
}

bool EcoInForce(const TProcessingOptions& o) {
  return o.addEcoNames || o.splitEcoLevel != EcoSplit::None || !o.ecoOpening.empty();
}

// A new entry from a host entry: its tags, its file and place, no game; the FEN it starts from.
TGame EntryOf(const HostGameEntry& host, std::string& fen) {
  TGame entry;
  fen.clear();
  TagPairs pairs;
  for (int32_t t = 0; t < host.tagCount; ++t) {
    const HostTag& tag = host.tags[t];
    TPGNTag copy{tag.name ? tag.name : "", tag.value ? tag.value : ""};
    if (LowerFold(copy.name) == "fen") fen = copy.value;
    pairs.push_back(std::move(copy));
  }
  entry.tags.Assign(pairs);
  if (host.path) entry.sourcePath = std::filesystem::path(std::u16string(reinterpret_cast<const char16_t*>(host.path)));
  entry.sourcePosition = host.position;
  entry.sourceLength = host.length;
  return entry;
}

// The host's game at a row, read through its navigation into a record starting where its FEN
// says (or from the initial position). Null when the FEN cannot be read.
std::unique_ptr<jurnal> GameAt(Host& host, int32_t row, const std::string& fen) {
  std::unique_ptr<jurnal> record;
  if (fen.empty()) {
    record = std::make_unique<jurnal>(nullptr, nullptr);
  } else {
    int position = 1, error = 0;
    record = jurnal::fromfen(fen, position, error);
    if (error) return nullptr;
  }
  doska board;
  if (record->ownboard) board.assign(*record->ownboard);
  record->setboard(&board);
  record->current = 0;
  host.SelectGame(row);
  record->fromhost(host);
  record->setboard(nullptr);
  return record;
}

void TagEco(TGame& entry, const TProcessingOptions& options) {
  if (EcoInForce(options)) RefreshEcoTag(entry, options.removeOldEcoTags);
}

}  // namespace

TGames TransferAllFromHost(Host& host, const TProcessingOptions& options) {
  HostLockGuard lock;
  const HostGameArray list = host.ListedGames();
  const HostIndexArray order = host.DisplayOrder();
  const HostPosition position = Remember(host);
  TGames fresh(size_t(list.count > 0 ? list.count : 0));
  std::vector<std::string> fens(fresh.size());
  for (size_t i = 0; i < fresh.size(); ++i) fresh[i] = EntryOf(list.items[i], fens[i]);
  const bool buildAll = EcoInForce(options) || options.removeDuplicates;
  for (int32_t r = 0; r < order.count; ++r) {
    const int32_t i = order.items[r];
    if (i < 0 || i >= int32_t(fresh.size())) continue;
    if (!list.items[i].game && !buildAll) continue;
    fresh[size_t(i)].game = GameAt(host, r, fens[size_t(i)]);
    TagEco(fresh[size_t(i)], options);
  }
  Restore(host, position);
  return fresh;
}

TGames TransferCurrentFromHost(Host& host, const TProcessingOptions& options) {
  HostLockGuard lock;
  const HostGameArray list = host.ListedGames();
  const int32_t c = host.CurrentRow();
  if (c < 0 || c >= list.count) return {};
  const HostPosition position = Remember(host);
  TGames fresh(1);
  std::string fen;
  fresh[0] = EntryOf(list.items[c], fen);
  if (list.items[c].game) fresh[0].game = GameAt(host, c, fen);
  TagEco(fresh[0], options);
  Restore(host, position);
  return fresh;
}
