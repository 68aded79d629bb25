// Opening names: every line of the project's opening table named by its own name when played as
// a game, transpositions named as the line they reach, and the Opening and Variation tags.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include <filesystem>

#include "pgn/game_reader.h"
#include "pgn/opening_names.h"

namespace {

std::string TableText(const char* letter) {
  std::ifstream in(std::string(PGN_SOURCE_DIR) + "/data/eco/" + letter + ".tsv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const OpeningNames& Table() {
  static const OpeningNames names = [] {
    OpeningNames table;
    std::string problem;
    for (const char* letter : {"a", "b", "c", "d", "e"})
      EXPECT_TRUE(table.AddTable(TableText(letter), problem)) << letter << ": " << problem;
    return table;
  }();
  return names;
}

std::string NameOfMoves(const std::string& moves) {
  TGames games;
  ReadOptions options;
  EXPECT_EQ(ReadGames("[Event \"?\"]\n\n" + moves + " *\n", games, options), 0) << moves;
  return games.empty() || !games[0].game ? "" : std::string(Table().NameOf(*games[0].game));
}

TEST(OpeningNames, EveryLineOfTheTableGetsExactlyItsName) {
  ASSERT_EQ(Table().size(), 3807u);  // every line ends in a position of its own
  size_t lines = 0;
  for (const char* letter : {"a", "b", "c", "d", "e"}) {
    std::istringstream in(TableText(letter));
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
      const size_t nameAt = line.find('\t') + 1, movesAt = line.find('\t', nameAt) + 1;
      const std::string name = line.substr(nameAt, movesAt - 1 - nameAt);
      EXPECT_EQ(NameOfMoves(line.substr(movesAt)), name) << line;
      ++lines;
    }
  }
  EXPECT_EQ(lines, 3807u);
}

TEST(OpeningNames, PositionsNotMoveOrdersNameAGame) {
  // The Nimzo-Indian reached from the English.
  EXPECT_EQ(NameOfMoves("1. c4 e6 2. Nc3 Nf6 3. d4 Bb4"), "Nimzo-Indian Defense");
  EXPECT_EQ(NameOfMoves("1. d4 Nf6 2. c4 e6 3. Nc3 Bb4"), "Nimzo-Indian Defense");
  // Moves past the named position keep the last name met.
  EXPECT_EQ(NameOfMoves("1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. h3 h6 7. a3 a5"),
            "Sicilian Defense: Najdorf Variation, Adams Attack");
  // A game that leaves the book at once and never comes back is named by its first moves only.
  EXPECT_EQ(NameOfMoves("1. e4 e5 2. Ke2"), "Bongcloud Attack");
  EXPECT_EQ(NameOfMoves(""), "");
}

TEST(OpeningNames, TagsSplitTheNameAtItsColon) {
  EXPECT_EQ(SplitOpeningName("Sicilian Defense: Najdorf Variation").first, "Sicilian Defense");
  EXPECT_EQ(SplitOpeningName("Sicilian Defense: Najdorf Variation").second, "Najdorf Variation");
  EXPECT_EQ(SplitOpeningName("Bird Opening").second, "");
  TGamesTagArray tags{{"Event", "e"}, {"Site", "s"},   {"Date", "?"},        {"Round", "?"},    {"White", "w"},
                      {"Black", "b"}, {"Result", "*"}, {"variation", "Old"}, {"Opening", "Old"}};
  SetOpeningTags(tags, "Ruy Lopez: Berlin Defense");
  EXPECT_EQ(TagNamed(tags, "Opening"), "Ruy Lopez");
  EXPECT_EQ(TagNamed(tags, "Variation"), "Berlin Defense");
  // A name without a variation takes away the one the game held: it named another line.
  SetOpeningTags(tags, "Bird Opening");
  EXPECT_EQ(TagNamed(tags, "Opening"), "Bird Opening");
  EXPECT_EQ(TagNamed(tags, "Variation"), "");
  EXPECT_EQ(tags.size(), 8u);
}

TEST(OpeningNames, ATableLineThatCannotBePlayedIsRefused) {
  OpeningNames table;
  std::string problem;
  EXPECT_FALSE(table.AddTable("eco\tname\tpgn\nA00\tNonsense\t1. e5\n", problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_FALSE(table.AddTable("eco\tname\tpgn\nA00\n", problem));
}

}  // namespace

namespace {

// The names the reader finds as it passes a file's main lines, packed or whole, against naming
// each game read afterwards: the same name for every game (variations, set-up positions, null
// moves, games that end at the start).
// Returns how many games had a name.
size_t ExpectTheReaderNamesAsReplaying(const std::filesystem::path& file, bool packed) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  MemoryBudget budget;
  ReadOptions options;
  options.summarise = true;
  options.findEco = packed;  // the two lookups share each position's key
  options.openings = &Table().Positions();
  if (packed) options.budget = &budget;
  TGames games;
  ReadGames(text.str(), games, options);
  size_t named = 0;
  for (const TGame& entry : games) {
    std::unique_ptr<jurnal> unpacked = entry.game ? nullptr : entry.packed.Unpack();
    const jurnal* game = entry.game ? entry.game.get() : unpacked.get();
    EXPECT_TRUE(game);
    // A movetext that did not end as it should leaves the name to the record.
    if (!game || entry.summary.opening == TGameSummary::OpeningNotLookedFor) continue;
    EXPECT_EQ(Table().Name(entry.summary.opening), Table().NameOf(*game))
        << file << " at byte " << entry.sourcePosition << (packed ? ", packed" : "");
    named += entry.summary.opening >= 0;
  }
  return named;
}

}  // namespace

TEST(OpeningNames, TheReaderNamesWhatAReplayNames) {
  const std::filesystem::path data = std::filesystem::path(PGN_SHARED_DATA) / "pgn";
  size_t named = 0;
  for (const char* folder : {"annotated", "online", "otb", "quirks"})
    for (const auto& item : std::filesystem::recursive_directory_iterator(data / folder))
      if (item.path().extension() == ".pgn" && item.file_size() < (size_t(3) << 20))
        for (bool packed : {false, true}) named += ExpectTheReaderNamesAsReplaying(item.path(), packed);
  EXPECT_GT(named, 20000u);
  // Hand-made: a set-up position, a null move, a variation last, no move at all.
  const std::filesystem::path own = std::filesystem::temp_directory_path() / "opening_names_reader.pgn";
  std::ofstream(own, std::ios::binary)
      << "[Event \"v\"]\n\n1. e4 c5 2. Nf3 d6 (2... Nc6 3. d4) 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 (5... g6) *\n\n"
         "[Event \"n\"]\n\n1. e4 -- 2. d4 d5 *\n\n[Event \"e\"]\n\n*\n\n"
         "[Event \"f\"]\n[SetUp \"1\"]\n[FEN \"rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2\"]\n\n"
         "2. Nf3 d6 3. d4 *\n\n"
         // Cut inside a variation: the reader's board stands in it, not at the main line's end.
         "[Event \"o\"]\n\n1. e4 (1. d4 d5 2. c4\n[Event \"after\"]\n\n*\n\n";
  for (bool packed : {false, true}) EXPECT_EQ(ExpectTheReaderNamesAsReplaying(own, packed), 3u);
  std::filesystem::remove(own);
}
