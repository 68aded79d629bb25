#include "dialogs/renaming.h"

#include <algorithm>

namespace {

// The tag positions of a kind in the normalised tag list.
std::vector<size_t> Positions(RenameKind kind) {
  switch (kind) {
    case RenameKind::Tournament:
      return {EventSlot};
    case RenameKind::Site:
      return {SiteSlot};
    default:
      return {WhiteSlot, BlackSlot};
  }
}

}  // namespace

std::vector<std::string> RenameCandidates(const TGames& games, RenameKind kind, bool withoutEmpty) {
  std::vector<std::string> values;
  for (const TGame& game : games)
    for (size_t position : Positions(kind))
      if (position < game.tags.size()) values.emplace_back(game.tags[position].value);
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  if (withoutEmpty) values.erase(std::remove(values.begin(), values.end(), std::string()), values.end());
  return values;
}

int RenameNames(TGames& games, RenameKind kind, const std::string& oldName, const std::string& newName) {
  if (newName.empty()) return -1;
  int count = 0;
  for (TGame& game : games)
    for (size_t position : Positions(kind))
      if (position < game.tags.size() && game.tags[position].value == oldName) {
        game.tags.SetValue(position, newName);
        ++count;
      }
  return count;
}

std::string RenameMessage(int count) {
  if (count > 0) return "Renaming is finished. " + std::to_string(count) + " names is changed.";
  return "Renaming is finished. No matches are found.";
}
