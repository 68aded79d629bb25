// Chess960 games: the Variant tag, X-FEN and Shredder-FEN castling rights, castling written
// O-O / O-O-O or as the king taking its own rook, and standard games left exactly as before.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chess/packed_game.h"
#include "pgn/game_reader.h"
#include "pgn/pgn_writer.h"
#include "pgn/read_codes.h"
#include "tests/support/read_text.h"
#include "tests/support/shared_data.h"

namespace {

using Result = sample::ReadResult;
using sample::ReadText;

std::string Game(const std::string& fen, const std::string& moves, const std::string& variant = "Chess960") {
  std::string text = "[Event \"t\"]\n";
  if (!fen.empty()) text += "[SetUp \"1\"]\n[FEN \"" + fen + "\"]\n";
  if (!variant.empty()) text += "[Variant \"" + variant + "\"]\n";
  return text + "\n" + moves + " *\n\n";
}

std::string Sans(const jurnal& game) {
  std::string all;
  for (const mov& m : game.moves) all += (all.empty() ? "" : " ") + std::string(m.san.view());
  return all;
}

// The one game of a text, or the first issue's code as a failure.
::testing::AssertionResult ReadsTo(const std::string& text, const std::string& sans) {
  Result r = ReadText(text);
  if (!r.report.issues.empty())
    return ::testing::AssertionFailure() << "code " << r.report.issues[0].code << " " << r.report.issues[0].detail;
  if (r.games.size() != 1) return ::testing::AssertionFailure() << r.games.size() << " games";
  const std::string got = Sans(*r.games[0].game);
  if (got != sans) return ::testing::AssertionFailure() << "read as " << got;
  return ::testing::AssertionSuccess();
}

int FirstIssue(const std::string& text) {
  Result r = ReadText(text);
  return r.report.issues.empty() ? 0 : r.report.issues[0].code;
}

// Start position 0 of the numbering (BBQNNRKR): king g1, rooks f1 and h1.
const std::string Bbqnnrkr = "bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w KQkq - 0 1";

TEST(Chess960, CastlingRightsComeFromXFenAndShredderFen) {
  // Long castling once the squares between are cleared: king g1 to c1, rook f1 to d1.
  const std::string longLine = "1. Ne3 Ne6 2. Nd3 Nd6 3. c3 c6 4. Qc2 Qc7 5. O-O-O O-O-O";
  EXPECT_TRUE(ReadsTo(Game(Bbqnnrkr, longLine), "Ne3 Ne6 Nd3 Nd6 c3 c6 Qc2 Qc7 O-O-O O-O-O"));
  EXPECT_TRUE(ReadsTo(Game("bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w HFhf - 0 1", longLine),
                      "Ne3 Ne6 Nd3 Nd6 c3 c6 Qc2 Qc7 O-O-O O-O-O"));
  // Then short castling with the king already on g1: only the rook moves, h1 to f1.
  const std::string shortFirst = "1. f4 f5 2. Rf2 Rf7 3. O-O O-O";
  EXPECT_TRUE(ReadsTo(Game(Bbqnnrkr, shortFirst), "f4 f5 Rf2 Rf7 O-O O-O"));
  // Rights given to one rook only: the other castling is no legal move.
  EXPECT_EQ(FirstIssue(Game("bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w Hh - 0 1", longLine)), NoLegalMove);
  EXPECT_TRUE(
      ReadsTo(Game("bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w Hh - 0 1", shortFirst), "f4 f5 Rf2 Rf7 O-O O-O"));
  // "-": no castling at all.
  EXPECT_EQ(FirstIssue(Game("bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w - - 0 1", shortFirst)), NoLegalMove);
  // X-FEN names an inner rook by its file: with rooks on a1 and b1 beside a king on c1, "B" is
  // the b1 rook, "Q" would be a1's.
  const std::string twoRooks = "rrk5/pppppppp/8/8/8/8/PPPPPPPP/RRK5 w Bb - 0 1";
  EXPECT_TRUE(ReadsTo(Game(twoRooks, "1. O-O-O O-O-O"), "O-O-O O-O-O"));
  Result r = ReadText(Game(twoRooks, "1. O-O-O"));
  ASSERT_EQ(r.games.size(), 1u);
  const mov& castling = r.games[0].game->moves[0];
  EXPECT_EQ(castling.extra, CastlingExtra);
  EXPECT_EQ(castling.tofile * 10 + castling.torank, 21) << "the king goes onto the b1 rook's square";
}

TEST(Chess960, TheVariantTagDecidesAndStandardGamesStayAsTheyWere) {
  // Shredder letters in a standard game's FEN are a FEN error, as ever.
  EXPECT_EQ(FirstIssue(Game("bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w HFhf - 0 1", "1. O-O", "")), BadFen);
  // Every spelling of the variant's name is known, in any case.
  for (const std::string variant : {"Chess960", "chess960", "fischerandom", "Fischerandom", "FischeRandom"})
    EXPECT_TRUE(ReadsTo(Game(Bbqnnrkr, "1. f4 f5 2. Rf2 Rf7 3. O-O", variant), "f4 f5 Rf2 Rf7 O-O")) << variant;
  // Without a FEN a Chess960 game starts from the usual position, by its own castling rules: the
  // king may be written taking its rook.
  const std::string opening = "1. e4 e5 2. Nf3 Nf6 3. Bc4 Bc5 ";
  EXPECT_TRUE(ReadsTo(Game("", opening + "4. Kxh1 Kh8"), "e4 e5 Nf3 Nf6 Bc4 Bc5 O-O O-O"));
  // In a standard game the king cannot take its own rook, and castling keeps its record: the
  // king from e1 to g1 with nothing in `extra`.
  EXPECT_EQ(FirstIssue(Game("", opening + "4. Kxh1", "")), NoLegalMove);
  Result standard = ReadText(Game("", opening + "4. O-O O-O", ""));
  ASSERT_EQ(standard.games.size(), 1u);
  const mov& castling = standard.games[0].game->moves[6];
  EXPECT_EQ(castling.tofile, 7);
  EXPECT_EQ(castling.extra, 0);
  EXPECT_EQ(castling.flags, MovesWhiteKing | LosesWhiteShort);
  EXPECT_FALSE(standard.games[0].game->ownboard);
}

TEST(Chess960, CastlingFollowsTheRules) {
  // Squares between king and rook, or on their ways, must be empty.
  EXPECT_EQ(FirstIssue(Game("4k3/8/8/8/8/8/8/1R1BK2R w KQ - 0 1", "1. O-O-O")), NoLegalMove);
  EXPECT_TRUE(ReadsTo(Game("4k3/8/8/8/8/8/8/1R1BK2R w KQ - 0 1", "1. O-O"), "O-O"));
  // Not out of check, nor through an attacked square.
  EXPECT_EQ(FirstIssue(Game("4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "1. O-O")), NoLegalMove);
  EXPECT_EQ(FirstIssue(Game("5rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "1. O-O")), NoLegalMove);
  // A rook that shielded the king's new square shields it no more once it has moved.
  EXPECT_EQ(FirstIssue(Game("4k3/8/8/8/8/8/8/rR1K3R w BH - 0 1", "1. O-O-O")), NoLegalMove);
  // The rook may pass over the king: king c1 stays, rook b1 goes to d1, giving check.
  EXPECT_TRUE(ReadsTo(Game("3k4/8/8/8/8/8/8/1RK5 w B - 0 1", "1. O-O-O+"), "O-O-O+"));
  // A king move loses both rights, a rook move its own.
  EXPECT_EQ(FirstIssue(Game(Bbqnnrkr, "1. f4 f5 2. Rf2 Rf7 3. Kf1 Kf8 4. Kg1 Kg8 5. O-O")), NoLegalMove);
  EXPECT_EQ(FirstIssue(Game("4k3/8/8/8/8/8/8/1R1K3R w BH - 0 1", "1. Rb2 Ke7 2. Rb1 Ke8 3. O-O-O")), NoLegalMove);
  EXPECT_TRUE(
      ReadsTo(Game("4k3/8/8/8/8/8/8/1R1K3R w BH - 0 1", "1. Rb2 Ke7 2. Rb1 Ke8 3. O-O"), "Rb2 Ke7 Rb1 Ke8 O-O"));
}

// Real engine games: every one is read, and comes back whole from its packed form.
TEST(Chess960, EngineGamesAreReadWholeAndPackWithoutLoss) {
  const std::filesystem::path path = CollectionsFolder() / "engine/TCEC_Season_16_-_Frc_Cpu_League_1.pgn";
  PGN_SKIP_WITHOUT_COLLECTIONS(path);
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  Result r = ReadText(text.str());
  EXPECT_TRUE(r.report.issues.empty()) << "code " << r.report.issues[0].code;
  ASSERT_EQ(r.games.size(), 90u);
  long castlings = 0;
  for (const TGame& entry : r.games) {
    for (const mov& m : entry.game->moves) castlings += m.extra == CastlingExtra;
    const PackedGame packed(*entry.game);
    const std::unique_ptr<jurnal> back = packed.Unpack();
    ASSERT_EQ(Sans(*back), Sans(*entry.game));
    ASSERT_TRUE(back->ownboard && back->ownboard->chess960);
  }
  EXPECT_GE(castlings, 100);
}

// Whatever tags are removed, a Chess960 game is written so that it reads back as one: the
// Variant tag stays beside SetUp and FEN, and a standard game gets no Variant tag.
TEST(Chess960, GamesWrittenWithFewerTagsStillReadBackAsChess960) {
  const std::string line = "1. Ne3 Ne6 2. Nd3 Nd6 3. c3 c6 4. Qc2 Qc7 5. O-O-O O-O-O";
  const std::string sans = "Ne3 Ne6 Nd3 Nd6 c3 c6 Qc2 Qc7 O-O-O O-O-O";
  const std::string withOthers = "[Event \"t\"]\n[Annotator \"me\"]\n[SetUp \"1\"]\n[FEN \"" + Bbqnnrkr +
                                 "\"]\n[TimeControl \"60\"]\n[Variant \"Chess960\"]\n[Opening \"?\"]\n\n" + line +
                                 " *\n\n";
  for (int removal : {0, 1, 2}) {
    SCOPED_TRACE("tagRemoval " + std::to_string(removal));
    Result r = ReadText(withOthers);
    ASSERT_EQ(r.games.size(), 1u);
    TProcessingOptions options;
    options.tagRemoval = TagRemoval(removal);
    OutputBuffer written;
    WriteGame(r.games[0], written, options);
    const std::string text(written.Text());
    EXPECT_NE(text.find("[Variant \"Chess960\"]"), std::string::npos) << text;
    EXPECT_EQ(text.find("TimeControl") != std::string::npos, removal == 2) << text;
    EXPECT_TRUE(ReadsTo(text, sans)) << text;
  }
  Result standard = ReadText("[Event \"t\"]\n[Variant \"Standard\"]\n\n1. e4 *\n\n");
  ASSERT_EQ(standard.games.size(), 1u);
  TProcessingOptions roster;
  roster.tagRemoval = TagRemoval::AllButRoster;
  OutputBuffer written;
  WriteGame(standard.games[0], written, roster);
  EXPECT_EQ(std::string(written.Text()).find("Variant"), std::string::npos);
}

}  // namespace
