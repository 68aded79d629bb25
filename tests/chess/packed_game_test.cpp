// A packed game unpacks to the record it was packed from: every line, move, SAN text, NAG,
// comment and variation, the start position and the numbers of a set-up game; over every shared
// collection, written back byte for byte the same, in about the bytes of the games' text.
#include "chess/packed_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "options/processing_options.h"
#include "pgn/game_reader.h"
#include "pgn/pgn_writer.h"
#include "tests/support/shared_data.h"

namespace {

// Every field of two records and of their variations, line by line.
void ExpectSameRecord(const jurnal& a, const jurnal& b) {
  std::vector<std::pair<const jurnal*, const jurnal*>> pending{{&a, &b}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    ASSERT_EQ(x->blackfirst, y->blackfirst);
    ASSERT_EQ(x->movesbefore, y->movesbefore);
    ASSERT_EQ(x->halfmoves, y->halfmoves);
    ASSERT_EQ(x->startep, y->startep);
    ASSERT_EQ(x->result, y->result);
    ASSERT_EQ(x->startcomment, y->startcomment);
    ASSERT_EQ(x->hostcomment, y->hostcomment);
    ASSERT_EQ(x->current, y->current);
    ASSERT_EQ(x->board, y->board);
    ASSERT_EQ(x->ownboard != nullptr, y->ownboard != nullptr);
    if (x->ownboard) {
      ASSERT_EQ(x->ownboard->poskey(Side::White), y->ownboard->poskey(Side::White));
    }
    ASSERT_EQ(x->moves.size(), y->moves.size());
    for (size_t i = 0; i < x->moves.size(); ++i) {
      const mov &m = x->moves[i], &n = y->moves[i];
      ASSERT_TRUE(m.SameBoardMove(n)) << "move " << i << " " << m.san;
      ASSERT_EQ(m.san, n.san);
      ASSERT_EQ(m.nag, n.nag);
      ASSERT_EQ(m.comment.view(), n.comment.view());
      ASSERT_EQ(m.variations.size(), n.variations.size());
      for (size_t k = 0; k < m.variations.size(); ++k) {
        ASSERT_EQ(n.variations[k]->parent, y);
        pending.emplace_back(m.variations[k], n.variations[k]);
      }
    }
  }
}

std::string Written(const TGame& entry) {
  OutputBuffer buffer;
  WriteGame(entry, buffer, TProcessingOptions{});
  return std::string(buffer.Text());
}

TEST(PackedGame, EverySharedCollectionUnpacksToTheSameRecords) {
  int64_t plies = 0, packedBytes = 0, textBytes = 0;
  int64_t plainPlies = 0, plainBytes = 0;  // the over-the-board games: no comments, few variations
  size_t games = 0;
  const std::filesystem::path folder = CollectionsFolder();
  PGN_SKIP_WITHOUT_COLLECTIONS(folder);
  for (const auto& file : std::filesystem::recursive_directory_iterator(folder)) {
    if (!file.is_regular_file() || file.path().extension() != ".pgn") continue;
    std::ifstream in(file.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TGames read;
    ReadGames(text, read, ReadOptions{});
    for (TGame& entry : read) {
      SCOPED_TRACE(file.path().string() + " at byte " + std::to_string(entry.sourcePosition));
      const PackedGame packed(*entry.game);
      TGame again;
      again.tags = entry.tags;
      again.game = packed.Unpack();
      ASSERT_TRUE(again.game);
      ExpectSameRecord(*entry.game, *again.game);
      ASSERT_EQ(Written(again), Written(entry));
      EXPECT_EQ(packed.MainLinePlies(), entry.game->movecount());
      ++games;
      plies += entry.game->movecount();
      packedBytes += int64_t(packed.MemoryBytes());
      textBytes += entry.sourceLength;
      if (file.path().parent_path().filename() == "otb") {
        plainPlies += entry.game->movecount();
        plainBytes += int64_t(packed.MemoryBytes());
      }
    }
  }
  ASSERT_GT(games, 3000u);
  // Under the bytes of the games' text (their tags, which are not packed, included in it), and
  // a few bytes a half-move where the games are moves alone: a SAN text is written again, not kept.
  EXPECT_LT(packedBytes, textBytes) << plies << " plies";
  ASSERT_GT(plainPlies, 200000);
  EXPECT_LT(double(plainBytes) / double(plainPlies), 6.0);
  RecordProperty("plies", std::to_string(plies));
  RecordProperty("packed_bytes", std::to_string(packedBytes));
}

// SAN texts its fields do not give as the reader writes them come back as they were: a host's
// own notation, a check without its mark, a glyph beside the wrong NAG, needless origins.
TEST(PackedGame, SanTextsOfEveryFormComeBack) {
  jurnal line(nullptr, nullptr);
  auto add = [&](uint8_t piece, int from, int to, std::string_view san, uint8_t nag = 0, uint8_t captured = Empty,
                 uint8_t extra = 0) {
    mov& m = line.moves.emplace_back();
    m.piece = piece;
    m.fromfile = uint8_t(from / 10);
    m.fromrank = uint8_t(from % 10);
    m.tofile = uint8_t(to / 10);
    m.torank = uint8_t(to % 10);
    m.san = san;
    m.nag = nag;
    m.captured = captured;
    m.extra = extra;
  };
  add(WhitePawn, 52, 54, "e4");
  add(WhitePawn, 52, 54, "e2-e4");
  add(WhitePawn, 52, 54, "e4+");
  add(WhitePawn, 52, 54, "e4#!");
  add(WhitePawn, 52, 54, "e4#!", 1);
  add(WhitePawn, 52, 54, "e4!", 2);
  add(WhitePawn, 52, 54, "e4$1", 1);
  add(WhiteKnight, 71, 63, "Ngf3");
  add(WhiteKnight, 71, 63, "N1f3");
  add(WhiteKnight, 71, 63, "Ng1f3+?!", 6);
  add(WhiteKnight, 71, 63, "Nxf3", 0, BlackBishop);
  add(WhiteKnight, 71, 63, "Nf3", 0, BlackBishop);
  add(WhiteKnight, 71, 63, "Ng1xf3#", 0, BlackBishop);
  add(BlackPawn, 52, 41, "exd1=Q+", 0, WhiteRook, BlackQueen);
  add(BlackPawn, 52, 41, "exd1=N", 0, WhiteRook, BlackKnight);
  add(BlackPawn, 52, 41, "exd1", 0, WhiteRook, BlackKnight);
  add(BlackPawn, 54, 43, "exd3", 0, Empty, WhitePawn);
  add(BlackPawn, 54, 43, "e4xd3", 0, Empty, WhitePawn);
  add(WhiteKing, 51, 71, "O-O");
  add(WhiteKing, 51, 31, "O-O-O+");
  add(WhiteKing, 51, 31, "0-0-0");
  add(WhiteKing, 51, 52, "Ke2");
  add(WhiteKing, 51, 52, "");
  ExpectSameRecord(line, *PackedGame(line).Unpack());
  // A game read has its texts marked with what they were written from; one changed afterwards
  // loses the mark and is kept as it stands.
  TGames read;
  ReadGames("[Event \"e\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n", read, ReadOptions{});
  ASSERT_EQ(read.size(), 1u);
  jurnal& game = *read[0].game;
  EXPECT_NE(game.moves[2].san.Mark(), 0);
  game.moves[2].san = "Ng1-f3";
  game.moves[4].san = "Bb5";  // the same text, no longer marked
  const std::unique_ptr<jurnal> again = PackedGame(game).Unpack();
  ExpectSameRecord(game, *again);
  EXPECT_EQ(again->moves[2].san, "Ng1-f3");
  EXPECT_NE(again->moves[4].san.Mark(), 0);  // found to be the written text, and marked again
}

TEST(PackedGame, SetUpGamesNestedVariationsAndOddMovesComeBack) {
  const std::string text =
      "[Event \"set up\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K2R w K - 3 40\"]\n\n"
      "{start} 40. O-O $1 {castled} (40. e4 (40. e3 $2 Kd7 (40... Ke7 41. Rh7+)) 40... Kd7) 40... Ke7 41. e4 1-0\n";
  TGames read;
  ReadGames(text, read, ReadOptions{});
  ASSERT_EQ(read.size(), 1u);
  const PackedGame packed(*read[0].game);
  const std::unique_ptr<jurnal> again = packed.Unpack();
  ExpectSameRecord(*read[0].game, *again);
  EXPECT_TRUE(again->ownboard);
  EXPECT_EQ(again->movesbefore, read[0].game->movesbefore);
  // A move the board does not know (a host may hand over anything) and a long SAN text.
  jurnal odd(nullptr, nullptr);
  mov& m = odd.moves.emplace_back();
  m.piece = WhiteKnight;
  m.fromfile = 0;
  m.tofile = 12;
  m.san = "a SAN text longer than sixteen bytes";
  m.nag = 200;
  odd.result = "1/2-1/2";
  ExpectSameRecord(odd, *PackedGame(odd).Unpack());
  // Every field of a move at and past the edges of what a board move holds comes back as it was.
  for (int field = 0; field < 7; ++field)
    for (int value : {0, 1, 7, 8, 9, 15, 16, 17, 127, 128, 129, 200, 255}) {
      jurnal edge(nullptr, nullptr);
      mov& plain = edge.moves.emplace_back();
      plain.piece = WhitePawn;
      plain.fromfile = plain.tofile = 5;
      plain.fromrank = 2;
      plain.torank = 4;
      mov& probe = edge.moves.emplace_back(plain);
      uint8_t* fields[7] = {&probe.fromfile, &probe.fromrank, &probe.tofile,  &probe.torank,
                            &probe.piece,    &probe.extra,    &probe.captured};
      *fields[field] = uint8_t(value);
      probe.san = "?";
      const std::unique_ptr<jurnal> back = PackedGame(edge).Unpack();
      ExpectSameRecord(edge, *back);
      ASSERT_EQ(back->moves.size(), 2u);
      ASSERT_TRUE(back->moves[1].SameBoardMove(probe)) << field << " " << value;
    }
  // Nested a hundred thousand lines deep: no recursion.
  jurnal deep(nullptr, nullptr);
  jurnal* line = &deep;
  for (int depth = 0; depth < 100000; ++depth) {
    mov& move = line->moves.emplace_back();
    move.piece = WhitePawn;
    move.fromfile = move.tofile = 5;
    move.fromrank = 2;
    move.torank = 4;
    move.san = "e4";
    move.variations.push_back(new jurnal(nullptr, line));
    line = move.variations.back();
  }
  const std::unique_ptr<jurnal> deepAgain = PackedGame(deep).Unpack();
  ExpectSameRecord(deep, *deepAgain);
  EXPECT_TRUE(PackedGame().empty());
  EXPECT_EQ(PackedGame().Unpack(), nullptr);
}

}  // namespace
