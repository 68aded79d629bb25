// Games let go past the memory budget: what their summaries keep, what the budget counts, and
// reading them back from their files.
#include "pgn/memory_budget.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "chess/eco.h"
#include "pgn/duplicates.h"
#include "pgn/eco_tags.h"
#include "pgn/game_reader.h"
#include "pgn/pgn_reader.h"
#include "tests/support/eco_table.h"
#include "tests/support/shared_data.h"

namespace {

const char* const ThreeGames =
    "[Event \"a\"]\n\n1. e4 d5 2. exd5 Qxd5 *\n\n"
    "[Event \"b\"]\n\n1. e4 {a comment long enough to need its own allocation} e5 (1... c5 2. Nf3) 2. Nf3 *\n\n"
    "[Event \"c\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n\n1. e4 Kd7 *\n";

TGames Read(const std::string& text, MemoryBudget* budget = nullptr, const std::filesystem::path& source = {}) {
  TGames games;
  ReadOptions options;
  options.budget = budget;
  options.sourcePath = source;
  ReadGames(text, games, options);
  return games;
}

class Budget : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteEcoTableFile(dir / "ecos.dat", {{KeyAfterE4, "B00"}, {KeyAfterE4D5, "B01"}});
    SetEcoTableSource(dir / "ecos.dat");
  }
  void TearDown() override { SetEcoTableSource(dir / "none.dat"); }
  TempDir dir;
};

TEST_F(Budget, ASummaryKeepsWhatSortingFilteringAndKeyingNeed) {
  TGames kept = Read(ThreeGames);
  TGames letGo = Read(ThreeGames);
  ASSERT_EQ(kept.size(), 3u);
  for (size_t i = 0; i < kept.size(); ++i) {
    SCOPED_TRACE(i);
    LetGo(letGo[i]);
    EXPECT_EQ(letGo[i].game, nullptr);
    ASSERT_TRUE(letGo[i].summary.known);
    const THash key = KeyOfGame(*kept[i].game, 0);
    EXPECT_EQ(letGo[i].summary.plies, key.plies);
    EXPECT_EQ(letGo[i].summary.startKey, key.startKey);
    EXPECT_EQ(letGo[i].summary.movesKey, key.movesKey);
    EXPECT_EQ(std::string(letGo[i].summary.eco), EcoCodeOfMoves(*kept[i].game));
    EXPECT_EQ(letGo[i].tags.size(), kept[i].tags.size());  // the tags stay
  }
  EXPECT_STREQ(letGo[0].summary.eco, "B01");  // the position after 1. e4 d5 is the last one known
  EXPECT_STREQ(letGo[2].summary.eco, "");     // a set-up position the table does not know
  // The ECO tag of an entry let go comes from its summary.
  EXPECT_EQ(RefreshEcoTag(letGo[1], true), "B00");
}

// Summaries made while reading take the ECO code found as the main line went by and the keys
// added up as its moves went in; they must be what a replay of the record finds, whatever the
// variations, null moves and set-ups.
TEST_F(Budget, TheCodeAndKeysFoundWhileReadingAreTheReplays) {
  auto sameKeys = [](const TGame& game) {
    uint64_t startKey = 0, movesKey = 0;
    game.game->gamekeys(startKey, movesKey);
    return game.summary.startKey == startKey && game.summary.movesKey == movesKey;
  };
  auto summaries = [](const std::string& text) {
    TGames games;
    ReadOptions options;
    options.summarise = true;
    ReadGames(text, games, options);
    return games;
  };
  const std::string text =
      "[Event \"variation only\"]\n\n1. d4 (1. e4 d5) 1... d5 *\n\n"
      "[Event \"main line\"]\n\n1. e4 (1. d4) 1... d5 (1... e5) 2. exd5 *\n\n"
      "[Event \"null move\"]\n\n1. e4 -- 2. d4 *\n\n"
      "[Event \"null variation\"]\n\n1. e4 -- (1... d5) 2. d4 *\n\n"
      "[Event \"variations deep\"]\n\n1. e4 e5 (1... c5 2. Nf3 (2. c3 d5) 2... d6) 2. Nf3 Nc6 (2... d6 3. d4) 3. Bb5 "
      "*\n\n"
      "[Event \"set up\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n\n1. e4 Kd7 *\n";
  TGames games = summaries(text);
  ASSERT_EQ(games.size(), 6u);
  for (TGame& game : games) {
    SCOPED_TRACE(game.tags[0].value);
    ASSERT_TRUE(game.summary.known);
    EXPECT_EQ(std::string(game.summary.eco), EcoCodeOfMoves(*game.game));
    EXPECT_TRUE(sameKeys(game));
  }
  EXPECT_STREQ(games[0].summary.eco, "");
  EXPECT_STREQ(games[1].summary.eco, "B01");

  // And for every game of real collections, with the real table.
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  const std::filesystem::path data = PGN_SHARED_DATA "/pgn";
  PGN_SKIP_WITHOUT_SHARED(data);
  size_t checked = 0, coded = 0;
  for (const char* name :
       {"otb/Morphy.pgn", "annotated/variations.pgn", "annotated/dortmund.pgn", "online/twic1599-slice.pgn"}) {
    std::ifstream in(data / name, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (TGame& game : summaries(file)) {
      ASSERT_EQ(std::string(game.summary.eco), EcoCodeOfMoves(*game.game)) << name << " " << checked;
      ASSERT_TRUE(sameKeys(game)) << name << " " << checked;
      ++checked;
      if (game.summary.eco[0]) ++coded;
    }
  }
  EXPECT_GT(checked, 1000u);
  EXPECT_GT(coded, checked * 9 / 10);
}

// A reader that needs no ECO code while reading keeps a plain main line's moves only packed; a
// game the budget then lets go must still keep its code, its length and its keys, as a game
// read whole gives them.
TEST_F(Budget, AGameKeptOnlyPackedAndLetGoKeepsItsSummary) {
  const std::string text =
      "[Event \"plain with comments\"]\n\n1. e4 {[%clk 0:05:00]} 1... d5 {[%clk 0:05:00]} 2. exd5 {x} Qxd5 *\n\n"
      "[Event \"plain\"]\n\n1. e4 e5 2. Nf3 *\n\n"
      "[Event \"a variation\"]\n\n1. e4 (1. d4) 1... d5 *\n";
  const TGames whole = Read(text);
  for (const bool findEco : {false, true}) {
    SCOPED_TRACE(findEco);
    MemoryBudget none;
    none.limit = 0;
    TGames games;
    ReadOptions options;
    options.budget = &none;
    options.summarise = true;
    options.findEco = findEco;
    ReadGames(text, games, options);
    ASSERT_EQ(games.size(), whole.size());
    for (size_t i = 0; i < games.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_TRUE(games[i].packed.empty());
      EXPECT_EQ(games[i].game, nullptr);
      const THash key = KeyOfGame(*whole[i].game, 0);
      EXPECT_EQ(games[i].summary.plies, key.plies);
      EXPECT_EQ(games[i].summary.startKey, key.startKey);
      EXPECT_EQ(games[i].summary.movesKey, key.movesKey);
      EXPECT_TRUE(games[i].summary.ecoKnown);
      EXPECT_EQ(std::string(games[i].summary.eco), EcoCodeOfMoves(*whole[i].game));
    }
    EXPECT_STREQ(games[0].summary.eco, "B01");
  }
}

TEST_F(Budget, ALongGameAKeptGameDuplicatesIsLetGoUnpackedAndKeepsItsSummary) {
  // The online game's clock comments make its packed line long; the short game stays short.
  std::string clocks;
  for (int move = 1; move <= 40; ++move)
    clocks += std::to_string(move) + (move % 2 ? ". Nf3" : ". Ng1") + " {[%eval 0.17] [%clk 0:15:34]} " +
              (move % 2 ? "Nf6" : "Ng8") + " {[%eval 0.2] [%clk 0:15:30]} ";
  const std::string text = "[Event \"long\"]\n\n" + clocks + "*\n\n[Event \"short\"]\n\n1. e4 e5 *\n\n";
  const TGames whole = Read(text);
  ASSERT_EQ(whole.size(), 2u);
  KeptKeys kept;
  for (const TGame& game : whole) kept.Add(KeyOfGame(*game.game, 0));
  for (const bool eachKept : {false, true}) {
    SCOPED_TRACE(eachKept);
    MemoryBudget budget;
    TGames games;
    ReadOptions options;
    options.budget = &budget;
    options.summarise = true;
    options.keptKeys = eachKept ? &kept : nullptr;
    ReadGames(text, games, options);
    ASSERT_EQ(games.size(), 2u);
    // The long duplicate: not packed, nothing counted, its summary whole (keys and ECO code).
    EXPECT_EQ(games[0].packed.empty(), eachKept);
    EXPECT_EQ(games[0].game, nullptr);
    const THash key = KeyOfGame(*whole[0].game, 0);
    EXPECT_EQ(games[0].summary.movesKey, key.movesKey);
    EXPECT_EQ(games[0].summary.plies, key.plies);
    EXPECT_TRUE(games[0].summary.ecoKnown);
    // A short game is packed whatever the keys say: a look-up would cost more than its copy.
    EXPECT_FALSE(games[1].packed.empty());
    EXPECT_EQ(budget.used,
              int64_t(games[1].packed.MemoryBytes()) + (eachKept ? 0 : int64_t(games[0].packed.MemoryBytes())));
  }
  // A game whose key was not kept is packed as ever.
  KeptKeys other;
  other.Add(KeyOfGame(*whole[1].game, 0));
  MemoryBudget budget;
  TGames games;
  ReadOptions options;
  options.budget = &budget;
  options.summarise = true;
  options.keptKeys = &other;
  ReadGames(text, games, options);
  ASSERT_EQ(games.size(), 2u);
  EXPECT_FALSE(games[0].packed.empty());
}

// Where addresses are wide the default follows the machine (an eighth of its memory) between the
// plug-in's budget and 16 GiB; a 32-bit process, or a machine that cannot be asked, keeps the
// plug-in's.
TEST(WideDefaultBudget, AnEighthOfTheMachineWithinBounds) {
  constexpr int64_t GiB = int64_t(1) << 30;
  EXPECT_EQ(WideDefaultBudget(24 * GiB, true), 3 * GiB);
  EXPECT_EQ(WideDefaultBudget(2 * GiB, true), MemoryBudget::DefaultLimit);
  EXPECT_EQ(WideDefaultBudget(512 * GiB, true), 16 * GiB);
  EXPECT_EQ(WideDefaultBudget(24 * GiB, false), MemoryBudget::DefaultLimit);
  EXPECT_EQ(WideDefaultBudget(0, true), MemoryBudget::DefaultLimit);
  EXPECT_EQ(WideDefaultBudget(-1, true), MemoryBudget::DefaultLimit);
}

TEST_F(Budget, GamesStayUntilTheBudgetIsSpentAndTheRestAreLetGo) {
  const TGames all = Read(ThreeGames);
  // Comments and variations are counted: the second game holds both and costs more, parsed and
  // packed; packed, a game costs a fraction of its parsed record.
  EXPECT_GT(GameMemoryCost(*all[1].game), GameMemoryCost(*all[0].game));
  EXPECT_GT(GameMemoryCost(*all[0].game), int64_t(4 * sizeof(mov)));
  const int64_t first = int64_t(PackedGame(*all[0].game).MemoryBytes());
  const int64_t second = int64_t(PackedGame(*all[1].game).MemoryBytes());
  EXPECT_GT(second, first);
  EXPECT_LT(2 * first, GameMemoryCost(*all[0].game));
  MemoryBudget budget;
  budget.limit = first + second;
  TGames games = Read(ThreeGames, &budget);
  ASSERT_EQ(games.size(), 3u);
  for (const TGame& game : games) {
    EXPECT_EQ(game.game, nullptr);  // kept packed, or let go
    EXPECT_TRUE(game.summary.known);
  }
  EXPECT_FALSE(games[0].packed.empty());
  EXPECT_FALSE(games[1].packed.empty());
  EXPECT_TRUE(games[2].packed.empty());
  EXPECT_EQ(budget.used, first + second);
  EXPECT_EQ(ReadGameAgain(games[1])->moves[0].comment.view(), all[1].game->moves[0].comment.view());
  // Without a budget nothing is let go.
  for (const TGame& game : Read(ThreeGames)) EXPECT_NE(game.game, nullptr);
}

// Games packed as they are read keep no SAN texts before packing, only what packing keeps:
// unpacked, every text, comment and variation is the one a plain read gives, and a mate still
// proves the result.
TEST_F(Budget, GamesPackedAsTheyAreReadUnpackAsReadWhole) {
  const std::string text =
      "[Event \"a\"]\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bc4 Nd4 4. Nxe5 Qg5 5. Nxf7 Qxg2 6. Rf1 Qxe4+ 7. Be2 "
      "Nf3# *\n\n"
      "[Event \"b\"]\n\n1. Nf3 Nf6 2. Nc3 Nc6 3. Nb5 Nb4 4. Nbd4 Nbd5 5. Ne5 {here} (5. e4 Nxe4 $1) 5... d6 1-0\n\n"
      "[Event \"c\"]\n[SetUp \"1\"]\n[FEN \"7k/1P6/8/8/8/8/6r1/K7 w - - 0 1\"]\n\n"
      "1. b8=Q+ Rg8 2. Qxg8+!? Kxg8 1/2-1/2\n\n"
      "[Event \"d\"]\n[Result \"1-0\"]\n\n1. f3 e5 2. g4 Qh4# 0-1\n";
  const TGames whole = Read(text);
  MemoryBudget budget;
  const TGames packed = Read(text, &budget);
  ASSERT_EQ(whole.size(), 4u);
  ASSERT_EQ(packed.size(), whole.size());
  for (size_t i = 0; i < whole.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_FALSE(packed[i].packed.empty());
    const std::unique_ptr<jurnal> unpacked = packed[i].packed.Unpack();
    const jurnal& read = *whole[i].game;
    ASSERT_EQ(unpacked->moves.size(), read.moves.size());
    for (size_t k = 0; k < read.moves.size(); ++k) {
      EXPECT_EQ(unpacked->moves[k].san.view(), read.moves[k].san.view()) << k;
      EXPECT_EQ(unpacked->moves[k].comment.view(), read.moves[k].comment.view()) << k;
      ASSERT_EQ(unpacked->moves[k].variations.size(), read.moves[k].variations.size()) << k;
      for (size_t v = 0; v < read.moves[k].variations.size(); ++v) {
        const jurnal& a = *unpacked->moves[k].variations[v];
        const jurnal& b = *read.moves[k].variations[v];
        ASSERT_EQ(a.moves.size(), b.moves.size());
        for (size_t m = 0; m < a.moves.size(); ++m) EXPECT_EQ(a.moves[m].san.view(), b.moves[m].san.view());
      }
    }
    EXPECT_EQ(packed[i].tags.size(), whole[i].tags.size());
    for (size_t t = 0; t < whole[i].tags.size(); ++t)
      EXPECT_EQ(packed[i].tags[t].value, whole[i].tags[t].value) << whole[i].tags[t].name;
  }
  EXPECT_EQ(whole[0].game->moves.back().san.view(), "Nf3#");
  EXPECT_EQ(whole[1].game->moves[8].san.view(), "Ne5");
  EXPECT_EQ(whole[2].game->moves[0].san.view(), "b8=Q+");
  // The mates prove the results: a Result tag of "1-0" is corrected to "0-1".
  EXPECT_EQ(packed[0].tags[6].value, "0-1");
  EXPECT_EQ(packed[3].tags[6].value, "0-1");
}

TEST_F(Budget, GamesLetGoAreReadBackFromTheirFile) {
  // Two games far apart in their file (a long comment between them): read back with one read
  // each instead of one read of everything between.
  const std::string filler = "{" + std::string(3 << 20, 'x') + "}\n";
  const std::string text = std::string(ThreeGames) + "\n" + filler + "\n" + ThreeGames;
  TempDir::Write(dir / "games.pgn", text);
  MemoryBudget nothing;
  nothing.limit = 0;
  TGames games = Read(text, &nothing, dir / "games.pgn");
  const TGames expected = Read(text);
  ASSERT_EQ(games.size(), 6u);
  EXPECT_EQ(&games[0].sourcePath.get(), &games[5].sourcePath.get());  // one path for the file
  std::vector<int32_t> selection{5, 0, 2, 4};
  std::vector<bool> done;
  EXPECT_EQ(RereadGames(dir / "games.pgn", games, selection, 0, done), 4);
  EXPECT_EQ(done, std::vector<bool>(4, true));
  for (int32_t index : selection) {
    SCOPED_TRACE(index);
    ASSERT_NE(games[size_t(index)].game, nullptr);
    const jurnal& back = *games[size_t(index)].game;
    const jurnal& original = *expected[size_t(index)].game;
    ASSERT_EQ(back.movecount(), original.movecount());
    for (int i = 0; i < back.movecount(); ++i) EXPECT_EQ(back.moves[size_t(i)].san, original.moves[size_t(i)].san);
  }
  EXPECT_EQ(games[1].game, nullptr);  // not asked for
  EXPECT_EQ(games[3].game, nullptr);
}

#ifndef _WIN32  // a sparse file of 5 GiB costs no disk here
TEST_F(Budget, GamesPastFourGibibytesAreReadBackByTheirPositions) {
  // The games stand 5 GiB into their file: their 64-bit positions find them again, one at a
  // time and all at once.
  constexpr int64_t Offset = int64_t(5) << 30;
  const std::filesystem::path file = dir / "far.pgn";
  {
    std::ofstream out(file, std::ios::binary);
    out.seekp(Offset);
    out << ThreeGames;
    ASSERT_TRUE(out.good());
  }
  ASSERT_GT(std::filesystem::file_size(file), uint64_t(Offset));
  const TGames expected = Read(ThreeGames);
  TGames games = Read(ThreeGames, nullptr, file);
  ASSERT_EQ(games.size(), 3u);
  for (TGame& entry : games) {
    entry.sourcePosition += Offset;
    entry.game.reset();
  }
  EXPECT_GT(games[2].sourcePosition, int64_t(1) << 32);
  for (size_t i = 0; i < games.size(); ++i) {
    SCOPED_TRACE(i);
    const std::unique_ptr<jurnal> back = ReadGameAgain(games[i]);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->movecount(), expected[i].game->movecount());
  }
  std::vector<int32_t> selection{2, 0, 1};
  std::vector<bool> done;
  EXPECT_EQ(RereadGames(file, games, selection, 0, done), 3);
  for (size_t i = 0; i < games.size(); ++i) {
    ASSERT_NE(games[i].game, nullptr);
    EXPECT_EQ(games[i].game->moves.back().san, expected[i].game->moves.back().san);
  }
}
#endif

// A reader that packs each game at once packs its main line while playing it; the bytes must be
// exactly those of packing the record afterwards, and the reader must give the line up as soon
// as the main line holds more than plain moves.
TEST(PackedAsRead, TheMainLinePackedWhileReadIsTheRecordPackedAfter) {
  const struct {
    const char* text;
    bool plain;
  } cases[] = {
      {"1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 *", true},
      {"1. e4! e5?! 2. Nf3!! Nc6?? 3. Bb5!? *", true},  // glyphs are the moves' own NAGs
      {"{before the first move} 1. e4 e5 *", true},
      {"1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0", true},
      {"1. Nf3 Nf6 2. Nc3 Nc6 3. Nb5 Nb4 4. Nbd4 Nbd5 5. g4 h5 6. gxh5 Rxh5 1/2-1/2", true},
      {"1. e4 -- 2. d4 d5 *", true},  // a null move leaves nothing in the record
      {"1. f3 e5 2. g4 Qh4# 0-1", true},
      // Comments after main line moves go into the packed line with them.
      {"1. e4 -- 2. d4 {after a null move} d5 *", true},
      {"1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 {the comment after plain moves} 4. Ba4 *", true},
      {"1. e4 {a comment} e5 *", true},
      {"1. e4 e5 {after the last move} *", true},
      {"1. e4 { [%eval 0.17] [%clk 0:15:34] } 1... e5 { [%eval 0.2] [%clk 0:15:30] } 2. Nf3 {} *", true},
      {"1. e4 {one} {two} ; and a line\n e5 {a {brace inside} 2. d4 ;{ also braces }\n*", true},
      {"1. e4 e5 {a comment, then a NAG of its own} $1 2. Nf3 *", false},
      {"1. e4 {before a variation} (1. d4 {inside it}) 1... e5 *", false},
      {"1. e4 $1 e5 *", false},
      {"1. e4 e5 (1... c5 2. Nf3) 2. Nf3 *", false},
      {"1. e4 e5 2. Nf3 (2. Nc3) *", false},
      {"1. e4 e5 2. Nf3 {left before the next game}\n\n[Event \"next\"]\n\n1. d4 *", true},
      {"[SetUp \"1\"]\n[FEN \"7k/1P6/8/8/8/8/6r1/K7 b - - 0 1\"]\n\n1... Ra2+ 2. Kxa2 Kg7 3. b8=N *", true},
      {"[Variant \"Chess960\"]\n[SetUp \"1\"]\n[FEN \"bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w KQkq - 0 1\"]\n\n"
       "1. f4 f5 2. Rf2 Rf7 3. O-O O-O *",
       true},
  };
  // A game read with its record's moves kept, or with its main line kept only packed while
  // plain (its record then holding no moves): what it packs to, and the result its end proves.
  struct Read {
    std::unique_ptr<jurnal> game;
    std::unique_ptr<PackedGame> packed;
    bool plain = false;
    bool onlyPacked = false;
    std::string proven;
  };
  auto read = [](const std::string& text, bool onlyPacked) {
    Read r;
    PgnReader reader(text);
    reader.packsAtOnce = true;
    reader.keepsPlainLineOnlyPacked = onlyPacked;
    TGamesTagArray tags;
    std::string fen;
    EXPECT_EQ(reader.ReadTagSection(tags, fen), ReadOk);
    if (fen.empty()) {
      r.game = std::make_unique<jurnal>(nullptr, nullptr);
    } else {
      int at = 1, error = 0;
      r.game = jurnal::fromfen(fen, at, error, reader.chess960);
      EXPECT_EQ(error, 0);
    }
    EXPECT_EQ(reader.ReadMovetext(*r.game), ReadOk);
    const PlainLine* line = reader.PlainMainLine();
    r.plain = line != nullptr;
    r.onlyPacked = reader.MainLineOnlyPacked();
    r.packed = std::make_unique<PackedGame>(line ? PackedGame(*r.game, *line) : PackedGame(*r.game));
    if (line && !r.onlyPacked) {
      EXPECT_EQ(line->Count(), r.game->moves.size());
      EXPECT_TRUE(*r.packed == PackedGame(*r.game));
    }
    r.proven = std::string(reader.ProvenResult(*r.game, "0-1"));
    return r;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = std::string(c.text).starts_with("[") ? c.text : std::string("[Event \"e\"]\n\n") + c.text;
    const Read kept = read(text, false);
    ASSERT_FALSE(kept.game->moves.empty());
    EXPECT_EQ(kept.plain, c.plain);
    EXPECT_FALSE(kept.onlyPacked);
    const Read onlyPacked = read(text, true);
    EXPECT_EQ(onlyPacked.plain, c.plain);
    // A line kept only packed leaves the record without moves; one that stopped being plain
    // left it the records it would have had, as does a null move (the record works out the
    // numbers after it).
    const bool nullMove = std::string_view(c.text).find("--") != std::string_view::npos;
    EXPECT_EQ(onlyPacked.onlyPacked, c.plain && !nullMove);
    EXPECT_EQ(onlyPacked.game->moves.empty(), c.plain && !nullMove);
    EXPECT_EQ(onlyPacked.game->current, 0);
    EXPECT_TRUE(*onlyPacked.packed == *kept.packed);
    EXPECT_EQ(onlyPacked.proven, kept.proven);
  }
}

// The packing of a record from a line packed while reading keeps to the record when the two
// disagree in length (a caller that passed the line of another game): nothing of the record is lost.
TEST(PackedAsRead, ALineOfAnotherLengthIsIgnored) {
  auto game = std::make_unique<jurnal>(nullptr, nullptr);
  doska board;
  game->setboard(&board);
  ASSERT_EQ(game->addmove(5, 2, 5, 4, 0, true, 0), 0);
  game->forwardwithsan();
  ASSERT_EQ(game->addmove(5, 7, 5, 5, 0, true, 0), 0);
  game->forwardwithsan();
  game->gotoply(0);
  game->setboard(nullptr);
  PlainLine line;
  line.Append(game->moves[0]);
  const PackedGame packed(*game, line);
  const std::unique_ptr<jurnal> back = packed.Unpack();
  ASSERT_EQ(back->moves.size(), 2u);
  EXPECT_EQ(back->moves[1].san.view(), "e5");
  EXPECT_TRUE(packed == PackedGame(*game));
}

}  // namespace
