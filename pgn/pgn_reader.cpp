#include "pgn/pgn_reader.h"

#include <iterator>
#include <unordered_map>
#include <utility>

#include "chess/san_parse.h"
#include "chess/san_text.h"
#include "pgn/byte_scan.h"

namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
// A byte that begins a move, a move number or a result: nothing SkipBlanks would step over.
constexpr bool IsTokenStartOf(unsigned char c) {
  return (c >= 'a' && c <= 'h') || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}
// A byte that begins a move other than a castling: a file or a piece letter.
constexpr bool IsMoveStartOf(unsigned char c) {
  return (c >= 'a' && c <= 'h') || c == 'N' || c == 'B' || c == 'R' || c == 'Q' || c == 'K' || c == 'P';
}
constexpr bool IsBlankOf(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// A byte SkipBlanks might step over (a blank, an escape line or a comment).
bool MayStartBlanks(char c) { return IsBlankOf(static_cast<unsigned char>(c)) || c == '%' || c == ';' || c == '{'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Bytes that may not follow a move directly.
constexpr bool IsSymbolByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '+' ||
         c == '#' || c == '=' || c == ':' || c == '-';
}
constexpr bool IsTagNameByteOf(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
// Bytes that end a run of plain bytes in a tag value: its quote, an escape, or bytes no value
// may hold.
constexpr bool EndsValueRunOf(unsigned char c) {
  return c == '"' || c == '\\' || c == '\0' || c == '\t' || c == '\n' || c == '\r';
}
// The byte tests of the movetext's every token by table: one load, where the tests by ranges
// cost a few compares and branches each, several times a move.
struct ByteTables {
  bool symbol[256];
  bool tagName[256];
  bool endsValueRun[256];
  bool tokenStart[256];
  bool moveStart[256];
  bool blank[256];
};
constexpr ByteTables BuildByteTables() {
  ByteTables t{};
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    t.symbol[c] = IsSymbolByte(byte);
    t.tagName[c] = IsTagNameByteOf(byte);
    t.endsValueRun[c] = EndsValueRunOf(byte);
    t.tokenStart[c] = IsTokenStartOf(byte);
    t.moveStart[c] = IsMoveStartOf(byte);
    t.blank[c] = IsBlankOf(byte);
  }
  return t;
}
constexpr ByteTables Bytes = BuildByteTables();
inline bool IsTokenStart(char c) { return Bytes.tokenStart[static_cast<unsigned char>(c)]; }
inline bool IsMoveStart(char c) { return Bytes.moveStart[static_cast<unsigned char>(c)]; }
inline bool IsBlank(char c) { return Bytes.blank[static_cast<unsigned char>(c)]; }
inline bool IsSymbol(char c) { return Bytes.symbol[static_cast<unsigned char>(c)]; }
inline bool IsTagNameByte(char c) { return Bytes.tagName[static_cast<unsigned char>(c)]; }
inline bool EndsValueRun(char c) { return Bytes.endsValueRun[static_cast<unsigned char>(c)]; }
inline bool IsPlainValueByte(char c) { return !EndsValueRun(c); }

// Comments met one after another are kept apart by a space: their braces go when they are
// stored as one comment, and their words must not run together.
void AppendComment(std::string& comments, std::string_view comment) {
  if (!comments.empty() && !comment.empty()) {
    const char last = comments.back() == '}' && comments.size() >= 2 ? comments[comments.size() - 2] : comments.back();
    const char first = comment.front() == '{' && comment.size() >= 2 ? comment[1] : comment.front();
    if (!IsBlank(last) && !IsBlank(first)) comments += ' ';
  }
  comments.append(comment);
}

}  // namespace

void PendingComments::Add(std::string_view comment, bool keptAsRead) {
  if (comment.empty()) return;
  if (view.empty()) {
    view = comment;
    storedAsRead = keptAsRead;
    return;
  }
  AddCopy(comment);
}

void PendingComments::AddCopy(std::string_view comment) {
  if (comment.empty()) return;
  if (view.data() != joined.data()) joined.assign(view);
  AppendComment(joined, comment);
  view = joined;
  storedAsRead = false;
}

namespace {

struct RosterTag {
  std::string_view name;
  std::string_view missing;  // the value supplied when the tag is missing
};
constexpr RosterTag Roster[RosterSize] = {{"Event", "?"}, {"Site", "?"},          {"Date", "????.??.??"},
                                          {"Round", "?"}, {"White", "Anonymous"}, {"Black", "Anonymous"},
                                          {"Result", "*"}};

// Two tag names byte for byte; most pairs differ in length or in their first byte, told apart
// without a call to compare them.
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && (a.empty() || a[0] == b[0]) && a == b;
}

// The first tag from `from` on whose folded name is `name`; -1 if none.
int FindTag(const std::vector<TagView>& tags, size_t from, std::string_view name) {
  for (size_t i = from; i < tags.size(); ++i)
    if (FoldedEqual(tags[i].name, name)) return int(i);
  return -1;
}

// Whether the line ending just before `at` (a line start) was empty, blanks aside.
bool AfterEmptyLine(std::string_view text, size_t at) {
  size_t k = at;
  if (k > 0 && text[k - 1] == '\n') --k;
  if (k > 0 && text[k - 1] == '\r') --k;
  while (k > 0 && (text[k - 1] == ' ' || text[k - 1] == '\t')) --k;
  return k == 0 || IsLineEnd(text[k - 1]);
}

// Whether the line before the one starting at `at` is text other than a tag line: movetext,
// damage, a result. A tag line after it starts a game; a tag line after a tag line (damaged
// or not) may be the rest of the damaged game's tags.
// The line is looked at from `from` on (where the game or the damage being read began), as a
// window of the text that begins there sees it.
bool AfterTextLine(std::string_view text, size_t at, size_t from) {
  size_t k = at;
  if (k > 0 && text[k - 1] == '\n') --k;
  if (k > 0 && text[k - 1] == '\r') --k;
  size_t lineStart = k;
  while (lineStart > from && !IsLineEnd(text[lineStart - 1])) --lineStart;
  while (lineStart < k && (text[lineStart] == ' ' || text[lineStart] == '\t')) ++lineStart;
  return lineStart < k && text[lineStart] != '[';
}

// The first line in text[from, to) that opens with "[" after an empty line; npos when none.
// Looks at line ends only: most comments are one line, and many hold "[" ("[%clk 0:03:00]").
size_t GameStartAfterEmptyLine(std::string_view text, size_t from, size_t to) {
  const std::string_view range = text.substr(0, to);
  for (size_t lf = range.find('\n', from); lf != std::string_view::npos; lf = range.find('\n', lf + 1))
    if (lf + 1 < to && text[lf + 1] == '[' && AfterEmptyLine(text, lf + 1)) return lf + 1;
  return std::string_view::npos;
}

// The NAG a move's glyph stands for ("!" 1, "?" 2, "!!" 3, "??" 4, "!?" 5, "?!" 6), stepping
// `at` over it; 0 when there is none.

}  // namespace

PgnReader::PgnReader(std::string_view source) : text(source) {}

void PgnReader::SkipByteOrderMark() {
  if (position == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") position = 3;
}

void PgnReader::SkipBlanks(PendingComments* comments) {
  // Works on local copies: stores to `position` would otherwise make every byte read reload
  // the text's address and size.
  const char* const bytes = text.data();
  const size_t n = text.size();
  size_t at = position;
  while (at < n) {
    const char c = bytes[at];
    if (IsBlank(c)) {
      ++at;
    } else if (c == '%') {
      // An escape line only at the start of a line (and never as the text's first byte).
      if (at == 0 || !IsLineEnd(bytes[at - 1])) break;
      while (at < n && !IsLineEnd(bytes[at])) ++at;
    } else if (c == ';') {
      const size_t start = at;
      while (at < n && !IsLineEnd(bytes[at])) ++at;
      if (comments) comments->Add(text.substr(start, at - start), false);
    } else if (c == '{') {
      const size_t end = CommentEnd(at);
      if (openComment != std::string_view::npos) {
        position = end;  // the game the comment ran into begins here
        return;
      }
      if (comments) {
        // A comment that runs to the end of the text is kept closed: written back open, it
        // would take in the result after it, and grow at every rewrite.
        if (text[end - 1] == '}' && end - at >= 2)
          comments->Add(text.substr(at, end - at), commentKeptAsRead);
        else
          comments->AddCopy(std::string(text.substr(at, end - at)) + "}");
      }
      at = end;
    } else {
      break;
    }
  }
  position = at;
}

size_t PgnReader::CommentEnd(size_t brace) {
  const char* const bytes = text.data();
  const size_t n = text.size();
  // One pass up to the closing brace for a comment of one line (most are): the braces opened on
  // the way are noted (the comment is not kept as it stands), a line end calls for the look at
  // the lines that may begin a game.
  size_t at = brace + 1;
  commentKeptAsRead = true;
  for (;;) {
    at = FindAnyOfThreeBytes(bytes, at, n, '}', '\n', '{');
    if (at == n) return n;  // open to the end of the text
    if (bytes[at] == '}') return at + 1;
    if (bytes[at] == '\n') break;
    commentKeptAsRead = false;
    ++at;
  }
  commentKeptAsRead = false;  // what follows the line end is not looked at for braces
  const size_t close = text.find('}', at);
  const size_t end = close == std::string_view::npos ? n : close + 1;
  const size_t game = GameStartAfterEmptyLine(text, at, end);
  if (game == std::string_view::npos) return end;
  openComment = brace;
  return game;
}

void PgnReader::SkipToNextGame() {
  const size_t n = text.size();
  while (position < n) {
    const char c = text[position];
    if (c == '[') return;
    if (c == '%') {
      if (position == 0 || !IsLineEnd(text[position - 1])) return;
      while (position < n && !IsLineEnd(text[position])) ++position;
    } else if (c == ';') {
      while (position < n && !IsLineEnd(text[position])) ++position;
    } else if (c == '{') {
      // A comment left open stops at the next game too, though nobody reports it here.
      position = CommentEnd(position);
      openComment = std::string_view::npos;
    } else {
      ++position;
    }
  }
}

size_t PgnReader::PlainRestOfGame() {
  // The usual game first: nothing but moves, numbers and NAGs up to its last token, the result,
  // before the next bracket. Anything else (a comment, a variation, an escape, a result-like
  // token before the last) is left to the whole look below.
  const size_t bracket = text.find('[', position);
  const size_t end = bracket == std::string_view::npos ? text.size() : bracket;
  size_t last = end;
  while (last > position && IsBlankOf(static_cast<unsigned char>(text[last - 1]))) --last;
  size_t first = last;
  while (first > position && !IsBlankOf(static_cast<unsigned char>(text[first - 1]))) --first;
  bool plain = first > position;
  for (size_t k = position; plain && k < first; ++k) {
    const char c = text[k];
    if (c == '{' || c == '(' || c == ')' || c == ';' || c == '%' || c == '*' ||
        ((c == '1' || c == '0') && k + 1 < text.size() && (text[k + 1] == '-' || text[k + 1] == '/')))
      plain = false;
  }
  if (plain) {
    const std::string_view token = text.substr(first, last - first);
    if (token != "1-0" && token != "0-1" && token != "1/2-1/2" && token != "*") return std::string_view::npos;
    if (end < text.size() &&
        !(IsLineEnd(text[end - 1]) &&
          (text.substr(end, 7) == "[Event " || AfterEmptyLine(text, end) || AfterTextLine(text, end, gameStart))))
      return std::string_view::npos;
    return last;
  }
  return WholeRestOfGame();
}

size_t PgnReader::WholeRestOfGame() {
  // Only text every way of reading ends at the same place: outside comments no "[" and no "%"
  // inside a line, inside them no "[" starting a line (damage is skipped to such a line), and
  // the result at the top level followed by blanks up to the next tag section or the text's end.
  const size_t n = text.size();
  size_t at = position;
  int depth = 0;
  const auto tokenStart = [&](size_t k) {
    return k == 0 || IsBlankOf(static_cast<unsigned char>(text[k - 1])) || text[k - 1] == '}' || text[k - 1] == ')';
  };
  while (at < n) {
    const char c = text[at];
    if (c == '[') return std::string_view::npos;
    if (c == '%') {
      if (at > 0 && !IsLineEnd(text[at - 1])) return std::string_view::npos;
      while (at < n && !IsLineEnd(text[at])) ++at;
    } else if (c == ';') {
      while (at < n && !IsLineEnd(text[at])) ++at;
    } else if (c == '{') {
      const size_t end = CommentEnd(at);
      if (openComment != std::string_view::npos) {
        openComment = std::string_view::npos;
        return std::string_view::npos;
      }
      for (size_t k = at + 1; k < end; ++k)
        if (text[k] == '[' && IsLineEnd(text[k - 1])) return std::string_view::npos;
      at = end;
    } else if (c == '(') {
      ++depth;
      ++at;
    } else if (c == ')') {
      if (--depth < 0) return std::string_view::npos;
      ++at;
    } else if ((c == '1' || c == '0' || c == '*') && tokenStart(at)) {
      size_t length = 0;
      for (const std::string_view result : {"1/2-1/2", "1-0", "0-1", "*"})
        if (text.substr(at, result.size()) == result &&
            (at + result.size() >= n || IsBlankOf(static_cast<unsigned char>(text[at + result.size()])))) {
          length = result.size();
          break;
        }
      if (length == 0) {
        ++at;
        continue;
      }
      if (depth != 0) return std::string_view::npos;
      size_t next = at + length;
      while (next < n && IsBlankOf(static_cast<unsigned char>(text[next]))) ++next;
      // The next tag section must be one the skip over damage would stop at too.
      if (next < n &&
          !(text[next] == '[' && IsLineEnd(text[next - 1]) &&
            (text.substr(next, 7) == "[Event " || AfterEmptyLine(text, next) || AfterTextLine(text, next, gameStart))))
        return std::string_view::npos;
      return at + length;
    } else {
      ++at;
    }
  }
  return std::string_view::npos;
}

void PgnReader::SkipToGameAfterDamage(size_t from) {
  gameStart = std::min(from, position);
  const size_t n = text.size();
  for (size_t at = text.find('[', position + 1); at != std::string_view::npos && at < n; at = text.find('[', at + 1)) {
    if (!IsLineEnd(text[at - 1])) continue;
    if (text.substr(at, 7) == "[Event " || AfterEmptyLine(text, at) || AfterTextLine(text, at, gameStart)) {
      position = at;
      return;
    }
  }
  position = n;
}

int PgnReader::ReadTagPair(TagView& tag) {
  const size_t n = text.size();
  if (position < n && MayStartBlanks(text[position])) SkipBlanks();
  const size_t nameStart = position;
  position = SkipWhile(position, IsTagNameByte);
  if (position == nameStart || position >= n) return TagNameMissing;
  tag.name = text.substr(nameStart, position - nameStart);
  // Mostly one space between the name and the value.
  if (position + 1 < n && text[position] == ' ' && text[position + 1] == '"')
    ++position;
  else
    SkipBlanks();
  if (position >= n || text[position] != '"') return TagQuoteMissing;
  ++position;
  // Most values are one run of plain bytes up to the closing quote, seen in the text itself.
  const size_t valueStart = position;
  position = SkipWhile(position, IsPlainValueByte);
  if (position >= n) return TagValueUnterminated;
  if (text[position] == '"') {
    tag.value = text.substr(valueStart, position - valueStart);
  } else {
    // A backslash (or a forbidden byte): the value is gathered without its escapes.
    std::string& value = unescapedValues.emplace_back(text.substr(valueStart, position - valueStart));
    for (;;) {
      const char c = text[position];
      if (c == '"') break;
      if (c != '\\') return BadTagValue;
      if (position + 1 < n && (text[position + 1] == '\\' || text[position + 1] == '"')) {
        value += text[position + 1];
        position += 2;
      } else {
        value += c;
        ++position;
      }
      // Plain bytes up to the next quote, backslash or forbidden byte go in as one run.
      const size_t runStart = position;
      position = SkipWhile(position, IsPlainValueByte);
      value.append(text.data() + runStart, position - runStart);
      if (position >= n) return TagValueUnterminated;
    }
    tag.value = value;
  }
  ++position;
  if (position < n && MayStartBlanks(text[position])) SkipBlanks();
  if (position >= n || text[position] != ']') return TagBracketMissing;
  ++position;
  return ReadOk;
}

int PgnReader::ReadTagSection(TGamesTagArray& tags, std::string& fen) {
  const int code = ReadTagsInto(tagScratch, fen);
  tags.Assign(tagScratch);
  return code;
}

int PgnReader::ReadTagsInto(std::vector<TagView>& tags, std::string& fen) {
  const size_t n = text.size();
  gameStart = position;
  tags.clear();
  unescapedValues.clear();
  fen.clear();
  chess960 = false;
  openComment = droppedTagLine = std::string_view::npos;
  for (;;) {
    // Only the comment after the last tag pair survives, as the game's leading comment.
    pending.clear();
    SkipBlanks(keepsComments ? &pending : nullptr);
    if (openComment != std::string_view::npos) return UnclosedComment;
    if (position >= n) return TextEndsInTags;
    if (text[position] != '[') break;
    const size_t lineStart = position;
    ++position;
    tags.emplace_back();
    if (ReadTagPair(tags.back()) == ReadOk) continue;
    if (openComment != std::string_view::npos) return UnclosedComment;
    // A bad tag line is left out when it ends with "]" (and reported by whoever reads the game);
    // otherwise the game is damaged beyond a skip.
    tags.pop_back();
    if (droppedTagLine == std::string_view::npos) droppedTagLine = lineStart;
    while (position < n && !IsLineEnd(text[position])) ++position;
    if (position >= n) return TextEndsInTags;
    if (text[position - 1] != ']') return BadTagLine;
  }
  if (tags.empty()) return NoTags;
  return NormaliseTags(tags, fen);
}

int PgnReader::NormaliseTags(std::vector<TagView>& tags, std::string& fen) {
  for (size_t i = 0; i < RosterSize; ++i) {
    if (i < tags.size() && tags[i].name == Roster[i].name) continue;  // already in its place
    const int found = FindTag(tags, i, Roster[i].name);
    if (found >= 0) {
      tags[size_t(found)].name = Roster[i].name;
      std::swap(tags[size_t(found)], tags[i]);
    } else {
      tags.emplace_back();
      if (i + 1 < tags.size()) tags.back() = tags[i];
      tags[i] = TagView{Roster[i].name, Roster[i].missing};
    }
  }
  bool setUp = false;
  const int setUpAt = FindTag(tags, SetUpSlot, "setup");
  if (setUpAt >= 0) {
    TagView& tag = tags[size_t(setUpAt)];
    tag.name = "SetUp";
    if (tag.value != "0" && tag.value != "1") return BadSetUp;
    setUp = tag.value == "1";
    std::swap(tag, tags[SetUpSlot]);
  }
  // Without a SetUp tag a FEN tag may stand right after the roster: it must not pass unseen (the
  // game would be read from the initial position, and written so that it no longer reads back).
  const int fenAt = FindTag(tags, setUpAt >= 0 ? FenSlot : SetUpSlot, "fen");
  if (fenAt >= 0) {
    tags[size_t(fenAt)].name = "FEN";
    fen.assign(tags[size_t(fenAt)].value);
    if (fenAt > int(FenSlot)) std::swap(tags[size_t(fenAt)], tags[FenSlot]);
  }
  if (setUp != (fenAt >= 0)) return SetUpWithoutFen;
  const int variantAt = FindTag(tags, RosterSize, "variant");
  if (variantAt >= 0) {
    chess960 = NamesChess960(tags[size_t(variantAt)].value);
  }
  const size_t ecoPlace = fenAt >= 0 ? AfterSetUp : RosterSize;
  if (const int found = FindTag(tags, ecoPlace, "eco"); found >= 0) {
    tags[size_t(found)].name = "ECO";
    std::swap(tags[size_t(found)], tags[ecoPlace]);
  }
  // Beyond the roster a name may appear only once (compared byte for byte). Short lists are
  // compared pair by pair; long ones through a table, so that hostile input stays linear.
  if (tags.size() <= 32) {
    for (size_t i = RosterSize; i < tags.size(); ++i)
      for (size_t j = 0; j < tags.size(); ++j)
        if (j != i && SameName(tags[j].name, tags[i].name)) return DuplicateTag;
    return ReadOk;
  }
  std::unordered_map<std::string_view, int> counts;
  for (const TagView& tag : tags) ++counts[tag.name];
  for (size_t i = RosterSize; i < tags.size(); ++i)
    if (counts[tags[i].name] > 1) return DuplicateTag;
  return ReadOk;
}

// The movetext reader's state for one game.
struct PgnReader::Scan {
  jurnal* game = nullptr;
  jurnal* line = nullptr;  // the line moves go to
  bool black = false;      // the side to move as the scanner believes it
  bool variationOpening = false;
  bool nullMove = false;
  // The last move's position is stalemate (when tested); most positions never need the test,
  // since a move after a stalemate fails anyway and is only then asked about it.
  bool stalemate = false;
  bool stalemateUntested = false;
  bool stalemateWhiteToMove = false;  // the side that would be stalemated
  bool mateClaimed = false;
  bool numberSinceOpening = false;  // a move number was read since the variation opened
};

bool PgnReader::Stalemated(Scan& s) {
  if (s.stalemateUntested) {
    s.stalemate = board.gamestate(SideOf(!s.stalemateWhiteToMove)) == StateStalemate;
    s.stalemateUntested = false;
  }
  return s.stalemate;
}

__attribute__((always_inline)) int PgnReader::ReadPlayedMove(Scan& s, bool castling) {
  // A variation replaces the last move: without a move number its first move is by the side
  // that played that one.
  if (s.variationOpening && !s.numberSinceOpening && s.line->current > 0)
    s.black = !IsWhite(s.line->moves[size_t(s.line->current) - 1].piece);
  // A move by the side that would be stalemated fails on its own when it is; a move by the
  // other side (after a null move, or numbers that switch sides) needs the test first.
  const bool moverWouldBeStalemated = s.black != s.stalemateWhiteToMove;
  if (s.mateClaimed || ((!s.stalemateUntested || !moverWouldBeStalemated) && Stalemated(s))) return MoveAfterEnd;
  const size_t start = position;
  const int code = castling ? ReadCastling(s) : ReadMove(s);
  if (code != ReadOk && code != PositionsOutOfReach && Stalemated(s)) {
    position = start;
    return MoveAfterEnd;
  }
  return code;
}

void PgnReader::AttachComments(jurnal& line) {
  // Nothing to attach leaves the comment there alone: it may be one attached before a
  // variation, as in "e4 {good} (d4) e5", which must not be lost when e5 is read.
  if (pending.empty()) return;
  if (&line == mainLineRecord && line.current >= 1) {
    if (plainLineKept && plainLine.Count() == size_t(line.current) && plainLine.LastTakesComment()) {
      // The usual comment after a main line move (a clock, an evaluation, an engine's log): it
      // goes into the packed line as it will be kept, copied once; a record with moves keeps
      // it too.
      plainLine.CommentLast(pending.View(), pending.StoredAsRead());
      if (!recordsDeferred) line.setcomment(pending.View());
      pending.clear();
      return;
    }
    MainLineNoLongerPlain();
  }
  // A move that has a comment already (from before its variations) keeps it, followed by
  // the new one.
  const std::string_view existing =
      line.current >= 1 ? std::string_view(line.moves[size_t(line.current) - 1].comment) : line.startcomment;
  if (!existing.empty()) {
    std::string joined(existing);
    AppendComment(joined, pending.View());
    line.setcomment(joined);
  } else {
    line.setcomment(pending.View());
  }
  pending.clear();
}

int PgnReader::ReadMovetext(jurnal& game) {
  const bool growInPlace = !game.moves.empty();  // a record that already holds moves keeps its array
  const bool keepsWholeLine = !growInPlace && !packsAtOnce;
  if (keepsWholeLine) {
    // The game's own array, with room for nearly every game: cut to size where it lies once
    // read, its records are written once, into the memory the game keeps.
    game.moves.reserve(RoomForMainLine);
  } else if (!growInPlace) {
    mainLine.clear();
    game.moves.swap(mainLine);
  }
  mainLineEco = nullptr;
  ecoKeyPending = false;
  mainLineOpening = -1;
  openingsInReach = openings != nullptr;
  openingPly = 0;
  movesKey = 0;
  movesKeyKnown = addsUpMovesKey && !growInPlace;
  plainLine.Clear();
  plainLineKept = packsAtOnce && !growInPlace;
  recordsDeferred = plainLineKept && keepsPlainLineOnlyPacked;
  mainLineAlternates = !growInPlace;
  variationOpened = false;
  if (positions) seen.Start(*positions, game.halfmoves, stopsOutOfReach);
  restTried = false;
  const int code = ReadMovetextOnBoard(game);
  // The final position may be a named one too: the board stands at the main line's end when
  // the movetext was read to its end. Where it was not (a variation left open, damage), the
  // name is left to be found from the record.
  if (openings && (code != ReadOk || !endedOnMainLine)) {
    mainLineOpening = TGameSummary::OpeningNotLookedFor;
  } else if (openingsInReach && openings->MayStillFollow(board)) {
    if (const int32_t last = openings->IndexOf(board.poskey(MainLineSideToMove(game))); last >= 0)
      mainLineOpening = last;
  }
  if (positions && code == ReadOk && endedOnMainLine) {
    // The final position: the board stands at the main line's end.
    WatchPosition(game);
    seen.End(*positions, board, MainLineSideToMove(game));
  }
  if (keepsWholeLine) game.moves.ShrinkToFit();
  // The working board belongs to the reader: the record must not keep pointing at it. A record
  // begun empty that no variation was opened in holds none: no walk over its moves for them.
  noVariationRead = !growInPlace && !variationOpened;
  if (noVariationRead) {
    game.board = nullptr;
    game.current = 0;
  } else {
    game.setboard(nullptr);
  }
  return code;
}

void PgnReader::KeepMainLineRecords() {
  if (!recordsDeferred) return;
  recordsDeferred = false;
  plainLine.AppendRecordsTo(mainLineRecord->moves);  // the cursor counts them already
}

void PgnReader::TakeBackLine(MoveList&& line) {
  line.clear();
  if (line.capacity() > mainLine.capacity()) mainLine.swap(line);
}

int PgnReader::ReadMovetextOnBoard(jurnal& game) {
  Scan s;
  // However the reading returns, whether it stood on the main line then: a movetext cut off
  // by the next game's tags inside a variation leaves the board in that variation.
  struct NoteWhereItEnded {
    const Scan& scan;
    const jurnal& game;
    bool& onMainLine;
    ~NoteWhereItEnded() { onMainLine = scan.line == &game; }
  } noteWhereItEnded{s, game, endedOnMainLine};
  s.game = &game;
  mainLineRecord = &game;
  s.line = &game;
  game.setboard(&board);
  if (game.ownboard)
    board.assign(*game.ownboard);
  else
    board.reset();
  s.black = game.blackfirst;

  bool ended = false;
  const size_t n = text.size();
  while (position < n) {
    const char c = text[position];
    // The usual tokens by plain tests: a move is read here, where its reading and playing are
    // inlined; the rest in ReadOtherToken.
    int code;
    if (IsMoveStart(c))
      code = ReadPlayedMove(s, false);
    else if (c >= '2' && c <= '9')
      code = ReadMoveNumber(s);
    else
      code = ReadOtherToken(s, c, ended);
    if (code) return code;
    if (ended) return ReadOk;
    // Most tokens are followed by one space and the next token.
    if (position + 1 < n && text[position] == ' ' && IsTokenStart(text[position + 1]))
      ++position;
    else
      SkipBlanks(keepsComments ? &pending : nullptr);
  }
  if (openComment != std::string_view::npos) return UnclosedComment;
  AttachPending(*s.line);
  return s.line != &game ? EndsInVariation : ReadOk;
}

int PgnReader::ReadOtherToken(Scan& s, char c, bool& ended) {
  switch (c) {
    case '$':
      return ReadNag(s);
    case '(':
      return OpenVariation(s);
    case ')':
      return CloseVariation(s);
    case '*':
      ++position;
      AttachPending(*s.line);
      ended = true;
      return ReadOk;
    case '-':
    case '.':
    case 'Z':
      return ReadNullMove(s, c == '-' ? "--" : c == '.' ? "..." : "Z0");
    case '0':
      if (Next("0-1")) return ReadResult(s, "0-1", ended);
      if (Next("0-0") || Next("0-O")) return ReadPlayedMove(s, true);
      return UnexpectedByte;
    case '1':
      if (Next("1/2-1/2")) return ReadResult(s, "1/2-1/2", ended);
      if (Next("1-0")) return ReadResult(s, "1-0", ended);
      return ReadMoveNumber(s);
    case 'O':
      return ReadPlayedMove(s, true);
    case '[':
      // The next game begins: this movetext ends here without a result (unless a comment left
      // open ran into it). The comments after its last move are still its own, as they are at
      // the text's end or before a result.
      if (openComment != std::string_view::npos) return UnclosedComment;
      AttachPending(*s.line);
      ended = true;
      return ReadOk;
    default:
      return UnexpectedByte;
  }
}

int PgnReader::ReadNag(Scan& s) {
  ++position;
  int number = 0;
  const size_t n = text.size();
  while (position < n && IsDigit(text[position])) {
    number = number * 10 + (text[position] - '0');
    if (number > 255) return NagTooLarge;
    ++position;
  }
  if (s.line == s.game) MainLineNoLongerPlain();
  s.line->setnag(uint8_t(number));
  return ReadOk;
}

int PgnReader::OpenVariation(Scan& s) {
  if (s.variationOpening) return BadTagLine;
  AttachPending(*s.line);
  if (s.line == s.game) MainLineNoLongerPlain();
  variationOpened = true;
  s.variationOpening = true;
  ++position;
  s.numberSinceOpening = false;
  if (s.nullMove && s.line->current > 0) {
    if (s.line == s.game) movesKeyKnown = false;
    // After a null move the variation starts at once from the last real move.
    const mov last = s.line->lastmove();
    s.line->back();
    const int result =
        s.line->addmove(last.fromfile, last.fromrank, last.tofile, last.torank, last.extra, true, last.nag);
    if (result >= 1) s.line = s.line->moves[size_t(s.line->current)].variations[size_t(result) - 1];
    s.line->makesan();
    s.line->forward();
    s.variationOpening = false;
  }
  s.mateClaimed = s.stalemate = s.stalemateUntested = false;
  return ReadOk;
}

int PgnReader::CloseVariation(Scan& s) {
  if (s.line == s.game || s.variationOpening) return UnexpectedByte;
  AttachPending(*s.line);
  // The variation's last position: the board stands at its end.
  if (positions && s.line->current > 0)
    seen.VariationPosition(*positions, board, SideOf(IsWhite(s.line->moves[size_t(s.line->current) - 1].piece)));
  s.line->gotoply(0);
  s.black = !s.line->blackfirst;
  s.line = s.line->parent;
  s.line->forward();
  // The side after the move the variation stood beside, whichever side played it (after a null
  // move, not the side the board would have to move).
  if (s.line->current > 0) s.black = IsWhite(s.line->moves[size_t(s.line->current) - 1].piece);
  s.nullMove = s.mateClaimed = s.stalemate = s.stalemateUntested = false;
  ++position;
  return ReadOk;
}

int PgnReader::ReadNullMove(Scan& s, std::string_view token) {
  if (!Next(token)) return UnexpectedByte;
  position += token.size();
  s.black = !s.black;
  s.nullMove = true;
  if (s.line == s.game) {
    mainLineAlternates = false;
    KeepMainLineRecords();  // the numbers after it are the record's to work out
  }
  return ReadOk;
}

std::string_view PgnReader::ProvenResult(const jurnal& game, std::string_view tagResult) const {
  const bool onlyPacked = recordsDeferred && &game == mainLineRecord && plainLine.Count() > 0;
  if (game.moves.empty() && !onlyPacked) return {};
  const mov* last = onlyPacked ? nullptr : &game.moves.back();
  const bool whiteMoved = IsWhite(last ? last->piece : lastPlainPiece);
  // A text the record wrote carries its mark (and may be only the mark, in a game packed at once).
  const uint8_t mark = last ? last->san.Mark() : lastPlainMark;
  const bool mated = mark ? StateOfMark(mark) == StateCheckmate : last->san.view().find('#') != std::string_view::npos;
  if (mated) return whiteMoved ? "1-0" : "0-1";
  if (tagResult != "1-0" && tagResult != "0-1") return {};
  // The working board still stands at the end of the main line.
  return board.gamestate(SideOf(whiteMoved)) == StateStalemate ? "1/2-1/2" : "";
}

int PgnReader::ReadResult(Scan& s, std::string_view token, bool& ended) {
  // A result may not contradict a stalemate or a mate claimed by the other side.
  const bool whiteClaimedMate = s.mateClaimed && s.black;
  const bool blackClaimedMate = s.mateClaimed && !s.black;
  if (token == "1-0" && (blackClaimedMate || Stalemated(s))) return ResultContradicts;
  if (token == "0-1" && (whiteClaimedMate || Stalemated(s))) return ResultContradicts;
  if (token == "1/2-1/2" && s.mateClaimed) return ResultContradicts;
  position += token.size();
  AttachPending(*s.line);
  ended = true;
  return s.line != s.game ? EndsInVariation : ReadOk;
}

int PgnReader::ReadMoveNumber(Scan& s) {
  const size_t n = text.size();
  long number = 0;
  while (position < n && IsDigit(text[position])) {
    if (number < 100000000) number = number * 10 + (text[position] - '0');
    ++position;
  }
  if (position >= n) return TextEndsAfterNumber;
  s.numberSinceOpening = true;
  // On a main line whose moves alternate in colour from its first (no null move among them)
  // the number follows from the count of moves; elsewhere the record works it out.
  const jurnal& line = *s.line;
  const long expected = s.line == s.game && mainLineAlternates
                            ? long(line.movesbefore) + 1 + (long(line.current) + (line.blackfirst ? 1 : 0)) / 2
                            : long(line.movenumber());
  if (!(number == expected || (s.variationOpening && number == expected - 1))) {
    s.black = !s.black;
    if (number != expected + 1) return BadMoveNumber;
  }
  // Mostly one dot and a space, or one dot, before white's move.
  if (text[position] == '.' && position + 2 < n) {
    const size_t move = position + (text[position + 1] == ' ' ? 2 : 1);
    if (IsMoveStart(text[move])) {
      position = move;
      s.black = false;
      return ReadOk;
    }
  }
  if (text[position] != '.') SkipBlanks();  // comments between a number and its dots are dropped
  if (position < n && text[position] == '.') {
    int dots = 0;
    while (position < n &&
           (text[position] == '.' || text[position] == '\r' || text[position] == '\n' || text[position] == ' ')) {
      if (text[position] == '.') ++dots;
      ++position;
    }
    if (position >= n) return TextEndsAfterNumber;
    if (dots == 1) s.black = false;
    if (dots == 3) s.black = true;
  }
  return ReadOk;
}

__attribute__((always_inline)) int PgnReader::ReadMove(Scan& s) {
  SanMoveText move;
  moveStart = position;
  size_t at = position;
  const bool read = ReadSanMove(text.data(), text.size(), at, s.black, move);
  position = at;  // where the move ends, or where it failed
  if (!read) return MalformedMove;
  const MoveText played{move.piece, move.promotion, {move.hintfile, move.hintrank}, {move.tofile, move.torank}};
  const int code = PlayResolved(s, played, move.nag, move.capture, false);
  if (code == ReadOk) s.mateClaimed = move.mate;
  return code;
}

int PgnReader::ReadCastling(Scan& s) {
  const size_t n = text.size();
  auto isO = [&](size_t at) { return at < n && (text[at] == 'O' || text[at] == '0'); };
  auto isDash = [&](size_t at) { return at < n && text[at] == '-'; };
  int toFile;
  if (isDash(position + 1) && isO(position + 2) && isDash(position + 3) && isO(position + 4)) {
    toFile = 3;
    position += 5;
  } else if (isDash(position + 1) && isO(position + 2)) {
    toFile = 7;
    position += 3;
  } else {
    return MalformedCastling;
  }
  bool mate = false;
  if (!StepOverCheckMarks(text.data(), n, position, mate)) return MalformedCastling;
  const uint8_t nag = ReadGlyph(text.data(), n, position);
  if (position < n && IsSymbol(text[position])) return MalformedCastling;
  const int home = s.black ? 8 : 1;
  // Always added as a new line at an opened variation: reusing the main continuation there would
  // leave the variation's closing bracket without a variation to close.
  const int code = PlayResolved(s, MoveText{MakePiece(6, s.black), 0, {5, home}, {toFile, home}}, nag, false, true);
  if (code == ReadOk) s.mateClaimed = mate;
  return code;
}

Side PgnReader::MainLineSideToMove(const jurnal& line) const {
  const int ply = line.current;
  return SideOf(ply == 0 ? line.blackfirst
                         : IsWhite(recordsDeferred ? lastPlainPiece : line.moves[size_t(ply) - 1].piece));
}

void PgnReader::NoteMainLinePosition(const jurnal& line) {
  // No named position can come after one where none may still follow: the rest is not looked
  // up. Asked every fourth position only: a position past that point is named by none, so
  // looking at a few more changes nothing.
  if (openingsInReach && (openingPly++ & 3) == 0) openingsInReach = openings->MayStillFollow(board);
  if (!openingsInReach && !eco) return;
  const uint64_t key = board.poskey(MainLineSideToMove(line));
  if (openingsInReach)
    if (const int32_t found = openings->IndexOf(key); found >= 0) mainLineOpening = found;
  if (!eco) return;
  // The key of the position before waits for this one to be worked out while its slot comes in
  // from memory; only keys the table may hold wait at all (most positions of a game are no
  // opening position).
  if (ecoKeyPending)
    if (const std::string* code = eco->Probe(int64_t(pendingEcoKey))) mainLineEco = code;
  ecoKeyPending = eco->MayHold(int64_t(key));
  if (ecoKeyPending) {
    eco->PrefetchSlot(int64_t(key));
    pendingEcoKey = key;
  }
}

WrittenBody PgnReader::WrittenMoveBody(int fromfile, int fromrank) const {
  // A move text is a piece letter (for a pawn too: "Pe4"), hints, "x", the destination, then a
  // promotion, a check or mate mark, a glyph: one ending in a digit and not starting with "P"
  // is a body alone.
  WrittenBody written;
  const size_t length = position - moveStart;
  if (length > 7 || moveStart + sizeof written.word > text.size() || !IsDigit(text[position - 1]) ||
      text[moveStart] == 'P')
    return written;
  std::memcpy(&written.word, text.data() + moveStart, sizeof written.word);
  written.word &= (uint64_t(1) << (8 * length)) - 1;
  written.length = uint8_t(length);
  written.origin = Origin((fromfile ? 1 : 0) | (fromrank ? 2 : 0));
  return written;
}

__attribute__((always_inline)) int PgnReader::PlayResolved(Scan& s, MoveText move, uint8_t nag, bool captureMark,
                                                           bool castling) {
  const bool opening = s.variationOpening;
  const int piece = move.piece;
  if (opening) s.line->back();
  if (castling && board.chess960) {
    // The king castles from where it stands, onto the square of the wing's rook.
    const Bitboard kings = board.Pieces(uint8_t(piece)) & Attacks.rank[move.from.rank];
    if (!kings || (kings & (kings - 1))) return NoLegalMove;
    move.from.file = FileOf(LowestSquare(kings));
    move.to.file = board.castlingfiles[(IsBlack(uint8_t(piece)) ? 2 : 0) + (move.to.file == 3 ? 0 : 1)];
  }
  uint8_t state;
  // A main line kept only packed is read at its end.
  if (!opening && (recordsDeferred || s.line->current == s.line->movecount())) {
    // The usual case: a move at the end of the line being read. The board finds and plays the
    // move in one pass, and its record goes straight into the line.
    if ((eco || openingsInReach) && s.line == s.game) NoteMainLinePosition(*s.line);
    if (positions) {
      if (s.line == s.game) {
        WatchPosition(*s.line);
        if (stopsOutOfReach && seen.OutOfReach() && PassOverRest()) return PositionsOutOfReach;
      } else {
        seen.VariationPosition(*positions, board, SideOf(IsBlack(piece)));
      }
    }
    mov& record = playedRecord;
    Bitboard rivals = 0;
    const uint8_t epBefore[2] = {board.epforblack, board.epforwhite};
    const uint8_t found = board.ResolveAndPlay(move, record, rivals, state);
    if (found > 4) return uint8_t(found + 2);
    // A Chess960 castling may be written as the king taking its own rook, or moving onto it.
    if (!castling && record.extra != CastlingExtra) {
      const bool capture = IsCapture(record);
      if (capture != captureMark) {
        // Taken back: the caller asks the position before it whether it was a stalemate.
        board.takeback(record);
        board.epforblack = epBefore[0];
        board.epforwhite = epBefore[1];
        return WrongCaptureMark;
      }
    }
    AttachPending(*s.line);
    s.nullMove = false;
    if (positions && s.line == s.game) seen.MainLineMove(*positions, record);
    if (s.line == s.game && movesKeyKnown) movesKey ^= MovesKeyPart(record);
    if (packsAtOnce && s.line == s.game) {
      uint8_t mark;
      if (recordsDeferred) {
        jurnal& game = *s.game;
        if (game.current == 0) game.blackfirst = IsBlack(record.piece);
        ++game.current;
        mark = PlayedMoveMark(record, rivals, state);
        lastPlainPiece = record.piece;
        lastPlainMark = mark;
      } else {
        mark = s.line->AppendPlayed(record, nag, rivals, state, false);
      }
      if (plainLineKept) plainLine.Append(record.BoardBytes(), mark, nag);
    } else {
      s.line->AppendPlayed(record, nag, rivals, state, true,
                           castling ? WrittenBody{} : WrittenMoveBody(move.from.file, move.from.rank));
    }
  } else {
    const int code = PlayAtCursor(s, move, nag, captureMark, castling, state);
    if (code != ReadOk) return code;
  }
  s.stalemate = false;
  s.stalemateUntested = state == StateNormal;
  s.stalemateWhiteToMove = !IsWhite(uint8_t(piece));
  s.black = !s.black;
  return ReadOk;
}

int PgnReader::PlayAtCursor(Scan& s, MoveText move, uint8_t nag, bool captureMark, bool castling, uint8_t& state) {
  const bool opening = s.variationOpening;
  // The state after the move is learnt from the board once the move is played, not from a
  // trial of it inside resolve.
  ResolvedMove found;
  const uint8_t status = board.resolve(move, false, &found);
  if (status > 4) return uint8_t(status + 2);
  if (s.line == s.game) {
    MainLineNoLongerPlain();
    mainLineAlternates = false;
  }
  if ((eco || openingsInReach) && s.line == s.game && !opening) NoteMainLinePosition(*s.line);
  const bool onMainLine = s.line == s.game && !opening;
  if (positions) {
    if (onMainLine) {
      WatchPosition(*s.line);
      if (stopsOutOfReach && seen.OutOfReach() && PassOverRest()) return PositionsOutOfReach;
    } else {
      seen.VariationPosition(*positions, board, SideOf(IsBlack(move.piece)));
    }
  }
  const int result =
      s.line->addmove(move.from.file, move.from.rank, move.to.file, move.to.rank, move.promotion, true, nag, &found);
  if (result < 0) return NoLegalMove;
  if (opening && result >= 1) s.line = s.line->moves[size_t(s.line->current)].variations[size_t(result) - 1];
  if (s.line == s.game) movesKeyKnown = false;  // a main line move not at its end: gamekeys tells
  AttachPending(*s.line);
  s.variationOpening = s.nullMove = false;
  const mov& added = s.line->moves[size_t(s.line->current)];
  // A Chess960 castling may be written as the king taking its own rook, or moving onto it.
  if (!castling && added.extra != CastlingExtra) {
    const bool capture = IsCapture(added);
    if (capture != captureMark) return WrongCaptureMark;
  }
  state = s.line->forwardwithsan(false, &found);
  if (positions && onMainLine) seen.MainLineMove(*positions, added);
  return ReadOk;
}
