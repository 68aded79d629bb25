#include "pgn/pgn_types.h"

std::string LowerFold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = char(FoldByte(static_cast<unsigned char>(c)));
  return folded;
}

bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldByte(static_cast<unsigned char>(a[i])) != FoldByte(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool NamesChess960(std::string_view variant) {
  return FoldedEqual(variant, "chess960") || FoldedEqual(variant, "fischerandom") ||
         FoldedEqual(variant, "fischerrandom") || FoldedEqual(variant, "chess 960");
}

std::string_view TagAt(const TGamesTagArray& tags, TagSlot slot) {
  return slot < tags.size() ? tags[slot].value : std::string_view();
}

std::string_view TagNamed(const TGamesTagArray& tags, std::string_view name) {
  for (const TagView tag : tags)
    if (FoldedEqual(tag.name, name)) return tag.value;
  return {};
}
