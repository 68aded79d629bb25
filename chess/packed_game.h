// A game record packed into one block of bytes, smaller than its text: a half-move in five bytes
// (its squares, pieces and state changes, and how its SAN text names the origin and marks check,
// the text itself written again when unpacked), comments, NAGs and variations only where they
// are. A parsed record costs several times more (tens of bytes a half-move); a
// list keeps games packed and unpacks one when its moves are wanted, which gives back the same
// record, not a reading of the text again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "chess/doska.h"
#include "chess/jurnal.h"

namespace packed_detail {

// A move's marks, in the byte whose low four bits say how its SAN text is kept: written again
// from the move's fields (the mark SanMark gives, 1..12), or stored (OwnSan).
constexpr uint8_t HasNag = 16;
constexpr uint8_t HasComment = 32;
constexpr uint8_t HasVariations = 64;
constexpr uint8_t SanBits = 15;
constexpr uint8_t OwnSan = 0;  // the text follows, with its length

// A move on the board in four bytes: piece 4 bits, captured 4, extra 4, the four coordinates 3
// each, flags 8.
inline uint32_t PackedMove(uint64_t raw) {
  // The coordinates less one, a byte each: no byte borrows, each coordinate being 1..8. Folded
  // in pairs: from-file and from-rank in bits 0..5, to-file and to-rank in bits 16..21.
  const uint32_t c = uint32_t((raw >> 8) - 0x01010101u);
  const uint32_t pairs = c | c >> 5;
  const uint32_t squares = (pairs & 0x3F) | (pairs >> 10 & 0xFC0);
  const uint32_t high = uint32_t(raw >> 32);  // to-rank, extra, captured, flags
  return uint32_t(raw & 15) | (high >> 12 & 0xF0) | (high & 0xFF000F00u) | squares << 12;
}

// The eight board bytes of a move (mov::BoardBytes) from its four packed ones.
inline uint64_t BoardBytesOfPacked(uint32_t packed) {
  return uint64_t(packed & 15) | uint64_t((packed >> 12 & 7) + 1) << 8 | uint64_t((packed >> 15 & 7) + 1) << 16 |
         uint64_t((packed >> 18 & 7) + 1) << 24 | uint64_t((packed >> 21 & 7) + 1) << 32 |
         uint64_t(packed >> 8 & 15) << 40 | uint64_t(packed >> 4 & 15) << 48 | uint64_t(packed >> 24) << 56;
}

// A move with no comment, variation or text of its own, as a packed line keeps it: its four
// bytes, its marks (its SAN text's mark and whether a NAG follows) and its NAG when it has one,
// at `out`. Returns where it ends.
inline uint8_t* PutPlainMove(uint8_t* out, uint64_t boardBytes, uint8_t mark, uint8_t nag) {
  const uint32_t packed = PackedMove(boardBytes);
  std::memcpy(out, &packed, sizeof packed);
  out[4] = uint8_t(mark | (nag ? HasNag : 0));
  out[5] = nag;  // kept only when there is one
  return out + (nag ? 6 : 5);
}
inline uint8_t* PutPlainMove(uint8_t* out, const mov& m) {
  return PutPlainMove(out, m.BoardBytes(), m.san.Mark(), m.nag);
}

}  // namespace packed_detail

// The moves of a main line packed one by one as a reader plays them, with the comment after
// each, in the form a packed game keeps them: a game whose main line ends up with no variation
// is then packed without a second pass over its moves (PackedGame's second constructor), and
// its comments are copied once, from the text into the packed bytes.
class PlainLine {
 public:
  void Clear() {
    size = 0;
    count = 0;
    lastMarks = NoMove;
  }
  // Appends a move the board has played, whose SAN text is written again from its mark (a
  // record's move that keeps no text of its own), with its NAG.
  void Append(const mov& m) { Append(m.BoardBytes(), m.san.Mark(), m.nag); }
  // The same from the move's first eight bytes, its mark and its NAG.
  void Append(uint64_t boardBytes, uint8_t mark, uint8_t nag) {
    if (capacity - size < 6) Grow(6);
    lastMarks = size + 4;
    size = size_t(packed_detail::PutPlainMove(bytes.get() + size, boardBytes, mark, nag) - bytes.get());
    ++count;
  }
  // Whether the last move appended may still be given a comment: there is one, without one.
  bool LastTakesComment() const { return lastMarks != NoMove && !(bytes[lastMarks] & packed_detail::HasComment); }
  // Gives the last move the comment met after it (the text as read, its braces included): kept
  // as a record keeps it (PutStoredComment), or as it stands when the caller knows it to be in
  // that form already (`storedAsRead`). Only where LastTakesComment.
  void CommentLast(std::string_view text, bool storedAsRead = false);
  size_t Count() const { return count; }
  size_t Bytes() const { return size; }  // what its packed form copies
  // The moves' records, each as the reader's record of it would be (its board bytes, its NAG,
  // its comment, and only the mark its SAN text is written again from), after those `moves`
  // holds.
  void AppendRecordsTo(MoveList& moves) const;

 private:
  friend class PackedGame;
  static constexpr size_t NoMove = SIZE_MAX;
  void Grow(size_t need);
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
  size_t capacity = 0;
  size_t count = 0;           // moves
  size_t lastMarks = NoMove;  // where the last move's marks are
};

class PackedGame {
 public:
  PackedGame() = default;
  // Packs a record that stands at rest (no board, every line at its start), as a game read is.
  explicit PackedGame(const jurnal& game);
  // The same, for a record whose main line's moves (all of its moves: no variation, no comment
  // on a move) `line` holds already packed, in their order: the same bytes, without reading
  // the moves again. The record holds the same moves, or none at all (a reader kept them only
  // packed); a line of another length than the record's moves is ignored.
  PackedGame(const jurnal& game, const PlainLine& line);
  PackedGame(PackedGame&&) noexcept = default;
  PackedGame& operator=(PackedGame&&) noexcept = default;

  // The record again: the same lines, moves, texts and start as the one packed, at rest.
  std::unique_ptr<jurnal> Unpack() const;

  bool empty() const { return !bytes; }
  // What it takes in memory, allocations included.
  size_t MemoryBytes() const;
  // The half-moves of its main line, read without unpacking.
  int32_t MainLinePlies() const;
  // The same bytes and start position.
  friend bool operator==(const PackedGame& a, const PackedGame& b);
  friend class PackedReading;

 private:
  // The bytes a writer gathered, behind their length, and the start position.
  void Keep(const uint8_t* data, size_t size, const jurnal& game);
  std::unique_ptr<uint8_t[]> bytes;  // the length (4 bytes), then the packed lines
  std::unique_ptr<doska> start;      // the start position of a game set up from a FEN
};

// Reads a packed game's bytes in the order they are kept, without making records: a line's
// start, then its moves, each followed by its variations (each a line: its start, its moves, and
// so on). For a writer that wants only the moves' texts and comments: what Unpack gives, at the
// cost of reading the bytes once.
class PackedReading {
 public:
  // The game must outlive the reading; its texts are views of its bytes.
  explicit PackedReading(const PackedGame& game);

  struct LineStart {
    bool blackFirst = false;
    int32_t movesBefore = 0;  // full moves completed before the line's first move
    std::string_view result = "*";
    std::string_view startComment;
    size_t moves = 0;
    bool wide = false;  // its moves are kept in eight bytes each
  };
  struct Move {
    uint64_t boardBytes = 0;  // mov::BoardBytes
    uint8_t nag = 0;
    uint8_t sanMark = 0;       // the SanMark its text is written again from; 0: its own text
    std::string_view ownSan;   // that text, when it has one
    std::string_view comment;  // the comment after it, in the record's form
    size_t variations = 0;     // lines that follow it
  };
  // The start of the next line: the game's main line first.
  LineStart Line();
  // The next move of the line being read (`wide` as its start said).
  Move NextMove(bool wide);
  // Reads past the next `count` lines with all that hangs from them.
  void SkipLines(size_t count);

 private:
  const uint8_t* at;
};
