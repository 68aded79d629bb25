// Games formatted a block at a time: a block stops at its share of text, and the blocks one after
// the other give the very text one block of every game gives.
#include "job/formatted_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "chess/packed_game.h"
#include "pgn/game_reader.h"
#include "pgn/read_codes.h"
#include "tests/support/temp_dir.h"

namespace {

// The annotated matches, every other game kept packed as a budget keeps it.
TGames AnnotatedGames() {
  const std::string text =
      TempDir::Read(std::filesystem::path(PGN_SHARED_DATA) / "pgn" / "annotated" / "world_matches.pgn");
  TGames games;
  ReadOptions options;
  options.summarise = true;
  EXPECT_EQ(ReadGames(text, games, options), ReadOk);
  for (size_t i = 0; i < games.size(); i += 2) {
    games[i].packed = PackedGame(*games[i].game);
    games[i].game.reset();
  }
  return games;
}

// The text of positions `order` formatted in blocks of `textBytes`, and the blocks' sizes.
std::string FormatInBlocks(TGames& games, const std::vector<int32_t>& order, int64_t textBytes,
                           std::vector<size_t>& blockSizes) {
  FormattedBlock block(textBytes);
  std::string text;
  for (size_t p = 0; p < order.size(); p = block.End()) {
    block.Format(games, order, p, TProcessingOptions(), OutputForm());
    blockSizes.push_back(block.End() - p);
    for (size_t q = p; q < block.End(); ++q) {
      EXPECT_TRUE(block.Holds(q)) << q;
      text += block.Text(q);
    }
  }
  return text;
}

TEST(FormattedBlock, ABlockStopsAtItsShareOfTextAndTheBlocksWriteTheSame) {
  TGames games = AnnotatedGames();
  ASSERT_GT(games.size(), 20u);
  std::vector<int32_t> order;
  for (size_t i = games.size(); i-- > 0;) order.push_back(int32_t(i));  // not the list's order
  int64_t longest = 0;
  for (const TGame& game : games) longest = std::max(longest, game.sourceLength);

  std::vector<size_t> whole;
  const std::string once = FormatInBlocks(games, order, INT64_MAX, whole);
  ASSERT_EQ(whole, std::vector<size_t>{games.size()});
  EXPECT_NE(once.find("{"), std::string::npos);  // comments written from records and packed games

  const int64_t share = 3 * longest;
  std::vector<size_t> small;
  EXPECT_EQ(FormatInBlocks(games, order, share, small), once);
  EXPECT_GT(small.size(), 2u);
  // A block takes games while its text is short of the share: one game past it at most, and
  // (but for the last block) not one game short of it.
  size_t from = 0;
  for (size_t b = 0; b < small.size(); ++b) {
    int64_t before = 0;  // the text of the block's games but its last
    for (size_t q = from; q + 1 < from + small[b]; ++q) before += games[size_t(order[q])].sourceLength;
    const int64_t all = before + games[size_t(order[from + small[b] - 1])].sourceLength;
    EXPECT_LT(before, share) << b;
    if (b + 1 < small.size()) {
      EXPECT_GE(all, share) << b;
    }
    from += small[b];
  }

  // A share smaller than any game still moves on, one game a block.
  std::vector<size_t> single;
  EXPECT_EQ(FormatInBlocks(games, order, 1, single), once);
  EXPECT_EQ(single, std::vector<size_t>(games.size(), 1));
}

}  // namespace
