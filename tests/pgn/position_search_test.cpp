// Games by positions their main line reaches and by how they end, as the reader finds them.
#include "pgn/position_search.h"

#include <gtest/gtest.h>

#include <memory>

#include "chess/jurnal.h"

#include "pgn/game_reader.h"
#include "pgn/game_search.h"
#include "pgn/line_moves.h"

namespace {

// Whether each game of the text matches the search, in order ("1" or "0" each).
std::string MatchesOf(const std::string& text, const PositionSearch& search) {
  TGames games;
  ReadOptions options;
  options.summarise = true;
  options.positions = &search;
  EXPECT_EQ(ReadGames(text, games, options), 0);
  std::string answers;
  for (const TGame& game : games)
    answers += (game.summary.boardCriteriaHeld & search.Asked()) == search.Asked() ? "1" : "0";
  return answers;
}

std::string Game(const std::string& moves, const std::string& tags = "") {
  return "[Event \"?\"]\n" + tags + "\n" + moves + "\n\n";
}

// Adds the position the moves make; false with the reason when they cannot be played.
bool AddReached(PositionSearch& search, const std::string& moves, bool eitherColour, std::string& error) {
  PlayedLine line;
  if (!PlayLine(moves, line, error)) return false;
  search.AddReached(line.board, line.toMove, eitherColour);
  return true;
}

const char* const AfterE4C5 = "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 2";

TEST(PositionSearch, FindsAPositionOfTheMainLineOnlyAndItsSideToMove) {
  PositionSearch search;
  std::string error;
  ASSERT_TRUE(search.AddFen(AfterE4C5, false, error)) << error;
  const std::string text = Game("1. e4 c5 2. Nf3 *") +                  // passes through it
                           Game("1. e4 c5 *") +                         // ends in it
                           Game("1. e4 e5 *") +                         // never
                           Game("1. e4 (1. d4) 1... e5 (1... c5) *") +  // only in a variation
                           Game("1. e4 *");
  EXPECT_EQ(MatchesOf(text, search), "11000");
  // The same placement with the other side to move is another position.
  PositionSearch blackToMove;
  ASSERT_TRUE(blackToMove.AddFen("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR b - -", false, error));
  EXPECT_EQ(MatchesOf(text, blackToMove), "00000");
}

std::string FromFen(const std::string& fen, const std::string& moves) {
  return Game(moves, "[SetUp \"1\"]\n[FEN \"" + fen + "\"]\n");
}

TEST(PositionSearch, CastlingAndEnPassantCountOnlyWhereTheFenGivesThem) {
  // A game set up in the Sicilian's placement without castling rights and without a pawn that
  // just stepped two squares.
  const std::string text =
      FromFen("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w - - 0 2", "2. Nf3 *") + Game("1. e4 c5 2. Nf3 *");
  std::string error;
  PositionSearch placementOnly, withRights, withSquare;
  ASSERT_TRUE(placementOnly.AddFen("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w - -", false, error));
  ASSERT_TRUE(withRights.AddFen("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -", false, error));
  ASSERT_TRUE(withSquare.AddFen(AfterE4C5, false, error));
  EXPECT_EQ(MatchesOf(text, placementOnly), "11");
  EXPECT_EQ(MatchesOf(text, withRights), "01");
  EXPECT_EQ(MatchesOf(text, withSquare), "01");
  EXPECT_EQ(MatchesOf(FromFen("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "2. Nf3 *"), withSquare),
            "0");
}

TEST(PositionSearch, ALineIsReachedByAnyMoveOrderAndEitherColourMirrorsIt) {
  PositionSearch search;
  std::string error;
  ASSERT_TRUE(AddReached(search, "1. e4 c5 2. Nf3 d6", false, error)) << error;
  const std::string text = Game("1. Nf3 d6 2. e4 c5 3. d4 *") + Game("1. e4 d6 2. Nf3 c5 *") +
                           Game("1. e4 c5 2. Nf3 Nc6 *") + Game("1. c3 e5 2. c4 Nf6 3. d3 *");
  EXPECT_EQ(MatchesOf(text, search), "1100");
  // Mirrored: Black's e5 and Nf6 against White's c4 and d3, Black to move, which White reaches
  // only with a move to spare (c3-c4); the same squares with White to move are not it.
  PositionSearch either;
  ASSERT_TRUE(AddReached(either, "e4 c5 Nf3 d6", true, error)) << error;
  EXPECT_EQ(either.Targets().size(), 2u);
  EXPECT_EQ(MatchesOf(text + Game("1. c4 e5 2. d3 Nf6 *"), either), "11010");
}

TEST(PositionSearch, EndsAreTheFinalPositionsOwn) {
  PositionSearch mates, stalemates;
  mates.endsIn = GameEnd::Checkmate;
  stalemates.endsIn = GameEnd::Stalemate;
  const std::string text = Game("1. f3 e5 2. g4 Qh4# 0-1") + Game("1. e4 f5 2. Qh5+ *") +
                           FromFen("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "*") +
                           FromFen("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "*") +
                           Game("1. f3 e5 2. g4 Qh4# 3. Kf2 *");  // no move after the mate: not read
  EXPECT_EQ(MatchesOf(text, mates), "1001");
  EXPECT_EQ(MatchesOf(text, stalemates), "0010");
  // A movetext cut off inside a variation by the next game's tags: the mate of the variation is
  // not the main line's end.
  EXPECT_EQ(MatchesOf("[Event \"cut\"]\n\n1. e4 (1. f3 e5 2. g4 Qh4#\n" + Game("1. d4 *"), mates), "00");
}

TEST(PositionSearch, RefusesWhatIsNoPositionWithTheReason) {
  PositionSearch search;
  std::string error;
  EXPECT_FALSE(search.AddFen("rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w - -", false, error));
  EXPECT_FALSE(search.AddFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", false, error));
  EXPECT_NE(error.find("side to move"), std::string::npos) << error;
  EXPECT_FALSE(search.AddFen("8/8/8/8/8/8/8/8 w - -", false, error));  // no kings
  EXPECT_FALSE(AddReached(search, "e4 e5 Ke3", false, error));
  EXPECT_NE(error.find("e4 e5 Ke3"), std::string::npos) << error;
  EXPECT_FALSE(AddReached(search, "e4 Nf3", false, error));  // Black has no knight move to f3
  EXPECT_TRUE(search.Targets().empty());
}

// The board a FEN sets up, and its side to move.
struct Placed {
  doska board;
  Side toMove = Side::White;
};
Placed FromFenText(const std::string& fen) {
  Placed setUp;
  int position = 1, code = 0;
  const std::unique_ptr<jurnal> record = jurnal::fromfen(fen, position, code);
  EXPECT_TRUE(record && record->ownboard) << fen;
  if (record && record->ownboard) {
    setUp.board = *record->ownboard;
    setUp.toMove = SideOf(record->blackfirst);
  }
  return setUp;
}

TEST(BoardPattern, FitsThePositionsItDescribesAndNoOthers) {
  const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  const std::string sicilian = "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 2";
  const std::string castled = "r4rk1/5pbp/6p1/8/8/8/PPP5/2KR4 w - - 0 20";
  const std::string castledBlackToMove = "r4rk1/5pbp/6p1/8/8/8/PPP5/2KR4 b - - 0 20";
  const struct {
    const char* pattern;
    const std::string& fen;
    bool fits, fitsEitherColour;
  } cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", start, true, true},
      {"rnbqkbnr/*/*/*/*/*/*/RNBQKBNR", sicilian, true, true},
      {"rnbqkbnr/*/*/*/*/*/*/RNBQKBNQ", sicilian, false, false},
      {"*/*/*/2p5/4P3/*/*/*", sicilian, true, true},
      {"*/*/*/2p5/4P3/*/*/*", start, false, false},
      {"*/*/*/*/*/*/*/*", castled, true, true},
      {"?????rk?/?????pbp/*p?/*/*/8/PPP*/??KR????", castled, true, true},
      {"?????rk?/?????pbp/*p?/*/*/8/PPP*/??KR???? w", castled, true, true},
      {"?????rk?/?????pbp/*p?/*/*/8/PPP*/??KR???? w", castledBlackToMove, false, false},
      {"?????rk?/?????aaa/*/*/*/8/P[BP]P*/??KR????", castled, true, true},
      {"?????rk?/?????AAA/*/*/*/8/*/*", castled, false, false},
      {"?????"
       "!!?/*/*/*/*/*/*/*",
       castled, true, true},
      {"??????"
       "!!/*/*/*/*/*/*/*",
       castled, false, false},
      {"*/*/*/*/*/*/[^P]*/*", castled, false, true},  // mirrored: a7 holds no black pawn
      {"*/*/*/*/*/*/*P/*", castled, false, true},     // h2 holds no pawn, h7 does
      {"*/*/*/*/*/*/P*/*", castled, true, true},
      {"*/*/*p*/*/*/*/*/*", castled, true, true},  // a black pawn anywhere on rank 6
      {"*/*/*P*/*/*/*/*/*", castled, false, false},
      // Mirrored and the colours swapped: White's castled king described as Black's.
      {"??kr????"
       "/ppp*/8/*/*/*P?/?????PBP/?????RK?",
       castled, false, true},
  };
  for (const auto& c : cases) {
    BoardPattern pattern;
    std::string error;
    ASSERT_TRUE(BoardPattern::Parse(c.pattern, pattern, error)) << c.pattern << ": " << error;
    const Placed position = FromFenText(c.fen);
    EXPECT_EQ(pattern.Holds(position.board, position.toMove), c.fits) << c.pattern << " on " << c.fen;
    const bool either =
        pattern.Holds(position.board, position.toMove) || pattern.Mirrored().Holds(position.board, position.toMove);
    EXPECT_EQ(either, c.fitsEitherColour) << c.pattern << " either colour on " << c.fen;
  }
}

TEST(BoardPattern, RefusesWhatIsNoPatternWithTheReason) {
  const struct {
    const char* pattern;
    const char* reason;
  } cases[] = {
      {"rnbqkbnr/ppppppppp/*/*/*/*/*/*", "rank 7"}, {"*/*/*/*/*/*/*", "eight ranks"},
      {"*/*/*/*/*/*/*/*/*", "more than eight"},     {"*/*/*/*/*/*/*/x*", "\"x\""},
      {"*/*/*/*/*/*/*/[Qx]*", "inside brackets"},   {"*/*/*/*/*/*/*/[Q*", "\"]\""},
      {"*/*/*/*/*/*/*/* white", "\" w\""},          {"*/*/*/*/*/*/*/9", "rank 1"},
  };
  for (const auto& c : cases) {
    BoardPattern pattern;
    std::string error;
    EXPECT_FALSE(BoardPattern::Parse(c.pattern, pattern, error)) << c.pattern;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.pattern << ": " << error;
  }
}

TEST(PositionSearch, APatternIsLookedForInVariationsOnlyWhenAsked) {
  BoardPattern knightOnF6;
  std::string error;
  ASSERT_TRUE(BoardPattern::Parse("*/*/5n2/*/*/*/*/* w", knightOnF6, error)) << error;
  PositionSearch mainLine, anyLine;
  mainLine.AddPattern(knightOnF6, false);
  anyLine.AddPattern(knightOnF6, false);
  anyLine.inVariations = true;
  const std::string text = Game("1. d4 Nf6 *") + Game("1. d4 d5 (1... Nf6 2. c4) 2. c4 *") +
                           Game("1. d4 d5 (1... c5 2. c4 Nf6) 2. c4 *") + Game("1. d4 d5 *");
  EXPECT_EQ(MatchesOf(text, mainLine), "1000");
  EXPECT_EQ(MatchesOf(text, anyLine), "1110");
}

TEST(PositionSearch, ALineIsTheMainLinesFirstMoves) {
  PositionSearch search;
  PlayedLine najdorf, french;
  std::string error;
  ASSERT_TRUE(PlayLine("1. e4 c5 2. Nf3 d6", najdorf, error)) << error;
  ASSERT_TRUE(PlayLine("e4 e6", french, error)) << error;
  search.AddLine(najdorf.placements);
  search.AddLine(french.placements);
  const std::string text = Game("1. e4 c5 2. Nf3 d6 3. d4 *") + Game("1. Nf3 d6 2. e4 c5 *") +  // other order
                           Game("1. e4 c5 2. Nf3 *") +                                          // too short
                           Game("1. e4 e6 *") + Game("1. d4 (1. e4 e6) *") + Game("1. e4 c5 2. Nf3 d6 *");
  EXPECT_EQ(MatchesOf(text, search), "100101");
}

TEST(PositionSearch, MaterialHoldsForThePliesAskedOrAtTheEnd) {
  const std::string text = Game("1. e4 d5 2. exd5 Qxd5 3. Nc3 Qa5 4. d4 c6 *") +  // pawns traded at once
                           Game("1. e4 d5 2. exd5 Nf6 *");                        // White a pawn up
  MaterialBalance pawnsTraded, pawnUp;
  std::string error;
  ASSERT_TRUE(MaterialBalance::Parse("QR2B2N2P7:QR2B2N2P7", pawnsTraded, error)) << error;
  ASSERT_TRUE(MaterialBalance::Parse("qr2b2n2p8:qr2b2n2p7", pawnUp, error)) << error;
  PositionSearch traded;
  traded.AddMaterial(pawnsTraded, false);
  EXPECT_EQ(MatchesOf(text, traded), "10");
  traded.materialPlies = 5;  // after 2... Qxd5 until the end: five positions
  EXPECT_EQ(MatchesOf(text, traded), "10");
  traded.materialPlies = 6;
  EXPECT_EQ(MatchesOf(text, traded), "00");
  PositionSearch up;
  up.AddMaterial(pawnUp, false);
  EXPECT_EQ(MatchesOf(text, up), "11");  // for a ply in the first game too
  up.materialAtEnd = true;
  EXPECT_EQ(MatchesOf(text, up), "01");
  PositionSearch down;
  down.AddMaterial(pawnUp.Swapped(), false);
  EXPECT_EQ(MatchesOf(text, down), "00");
  down.AddMaterial(pawnUp, true);
  EXPECT_EQ(MatchesOf(text, down), "11");
}

TEST(MaterialBalance, CountsWildcardsAndMinorPieces) {
  const Placed rookEnding = FromFenText("8/5k2/3r2p1/7p/8/5PP1/4RK2/8 w - - 0 40");
  const Placed minors = FromFenText("8/5k2/2n5/8/8/2B5/1N3K2/8 w - - 0 40");
  const struct {
    const char* balance;
    bool rookEnding, minors;
  } cases[] = {
      {"KRP2:KRP2", true, false}, {"RP*:RP*", true, false}, {"RP+:RP+", true, false},      {"RP3+:RP*", false, false},
      {"RP2-:RP2-", true, false}, {"R:R", false, false},    {"L2:L", false, true},         {"L+:L+", false, true},
      {"BN:N", false, true},      {"NN:N", false, false},   {"L*P*R*:L*P*R*", true, true},
  };
  for (const auto& c : cases) {
    MaterialBalance balance;
    std::string error;
    ASSERT_TRUE(MaterialBalance::Parse(c.balance, balance, error)) << c.balance << ": " << error;
    EXPECT_EQ(balance.Holds(rookEnding.board), c.rookEnding) << c.balance;
    EXPECT_EQ(balance.Holds(minors.board), c.minors) << c.balance;
  }
  for (const char* bad : {"KQR", "KKQ:K", "KQX:K", "Q3*:K", "P-:K"}) {
    MaterialBalance balance;
    std::string error;
    EXPECT_FALSE(MaterialBalance::Parse(bad, balance, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(PositionSearch, EventsOnTheWayAllMustHold) {
  // Knights out and back twice: the start position stands for the third time after 4... Ng8.
  const std::string repetition = Game("1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 *");
  const std::string twice = Game("1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 *");
  // The same knights' dance, but a pawn move in between breaks the count.
  const std::string broken = Game("1. Nf3 Nf6 2. Ng1 Ng8 3. e3 Nf6 4. Nf3 Ng8 5. Ng1 Nf6 *");
  const std::string underpromotion = FromFen("8/P6k/8/8/8/8/8/K7 w - - 0 1", "1. a8=N *");
  const std::string queening = FromFen("8/P6k/8/8/8/8/8/K7 w - - 0 1", "1. a8=Q *");
  const std::string enPassant = Game("1. e4 Nf6 2. e5 d5 3. exd6 *");
  const std::string text = repetition + twice + broken + underpromotion + queening + enPassant;
  PositionSearch search;
  search.events = HasRepetition;
  EXPECT_EQ(MatchesOf(text, search), "100000");
  search.events = HasUnderpromotion;
  EXPECT_EQ(MatchesOf(text, search), "000100");
  search.events = HasEnPassant;
  EXPECT_EQ(MatchesOf(text, search), "000001");
  search.events = HasEnPassant | HasUnderpromotion;
  EXPECT_EQ(MatchesOf(text, search), "000000");
}

TEST(PositionSearch, FiftyMovesCountFromTheSetUpClock) {
  // Kings and a rook walk about: no capture, no pawn move.
  std::string shuffle;
  for (int i = 0; i < 5; ++i) shuffle += "Ra2 Kb8 Ra1 Kc8 ";
  PositionSearch search;
  search.events = HasFiftyMoves;
  const std::string early = FromFen("2k5/8/8/8/8/8/8/R3K3 w - - 0 1", shuffle + "*");
  const std::string late = FromFen("2k5/8/8/8/8/8/8/R3K3 w - - 80 60", shuffle + "*");
  const std::string lateChecks = FromFen("2k5/8/8/8/8/8/8/R3K3 w - - 95 60", "60. Ra8+ Kb7 61. Rh8 Kb6 62. Rh6+ *");
  EXPECT_EQ(MatchesOf(early + late + lateChecks, search), "011");
}

TEST(PositionSearch, InsufficientMaterialIsWhereNeitherSideCanMate) {
  const struct {
    const char* fen;
    bool insufficient;
  } cases[] = {
      {"8/8/4k3/8/8/3K4/8/8 w - - 0 1", true},      {"8/8/4k3/8/8/3K4/5N2/8 w - - 0 1", true},
      {"8/8/4k3/8/8/3K4/5B2/8 w - - 0 1", true},    {"8/8/4kb2/8/8/3K4/5B2/8 w - - 0 1", true},
      {"8/8/4k1b1/8/8/3K4/5B2/8 w - - 0 1", false}, {"8/8/4k3/8/8/3K4/4NN2/8 w - - 0 1", false},
      {"8/8/4k3/8/8/3K4/5P2/8 w - - 0 1", false},   {"8/8/4kn2/8/8/3K4/5B2/8 w - - 0 1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(InsufficientMaterial(FromFenText(c.fen).board), c.insufficient) << c.fen;
  PositionSearch search;
  search.endsIn = GameEnd::InsufficientMaterial;
  EXPECT_EQ(MatchesOf(FromFen("8/8/4k3/8/8/3K4/4r3/8 w - - 0 1", "1. Kxe2 *") +
                          FromFen("8/8/4k3/8/8/4K3/5r2/8 w - - 0 1", "1. Kd4 *"),
                      search),
            "10");
}

TEST(PositionSearch, AGameNoPositionCanFollowInAnyMoreIsLeftAsSoonAsThatIsSure) {
  PositionSearch search;
  std::string error;
  ASSERT_TRUE(AddReached(search, "e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6", false, error)) << error;
  // Each game leaves the Najdorf's reach at once (a pawn at home in it moves, castling rights
  // go, a piece it has is taken) and has an illegal move after that; the last reaches it.
  const std::string text = Game("1. e4 c5 2. h3 Kxh3 *") + Game("1. e4 c5 2. Nf3 d6 3. Ke2 Qxh1 *") +
                           Game("1. e4 d5 2. exd5 Qxd5 3. Nc3 Qxg2 4. Qxh8 *") +
                           Game("1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. Be3 *");
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.summarise = true;
  options.positions = &search;
  options.report = &report;
  options.keepsOnlyPositionsFound = true;
  EXPECT_EQ(ReadGames(text, games, options), 0);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_EQ(games[0].game->movecount(), 11);
  EXPECT_EQ(report.filteredOut, 3);
  EXPECT_TRUE(report.issues.empty());
  // Read to their ends when the games left out are wanted: the damage is reported.
  options.keepsOnlyPositionsFound = false;
  games.clear();
  ReadReport full;
  options.report = &full;
  ReadGames(text, games, options);
  EXPECT_EQ(full.issues.size(), 3u);
  // A pattern may still fit anything later: nothing is left early.
  BoardPattern any;
  ASSERT_TRUE(BoardPattern::Parse("*/*/*/*/*/*/*/*", any, error));
  PositionSearch withPattern;
  withPattern.AddPattern(any, false);
  EXPECT_FALSE(withPattern.LooksForExactPositionsOnly());
  EXPECT_TRUE(search.LooksForExactPositionsOnly());
}

TEST(GameSearch, PositionsFoundWhileReadingDecideTheMatch) {
  GameSearch search;
  TGame game;
  EXPECT_TRUE(search.Matches(game, 1));
  search.positions.endsIn = GameEnd::Checkmate;
  game.summary.boardCriteriaHeld = 0;
  EXPECT_FALSE(search.Matches(game, 1));
  game.summary.boardCriteriaHeld = EndCriterion;
  EXPECT_TRUE(search.Matches(game, 1));
  // Each criterion asked is told apart, in a fixed order.
  search.positions.events = HasRepetition;
  search.ranges.push_back({2, 3});
  const auto verdicts = search.Verdicts(game, 2);
  ASSERT_EQ(verdicts.size(), 3u);
  EXPECT_STREQ(verdicts[0].first, "games");
  EXPECT_TRUE(verdicts[0].second);
  EXPECT_STREQ(verdicts[1].first, "ends_in");
  EXPECT_TRUE(verdicts[1].second);
  EXPECT_STREQ(verdicts[2].first, "has");
  EXPECT_FALSE(verdicts[2].second);
  EXPECT_FALSE(search.Matches(game, 2));
}

}  // namespace
