#include "host/host_games.h"

void HostGames::Copy(const jurnal& record, Line& into) {
  into.leadingComment = record.startcomment;
  into.secondComment = record.hostcomment;
  into.moves.resize(record.moves.size());
  for (size_t i = 0; i < record.moves.size(); ++i) {
    const mov& m = record.moves[i];
    Move& move = into.moves[i];
    move.view = HostMove{};
    move.view.piece = m.piece;
    move.view.fromfile = m.fromfile;
    move.view.fromrank = m.fromrank;
    move.view.tofile = m.tofile;
    move.view.torank = m.torank;
    move.view.extra = m.extra;
    move.view.captured = m.captured;
    move.view.flags = m.flags;
    move.view.nag = m.nag;
    move.san = m.san;
    move.comment = m.comment;
    for (const jurnal* variation : m.variations) {
      auto child = std::make_unique<Line>();
      child->parent = &into;
      child->branch = int32_t(i);
      // The variation starts where the move it replaces would be played.
      const bool blackThere = into.blackFirst != (i % 2 == 1);
      child->blackFirst = blackThere;
      child->startNumber = into.startNumber + int32_t((i + (into.blackFirst ? 1 : 0)) / 2);
      Copy(*variation, *child);
      move.variationIds.push_back(child.get());
      move.variations.push_back(std::move(child));
    }
  }
}

int32_t HostGames::Add(const jurnal* game, Tags tags, std::u16string path, int32_t position, int32_t length) {
  auto entry = std::make_unique<Game>();
  if (game) {
    entry->main = std::make_unique<Line>();
    entry->main->blackFirst = game->blackfirst;
    entry->main->startNumber = game->movesbefore + 1;
    Copy(*game, *entry->main);
    entry->result = game->result;
  }
  entry->tags = std::move(tags);
  entry->path = std::move(path);
  entry->position = position;
  entry->length = length;
  games.push_back(std::move(entry));
  order.push_back(int32_t(games.size()) - 1);
  if (currentRow < 0) SelectGame(0);
  return int32_t(games.size()) - 1;
}

void HostGames::SelectGame(int32_t row) {
  if (row < 0 || row >= int32_t(games.size())) return;
  currentRow = row;
  line = games[size_t(row)]->main.get();
  shown = 0;
}

int32_t HostGames::MoveCount() const { return line ? int32_t(line->moves.size()) : 0; }

const HostMove* HostGames::MoveAt(int32_t index) {
  if (!line || index < 0 || index >= int32_t(line->moves.size())) return nullptr;
  Move& move = line->moves[size_t(index)];
  move.view.san = move.san.c_str();
  move.view.comment = move.comment.c_str();
  move.view.variations = move.variationIds.empty() ? nullptr : move.variationIds.data();
  move.view.variationCount = int32_t(move.variationIds.size());
  return &move.view;
}

void HostGames::ShowMove(int32_t index) {
  if (!line) return;
  if (index < 0) index = 0;
  if (index > int32_t(line->moves.size())) index = int32_t(line->moves.size());
  shown = index;
}

void HostGames::EnterVariation(int32_t oneBasedIndex) {
  if (!line || shown >= int32_t(line->moves.size())) return;
  Move& move = line->moves[size_t(shown)];
  if (oneBasedIndex < 1 || oneBasedIndex > int32_t(move.variations.size())) return;
  line = move.variations[size_t(oneBasedIndex) - 1].get();
  shown = 0;
}

void HostGames::LeaveVariation() {
  if (!line || !line->parent) return;
  shown = line->branch;
  line = line->parent;
}

bool HostGames::InVariation() const { return line && line->parent; }

int32_t HostGames::LineDepth() const {
  int32_t depth = 0;
  for (const Line* l = line; l && l->parent; l = l->parent) ++depth;
  return depth;
}

int32_t HostGames::PlyNumber() const {
  if (!line) return 1;
  return line->startNumber + (shown + (line->blackFirst ? 1 : 0)) / 2;
}

std::string HostGames::ResultText() const {
  return currentRow >= 0 ? games[size_t(currentRow)]->result : std::string("*");
}

std::string HostGames::LineComment(int32_t flag) const {
  if (!line) return {};
  return flag == 1 ? line->leadingComment : line->secondComment;
}

HostGameArray HostGames::ListedGames() {
  entries.clear();
  for (const auto& game : games) {
    game->tagViews.clear();
    for (const auto& [name, value] : game->tags) game->tagViews.push_back(HostTag{name.c_str(), value.c_str()});
    HostGameEntry entry{};
    entry.game = game->main.get();
    entry.tags = game->tagViews.data();
    entry.tagCount = int32_t(game->tagViews.size());
    entry.path = game->path.empty() ? nullptr : reinterpret_cast<const uint16_t*>(game->path.c_str());
    entry.position = game->position;
    entry.length = game->length;
    entries.push_back(entry);
  }
  return HostGameArray{entries.data(), int32_t(entries.size())};
}

HostIndexArray HostGames::DisplayOrder() { return HostIndexArray{order.data(), int32_t(order.size())}; }
