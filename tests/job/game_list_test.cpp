// Duplicate keys, their sort and search, the duplicate pass over the game list, and compaction.
#include "job/game_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "pgn/game_reader.h"
#include "pgn/memory_budget.h"
#include "tests/support/temp_dir.h"

namespace {

TGames Read(const std::string& text) {
  TGames games;
  ReadOptions options;
  ReadGames(text, games, options);
  return games;
}

THash KeyOf(const std::string& text) {
  TGames games = Read(text);
  EXPECT_EQ(games.size(), 1u) << text;
  return KeyOfGame(*games[0].game, 0);
}

TEST(DuplicateKeys, IgnoreTagsCommentsVariationsAndMoveOrder) {
  const THash a = KeyOf("[White \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 *");
  EXPECT_TRUE(SameKey(a, KeyOf("[White \"B\"]\n\n1. e4 {x} e5 (1... c5) 2. Nf3 $1 Nc6 1-0")));
  EXPECT_TRUE(SameKey(a, KeyOf("[Event \"t\"]\n\n1. Nf3 Nc6 2. e4 e5 *")));  // a transposition
  EXPECT_FALSE(SameKey(a, KeyOf("[Event \"t\"]\n\n1. e4 e5 2. Nf3 Nf6 *")));
  EXPECT_TRUE(SameKey(KeyOf("[Event \"1\"]\n\n*"), KeyOf("[Event \"2\"]\n\n*")));
}

TEST(DuplicateKeys, StartPositionAndLengthCount) {
  const std::string moves = "\n\n1. Nf3 Nf6 2. Ng1 Ng8 *";
  EXPECT_FALSE(
      SameKey(KeyOf("[Event \"t\"]" + moves),
              KeyOf("[SetUp \"1\"]\n[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1\"]" + moves)));
  // Knight shuffles cancel in the exclusive-or, but not in the length.
  const THash shuffled = KeyOf("[Event \"t\"]\n\n1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. e4 e5 *");
  const THash plain = KeyOf("[Event \"t\"]\n\n1. e4 e5 *");
  EXPECT_EQ(shuffled.movesKey, plain.movesKey);
  EXPECT_FALSE(SameKey(shuffled, plain));
}

TEST(KeySort, OrdersAsTheKeysCompareAndFindsEachKey) {
  std::mt19937_64 rng(11);
  for (int round = 0; round < 50; ++round) {
    THashes keys(size_t(rng() % 300));
    for (size_t i = 0; i < keys.size(); ++i) {
      keys[i].movesKey = rng() % 40;  // many equal keys
      keys[i].startKey = rng() % 3;
      keys[i].plies = int32_t(rng() % 2);
      keys[i].entryIndex = int32_t(i);
      keys[i].keyed = true;
    }
    const THashes sorted = SortedKeys(keys);
    ASSERT_EQ(sorted.size(), keys.size());
    for (size_t i = 1; i < sorted.size(); ++i) ASSERT_LE(CompareKeys(sorted[i - 1], sorted[i]), 0);
    for (const THash& key : keys) {
      const int32_t found = FindKey(sorted, key);
      ASSERT_GE(found, 0);
      EXPECT_TRUE(SameKey(sorted[size_t(found)], key));
    }
    THash absent;
    absent.movesKey = 1000;
    EXPECT_EQ(FindKey(sorted, absent), -1);
  }
  // Already sorted input of many records does not recurse deeply.
  THashes many(20000);
  for (size_t i = 0; i < many.size(); ++i) many[i].movesKey = i;
  EXPECT_EQ(SortedKeys(many).size(), many.size());
}

TGameList ListOf(const std::string& text) {
  TGameList list;
  list.entries = Read(text);
  for (size_t i = 0; i < list.entries.size(); ++i) {
    list.displayOrder.push_back(int32_t(i));
    list.highlight.push_back(false);
  }
  return list;
}

TEST(DuplicatePass, ThreeEqualGamesLeaveOne) {
  TGameList list = ListOf(
      "[Event \"1\"]\n\n1. e4 e5 *\n[Event \"2\"]\n\n1. d4 *\n[Event \"3\"]\n\n1. e4 e5 *\n[Event \"4\"]\n\n1. e4 e5 "
      "*\n");
  list.currentRow = 3;
  RefreshAndRemoveDuplicates(list);
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.keys.size(), 2u);
  EXPECT_EQ(list.displayOrder, (TIndexArray{0, 1}));
  EXPECT_EQ(list.highlight.size(), 2u);
  EXPECT_EQ(list.entries[0].tags[0].value == "2" || list.entries[1].tags[0].value == "2", true);
  EXPECT_EQ(list.currentRow, 1);
  // Nothing to do once every entry has its key.
  RefreshAndRemoveDuplicates(list);
  EXPECT_EQ(list.entries.size(), 2u);
}

// A game let go from memory was loaded: it is keyed by its summary and dropped like any other.
TEST(DuplicatePass, GamesLetGoAreKeyedFromTheirSummaryAndDropped) {
  TGameList list = ListOf("[Event \"1\"]\n\n1. e4 e5 *\n[Event \"2\"]\n\n1. e4 e5 *\n[Event \"3\"]\n\n1. c4 *\n");
  for (TGame& entry : list.entries) {
    entry.sourcePath = std::filesystem::path("games.pgn");  // never read: the summaries suffice
    LetGo(entry);
  }
  RefreshAndRemoveDuplicates(list);
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_TRUE(list.keys[0].keyed && list.keys[1].keyed);
  EXPECT_EQ(list.entries[1].tags[0].value, "3");
}

TEST(DuplicatePass, EntriesNotLoadedAreKeyedFromTheirSourceAndNeverDropped) {
  TempDir dir;
  const std::string text = "[Event \"1\"]\n\n1. e4 e5 *\n\n[Event \"2\"]\n\n1. e4 e5 *\n\n[Event \"3\"]\n\n1. c4 *\n";
  TempDir::Write(dir / "games.pgn", text);
  TGameList list = ListOf(text);
  for (TGame& entry : list.entries) entry.sourcePath = dir / "games.pgn";
  list.entries[0].game.reset();  // not loaded yet: keyed by reading it again
  RefreshAndRemoveDuplicates(list);
  ASSERT_EQ(list.entries.size(), 2u);  // game 2 went; the entry not loaded stays
  EXPECT_FALSE(list.entries[0].game);
  EXPECT_EQ(list.entries[0].tags[0].value, "1");
  EXPECT_EQ(list.entries[1].tags[0].value, "3");
  EXPECT_TRUE(list.keys[0].keyed);

  // An entry that cannot be read stays unkeyed and is neither dropped nor drops another.
  TGameList second = ListOf(text);
  for (TGame& entry : second.entries) entry.sourcePath = dir / "missing.pgn";
  second.entries[0].game.reset();
  RefreshAndRemoveDuplicates(second);
  EXPECT_EQ(second.entries.size(), 3u);
  EXPECT_FALSE(second.keys[0].keyed);
}

TEST(Compaction, KeepsRowsFlagsAndCurrentRowInStep) {
  TGameList list = ListOf("[Event \"a\"]\n\n*\n[Event \"b\"]\n\n*\n[Event \"c\"]\n\n*\n[Event \"d\"]\n\n*\n");
  list.displayOrder = {3, 1, 0, 2};
  list.highlight = {false, true, false, true};
  list.currentRow = 2;  // the row of entry 0
  list.dropped = {false, true, false, false};
  CompactGameList(list);
  ASSERT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(list.entries[1].tags[0].value, "c");
  EXPECT_EQ(list.displayOrder, (TIndexArray{2, 0, 1}));
  EXPECT_EQ(list.highlight, (TBoolArray{false, false, true}));
  EXPECT_EQ(list.currentRow, 1);
  EXPECT_TRUE(list.keys.empty());
}

}  // namespace
