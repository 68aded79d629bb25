// The formats other programs read: FEN of positions, move lines (SAN, UCI, long algebraic),
// positions as FEN and EPD lines, the JSON object of a game, the clock and evaluation commands
// of comments, and the writer's knobs (tags kept, dropped or added, line length).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "chess/fen_text.h"
#include "pgn/game_formats.h"
#include "pgn/game_reader.h"
#include "pgn/json_game.h"
#include "pgn/line_replay.h"

namespace {

TGames Read(const std::string& text) {
  TGames games;
  ReadOptions options;
  EXPECT_EQ(ReadGames(text, games, options), 0) << text;
  return games;
}

// What one game of the text becomes in a format.
std::string Written(const std::string& text, OutputForm form, const TProcessingOptions& options = {},
                    const OpeningNames* openings = nullptr) {
  const TGames games = Read(text);
  EXPECT_EQ(games.size(), 1u) << text;
  OutputBuffer buffer;
  for (const TGame& game : games) WriteGameAs(game, game.game.get(), 7, buffer, options, form, openings);
  return std::string(buffer.Text());
}

OutputForm Form(OutputFormat format) {
  OutputForm form;
  form.format = format;
  return form;
}

// The FEN after the moves of a game text.
std::string FinalFen(const std::string& moves) {
  const TGames games = Read("[Event \"?\"]\n\n" + moves + " *\n");
  LineReplay replay(*games.at(0).game);
  for (const mov& m : games[0].game->moves) replay.Play(m);
  std::string fen;
  AppendFen(fen, replay.Board(), replay.ToMove(), replay.HalfmoveClock(), replay.FullmoveNumber());
  return fen;
}

TEST(Fen, CountsClocksRightsAndOnlyATakeableEnPassantSquare) {
  EXPECT_EQ(FinalFen(""), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  // No black pawn beside e4: no square, as X-FEN and repetitions count it.
  EXPECT_EQ(FinalFen("1. e4"), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
  EXPECT_EQ(FinalFen("1. e4 d5 2. e5 f5"), "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
}

TEST(Fen, CastlingRightsFollowKingAndRookMoves) {
  EXPECT_EQ(FinalFen("1. Nf3 Nf6 2. Rg1 Nc6"), "r1bqkb1r/pppppppp/2n2n2/8/8/5N2/PPPPPPPP/RNBQKBR1 w Qkq - 4 3");
  EXPECT_EQ(FinalFen("1. e4 e5 2. Ke2 Ke7"), "rnbq1bnr/ppppkppp/8/4p3/4P3/8/PPPPKPPP/RNBQ1BNR w - - 2 3");
}

const std::string Game =
    "[Event \"e\"]\n[Site \"s\"]\n[Date \"2024.01.01\"]\n[Round \"1\"]\n[White \"W\"]\n[Black \"B\"]\n"
    "[Result \"1-0\"]\n[Annotator \"A\"]\n\n"
    "1. e4 {[%clk 0:03:00] [%eval 0.17]} e5 {[%clk 0:02:58.5]} 2. Nf3 $1 (2. f4 exf4 {gambit} (2... d5)) "
    "Nc6 {[%eval #-3]} 3. Bb5 a6 4. Bxc6 dxc6 5. O-O f6 1-0\n";

TEST(MoveLines, SanUciAndLongAlgebraicHoldTheMainLineOnly) {
  EXPECT_EQ(Written(Game, Form(OutputFormat::San)), "e4 e5 Nf3 Nc6 Bb5 a6 Bxc6 dxc6 O-O f6\n");
  EXPECT_EQ(Written(Game, Form(OutputFormat::Uci)), "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5c6 d7c6 e1g1 f7f6\n");
  EXPECT_EQ(Written(Game, Form(OutputFormat::Lan)), "e2-e4 e7-e5 Ng1-f3 Nb8-c6 Bf1-b5 a7-a6 Bb5xc6 d7xc6 O-O f7-f6\n");
}

TEST(MoveLines, PromotionsChecksAndSetUpPositions) {
  const std::string promotion =
      "[Event \"p\"]\n[SetUp \"1\"]\n[FEN \"8/4P1k1/8/8/8/8/8/4K3 w - - 0 40\"]\n\n40. e8=N+ Kh6 *\n";
  EXPECT_EQ(Written(promotion, Form(OutputFormat::Uci)), "fen 8/4P1k1/8/8/8/8/8/4K3 w - - 0 40 moves e7e8n g7h6\n");
  EXPECT_EQ(Written(promotion, Form(OutputFormat::Lan)),
            "fen 8/4P1k1/8/8/8/8/8/4K3 w - - 0 40 moves e7-e8=N+ Kg7-h6\n");
  EXPECT_EQ(Written(promotion, Form(OutputFormat::San)), "fen 8/4P1k1/8/8/8/8/8/4K3 w - - 0 40 moves e8=N+ Kh6\n");
}

TEST(Positions, EveryPositionOfTheMainLineWithinThePliesAsked) {
  OutputForm form = Form(OutputFormat::Fen);
  form.positionsFrom = 1;
  form.positionsTo = 2;
  EXPECT_EQ(Written(Game, form),
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1\t7\t1\n"
            "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2\t7\t2\n");
  form.format = OutputFormat::Epd;
  form.positionsFrom = 0;
  form.positionsTo = 0;
  EXPECT_EQ(
      Written(Game, form),
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - hmvc 0; fmvn 1; id \"7:0\"; c0 \"1-0\"; c1 \":1\";\n");
  const std::string all = Written(Game, Form(OutputFormat::Fen));
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 11);  // the start and ten plies
}

TEST(Json, HoldsTagsMovesClocksEvaluationsAndNestedVariations) {
  const std::string json = Written(Game, Form(OutputFormat::Json));
  EXPECT_EQ(json.back(), '\n');
  EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 1);
  EXPECT_NE(json.find("\"number\":7,"), std::string::npos);
  EXPECT_NE(
      json.find("\"tags\":{\"Event\":\"e\",\"Site\":\"s\",\"Date\":\"2024.01.01\",\"Round\":\"1\",\"White\":\"W\","
                "\"Black\":\"B\",\"Result\":\"1-0\",\"Annotator\":\"A\"},\"result\":\"1-0\""),
      std::string::npos)
      << json;
  EXPECT_NE(json.find("\"plies\":10,\"final_fen\":\"r1bqkbnr/1pp3pp/p1p2p2/4p3/4P3/5N2/PPPP1PPP/RNBQ1RK1 w kq - 0 6\""),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"clocks\":[180,178.5,null,null,null,null,null,null,null,null]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"evals\":[0.17,null,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"mates\":[null,null,null,-3,null,"), std::string::npos) << json;
  // The variation replaces move 3 (2. Nf3), and holds one of its own replacing its second move.
  EXPECT_NE(json.find("{\"ply\":3,\"nags\":[1],\"variations\":[{\"san\":[\"f4\",\"exf4\"],\"uci\":[\"f2f4\",\"e5f4\"],"
                      "\"annotations\":[{\"ply\":2,\"comment\":\"gambit\",\"variations\":[{\"san\":[\"d5\"],"
                      "\"uci\":[\"d7d5\"]}]}]}]}"),
            std::string::npos)
      << json;
}

TEST(Json, FollowsTheRemovalOptionsAndWritesOnlyValidUtf8) {
  TProcessingOptions options;
  options.removeComments = true;
  options.removeVariations = true;
  options.keptNags.reset();
  const std::string plain = Written(Game, Form(OutputFormat::Json), options);
  for (const char* gone : {"annotations", "clocks", "evals", "gambit"})
    EXPECT_EQ(plain.find(gone), std::string::npos) << gone;
  // Latin-1 bytes, a lone continuation byte and an overlong form become \u escapes.
  const std::string latin = "[Event \"M\xfcnchen \x80 \xe0\x80\x80\"]\n\n1. e4 *\n";
  const std::string json = Written(latin, Form(OutputFormat::Json));
  EXPECT_NE(json.find("\"Event\":\"M\\u00fcnchen \\u0080 \\u00e0\\u0080\\u0080\""), std::string::npos) << json;
}

TEST(MoveCommands, ReadsClocksEvaluationsAndMates) {
  const MoveCommands c = ReadMoveCommands("{[%clk 1:02:03.5] [%eval -0.35,22]}");
  EXPECT_DOUBLE_EQ(*c.clock, 3723.5);
  EXPECT_DOUBLE_EQ(*c.eval, -0.35);
  EXPECT_FALSE(c.mate);
  EXPECT_EQ(*ReadMoveCommands("{[%eval #4]}").mate, 4);
  EXPECT_EQ(*ReadMoveCommands("{[%eval +1.5]}").eval, 1.5);
  EXPECT_DOUBLE_EQ(*ReadMoveCommands("{[%clk 0:00:07]}").clock, 7);
  // Commands that are no numbers give none; a clock command of another name is not one.
  EXPECT_FALSE(ReadMoveCommands("{[%eval abc]}").eval);
  EXPECT_FALSE(ReadMoveCommands("{[%clkx 0:01:00]}").clock);
  EXPECT_FALSE(ReadMoveCommands("{[%clk ]}").clock);
  EXPECT_FALSE(ReadMoveCommands("{[%eval #]}").mate);
  EXPECT_EQ(CommentText("{ first }  {second}\n;third\n"), "first second third");
}

TEST(WriterKnobs, TagsKeptDroppedAndAPlyCount) {
  OutputForm form;
  form.keepTags = {"white", "Black"};
  form.addPlyCount = true;
  const std::string setUp =
      "[Event \"e\"]\n[White \"W\"]\n[Black \"B\"]\n[SetUp \"1\"]\n"
      "[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n[PlyCount \"99\"]\n\n1. Kd2 *\n";
  const std::string kept = Written(setUp, form);
  // The SetUp and FEN pair stays, whatever the list: the moves depend on it.
  EXPECT_EQ(kept.substr(0, kept.find("\r\n\r\n")),
            "[White \"W\"]\r\n[Black \"B\"]\r\n[SetUp \"1\"]\r\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\r\n"
            "[PlyCount \"1\"]");
  form.keepTags.clear();
  form.dropTags = {"Black", "plycount"};
  form.addPlyCount = false;
  const std::string dropped = Written(setUp, form);
  EXPECT_EQ(dropped.find("[Black"), std::string::npos);
  EXPECT_EQ(dropped.find("[PlyCount"), std::string::npos);
  EXPECT_NE(dropped.find("[FEN"), std::string::npos);
}

TEST(WriterKnobs, LineLengthBoundsEveryMovetextLine) {
  const std::string text = "[Event \"e\"]\n\n" + std::string(
                                                     "1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. Nf3 Nf6 "
                                                     "6. Ng1 Ng8 7. Nf3 Nf6 8. Ng1 Ng8 9. Nf3 Nf6 10. Ng1 Ng8 *\n");
  for (const int width : {0, 20, 40, 80}) {
    OutputForm form;
    form.lineLength = width;
    const std::string out = Written(text, form);
    const std::string movetext = out.substr(out.find("\r\n\r\n") + 4);
    size_t lines = 0;
    for (size_t start = 0, end; (end = movetext.find("\r\n", start)) != std::string::npos && end > start;
         start = end + 2) {
      ++lines;
      if (width) {
        EXPECT_LT(end - start, size_t(width)) << movetext;
      }
    }
    if (width == 0) {
      EXPECT_EQ(lines, 1u) << movetext;
    }
    if (width == 20) {
      EXPECT_GT(lines, 4u) << movetext;
    }
  }
}

}  // namespace

namespace {

TEST(SplitVariations, EachVariationToTheDepthAskedBecomesAGameFromTheStart) {
  OutputForm form = Form(OutputFormat::San);
  form.splitVariations = 1;
  // The main line, then the variation of its third move with the two moves before it; the
  // variation inside it is deeper than asked.
  EXPECT_EQ(Written(Game, form),
            "e4 e5 Nf3 Nc6 Bb5 a6 Bxc6 dxc6 O-O f6\n"
            "e4 e5 f4 exf4\n");
  form.splitVariations = 2;
  EXPECT_EQ(Written(Game, form),
            "e4 e5 Nf3 Nc6 Bb5 a6 Bxc6 dxc6 O-O f6\n"
            "e4 e5 f4 exf4\n"
            "e4 e5 f4 d5\n");
}

TEST(SplitVariations, VariationGamesKeepTheirCommentsAndTakeNoResult) {
  OutputForm form;
  form.splitVariations = 2;
  form.lineLength = 0;
  const std::string out = Written(Game, form);
  // Three games, the two variation games with the result "*" in their tag and movetext.
  size_t games = 0;
  for (size_t at = out.find("[Event "); at != std::string::npos; at = out.find("[Event ", at + 1)) ++games;
  EXPECT_EQ(games, 3u) << out;
  EXPECT_NE(out.find("1.e4 {[%clk 0:03:00] [%eval 0.17]} 1...e5 {[%clk 0:02:58.5]} 2.f4 exf4 {gambit} *"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("2.f4 d5 *"), std::string::npos) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '('), 2) << out;  // the main game's two, no more
}

}  // namespace
