// Replays random legal games played by chess.js, an independent implementation, through the
// game record: every SAN text the record writes must equal chess.js's, `resolve` must find
// the same move from that text, and the final positions and end states must agree. The same
// games read as PGN text must come out of the reader with chess.js's texts too.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chess/jurnal.h"
#include "pgn/game_reader.h"
#include "tests/chess/move_text.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) {
    const size_t first = part.find_first_not_of(' '), last = part.find_last_not_of(' ');
    parts.push_back(first == std::string::npos ? "" : part.substr(first, last - first + 1));
  }
  return parts;
}

// The placement, side and castling fields of a FEN for a board and side to move.
std::string FenFields(const doska& board, bool blackToMove) {
  std::string fen;
  for (int rank = 8; rank >= 1; --rank) {
    int empty = 0;
    for (int file = 1; file <= 8; ++file) {
      const uint8_t code = board.at(file, rank);
      if (code == Empty) {
        ++empty;
        continue;
      }
      if (empty) fen += char('0' + empty);
      empty = 0;
      fen += "PNBRQKpnbrqk"[code - 1];
    }
    if (empty) fen += char('0' + empty);
    if (rank > 1) fen += '/';
  }
  fen += blackToMove ? " b " : " w ";
  std::string castling;
  if (board.castleright(Side::White, false)) castling += 'K';
  if (board.castleright(Side::White, true)) castling += 'Q';
  if (board.castleright(Side::Black, false)) castling += 'k';
  if (board.castleright(Side::Black, true)) castling += 'q';
  return fen + (castling.empty() ? "-" : castling);
}

std::string FirstFields(const std::string& fen) {
  const std::vector<std::string> fields = Split(fen, ' ');
  return fields.size() >= 3 ? fields[0] + " " + fields[1] + " " + fields[2] : fen;
}

TEST(SanOracle, RandomGamesFromChessJsReplayIdentically) {
  std::ifstream in(PGN_ORACLE_GAMES);
  ASSERT_TRUE(in) << "missing " << PGN_ORACLE_GAMES << " (the oracle_games fixture writes it)";
  std::string line;
  long games = 0, plies = 0;
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Split(line, ';');
    ASSERT_EQ(fields.size(), 4u) << line;
    const std::vector<std::string> moves = Split(fields[0], ' '), sans = Split(fields[1], ' ');
    ASSERT_EQ(moves.size(), sans.size());
    doska board;
    jurnal game(&board, nullptr);
    bool black = false;
    for (size_t i = 0; i < moves.size(); ++i) {
      const std::string& uci = moves[i];
      const std::string where = "game " + std::to_string(games + 1) + " ply " + std::to_string(i + 1);
      const int ff = uci[0] - 'a' + 1, fr = uci[1] - '0', tf = uci[2] - 'a' + 1, tr = uci[3] - '0';
      int promotion = 0;
      if (uci.size() > 4) promotion = MakePiece(int(std::string(" pnbrq").find(uci[4])), black);

      // The text chess.js wrote leads back to the same move.
      MoveText text;
      ASSERT_TRUE(ParseMoveText(sans[i], black, text)) << where << ": " << sans[i];
      const uint8_t state = board.resolve(text);
      ASSERT_LE(state, 3) << where << ": resolve " << sans[i];
      ASSERT_EQ(text.from, (Square{ff, fr})) << where << ": " << sans[i];
      ASSERT_EQ(text.to, (Square{tf, tr})) << where << ": " << sans[i];

      ASSERT_EQ(game.addmove(ff, fr, tf, tr, promotion, false, 0), 0) << where << ": " << uci;
      game.makesan();
      ASSERT_EQ(game.moves[i].san, sans[i]) << where << ": " << uci;
      game.forward();
      black = !black;
      ++plies;
    }
    EXPECT_EQ(FenFields(board, black), FirstFields(fields[2])) << "game " << games + 1;
    const uint8_t end = board.gamestate(SideOf(black));
    const std::string expected = fields[3];
    EXPECT_EQ(end == StateCheckmate, expected == "checkmate") << "game " << games + 1;
    EXPECT_EQ(end == StateStalemate, expected == "stalemate") << "game " << games + 1;
    EXPECT_EQ(end == StateCheck, expected == "check") << "game " << games + 1;
    // Walking back to the start restores the initial position exactly.
    game.gotoply(0);
    EXPECT_TRUE(board.SamePosition(doska())) << "game " << games + 1;
    ++games;
  }
  EXPECT_GE(games, 1000);
  RecordProperty("plies", std::to_string(plies));
}

// The reader learns checks and mates its own way (from the move just played); random games are
// full of checks given by the moved piece, by the line it opened, by castling, en passant and
// promotion.
TEST(SanOracle, RandomGamesReadAsPgnKeepChessJsSan) {
  std::ifstream in(PGN_ORACLE_GAMES);
  ASSERT_TRUE(in) << "missing " << PGN_ORACLE_GAMES << " (the oracle_games fixture writes it)";
  std::string line, text;
  std::vector<std::vector<std::string>> expected;
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Split(line, ';');
    ASSERT_EQ(fields.size(), 4u) << line;
    expected.push_back(Split(fields[1], ' '));
    text += "[Event \"g" + std::to_string(expected.size()) + "\"]\n\n";
    for (size_t i = 0; i < expected.back().size(); ++i) {
      if (i % 2 == 0) text += std::to_string(i / 2 + 1) + ". ";
      text += expected.back()[i] + " ";
    }
    text += "*\n\n";
  }
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  ASSERT_EQ(ReadGames(text, games, options), 0);
  EXPECT_TRUE(report.issues.empty()) << "game " << report.issues[0].gameNumber << " code " << report.issues[0].code;
  ASSERT_EQ(games.size(), expected.size());
  for (size_t g = 0; g < games.size(); ++g) {
    const MoveList& moves = games[g].game->moves;
    ASSERT_EQ(moves.size(), expected[g].size()) << "game " << g + 1;
    for (size_t i = 0; i < moves.size(); ++i)
      ASSERT_EQ(moves[i].san, expected[g][i]) << "game " << g + 1 << " ply " << i + 1;
  }
}

// Chess960 games from chessops, another independent implementation: read as PGN from their start
// positions (X-FEN and Shredder-FEN castling rights), every SAN text, castlings included, must
// come out as chessops wrote it and the final placement must agree. The same games with each
// castling written as the king taking its own rook read to the same texts.
TEST(SanOracle, Chess960GamesFromChessopsReadWithTheirSan) {
  std::ifstream in(PGN_ORACLE_GAMES960);
  ASSERT_TRUE(in) << "missing " << PGN_ORACLE_GAMES960 << " (the oracle_games fixture writes it)";
  std::string line, castlingText, kingTakesRook;
  std::vector<std::vector<std::string>> expected;
  std::vector<std::string> finalPlacement;
  long castlings = 0;
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Split(line, ';');
    ASSERT_EQ(fields.size(), 5u) << line;
    const std::vector<std::string> moves = Split(fields[1], ' ');
    expected.push_back(Split(fields[2], ' '));
    finalPlacement.push_back(fields[3]);
    ASSERT_EQ(moves.size(), expected.back().size()) << line;
    const std::string variant = expected.size() % 2 ? "Chess960" : "fischerandom";
    const std::string header = "[Event \"g" + std::to_string(expected.size()) + "\"]\n[SetUp \"1\"]\n[FEN \"" +
                               fields[0] + "\"]\n[Variant \"" + variant + "\"]\n\n";
    castlingText += header;
    kingTakesRook += header;
    for (size_t i = 0; i < moves.size(); ++i) {
      const std::string number = i % 2 == 0 ? std::to_string(i / 2 + 1) + ". " : "";
      const std::string& san = expected.back()[i];
      castlingText += number + san + " ";
      std::string written = san;
      if (san.starts_with("O-O")) {
        ++castlings;
        // Alternately "Kxh1" and "Kh1", with the check mark kept.
        const size_t mark = san.find_first_of("+#");
        written =
            (castlings % 2 ? "Kx" : "K") + moves[i].substr(2, 2) + (mark == std::string::npos ? "" : san.substr(mark));
      }
      kingTakesRook += number + written + " ";
    }
    castlingText += "*\n\n";
    kingTakesRook += "*\n\n";
  }
  EXPECT_GE(castlings, 100);
  for (const std::string* text : {&castlingText, &kingTakesRook}) {
    TGames games;
    ReadReport report;
    ReadOptions options;
    options.report = &report;
    ASSERT_EQ(ReadGames(*text, games, options), 0);
    EXPECT_TRUE(report.issues.empty()) << "game " << report.issues[0].gameNumber << " code " << report.issues[0].code;
    ASSERT_EQ(games.size(), expected.size());
    for (size_t g = 0; g < games.size(); ++g) {
      jurnal& game = *games[g].game;
      ASSERT_EQ(game.moves.size(), expected[g].size()) << "game " << g + 1;
      for (size_t i = 0; i < game.moves.size(); ++i)
        ASSERT_EQ(game.moves[i].san, expected[g][i]) << "game " << g + 1 << " ply " << i + 1;
      // Replayed on its own start board, the record ends where chessops's game ended, and
      // walking back restores the start exactly.
      ASSERT_TRUE(game.ownboard) << "game " << g + 1;
      doska board;
      board.assign(*game.ownboard);
      game.setboard(&board);
      game.gotoply(game.movecount());
      const bool blackToMove = game.movecount() % 2 == 1;
      EXPECT_EQ(Split(FenFields(board, blackToMove), ' ')[0], finalPlacement[g]) << "game " << g + 1;
      game.gotoply(0);
      EXPECT_TRUE(board.SamePosition(*game.ownboard)) << "game " << g + 1;
      game.setboard(nullptr);
    }
  }
}

}  // namespace
