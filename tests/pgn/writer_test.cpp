// The PGN writer: tag sections under each removal mode, movetext with numbers, variations,
// comments, NAGs and line breaks, output files; and reading back what was written.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "pgn/game_reader.h"
#include "pgn/pgn_writer.h"
#include "tests/support/shared_data.h"
#include "tests/support/temp_dir.h"

namespace {

TGames Read(const std::string& text) {
  TGames games;
  ReadOptions options;
  EXPECT_EQ(ReadGames(text, games, options), 0) << text;
  return games;
}

// The output of one game read from PGN text, with the given options.
std::string Rewrite(const std::string& text, const TProcessingOptions& options = {}) {
  TGames games = Read(text);
  EXPECT_EQ(games.size(), 1u) << text;
  OutputBuffer buffer;
  for (const TGame& game : games) WriteGame(game, buffer, options);
  return std::string(buffer.Text());
}

// Only the movetext part of the output (after the tag section and its empty line).
std::string Movetext(const std::string& text, const TProcessingOptions& options = {}) {
  const std::string out = Rewrite(text, options);
  const size_t start = out.find("\r\n\r\n");
  return start == std::string::npos ? out : out.substr(start + 4);
}

const std::string Tags = "[Event \"e\"]\n[Result \"1-0\"]\n\n";

TEST(Writer, WritesTheRosterAMovetextLineAndAnEmptyLine) {
  EXPECT_EQ(Rewrite(Tags + "1. e4 e5 1-0"),
            "[Event \"e\"]\r\n[Site \"?\"]\r\n[Date \"????.??.??\"]\r\n[Round \"?\"]\r\n[White \"Anonymous\"]\r\n"
            "[Black \"Anonymous\"]\r\n[Result \"1-0\"]\r\n\r\n1.e4 e5 1-0\r\n\r\n");
}

TEST(Writer, NumbersVariationsAndComments) {
  EXPECT_EQ(Movetext(Tags + "1. e4 e5 (1... c5 2. Nf3) 2. Nf3 *"), "1.e4 e5 (1...c5 2.Nf3) 2.Nf3 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(Tags + "1. e4 {best} e5 *"), "1.e4 {best} 1...e5 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(Tags + "1. e4 2. d4 *"), "1.e4 -- 2.d4 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(Tags + "1. e4 (1. d4) e5 *"), "1.e4 (1.d4) 1...e5 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(Tags + "{lead} 1. e4 ; rest of line\n e5 *"), "{lead} 1.e4 {; rest of line} 1...e5 1-0\r\n\r\n");
}

// Comments of several lines (study exports: paragraphs, then "[%cal ...]" or a quoted tag line)
// are written with their lines as they were, but no line of theirs may open with "[" or "%":
// after an empty line the reader would take it for the next game's tags, or for an escape line.
// What is written reads back as the same games, the comment whole, and writes the same again.
TEST(Writer, CommentLinesNeverOpenWithATagOrAnEscape) {
  const std::string second = "[Event \"next\"]\n[Result \"*\"]\n\n1. d4 *\n\n";
  for (const std::string comment :
       {"{First paragraph.\n\n[%cal Ge2e4]}", "{Quoted:\n\n[Event \"inside\"]\n}", "{a\n%not an escape\nb}",
        "{a\r\n\r\n[%csl Rd4]\r\nb}", "{a\r\r[x]}", "{\n\n[y]}"}) {
    SCOPED_TRACE(comment);
    // Given to the game as a host or a study export holds it (our reader would take the empty
    // line and the "[" after it for the next game).
    TGames games = Read(Tags + "1. e4 {x} e5 1-0\n\n" + second);
    ASSERT_EQ(games.size(), 2u);
    games[0].game->moves[0].comment = comment;
    OutputBuffer once;
    for (const TGame& game : games) WriteGame(game, once, {});
    TGames again;
    ReadOptions options;
    EXPECT_EQ(ReadGames(once.Text(), again, options), 0) << once.Text();
    ASSERT_EQ(again.size(), 2u) << once.Text();
    ASSERT_EQ(again[0].game->moves.size(), 2u) << once.Text();
    const std::string_view kept = again[0].game->moves[0].comment;
    EXPECT_EQ(kept.substr(kept.size() - 2), comment.substr(comment.size() - 2));  // whole, to its "}"
    const std::string_view written = once.Text();
    const size_t open = written.find('{'), close = written.find('}', open);
    ASSERT_NE(close, std::string_view::npos) << written;
    for (size_t at = open; at < close; ++at) {
      if (written[at] == '\n' || written[at] == '\r') {
        EXPECT_TRUE(written[at + 1] != '[' && written[at + 1] != '%') << "a comment line opens a tag: " << written;
      }
    }
    OutputBuffer twice;
    for (const TGame& game : again) WriteGame(game, twice, {});
    EXPECT_EQ(twice.Text(), once.Text());
  }
}

// A side that passes is written as the null move "--", numbered as a move, so the text reads
// back as the same game.
TEST(Writer, NullMovesAreWrittenAndReadBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"1. e4 -- 2. d4 e5 *", "1.e4 -- 2.d4 e5 1-0\r\n\r\n"},
      {"1. e4 e5 2. -- Nf6 3. d4 *", "1.e4 e5 2.-- Nf6 3.d4 1-0\r\n\r\n"},
      {"1. e4 {why} -- 2. d4 *", "1.e4 {why} 1...-- 2.d4 1-0\r\n\r\n"},
      {"1. e4 e5 (1... -- 2. d4) 2. Nf3 *", "1.e4 e5 (2.d4) 2.Nf3 1-0\r\n\r\n"},
      // A variation beside a move played after a pass starts after that pass.
      {"1. e4 e5 2. Nf3 -- 3. d4 (3. c4 Nc6) exd4 *", "1.e4 e5 2.Nf3 -- 3.d4 (3.c4 Nc6) 3...exd4 1-0\r\n\r\n"},
  };
  for (const auto& [text, expected] : cases) {
    const std::string written = Movetext(Tags + text);
    EXPECT_EQ(written, expected) << text;
    EXPECT_EQ(Movetext(Tags + written), written) << text;
  }
}

// Glyphs read from moves are written as their NAGs; a game whose result was corrected to the
// mate it ends in reads back.
TEST(Writer, GlyphsAndCorrectedResultsReadBack) {
  EXPECT_EQ(Movetext(Tags + "1. e4!! e5? 2. Nf3?! *"), "1.e4 $3 e5 $2 2.Nf3 $6 1-0\r\n\r\n");
  const std::string corrected =
      Rewrite("[Event \"e\"]\n[Result \"1/2-1/2\"]\n\n1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6 4. Qxf7# 1-0");
  EXPECT_NE(corrected.find("[Result \"1-0\"]"), std::string::npos);
  EXPECT_EQ(Rewrite(corrected), corrected);
}

TEST(Writer, NumbersFollowTheRecordsCountSoOddLinesReadBack) {
  // Four dots leave white to move, so the variation holds a white move where black was to play:
  // the record counts it as move 2, and so must the text.
  const std::string text = Movetext(Tags + "1. e4 e5 (1... . Nf3 Nc6 3. Bb5) *");
  EXPECT_EQ(text, "1.e4 e5 (2.Nf3 Nc6 3.Bb5) 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(Tags + text), text);
}

// Move numbers of one, two, three and four digits, from positions set up late in a game; the
// number of a black move carries three dots.
TEST(Writer, NumbersOfEveryLength) {
  auto fromMove = [](int number, char side) {
    return "[Event \"e\"]\n[Result \"1-0\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 " + std::string(1, side) +
           " - - 0 " + std::to_string(number) + "\"]\n\n";
  };
  EXPECT_EQ(Movetext(fromMove(9, 'w') + "9. Kd2 Kd7 10. Ke3 *"), "9.Kd2 Kd7 10.Ke3 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(fromMove(99, 'b') + "99... Kd7 100. Kd2 *"), "99...Kd7 100.Kd2 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(fromMove(999, 'w') + "999. Kd2 Kd7 1000. Ke3 Ke6 1001. Kf4 *"),
            "999.Kd2 Kd7 1000.Ke3 Ke6 1001.Kf4 1-0\r\n\r\n");
  EXPECT_EQ(Movetext(fromMove(12345, 'b') + "12345... Kd7 *"), "12345...Kd7 1-0\r\n\r\n");
}

TEST(Writer, RemovalOptions) {
  TProcessingOptions options;
  options.removeComments = true;
  options.removeVariations = true;
  EXPECT_EQ(Movetext(Tags + "{lead} 1. e4 {c} e5 (1... c5) 2. Nf3 *", options), "1.e4 e5 2.Nf3 1-0\r\n\r\n");
}

TEST(Writer, NagsAreKeptAsDollarTokensOrDropped) {
  const std::string game = Tags + "1. Nf3 $5 d5 $14 2. g3 Nf6 3. Bg2 Nc6 4. O-O!? *";
  EXPECT_EQ(Movetext(game), "1.Nf3 $5 d5 $14 2.g3 Nf6 3.Bg2 Nc6 4.O-O $5 1-0\r\n\r\n");
  TProcessingOptions options;
  options.keptNags.reset(5);
  EXPECT_EQ(Movetext(game, options), "1.Nf3 d5 $14 2.g3 Nf6 3.Bg2 Nc6 4.O-O 1-0\r\n\r\n");
  options.keptNags.reset();
  EXPECT_EQ(Movetext(game, options), "1.Nf3 d5 2.g3 Nf6 3.Bg2 Nc6 4.O-O 1-0\r\n\r\n");
}

TEST(Writer, TagRemovalModesAndEscaping) {
  const std::string setUp =
      "[Event \"say \\\"hi\\\" \\\\\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n[Annotator \"a\"]\n\n"
      "1. Kd2 *";
  TProcessingOptions options;
  const std::string all = Rewrite(setUp, options);
  EXPECT_NE(all.find("[Event \"say \\\"hi\\\" \\\\\"]\r\n"), std::string::npos);
  EXPECT_NE(all.find("[Annotator \"a\"]\r\n"), std::string::npos);
  options.tagRemoval = TagRemoval::AllButRoster;
  const std::string roster = Rewrite(setUp, options);
  EXPECT_NE(roster.find("[SetUp \"1\"]\r\n[FEN"), std::string::npos);
  EXPECT_EQ(roster.find("Annotator"), std::string::npos);
  options.tagRemoval = TagRemoval::All;
  EXPECT_EQ(Rewrite(setUp, options), "[SetUp \"1\"]\r\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\r\n\r\n1.Kd2 *\r\n\r\n");
  EXPECT_EQ(Rewrite(Tags + "1. e4 *", options), "\r\n1.e4 1-0\r\n\r\n");
}

TEST(Writer, UnknownResultsBecomeAStar) { EXPECT_EQ(Movetext("[Result \"1-0 (adj.)\"]\n\n1. e4 *"), "1.e4 *\r\n\r\n"); }

TEST(Writer, BreaksLinesBeforeTheEightiethColumn) {
  std::string game = Tags;
  // A long game of knight shuffles.
  for (int i = 1; i <= 40; ++i) game += std::to_string(i) + (i % 2 ? ". Nf3 Nf6 " : ". Ng1 Ng8 ");
  game += "*";
  const std::string text = Movetext(game);
  size_t start = 0;
  int lines = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    EXPECT_LE(end - start, 78u) << text.substr(start, end - start);
    start = end + 2;
    ++lines;
  }
  EXPECT_GT(lines, 3);
  EXPECT_EQ(Read(Tags + text)[0].game->movecount(), 80);
}

TEST(OutputFiles, AppendOrReplace) {
  TempDir dir;
  const std::filesystem::path file = dir / "out.pgn";
  OutputBuffer buffer;
  buffer.Append("game\r\n");
  EXPECT_TRUE(WriteOutputFile(file, buffer, true).ok);
  EXPECT_TRUE(WriteOutputFile(file, buffer, true).ok);
  EXPECT_EQ(TempDir::Read(file), "game\r\ngame\r\n");
  EXPECT_TRUE(WriteOutputFile(file, buffer, false).ok);
  EXPECT_EQ(TempDir::Read(file), "game\r\n");
  const WriteResult failed = WriteOutputFile(dir / "missing folder" / "out.pgn", buffer, false);
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.error.empty());
}

// A file written in pieces becomes the target only when finished; one abandoned leaves the
// target as it was, whether it replaced the file or appended to it.
TEST(OutputFiles, PiecesAreWrittenAndAnAbandonedFileLeavesTheOldOne) {
  TempDir dir;
  const std::filesystem::path file = dir / "out.pgn";
  OutputBuffer first, second;
  first.Append("one\r\n");
  second.Append("two\r\n");
  for (const bool append : {false, true}) {
    SCOPED_TRACE(append ? "appending" : "replacing");
    TempDir::Write(file, "old\r\n");
    {
      OutputFileWriter writer(file, append);
      EXPECT_TRUE(writer.Write(first));
      EXPECT_TRUE(writer.Write(second));
      writer.Abandon();
    }
    EXPECT_EQ(TempDir::Read(file), "old\r\n");
    {
      OutputFileWriter writer(file, append);
      writer.Write(first);
    }  // never finished: abandoned
    EXPECT_EQ(TempDir::Read(file), "old\r\n");
    OutputFileWriter writer(file, append);
    EXPECT_TRUE(writer.Write(first));
    EXPECT_TRUE(writer.Write(second));
    EXPECT_TRUE(writer.Finish().ok);
    EXPECT_EQ(TempDir::Read(file), std::string(append ? "old\r\n" : "") + "one\r\ntwo\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pgn.new"));
  }
  // Appending to a file that was not there: abandoning removes what was begun.
  {
    OutputFileWriter writer(dir / "fresh.pgn", true);
    writer.Write(first);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "fresh.pgn"));
  OutputFileWriter nowhere(dir / "missing folder" / "out.pgn", false);
  EXPECT_FALSE(nowhere.Write(first));
  const WriteResult failed = nowhere.Finish();
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.error.empty());
}

// Two trees hold the same moves, texts, NAGs and comments.
void ExpectSameGame(const jurnal& a, const jurnal& b, const std::string& where) {
  ASSERT_EQ(a.moves.size(), b.moves.size()) << where;
  EXPECT_EQ(a.startcomment, b.startcomment) << where;
  for (size_t i = 0; i < a.moves.size(); ++i) {
    const mov& x = a.moves[i];
    const mov& y = b.moves[i];
    const std::string at = where + " ply " + std::to_string(i + 1);
    ASSERT_TRUE(x.SameBoardMove(y)) << at;
    EXPECT_EQ(x.san, y.san) << at;
    EXPECT_EQ(x.comment, y.comment) << at;
    EXPECT_EQ(x.nag, y.nag) << at;
    ASSERT_EQ(x.variations.size(), y.variations.size()) << at;
    for (size_t v = 0; v < x.variations.size(); ++v)
      ExpectSameGame(*x.variations[v], *y.variations[v], at + " var " + std::to_string(v + 1));
  }
}

// Reading what was written gives the same games, for the real collections.
TEST(RoundTrip, RealCollectionsReadWriteReadIdentically) {
  const std::filesystem::path data = PGN_SHARED_DATA "/pgn";
  PGN_SKIP_WITHOUT_SHARED(data);
  int files = 0;
  size_t games = 0;
  for (const char* name : {"otb/Morphy.pgn", "online/lichess-broadcast-FWWRC-2024.pgn", "annotated/dortmund.pgn",
                           "annotated/world_matches.pgn", "annotated/variations.pgn",
                           "engine/TCEC_Season_5_-_Superfinal.pgn", "online/twic1599-slice.pgn"}) {
    std::ifstream in(data / name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TGames first;
    ReadOptions options;
    ReadGames(text, first, options);
    ASSERT_FALSE(first.empty()) << name;
    OutputBuffer buffer;
    const TProcessingOptions keepAll;
    for (const TGame& game : first) WriteGame(game, buffer, keepAll);
    TGames second;
    EXPECT_EQ(ReadGames(buffer.Text(), second, options), 0) << name;
    ASSERT_EQ(first.size(), second.size()) << name;
    for (size_t g = 0; g < first.size(); ++g) {
      ASSERT_EQ(first[g].tags.size(), second[g].tags.size()) << name << " game " << g + 1;
      for (size_t t = 0; t < first[g].tags.size(); ++t) {
        EXPECT_EQ(first[g].tags[t].name, second[g].tags[t].name);
        EXPECT_EQ(first[g].tags[t].value, second[g].tags[t].value);
      }
      ExpectSameGame(*first[g].game, *second[g].game, std::string(name) + " game " + std::to_string(g + 1));
    }
    ++files;
    games += first.size();
  }
  EXPECT_EQ(files, 7);
  RecordProperty("games", std::to_string(games));
}

// Every file of the shared collections reads without harm, and what it gives writes out and
// reads back as the same number of games.
TEST(RoundTrip, EveryCollectedFileReadsWritesAndReadsBack) {
  const std::filesystem::path data = CollectionsFolder();
  PGN_SKIP_WITHOUT_COLLECTIONS(data);
  int files = 0;
  for (const auto& item : std::filesystem::recursive_directory_iterator(data)) {
    if (!item.is_regular_file() || item.path().extension() != ".pgn") continue;
#ifdef PGN_SANITIZE_BUILD
    if (item.file_size() > 2000000) continue;  // the instrumented build reads the small ones
#endif
    std::ifstream in(item.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TGames first;
    ReadReport report;
    ReadOptions options;
    options.report = &report;
    ReadGames(text, first, options);
    OutputBuffer buffer;
    const TProcessingOptions keepAll;
    for (const TGame& game : first) WriteGame(game, buffer, keepAll);
    TGames second;
    EXPECT_EQ(ReadGames(buffer.Text(), second, options), 0) << item.path();
    EXPECT_EQ(first.size(), second.size()) << item.path();
    ++files;
  }
  EXPECT_GT(files, 50);
}

}  // namespace
