// The PGN reader: tag sections and their normalisation, movetext tokens, status codes, whole
// texts with skipped games, and re-reading from byte positions.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pgn/game_reader.h"
#include "pgn/pgn_reader.h"
#include "tests/support/read_text.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::string_literals;

// Reads one tag section; returns the code.
int Tags(const std::string& text, TGamesTagArray& tags) {
  PgnReader reader(text);
  std::string fen;
  return reader.ReadTagSection(tags, fen);
}

using Result = sample::ReadResult;
using sample::ReadText;

// The code a single game's movetext gives (after a minimal tag section).
int MovetextCode(const std::string& movetext) {
  Result r = ReadText("[Event \"t\"]\n\n" + movetext);
  if (r.code) return r.code;
  if (!r.report.issues.empty()) return r.report.issues[0].code;
  return 0;
}

// The SAN texts of a game's main line.
std::string MainLine(const jurnal& game) {
  std::string line;
  for (const mov& m : game.moves) line += (line.empty() ? "" : " ") + m.san;
  return line;
}

TEST(TagSection, SuppliesTheSevenTagRosterInOrder) {
  TGamesTagArray tags;
  ASSERT_EQ(Tags("[White \"Player A\"]\n1. e4", tags), 0);
  ASSERT_EQ(tags.size(), 7u);
  const char* names[] = {"Event", "Site", "Date", "Round", "White", "Black", "Result"};
  const char* values[] = {"?", "?", "????.??.??", "?", "Player A", "Anonymous", "*"};
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(tags[i].name, names[i]);
    EXPECT_EQ(tags[i].value, values[i]);
  }
}

TEST(TagSection, FoldsRosterNamesAndRejectsExactDuplicates) {
  TGamesTagArray tags;
  ASSERT_EQ(Tags("[event \"x\"]\n[Annotator \"a\"]\n1. e4", tags), 0);
  EXPECT_EQ(tags[0].name, "Event");
  EXPECT_EQ(tags[0].value, "x");
  EXPECT_EQ(tags[7].name, "Annotator");
  EXPECT_EQ(Tags("[event \"x\"] [Event \"y\"]\n1. e4", tags), DuplicateTag);
  EXPECT_EQ(Tags("[event \"x\"] [EVENT \"y\"]\n1. e4", tags), 0);
  EXPECT_EQ(Tags("[Opening \"x\"] [Opening \"y\"]\n1. e4", tags), DuplicateTag);
}

TEST(TagSection, PlacesSetUpFenAndEco) {
  TGamesTagArray tags;
  PgnReader reader(
      "[ECO \"B20\"] [FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"] [Annotator \"z\"] [setup \"1\"] [Event \"e\"]\n*");
  std::string fen;
  ASSERT_EQ(reader.ReadTagSection(tags, fen), 0);
  EXPECT_EQ(tags[0].value, "e");
  EXPECT_EQ(tags[7].name, "SetUp");
  EXPECT_EQ(tags[8].name, "FEN");
  EXPECT_EQ(fen, "8/8/8/8/8/8/8/K6k w - - 0 1");
  EXPECT_EQ(tags[9].name, "ECO");
  EXPECT_EQ(tags[9].value, "B20");
  TGamesTagArray plain;
  ASSERT_EQ(Tags("[Annotator \"z\"] [Eco \"C00\"]\n*", plain), 0);
  EXPECT_EQ(plain[7].name, "ECO");
}

TEST(TagSection, SetUpMustAgreeWithFen) {
  TGamesTagArray tags;
  EXPECT_EQ(Tags("[SetUp \"1\"]\n*", tags), SetUpWithoutFen);
  EXPECT_EQ(Tags("[SetUp \"2\"]\n*", tags), BadSetUp);
  // A FEN without SetUp "1" is refused wherever it stands: right after the roster too (it was
  // once passed over there, and the game read from the initial position could not be read back).
  EXPECT_EQ(Tags("[Event \"e\"][FEN \"8/8/8/8/8/8/8/K6k w - -\"]\n*", tags), SetUpWithoutFen);
  EXPECT_EQ(Tags("[Event \"e\"][Site \"s\"][FEN \"8/8/8/8/8/8/8/K6k w - -\"]\n*", tags), SetUpWithoutFen);
  EXPECT_EQ(Tags("[Event \"e\"][Annotator \"a\"][FEN \"8/8/8/8/8/8/8/K6k w - -\"]\n*", tags), SetUpWithoutFen);
  EXPECT_EQ(Tags("[SetUp \"0\"][FEN \"8/8/8/8/8/8/8/K6k w - -\"]\n*", tags), SetUpWithoutFen);
}

TEST(TagSection, BadLinesEndingInBracketAreIgnoredOthersStop) {
  TGamesTagArray tags;
  EXPECT_EQ(Tags("[Event \"e\"]\n[Annotator \"abc]\n[Site \"s\"]\n*", tags), 0);
  EXPECT_EQ(tags[1].value, "s");
  EXPECT_EQ(Tags("[Event \"e\"]\n[Annotator abc\n[Site \"s\"]\n*", tags), BadTagLine);
  EXPECT_EQ(Tags("[Event \"e\"]\n[Site \"s\"]", tags), TextEndsInTags);
  // A tab inside a value spoils the pair; its line still ends with "]", so it is skipped.
  EXPECT_EQ(Tags("[Event \"tab\there\"]\n[Site \"s\"]\n*", tags), 0);
  EXPECT_EQ(tags[0].value, "?");
}

TEST(TagSection, UnescapesBackslashes) {
  TGamesTagArray tags;
  ASSERT_EQ(Tags(R"([Event "say \"hi\" \\ \n"])"
                 "\n*",
                 tags),
            0);
  EXPECT_EQ(tags[0].value, R"(say "hi" \ \n)");
  // A backslash before anything else stays, at the start or the end of a value too.
  ASSERT_EQ(Tags(R"([Event "\a\b"] [Site "x\\"] [Round ""])"
                 "\n*",
                 tags),
            0);
  EXPECT_EQ(tags[0].value, R"(\a\b)");
  EXPECT_EQ(tags[1].value, R"(x\)");
  EXPECT_EQ(tags[3].value, "");
  // A zero byte spoils the pair like a tab.
  ASSERT_EQ(Tags("[Event \"a\0b\"]\n[Site \"s\"]\n*"s, tags), 0);
  EXPECT_EQ(tags[0].value, "?");
  EXPECT_EQ(tags[1].value, "s");
}

// Every byte a value may hold is kept and every byte that ends or spoils it is seen, wherever it
// stands in a value of any length: values are scanned several bytes at a time.
TEST(TagSection, ValuesOfEveryLengthEndWhereTheirBytesSay) {
  TGamesTagArray tags;
  for (size_t length = 0; length <= 19; ++length)
    for (size_t at = 0; at <= length; ++at) {
      // Plain bytes (controls that are allowed, bytes above 127 too) around one special byte.
      std::string plain;
      for (size_t i = 0; i < length; ++i) plain += "a\x01\x7f\x80\xff\x0e\x0b"[i % 7];
      const std::string head = plain.substr(0, at), tail = plain.substr(at);
      ASSERT_EQ(Tags("[Event \"" + plain + "\"]\n*", tags), 0) << length;
      EXPECT_EQ(tags[0].value, plain);
      ASSERT_EQ(Tags("[Event \"" + head + "\\\"" + tail + "\"]\n*", tags), 0) << length << " " << at;
      EXPECT_EQ(tags[0].value, head + "\"" + tail);
      ASSERT_EQ(Tags("[Event \"" + head + "\\\\" + tail + "\"]\n*", tags), 0);
      EXPECT_EQ(tags[0].value, head + "\\" + tail);
      for (const char spoiler : {'\t', '\0'}) {
        ASSERT_EQ(Tags("[Event \"" + head + spoiler + tail + "\"]\n[Site \"s\"]\n*", tags), 0);
        EXPECT_EQ(tags[0].value, "?") << length << " " << at << " " << int(spoiler);
      }
      // A value broken by the line's end leaves a line that is no tag pair.
      for (const char* lineEnd : {"\n", "\r"})
        EXPECT_EQ(Tags("[Event \"" + head + lineEnd + tail + "\"]\n[Site \"s\"]\n*", tags), BadTagLine);
    }
}

// A comment opened inside a tag pair that runs into the next game cuts the pair short: the
// section ends there, the pair read so far kept without a value.
TEST(TagSection, APairCutShortByAnOpenCommentKeepsNoValue) {
  TGamesTagArray tags;
  EXPECT_EQ(Tags("[Site \"s\"]\n[Event {open\n\n[Event \"next\"]\n\n1. e4 *", tags), UnclosedComment);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags[0].value, "s");
  EXPECT_EQ(tags[1].name, "Event");
  EXPECT_EQ(tags[1].value, "");
}

// Values are kept as they are read until the section is normalised; escaped ones are gathered
// apart. Many of them in one section, short and long, must all come through, wherever the
// normalising moves their tags.
TEST(TagSection, ManyEscapedValuesInOneSectionKeepTheirTexts) {
  std::string section;
  for (int i = 0; i < 40; ++i)
    section +=
        "[Tag" + std::to_string(i) + " \"v" + std::to_string(i) + "\\\"q\\\"" + std::string(size_t(i), 'x') + "\"]\n";
  section += R"([result "1-0"] [event "\"E\""])"
             "\n*";
  TGamesTagArray tags;
  ASSERT_EQ(Tags(section, tags), 0);
  ASSERT_EQ(tags.size(), 7u + 40u);
  EXPECT_EQ(tags[0].name, "Event");
  EXPECT_EQ(tags[0].value, R"("E")");
  EXPECT_EQ(tags[6].name, "Result");
  EXPECT_EQ(tags[6].value, "1-0");
  // The roster's tags were swapped into their places: the others are all there, in some order.
  std::map<std::string, std::string> others;
  for (size_t i = 7; i < tags.size(); ++i) others[std::string(tags[i].name)] = tags[i].value;
  ASSERT_EQ(others.size(), 40u);
  for (size_t i = 0; i < 40; ++i)
    EXPECT_EQ(others["Tag" + std::to_string(i)], "v" + std::to_string(i) + "\"q\"" + std::string(i, 'x'));
}

TEST(Movetext, ReadsMovesNumbersAndResults) {
  Result r = ReadText("[Event \"t\"]\n\n1. e4 e5 2. Nf3 Nc6 1-0\n");
  ASSERT_EQ(r.code, 0);
  ASSERT_EQ(r.games.size(), 1u);
  EXPECT_EQ(MainLine(*r.games[0].game), "e4 e5 Nf3 Nc6");
  EXPECT_EQ(r.games[0].sourcePosition, 1);
  EXPECT_EQ(MovetextCode("1. e4 2. d4 *"), 0);  // two white moves in a row
  EXPECT_EQ(MovetextCode("1. e4 3. d4 *"), BadMoveNumber);
}

// Every number of a long line is checked against the moves before it, however they were
// reached: a number may run one ahead (the side to move then switches), never behind or further.
// A game read whole keeps an array of its exact size, whatever its length: shorter than the room
// the reader starts with, as long, longer, or no moves at all; one with variations and comments
// too, and the games after it.
TEST(Movetext, GamesReadWholeKeepArraysOfTheirExactSize) {
  const char* const shuffle[4] = {"Nf3", "Nf6", "Ng1", "Ng8"};  // knights out and back: any length
  std::string text;
  std::vector<size_t> lengths;
  for (const size_t plies : {0, 1, 40, 255, 256, 257, 600}) {
    text += "[Event \"t\"]\n\n";
    for (size_t i = 0; i < plies; ++i) {
      if (i % 2 == 0) text += std::to_string(i / 2 + 1) + ". ";
      text += shuffle[i % 4];
      text += i == 30 ? " {a comment} (" + std::to_string(i / 2 + 1) + ". e4) " : " ";
    }
    text += "*\n\n";
    lengths.push_back(plies);
  }
  const Result r = ReadText(text);
  ASSERT_EQ(r.code, 0);
  ASSERT_EQ(r.games.size(), lengths.size());
  for (size_t g = 0; g < lengths.size(); ++g) {
    SCOPED_TRACE(lengths[g]);
    const MoveList& moves = r.games[g].game->moves;
    EXPECT_EQ(moves.size(), lengths[g]);
    EXPECT_EQ(moves.capacity(), moves.size());
    if (!moves.empty()) {
      EXPECT_EQ(moves.back().san.view(), shuffle[(lengths[g] - 1) % 4]);
    }
  }
  EXPECT_EQ(r.games[3].game->moves[30].comment.view(), "{a comment}");
  EXPECT_EQ(r.games[3].game->moves[30].variations.size(), 1u);
}

TEST(Movetext, ChecksEveryMoveNumberAlongTheLine) {
  std::string shuffle;
  for (int number = 1; number <= 40; ++number)
    shuffle += std::to_string(number) + (number % 2 ? ". Nf3 Nf6 " : ". Ng1 Ng8 ");
  EXPECT_EQ(MovetextCode(shuffle + "*"), 0);
  for (const char* wrong : {"36.", "39."}) {
    std::string text = shuffle;
    text.replace(text.find("37."), 3, wrong);
    EXPECT_EQ(MovetextCode(text + "*"), BadMoveNumber) << wrong;
  }
  // A null move is not recorded: each of two white moves in a row ends a number.
  EXPECT_EQ(MovetextCode("1. e4 -- 2. d4 -- 2. c4 e5 4. Nc3 *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 -- 2. d4 -- 1. c4 *"), BadMoveNumber);
  EXPECT_EQ(MovetextCode("1. e4 -- 2. d4 -- 4. c4 *"), BadMoveNumber);
  EXPECT_EQ(MovetextCode("1. e4 e5 2. -- Nf6 3. Nc3 -- 3. d4 *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 e5 2. -- Nf6 3. Nc3 -- 2. d4 *"), BadMoveNumber);
  // After two white moves in a row the numbers no longer follow from the count of moves.
  EXPECT_EQ(MovetextCode("1. e4 -- 2. d4 e5 3. Nf3 Nc6 4. Bb5 *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 -- 2. d4 e5 3. Nf3 Nc6 3. Bb5 *"), BadMoveNumber);
  // A line that black begins, from a set-up position with its own move number.
  const std::string blackFirst =
      "[Event \"t\"]\n[SetUp \"1\"]\n[FEN \"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 7\"]\n\n";
  auto code = [](const std::string& text) {
    const Result r = ReadText(text);
    return r.code ? r.code : r.report.issues.empty() ? 0 : r.report.issues[0].code;
  };
  EXPECT_EQ(code(blackFirst + "7... e5 8. Nf3 Nc6 9. Bb5 a6 10. Ba4 *"), 0);
  EXPECT_EQ(code(blackFirst + "7... e5 8. Nf3 Nc6 8. Bb5 *"), BadMoveNumber);
  EXPECT_EQ(code(blackFirst + "7... e5 8. Nf3 Nc6 9. Bb5 a6 9. Ba4 *"), BadMoveNumber);
  // The main line's numbers go on after a variation, which has numbers of its own.
  EXPECT_EQ(MovetextCode("1. e4 e5 (1... c5 2. Nf3 d6 3. d4) 2. Nf3 Nc6 3. Bb5 a6 *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 e5 (1... c5 2. Nf3 d6 3. d4) 2. Nf3 Nc6 2. Bb5 *"), BadMoveNumber);
  EXPECT_EQ(MovetextCode("1. e4 e5 (1... c5 2. Nf3 d6 2. d4) 2. Nf3 *"), BadMoveNumber);
}

TEST(Movetext, ReadsVariationsWithTheirMoveNumbers) {
  Result r = ReadText("[Event \"t\"]\n\n1. e4 e5 (1... c5 2. Nf3) 2. Nf3 *");
  ASSERT_EQ(r.games.size(), 1u);
  const jurnal& game = *r.games[0].game;
  EXPECT_EQ(MainLine(game), "e4 e5 Nf3");
  ASSERT_EQ(game.moves[1].variations.size(), 1u);
  EXPECT_EQ(MainLine(*game.moves[1].variations[0]), "c5 Nf3");
  EXPECT_EQ(MovetextCode("1. e4 (1. d4 1-0"), EndsInVariation);
  EXPECT_EQ(MovetextCode("1. e4 (1. d4 *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 (( 1. d4) *"), BadTagLine);
  EXPECT_EQ(MovetextCode("1. e4 () *"), UnexpectedByte);
  EXPECT_EQ(MovetextCode("1. e4 ) *"), UnexpectedByte);
}

TEST(Movetext, ChecksCaptureMarks) {
  EXPECT_EQ(MovetextCode("1. e4 d5 2. exd5 *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 e5 2. exd5 *"), NoLegalMove);  // no pawn can take on an empty d5
  EXPECT_EQ(MovetextCode("1. Nxf3 *"), WrongCaptureMark);
  EXPECT_EQ(MovetextCode("1. e4 d5 2. Bb5+ c6 3. Bc6 *"), WrongCaptureMark);  // captures without x
}

// However a move is written (a pawn's letter, an origin no rival calls for, castling as the
// king's move), its text is the standard one; texts written that way already stay as written.
TEST(Movetext, TextsAreStandardHoweverTheMovesWereWritten) {
  Result r = ReadText(
      "[Event \"t\"]\n\n1. Pe4 e7e5 2. Ng1f3 Nbc6 3. Bb5 a6 4. Bb5xc6 dxc6 5. Ke1g1 Bd6 6. d2d3 "
      "(6. Nc3 Ng8e7 7. Nf3h4 Bc8g4) 6... Ne7 7. Nbd2 O-O 8. R1e1 Ng6 9. d4 e5xd4 10. Nfxd4 Nh4 "
      "11. N4f3 Nxf3+ 12. N2xf3 *");
  ASSERT_EQ(r.games.size(), 1u);
  const jurnal& game = *r.games[0].game;
  EXPECT_EQ(MainLine(game),
            "e4 e5 Nf3 Nc6 Bb5 a6 Bxc6 dxc6 O-O Bd6 d3 Ne7 Nbd2 O-O Re1 Ng6 d4 exd4 Nxd4 Nh4 N4f3 "
            "Nxf3+ Nxf3");
  ASSERT_EQ(game.moves[10].variations.size(), 1u);
  EXPECT_EQ(MainLine(*game.moves[10].variations[0]), "Nc3 Ne7 Nh4 Bg4");
  // A promotion without "=", a glyph, and a move the text ends with.
  const std::string promotion =
      "[Event \"t\"][SetUp \"1\"][FEN \"8/4P3/8/8/8/8/k7/4K3 w - - 0 1\"]\n\n1. e8Q Kb2 2. Qe5+!";
  Result promoted = ReadText(promotion + " *");
  ASSERT_EQ(promoted.games.size(), 1u);
  EXPECT_EQ(MainLine(*promoted.games[0].game), "e8=Q Kb2 Qe5+!");
  Result ending = ReadText("[Event \"t\"]\n\n1. Nf3 Nc6 2. Nf3g1");
  ASSERT_EQ(ending.games.size(), 1u);
  EXPECT_EQ(MainLine(*ending.games[0].game), "Nf3 Nc6 Ng1");
}

TEST(Movetext, PromotionsAndSuffixes) {
  const std::string before = "[Event \"t\"][SetUp \"1\"][FEN \"8/4P3/8/8/8/8/k7/4K3 w - - 0 1\"]\n\n1. ";
  for (const char* ok : {"e8Q", "e8=Q", "e8=Q+", "e8=N"})
    EXPECT_EQ(ReadText(before + ok + " *").games.size(), 1u) << ok;
  Result missing = ReadText(before + "e8 *");
  ASSERT_EQ(missing.report.issues.size(), 1u);
  EXPECT_EQ(missing.report.issues[0].code, MissingPromotion);
  EXPECT_EQ(MovetextCode("1. Nf3+# *"), MalformedMove);
  EXPECT_EQ(MovetextCode("1. e2-e4 *"), MalformedMove);
  EXPECT_EQ(MovetextCode("1. Nf3g *"), MalformedMove);
  EXPECT_EQ(MovetextCode("1. e2e4 *"), 0);
}

TEST(Movetext, GlyphsAndNags) {
  Result r = ReadText("[Event \"t\"]\n\n1. Nf3!? Nf6 2. g3 g6 3. Bg2 Bg7 4. O-O!? O-O $2 5. d3 $0 *");
  ASSERT_EQ(r.games.size(), 1u);
  const jurnal& game = *r.games[0].game;
  EXPECT_EQ(game.moves[0].nag, 5);
  EXPECT_EQ(game.moves[1].nag, 0);
  EXPECT_EQ(game.moves[6].nag, 5);
  EXPECT_EQ(game.moves[6].san, "O-O!?");
  EXPECT_EQ(game.moves[7].nag, 2);
  EXPECT_EQ(game.moves[7].san, "O-O?");
  EXPECT_EQ(game.moves[8].nag, 0);
  EXPECT_EQ(MovetextCode("1. e4 $300 *"), NagTooLarge);
}

// Every glyph stands for its NAG on every kind of move, as the last byte of the text too; a
// NAG written after the glyph takes its place.
TEST(Movetext, GlyphsAreRecordedOnEveryMove) {
  Result r = ReadText("[Event \"t\"]\n\n1. e4! e5? 2. Nf3!! Nc6?? 3. Bb5!? a6?! 4. Bxc6 $10 dxc6! $14 5. O-O?");
  ASSERT_EQ(r.games.size(), 1u);
  const jurnal& game = *r.games[0].game;
  const int expected[] = {1, 2, 3, 4, 5, 6, 10, 14, 2};
  ASSERT_EQ(game.moves.size(), 9u);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(game.moves[i].nag, expected[i]) << i;
  EXPECT_EQ(game.moves[0].san, "e4!");  // shown as the glyph again
  Result promotion = ReadText("[Event \"t\"][SetUp \"1\"][FEN \"8/4P3/8/8/8/8/k7/4K3 w - - 0 1\"]\n\n1. e8=Q+!! *");
  ASSERT_EQ(promotion.games.size(), 1u);
  EXPECT_EQ(promotion.games[0].game->moves[0].nag, 3);
  EXPECT_EQ(MovetextCode("1. e4!!! *"), UnexpectedByte);  // no glyph has three marks
}

TEST(Movetext, ResultsMustNotContradictTheBoard) {
  EXPECT_EQ(MovetextCode("1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1/2-1/2"), ResultContradicts);
  EXPECT_EQ(MovetextCode("1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 0-1"), ResultContradicts);
  EXPECT_EQ(MovetextCode("1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0"), 0);
  EXPECT_EQ(MovetextCode("1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# Ke7 1-0"), MoveAfterEnd);
}

// After 1. Qb6 the black king on a8 has no move and is not in check.
TEST(Movetext, NothingFollowsAStalemateButADraw) {
  const std::string before = "[Event \"t\"][SetUp \"1\"][FEN \"k7/8/8/2Q5/8/8/8/4K3 w - - 0 1\"]\n\n1. Qb6 ";
  auto code = [&](const std::string& rest) {
    Result r = ReadText(before + rest);
    return r.report.issues.empty() ? 0 : r.report.issues[0].code;
  };
  EXPECT_EQ(code("1/2-1/2"), 0);
  EXPECT_EQ(code("*"), 0);
  EXPECT_EQ(code("1-0"), ResultContradicts);
  EXPECT_EQ(code("0-1"), ResultContradicts);
  // A move by the stalemated side, whether its text names a piece it has or not.
  EXPECT_EQ(code("Ka7 *"), MoveAfterEnd);
  EXPECT_EQ(code("Kb9 *"), MoveAfterEnd);
  EXPECT_EQ(code("Nf6 *"), MoveAfterEnd);
  // A move by the other side, after a null move or a number that switches sides.
  EXPECT_EQ(code("-- 2. Qc6 *"), MoveAfterEnd);
  EXPECT_EQ(code("2. Qc6 *"), MoveAfterEnd);
  // The same moves one square off are no stalemate.
  const std::string free = "[Event \"t\"][SetUp \"1\"][FEN \"k7/8/8/2Q5/8/8/8/4K3 w - - 0 1\"]\n\n1. Qd6 ";
  EXPECT_EQ(ReadText(free + "Ka7 1-0").report.issues.size(), 0u);
  EXPECT_EQ(ReadText(free + "Kb9 *").report.issues[0].code, MalformedMove);

  // The reader gives up at the move itself.
  Result r = ReadText(before + "Ka7 *");
  ASSERT_EQ(r.report.issues.size(), 1u);
  EXPECT_EQ(size_t(r.report.issues[0].position), before.size() + 1);
}

// A set-up position no game reaches is refused, its rule named in the report: here the side not
// to move is in check, so that its king could be taken (1. Rxe8); the game after it is read.
TEST(Movetext, ASetUpNoGameReachesIsRefusedWithItsRule) {
  Result r = ReadText(
      "[Event \"t\"][SetUp \"1\"][FEN \"4k3/8/8/8/8/8/4R3/K7 w - - 0 1\"]\n\n1. Rxe8 *\n\n"
      "[Event \"u\"]\n\n1. e4 *");
  ASSERT_EQ(r.games.size(), 1u);
  EXPECT_EQ(MainLine(*r.games[0].game), "e4");
  ASSERT_EQ(r.report.issues.size(), 1u);
  EXPECT_EQ(r.report.issues[0].code, BadFen);
  EXPECT_NE(r.report.issues[0].detail.find("the side not to move is in check"), std::string::npos)
      << r.report.issues[0].detail;
}

// Nothing a file says about a move is dropped: a comment before the move's variations, one
// after them, and comments in a row all stay with the move, their words kept apart.
TEST(Movetext, CommentsAroundVariationsAreAllKept) {
  Result r = ReadText("[Event \"t\"]\n\n1. e4 {c1} (1. d4 {c2}) 1... e5 {c3} 2. Nf3 {x} {y} ;z\n2... Nc6 *");
  ASSERT_EQ(r.games.size(), 1u);
  const jurnal& game = *r.games[0].game;
  EXPECT_EQ(game.moves[0].comment, "{c1}");
  ASSERT_EQ(game.moves[0].variations.size(), 1u);
  EXPECT_EQ(game.moves[0].variations[0]->moves[0].comment, "{c2}");
  EXPECT_EQ(game.moves[1].comment, "{c3}");
  EXPECT_EQ(game.moves[2].comment, "{x y ;z}");

  r = ReadText("[Event \"t\"]\n\n1. e4 {before} (1. d4) (1. c4) {after} 1... e5 *");
  ASSERT_EQ(r.games.size(), 1u);
  EXPECT_EQ(r.games[0].game->moves[0].comment, "{before after}");
  EXPECT_EQ(r.games[0].game->moves[1].comment, "");
  // Spaces already at the joint are not doubled.
  r = ReadText("[Event \"t\"]\n\n1. e4 { [%eval 0.2] } { Good. } e5 *");
  ASSERT_EQ(r.games.size(), 1u);
  EXPECT_EQ(r.games[0].game->moves[0].comment, "{ [%eval 0.2]  Good. }");
}

// Move numbers are optional, in variations too: a variation's first move is by the side that
// played the move it replaces.
TEST(Movetext, VariationsWithoutMoveNumbers) {
  Result r = ReadText("[Event \"t\"]\n\n1. e4 e5 (c5) 2. Nf3 (f4 exf4 (d5)) Nc6 (d6 d4 (c4)) *");
  ASSERT_EQ(r.games.size(), 1u) << (r.report.issues.empty() ? 0 : r.report.issues[0].code);
  const jurnal& game = *r.games[0].game;
  EXPECT_EQ(MainLine(game), "e4 e5 Nf3 Nc6");
  ASSERT_EQ(game.moves[1].variations.size(), 1u);
  EXPECT_EQ(MainLine(*game.moves[1].variations[0]), "c5");
  const jurnal& f4 = *game.moves[2].variations[0];
  EXPECT_EQ(MainLine(f4), "f4 exf4");
  EXPECT_EQ(MainLine(*f4.moves[1].variations[0]), "d5");
  EXPECT_EQ(MainLine(*game.moves[3].variations[0]->moves[1].variations[0]), "c4");
  // Without numbers at all, and right at the first move.
  EXPECT_EQ(MovetextCode("e4 (d4 d5) e5 (c5 Nf3) Nf3 *"), 0);
  // A number still says which side moves, as before.
  EXPECT_EQ(MovetextCode("1. e4 e5 (1... c5) *"), 0);
  EXPECT_EQ(MovetextCode("1. e4 e5 (2. c5) *"), NoLegalMove);
}

TEST(Movetext, NullMovesToggleTheSide) {
  Result r = ReadText("[Event \"t\"]\n\n1. e4 -- 2. d4 Z0 3. c4 *");
  ASSERT_EQ(r.games.size(), 1u);
  EXPECT_EQ(MainLine(*r.games[0].game), "e4 d4 c4");
}

TEST(Movetext, CommentsGoToTheMoveBeforeThem) {
  Result r = ReadText("[Event \"t\"]\n{lead}\n1. e4 {good} e5 ; fine\n2. Nf3 *");
  ASSERT_EQ(r.games.size(), 1u);
  const jurnal& game = *r.games[0].game;
  EXPECT_EQ(game.startcomment, "{lead}");
  EXPECT_EQ(game.moves[0].comment, "{good}");
  EXPECT_EQ(game.moves[1].comment, "{; fine}");
  EXPECT_EQ(game.moves[2].comment, "");

  // A game without a result ends where the next one's tags begin: the comments after its last
  // move are its own there too, as at the text's end (they were once dropped, except when a
  // window of the text happened to end right after them).
  r = ReadText("[Event \"a\"]\n\n1. e4 e5 2. Nf3 { last words } ; and a line\n\n[Event \"b\"]\n{lead}\n1. d4 *");
  ASSERT_EQ(r.games.size(), 2u);
  EXPECT_EQ(r.games[0].game->moves[2].comment, "{ last words ; and a line}");
  EXPECT_EQ(r.games[1].game->startcomment, "{lead}");
  EXPECT_EQ(r.games[1].game->moves[0].comment, "");
  // In an unclosed variation, the comment goes to the variation's last move.
  r = ReadText("[Event \"a\"]\n\n1. e4 (1. d4 {why not}\n\n[Event \"b\"]\n\n1. d4 *");
  ASSERT_EQ(r.games.size(), 2u);
  ASSERT_EQ(r.games[0].game->moves[0].variations.size(), 1u);
  EXPECT_EQ(r.games[0].game->moves[0].variations[0]->moves[0].comment, "{why not}");
}

TEST(WholeText, KeepsGoodGamesSkipsDamagedOnesAndGoesOn) {
  const std::string text =
      "[Event \"1\"]\n\n1. e4 e5 *\n\n"
      "[Event \"2\"]\n\n1. e4 e4 *\n\n"
      "[Event \"3\"]\n\n1. d4 d5 1/2-1/2\n\n"
      "[Event \"4\"]\n\n1. e4 $999 *\n\n"
      "[Event \"5\"]\n\n1. c4 *\n";
  Result r = ReadText(text);
  EXPECT_EQ(r.code, NagTooLarge);  // the first damage that a game by game skip cannot step over
  ASSERT_EQ(r.games.size(), 3u);
  EXPECT_EQ(r.games[0].tags[0].value, "1");
  EXPECT_EQ(r.games[1].tags[0].value, "3");
  EXPECT_EQ(r.games[2].tags[0].value, "5");
  ASSERT_EQ(r.report.issues.size(), 2u);
  EXPECT_EQ(r.report.issues[0].code, NoLegalMove);
  EXPECT_EQ(r.report.issues[0].gameLine, 5);
  EXPECT_EQ(r.report.issues[1].code, NagTooLarge);
  EXPECT_EQ(r.report.issues[1].gameLine, 13);
  EXPECT_EQ(r.report.issues[0].gameNumber, 2);  // counted among all games, kept or not
  EXPECT_EQ(r.report.issues[1].gameNumber, 4);
  // Source positions and lengths cover each game's text.
  EXPECT_EQ(text.substr(size_t(r.games[1].sourcePosition - 1), size_t(r.games[1].sourceLength)),
            "[Event \"3\"]\n\n1. d4 d5 1/2-1/2");
  EXPECT_EQ(text.substr(size_t(r.games[2].sourcePosition - 1), size_t(r.games[2].sourceLength)),
            "[Event \"5\"]\n\n1. c4 *");
}

TEST(WholeText, TextThatIsNotAGameIsSkippedUpToTheNextGame) {
  Result none = ReadText("1. e4 e5 *\n");
  EXPECT_EQ(none.code, NotATagSection);
  EXPECT_TRUE(none.games.empty());
  ASSERT_EQ(none.report.issues.size(), 1u);
  EXPECT_EQ(none.report.issues[0].gameLine, 1);

  // A header before the first game, and a stray line between two games.
  Result r = ReadText(
      "Games of the club, 2001\nsent by the secretary\n\n"
      "[Event \"1\"]\n\n1. e4 e5 *\n\n"
      "a line nobody meant to be there\n\n"
      "[Event \"2\"]\n\n1. d4 *\n");
  EXPECT_EQ(r.code, NotATagSection);
  ASSERT_EQ(r.games.size(), 2u);
  EXPECT_EQ(r.games[1].tags[0].value, "2");
  ASSERT_EQ(r.report.issues.size(), 2u);
  EXPECT_EQ(r.report.issues[0].line, 1);
  EXPECT_EQ(r.report.issues[1].line, 8);
  EXPECT_EQ(r.report.issues[1].gameNumber, 2);  // the number the next game gets
}

TEST(WholeText, DamageCostsItsGameOnlyWhereverItLies) {
  // A tag line that cannot be read: the rest of that game's tag lines are no new game (no empty
  // line before them); the next game is.
  Result tags = ReadText(
      "[Event \"1\"]\n[Annotator abc\n[Site \"s\"]\n[Date \"2000.01.01\"]\n\n1. e4 *\n\n"
      "[Event \"2\"]\n[Site \"t\"]\n\n1. d4 *\n");
  EXPECT_EQ(tags.code, BadTagLine);
  ASSERT_EQ(tags.games.size(), 1u);
  EXPECT_EQ(tags.games[0].tags[0].value, "2");
  EXPECT_EQ(tags.games[0].tags[1].value, "t");
  // A comment never closed after the damage cannot hide the games after it: braces do not
  // count in the skip.
  Result brace = ReadText(
      "[Event \"1\"]\n\n1. e4 $999 {unclosed\n\n"
      "[Event \"2\"]\n\n1. d4 {a comment} d5 *\n\n"
      "[Event \"3\"]\n\n1. c4 *\n");
  ASSERT_EQ(brace.games.size(), 2u);
  EXPECT_EQ(brace.games[0].tags[0].value, "2");
  EXPECT_EQ(brace.games[1].tags[0].value, "3");
  // An "[Event " line starts a game even without an empty line before it.
  Result glued = ReadText("[Event \"1\"]\n\n1. e4 $999 *\n[Event \"2\"]\n\n1. d4 *\n");
  ASSERT_EQ(glued.games.size(), 1u);
  EXPECT_EQ(glued.games[0].tags[0].value, "2");
  // A game whose first tag line is not "[Event " follows damaged text with no empty line
  // between: its tag line after a line of movetext or stray text starts it, so it is read.
  for (const char* damage : {"[Event \"1\"]\n\n1. e4 e5 2. Nf3 $$$ rest of it\n", "stray text\nmore of it\n"}) {
    Result after = ReadText(std::string(damage) + "[Site \"2\"]\n[White \"w\"]\n\n1. d4 *\n");
    ASSERT_EQ(after.games.size(), 1u) << damage;
    EXPECT_EQ(TagAt(after.games[0], SiteSlot), "2");
    EXPECT_EQ(after.report.issues.size(), 1u);
  }
  // Damage in the last game: the games before stay, nothing after is invented.
  Result last = ReadText("[Event \"1\"]\n\n1. e4 *\n\n[Event \"2\"]\n\n1. d4 d5 $999 *\n");
  EXPECT_NE(last.code, ReadOk);
  ASSERT_EQ(last.games.size(), 1u);
  EXPECT_EQ(last.games[0].tags[0].value, "1");
}

TEST(WholeText, SounderThanPlainReading) {
  // A byte-order mark at the start does not hide the games.
  Result bom = ReadText("\xEF\xBB\xBF[Event \"t\"]\n\n1. e4 *\n");
  EXPECT_EQ(bom.code, 0);
  EXPECT_EQ(bom.games.size(), 1u);
  // A game followed directly by "[" does not lose the next game.
  Result glued = ReadText("[Event \"1\"]\n\n1. e4 {note}[Event \"2\"]\n\n1. d4 *\n");
  EXPECT_EQ(glued.code, 0);
  ASSERT_EQ(glued.games.size(), 2u);
  // The comment before "[" stays with the game it follows (not lost with the next tag section).
  EXPECT_EQ(glued.games[0].game->moves[0].comment, "{note}");
  // A last move whose square is the last bytes of the text is complete.
  Result last = ReadText("[Event \"t\"]\n\n1. e4 e5");
  EXPECT_EQ(last.code, 0);
  ASSERT_EQ(last.games.size(), 1u);
  EXPECT_EQ(last.games[0].game->movecount(), 2);
  Result lastNewline = ReadText("[Event \"t\"]\n\n1. e4 e5\n");
  EXPECT_EQ(lastNewline.games.size(), 1u);
}

TEST(WholeText, DeeplyNestedVariationsDoNotExhaustTheStack) {
  std::string text = "[Event \"deep\"]\n\n1. e4 ";
  const int depth = 100000;
  for (int i = 0; i < depth; ++i) text += "( 1. e4 ";
  for (int i = 0; i < depth; ++i) text += ") ";
  text += "*\n";
  Result r = ReadText(text);
  EXPECT_EQ(r.code, 0);
  ASSERT_EQ(r.games.size(), 1u);
}

TEST(WholeText, ReReadsGamesFromTheirBytePositions) {
  TempDir dir;
  const std::filesystem::path file = dir / "games.pgn";
  const std::string text =
      "[Event \"1\"]\n\n1. e4 e5 *\n\n[Event \"2\"]\n\n1. d4 d5 2. c4 *\n\n[Event \"3\"]\n\n1. c4 *\n";
  TempDir::Write(file, text);
  Result r = ReadText(text);
  ASSERT_EQ(r.games.size(), 3u);
  for (TGame& entry : r.games) {
    entry.sourcePath = file;
    entry.game.reset();
  }
  std::vector<bool> done;
  EXPECT_EQ(RereadGames(file, r.games, {2, 1}, 0, done), 2);
  EXPECT_FALSE(r.games[0].game);
  ASSERT_TRUE(r.games[1].game);
  EXPECT_EQ(MainLine(*r.games[1].game), "d4 d5 c4");
  ASSERT_TRUE(r.games[2].game);
  EXPECT_EQ(MainLine(*r.games[2].game), "c4");
  EXPECT_EQ(done, (std::vector<bool>{true, true}));
}

// A comment whose "}" never comes costs its own game only: it ends at an empty line followed by
// a line opening with "[", and the report points at the brace.
TEST(WholeText, AnUnclosedCommentEndsAtTheNextGame) {
  const std::string text =
      "[Event \"1\"]\n\n1. e4 {oops e5 *\n\n"  // line 3 opens it
      "[Event \"2\"]\n\n1. d4 {fine} d5 *\n\n"
      "[Event \"3\"]\n{before the moves\n\n"                // line 10 opens it
      "[Event \"4\"]\n\n1. c4 {two\n\nparagraphs} c5 *\n";  // an empty line alone ends nothing
  Result r = ReadText(text);
  EXPECT_EQ(r.code, ReadOk);
  ASSERT_EQ(r.games.size(), 2u);
  EXPECT_EQ(r.games[0].tags[0].value, "2");
  EXPECT_EQ(r.games[1].tags[0].value, "4");
  EXPECT_EQ(r.games[1].game->moves[0].comment, "{two\n\nparagraphs}");
  ASSERT_EQ(r.report.issues.size(), 2u);
  EXPECT_EQ(r.report.issues[0].code, UnclosedComment);
  EXPECT_EQ(r.report.issues[0].line, 3);
  EXPECT_EQ(r.report.issues[0].gameNumber, 1);
  EXPECT_EQ(r.report.issues[1].code, UnclosedComment);
  EXPECT_EQ(r.report.issues[1].line, 10);
  EXPECT_EQ(r.report.issues[1].gameNumber, 3);
  // The games after it are whole: their positions cover their own text.
  EXPECT_EQ(text.substr(size_t(r.games[0].sourcePosition - 1), size_t(r.games[0].sourceLength)),
            "[Event \"2\"]\n\n1. d4 {fine} d5 *");
  // Read in small pieces on several threads, the same games and issues.
  TGames pieces;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  EXPECT_EQ(ReadGamesInPieces(text, pieces, options, 4, 8), ReadOk);
  ASSERT_EQ(pieces.size(), 2u);
  ASSERT_EQ(report.issues.size(), 2u);
  EXPECT_EQ(report.issues[1].line, 10);
  // In a variation, and with nothing after it, the game is skipped as before.
  EXPECT_EQ(MovetextCode("1. e4 (1. d4 {open\n\n[Event \"x\"]\n\n1. c4 *"), UnclosedComment);
  Result end = ReadText("[Event \"1\"]\n\n1. e4 {runs to the end\n");
  ASSERT_EQ(end.games.size(), 1u);  // the rest of the text is its comment, as PGN allows
  // kept closed, so that written back it does not take in what follows it
  EXPECT_EQ(end.games[0].game->moves[0].comment, "{runs to the end\n}");
}

// A game whose moves end in mate or stalemate keeps the result the board decides, with a note,
// so that what is written reads back; a result that agrees, or "*", is left alone.
TEST(WholeText, AResultTagContradictingTheFinalPositionIsCorrected) {
  const std::string mate = "\n\n1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6 4. Qxf7# 1-0\n\n";
  Result r = ReadText("[Event \"1\"]\n[Result \"1/2-1/2\"]" + mate + "[Event \"2\"]\n[Result \"0-1\"]" + mate +
                      "[Event \"3\"]\n[Result \"*\"]" + mate + "[Event \"4\"]\n[Result \"1-0\"]" + mate +
                      "[Event \"5\"][Result \"1-0\"][SetUp \"1\"][FEN \"k7/8/8/2Q5/8/8/8/4K3 w - - 0 1\"]\n\n"
                      "1. Qb6 *\n");
  ASSERT_EQ(r.games.size(), 5u);
  const char* results[] = {"1-0", "1-0", "*", "1-0", "1/2-1/2"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(r.games[i].tags[6].value, results[i]) << i;
  ASSERT_EQ(r.report.issues.size(), 3u);
  EXPECT_EQ(r.report.issues[0].code, ResultTagCorrected);
  EXPECT_EQ(r.report.issues[0].gameNumber, 1);
  EXPECT_EQ(r.report.issues[0].detail, "Result \"1/2-1/2\" became \"1-0\"");
  EXPECT_EQ(r.report.issues[2].gameNumber, 5);
  EXPECT_TRUE(IsNoteCode(r.report.issues[0].code));
  EXPECT_EQ(r.code, ReadOk);
}

// A tag line that cannot be read (a NUL in its value) is left out, and said so; the game stays.
TEST(WholeText, ADroppedTagLineIsReported) {
  Result r = ReadText("[Event \"1\"]\n[Site \"a\0b\"]\n[White \"w\"]\n\n1. e4 *\n\n[Event \"2\"]\n\n1. d4 *\n"s);
  ASSERT_EQ(r.games.size(), 2u);
  EXPECT_EQ(r.games[0].tags[1].value, "?");
  EXPECT_EQ(r.games[0].tags[4].value, "w");
  ASSERT_EQ(r.report.issues.size(), 1u);
  EXPECT_EQ(r.report.issues[0].code, TagLineDropped);
  EXPECT_EQ(r.report.issues[0].line, 2);
  EXPECT_EQ(r.report.issues[0].gameNumber, 1);
}

// UTF-16 text is named as such once, with or without its byte-order mark.
TEST(WholeText, Utf16TextIsNamedOnce) {
  for (const std::string& text : {"\xFF\xFE[\0E\0v\0"s, "[\0E\0v\0e\0n\0t\0"s, "\xFE\xFF\0[\0E"s}) {
    Result r = ReadText(text);
    EXPECT_EQ(r.code, Utf16Text);
    EXPECT_TRUE(r.games.empty());
    ASSERT_EQ(r.report.issues.size(), 1u);
    EXPECT_EQ(r.report.issues[0].code, Utf16Text);
  }
  // Zeros alone are no text of any kind: damage, not UTF-16.
  Result zeros = ReadText(std::string(16, '\0'));
  EXPECT_EQ(zeros.code, NotATagSection);
}

// Whether any line of a record holds a variation; every line's board and cursor in `atRest`.
bool HoldsVariation(const jurnal& game, bool& atRest) {
  bool found = false;
  std::vector<const jurnal*> lines{&game};
  while (!lines.empty()) {
    const jurnal* line = lines.back();
    lines.pop_back();
    if (line->board != nullptr || line->current != 0) atRest = false;
    for (const mov& m : line->moves)
      for (const jurnal* variation : m.variations) {
        found = true;
        lines.push_back(variation);
      }
  }
  return found;
}

TEST(Movetext, ARecordIsLeftAtRestAndSaysWhetherItHoldsVariations) {
  const char* texts[] = {
      "1. e4 e5 2. Nf3 Nc6 *",
      "1. e4 {a comment} e5 $1 2. Nf3 *",
      "1. e4 -- 2. d4 *",
      "1. e4 (1. d4 d5) 1... e5 *",
      "1. e4 e5 2. Nf3 (2. Nc3 (2. f4 exf4) 2... Nf6) 2... Nc6 *",
      "1. e4 -- (1... e5) 2. d4 *",
      "1. e4 e5 2. Nf3 (2. Nc3) *",
  };
  for (const char* movetext : texts) {
    SCOPED_TRACE(movetext);
    for (const bool packsAtOnce : {false, true}) {
      const std::string text = std::string("[Event \"e\"]\n\n") + movetext;
      PgnReader reader(text);
      reader.packsAtOnce = packsAtOnce;
      TGamesTagArray tags;
      std::string fen;
      ASSERT_EQ(reader.ReadTagSection(tags, fen), ReadOk);
      jurnal game(nullptr, nullptr);
      ASSERT_EQ(reader.ReadMovetext(game), ReadOk);
      bool atRest = true;
      const bool holds = HoldsVariation(game, atRest);
      EXPECT_TRUE(atRest);
      EXPECT_EQ(reader.ReadNoVariation(), !holds);
      const size_t count = game.moves.size();
      const MoveList taken = holds ? game.TakeMoves() : game.TakeMovesWithoutVariations();
      EXPECT_EQ(taken.size(), count);
      EXPECT_TRUE(game.moves.empty());
      EXPECT_EQ(game.current, 0);
    }
  }
}

}  // namespace
