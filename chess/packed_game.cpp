#include "chess/packed_game.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "chess/san_text.h"

namespace {

// A line's header flags.
constexpr uint32_t BlackFirst = 1;
constexpr uint32_t HasResult = 2;  // a result other than "*"
constexpr uint32_t HasStartComment = 4;
constexpr uint32_t HasHostComment = 8;
constexpr uint32_t HasNumbers = 16;  // moves before, half-move clock or en-passant file not zero
constexpr uint32_t WideMoves = 32;   // moves kept in eight bytes each: a square outside the board (a host's move)

using packed_detail::BoardBytesOfPacked;
using packed_detail::HasComment;
using packed_detail::HasNag;
using packed_detail::HasVariations;
using packed_detail::OwnSan;
using packed_detail::PackedMove;
using packed_detail::SanBits;

// The bytes the number takes as Writer::Number writes it, seven bits a byte.
size_t VarintBytes(uint64_t value) {
  size_t bytes = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++bytes;
  }
  return bytes;
}
void PutVarint(uint8_t* out, uint64_t value) {
  while (value >= 0x80) {
    *out++ = uint8_t(value | 0x80);
    value >>= 7;
  }
  *out = uint8_t(value);
}

class Writer {
 public:
  // Room for the bytes a line of moves usually takes, so that the buffer seldom grows.
  explicit Writer(size_t expected)
      : buffer(std::make_unique_for_overwrite<uint8_t[]>(expected > 0 ? expected : 1)),
        capacity(expected > 0 ? expected : 1) {}
  void Byte(uint8_t value) {
    Need(1);
    buffer[size++] = value;
  }
  void Number(uint64_t value) {
    Need(10);
    while (value >= 0x80) {
      buffer[size++] = uint8_t(value | 0x80);
      value >>= 7;
    }
    buffer[size++] = uint8_t(value);
  }
  void Bytes(const void* data, size_t count) {
    if (count == 0) return;  // an empty view may point nowhere, which memcpy may not be given
    Need(count);
    std::memcpy(buffer.get() + size, data, count);
    size += count;
  }
  void Text(std::string_view text) {
    Number(text.size());
    Bytes(text.data(), text.size());
  }
  // A move's fixed part: its four bytes and its marks, with one test of the room.
  void Move(uint32_t packed, uint8_t marks) {
    Need(sizeof packed + 1);
    std::memcpy(buffer.get() + size, &packed, sizeof packed);
    buffer[size + sizeof packed] = marks;
    size += sizeof packed + 1;
  }
  // Room for `count` bytes at the end, written through the pointer; Used then says where they end.
  uint8_t* Room(size_t count) {
    Need(count);
    return buffer.get() + size;
  }
  void Used(const uint8_t* end) { size = size_t(end - buffer.get()); }
  const uint8_t* data() const { return buffer.get(); }
  size_t Size() const { return size; }

 private:
  void Need(size_t count) {
    if (size + count <= capacity) return;
    const size_t grown = std::max(capacity * 2, size + count);
    auto larger = std::make_unique_for_overwrite<uint8_t[]>(grown);
    std::memcpy(larger.get(), buffer.get(), size);
    buffer = std::move(larger);
    capacity = grown;
  }
  std::unique_ptr<uint8_t[]> buffer;
  size_t size = 0;
  size_t capacity;
};

class Reader {
 public:
  explicit Reader(const uint8_t* from) : at(from) {}
  uint8_t Byte() { return *at++; }
  uint64_t Number() {
    uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
      const uint8_t byte = *at++;
      value |= uint64_t(byte & 0x7F) << shift;
      if (!(byte & 0x80)) return value;
    }
  }
  std::string_view Text() {
    const size_t size = size_t(Number());
    const std::string_view text(reinterpret_cast<const char*>(at), size);
    at += size;
    return text;
  }
  const uint8_t* at;
};

// Bits that are set only when the move has a square outside the board or a code of 16 or more.
uint64_t OffTheBoardBits(const mov& m) {
  static_assert(std::endian::native == std::endian::little, "the move's bytes are read as one number");
  // The four coordinates (bytes 1..4) each in 1..8, the three codes (bytes 0, 5 and 6) below 16.
  // With each coordinate's top bit set first, subtracting one borrows from no other byte, and
  // leaves bits 3..6 clear exactly for a coordinate of 1..8.
  const uint64_t raw = m.BoardBytes();
  const uint64_t coordinates = (raw >> 8) & 0xFFFFFFFFu;
  const uint64_t lessOne = (coordinates | 0x80808080u) - 0x01010101u;
  return (coordinates & 0x80808080u) | (lessOne & 0x78787878u) | (raw & 0x00F0F000000000F0ull);
}

void PutHeader(Writer& w, const jurnal& line, bool wide, size_t moveCount) {
  const bool numbers = line.movesbefore != 0 || line.halfmoves != 0 || line.startep != 0;
  const uint32_t flags = (line.blackfirst ? BlackFirst : 0) | (line.result != "*" ? HasResult : 0) |
                         (line.startcomment.empty() ? 0 : HasStartComment) |
                         (line.hostcomment.empty() ? 0 : HasHostComment) | (numbers ? HasNumbers : 0) |
                         (wide ? WideMoves : 0);
  w.Number(flags);
  if (numbers) {
    w.Number(uint32_t(line.movesbefore));
    w.Number(uint32_t(line.halfmoves));
    w.Byte(line.startep);
  }
  if (flags & HasResult) w.Text(line.result);
  if (flags & HasStartComment) w.Text(line.startcomment);
  if (flags & HasHostComment) w.Text(line.hostcomment);
  w.Number(moveCount);
}

// Everything of a move but its variations, which follow it in the bytes.
void PutMove(Writer& w, const mov& m, bool wide) {
  // A text the record wrote carries its mark; another is looked at to see whether it could have.
  uint8_t form = wide ? OwnSan : m.san.Mark();
  Origin origin;
  uint8_t state;
  if (!wide && form == OwnSan && SanParts(m, m.san.view(), origin, state)) form = SanMark(origin, state);
  const uint8_t marks = uint8_t((m.nag ? HasNag : 0) | (m.comment.empty() ? 0 : HasComment) |
                                (m.variations.empty() ? 0 : HasVariations) | form);
  if (wide) {
    const uint64_t raw = m.BoardBytes();
    w.Bytes(&raw, sizeof raw);
    w.Byte(marks);
  } else {
    w.Move(PackedMove(m.BoardBytes()), marks);
  }
  if (form == OwnSan) w.Text(m.san.view());
  if (m.nag) w.Byte(m.nag);
  if (!m.comment.empty()) w.Text(m.comment.view());
  if (!m.variations.empty()) w.Number(m.variations.size());
}

// A line's header into `line`; returns whether its moves are wide.
bool TakeHeader(Reader& r, jurnal& line, size_t& moveCount) {
  const uint32_t flags = uint32_t(r.Number());
  line.blackfirst = flags & BlackFirst;
  if (flags & HasNumbers) {
    line.movesbefore = int32_t(r.Number());
    line.halfmoves = int32_t(r.Number());
    line.startep = r.Byte();
  }
  if (flags & HasResult) line.result = std::string(r.Text());
  if (flags & HasStartComment) line.startcomment = std::string(r.Text());
  if (flags & HasHostComment) line.hostcomment = std::string(r.Text());
  moveCount = size_t(r.Number());
  return flags & WideMoves;
}

// A move into `m`; returns the number of its variations, which follow.
size_t TakeMove(Reader& r, mov& m, bool wide) {
  if (wide) {
    uint64_t raw;
    std::memcpy(&raw, r.at, sizeof raw);
    r.at += sizeof raw;
    m.SetBoardBytes(raw);
  } else {
    uint32_t packed;
    std::memcpy(&packed, r.at, sizeof packed);
    r.at += sizeof packed;
    m.SetBoardBytes(BoardBytesOfPacked(packed));
  }
  const uint8_t marks = r.Byte();
  const uint8_t form = marks & SanBits;
  if (form == OwnSan) m.san = r.Text();
  if (marks & HasNag) m.nag = r.Byte();
  if (form != OwnSan) {
    StoreSanText(m, OriginOfMark(form), StateOfMark(form));
  }
  if (marks & HasComment) m.comment = r.Text();
  return (marks & HasVariations) ? size_t(r.Number()) : 0;
}

bool AllOnTheBoard(const jurnal& line) {
  uint64_t off = 0;
  for (const mov& m : line.moves) off |= OffTheBoardBits(m);
  return off == 0;
}

// Puts the moves from `next` on that need nothing but their fixed part and a NAG: no comment, no
// variation, a SAN text written again from its mark (most moves of most games), each in five
// bytes or six, with one test of the room for all. Returns the first move not put.
size_t PutPlainMoves(Writer& w, const MoveList& moves, size_t next) {
  const size_t count = moves.size();
  uint8_t* out = w.Room((count - next) * 6);
  for (; next < count; ++next) {
    const mov& m = moves[next];
    if (m.san.Mark() == OwnSan || !m.comment.empty() || !m.variations.empty()) break;
    out = packed_detail::PutPlainMove(out, m);
  }
  w.Used(out);
  return next;
}

}  // namespace

PackedGame::PackedGame(const jurnal& game) {
  Writer w(game.moves.size() * 6 + 32);
  // Lines in the order they nest, each followed by its moves; a move's variations follow the
  // move. Without recursion: variations may nest very deeply.
  struct Step {
    const jurnal* line;
    size_t next = 0;       // the next move to put
    size_t variation = 0;  // the next variation of move next - 1 to put
    bool wide = false;
  };
  std::vector<Step> steps;
  auto begin = [&](const jurnal& line) {
    const bool wide = !AllOnTheBoard(line);
    PutHeader(w, line, wide, line.moves.size());
    steps.push_back(Step{&line, 0, 0, wide});
  };
  begin(game);
  while (!steps.empty()) {
    Step& step = steps.back();
    const jurnal& line = *step.line;
    if (step.next > 0) {
      const mov& last = line.moves[step.next - 1];
      if (step.variation < last.variations.size()) {
        const jurnal& variation = *last.variations[step.variation++];
        begin(variation);  // `step` may move: not used after this
        continue;
      }
    }
    if (step.next < line.moves.size()) {
      // A run of moves without variations (most of a game) goes in one loop.
      const size_t count = line.moves.size();
      size_t next = step.next;
      bool branches = false;
      do {
        if (!step.wide && (next = PutPlainMoves(w, line.moves, next)) == count) break;
        const mov& m = line.moves[next++];
        PutMove(w, m, step.wide);
        branches = !m.variations.empty();
      } while (!branches && next < count);
      step.next = next;
      step.variation = 0;
      continue;
    }
    steps.pop_back();
  }
  Keep(w.data(), w.Size(), game);
}

PackedGame::PackedGame(const jurnal& game, const PlainLine& line) {
  if (line.Count() != game.moves.size() && !game.moves.empty()) {
    *this = PackedGame(game);
    return;
  }
  // The header, then the moves as PutPlainMoves puts them: the line's bytes (most of them
  // comments, in an annotated game) copied once, into the game's block.
  Writer header(32 + game.startcomment.size() + game.hostcomment.size());
  PutHeader(header, game, false, line.Count());
  const uint32_t length = uint32_t(header.Size() + line.size);
  bytes = std::make_unique_for_overwrite<uint8_t[]>(sizeof length + length);
  std::memcpy(bytes.get(), &length, sizeof length);
  std::memcpy(bytes.get() + sizeof length, header.data(), header.Size());
  if (line.size > 0) std::memcpy(bytes.get() + sizeof length + header.Size(), line.bytes.get(), line.size);
  if (game.ownboard) {
    start = std::make_unique<doska>();
    start->assign(*game.ownboard);
  }
}

void PackedGame::Keep(const uint8_t* data, size_t size, const jurnal& game) {
  const uint32_t length = uint32_t(size);
  bytes = std::make_unique_for_overwrite<uint8_t[]>(sizeof length + size);
  std::memcpy(bytes.get(), &length, sizeof length);
  std::memcpy(bytes.get() + sizeof length, data, size);
  if (game.ownboard) {
    start = std::make_unique<doska>();
    start->assign(*game.ownboard);
  }
}

void PlainLine::CommentLast(std::string_view text, bool storedAsRead) {
  if (storedAsRead) {
    const size_t lengthBytes = VarintBytes(text.size());
    if (capacity - size < lengthBytes + text.size()) Grow(lengthBytes + text.size());
    PutVarint(bytes.get() + size, text.size());
    std::memcpy(bytes.get() + size + lengthBytes, text.data(), text.size());
    size += lengthBytes + text.size();
    bytes[lastMarks] |= HasComment;
    return;
  }
  // The length goes before the text, in as many bytes as the text may take at most (the stored
  // form adds two braces at most): moved once more only when it needs fewer, at a boundary.
  const size_t most = text.size() + 2;
  const size_t room = VarintBytes(most);
  if (capacity - size < room + most) Grow(room + most);
  uint8_t* const start = bytes.get() + size;
  char* const textStart = reinterpret_cast<char*>(start + room);
  const size_t stored = size_t(PutStoredComment(textStart, text) - textStart);
  const size_t lengthBytes = VarintBytes(stored);
  if (lengthBytes != room) std::memmove(start + lengthBytes, textStart, stored);
  PutVarint(start, stored);
  size += lengthBytes + stored;
  bytes[lastMarks] |= HasComment;
}

void PlainLine::AppendRecordsTo(MoveList& moves) const {
  moves.reserve(moves.size() + count);
  for (size_t at = 0; at < size;) {
    uint32_t packed;
    std::memcpy(&packed, bytes.get() + at, sizeof packed);
    const uint8_t marks = bytes[at + 4];
    mov& m = moves.emplace_back();
    m.SetBoardBytes(BoardBytesOfPacked(packed));
    m.nag = (marks & HasNag) ? bytes[at + 5] : 0;
    m.san.AssignMarkOnly(marks & SanBits);
    at += (marks & HasNag) ? 6 : 5;
    if (marks & HasComment) {
      Reader r(bytes.get() + at);
      m.comment = r.Text();
      at = size_t(r.at - bytes.get());
    }
  }
}

void PlainLine::Grow(size_t need) {
  const size_t grown = std::max<size_t>({capacity * 2, size + need, 512});
  auto larger = std::make_unique_for_overwrite<uint8_t[]>(grown);
  if (size) std::memcpy(larger.get(), bytes.get(), size);
  bytes = std::move(larger);
  capacity = grown;
}

std::unique_ptr<jurnal> PackedGame::Unpack() const {
  if (!bytes) return nullptr;
  auto game = std::make_unique<jurnal>(nullptr, nullptr);
  if (start) {
    game->ownboard = std::make_unique<doska>();
    game->ownboard->assign(*start);
  }
  Reader r(bytes.get() + sizeof(uint32_t));
  struct Step {
    jurnal* line;
    size_t next = 0;
    size_t count = 0;
    size_t variationsLeft = 0;  // of move next - 1, still to take
    bool wide = false;
  };
  std::vector<Step> steps;
  auto begin = [&](jurnal& line) {
    size_t count = 0;
    const bool wide = TakeHeader(r, line, count);
    line.moves.reserve(count);
    steps.push_back(Step{&line, 0, count, 0, wide});
  };
  begin(*game);
  while (!steps.empty()) {
    Step& step = steps.back();
    jurnal& line = *step.line;
    if (step.variationsLeft > 0) {
      --step.variationsLeft;
      jurnal* variation = new jurnal(nullptr, &line);
      line.moves[step.next - 1].variations.push_back(variation);
      begin(*variation);
      continue;
    }
    if (step.next < step.count) {
      mov& m = line.moves.emplace_back();
      step.variationsLeft = TakeMove(r, m, step.wide);
      ++step.next;
      continue;
    }
    steps.pop_back();
  }
  return game;
}

size_t PackedGame::MemoryBytes() const {
  constexpr size_t AllocationOverhead = 16;
  size_t total = sizeof(PackedGame);
  if (bytes) {
    uint32_t size;
    std::memcpy(&size, bytes.get(), sizeof size);
    total += sizeof size + size + AllocationOverhead;
  }
  if (start) total += sizeof(doska) + AllocationOverhead;
  return total;
}

int32_t PackedGame::MainLinePlies() const {
  if (!bytes) return 0;
  Reader r(bytes.get() + sizeof(uint32_t));
  jurnal scratch(nullptr, nullptr);
  size_t count = 0;
  TakeHeader(r, scratch, count);
  return int32_t(count);
}

bool operator==(const PackedGame& a, const PackedGame& b) {
  if (!a.bytes || !b.bytes) return !a.bytes && !b.bytes;
  uint32_t sizeA, sizeB;
  std::memcpy(&sizeA, a.bytes.get(), sizeof sizeA);
  std::memcpy(&sizeB, b.bytes.get(), sizeof sizeB);
  if (sizeA != sizeB || std::memcmp(a.bytes.get() + sizeof sizeA, b.bytes.get() + sizeof sizeB, sizeA) != 0)
    return false;
  if (!a.start || !b.start) return !a.start && !b.start;
  return a.start->SamePosition(*b.start);
}

PackedReading::PackedReading(const PackedGame& game) : at(game.bytes ? game.bytes.get() + sizeof(uint32_t) : nullptr) {}

PackedReading::LineStart PackedReading::Line() {
  Reader r(at);
  LineStart line;
  const uint32_t flags = uint32_t(r.Number());
  line.blackFirst = flags & BlackFirst;
  if (flags & HasNumbers) {
    line.movesBefore = int32_t(r.Number());
    (void)r.Number();  // the half-move clock
    (void)r.Byte();    // the en-passant file
  }
  if (flags & HasResult) line.result = r.Text();
  if (flags & HasStartComment) line.startComment = r.Text();
  if (flags & HasHostComment) (void)r.Text();
  line.moves = size_t(r.Number());
  line.wide = flags & WideMoves;
  at = r.at;
  return line;
}

PackedReading::Move PackedReading::NextMove(bool wide) {
  Move m;
  if (wide) {
    std::memcpy(&m.boardBytes, at, sizeof m.boardBytes);
    at += sizeof m.boardBytes;
  } else {
    uint32_t packed;
    std::memcpy(&packed, at, sizeof packed);
    at += sizeof packed;
    m.boardBytes = BoardBytesOfPacked(packed);
  }
  const uint8_t marks = *at++;
  Reader r(at);
  m.sanMark = marks & SanBits;
  if (m.sanMark == OwnSan) m.ownSan = r.Text();
  if (marks & HasNag) m.nag = r.Byte();
  if (marks & HasComment) m.comment = r.Text();
  if (marks & HasVariations) m.variations = size_t(r.Number());
  at = r.at;
  return m;
}

void PackedReading::SkipLines(size_t count) {
  // As Unpack walks the lines, without recursion.
  struct Step {
    size_t movesLeft = 0;
    size_t variationsLeft = 0;  // of the move read last
    bool wide = false;
  };
  std::vector<Step> steps;
  for (size_t line = 0; line < count; ++line) {
    const LineStart start = Line();
    steps.push_back(Step{start.moves, 0, start.wide});
    while (!steps.empty()) {
      Step& step = steps.back();
      if (step.variationsLeft > 0) {
        --step.variationsLeft;
        const LineStart variation = Line();
        steps.push_back(Step{variation.moves, 0, variation.wide});  // `step` may move
        continue;
      }
      if (step.movesLeft > 0) {
        --step.movesLeft;
        step.variationsLeft = NextMove(step.wide).variations;
        continue;
      }
      steps.pop_back();
    }
  }
}
