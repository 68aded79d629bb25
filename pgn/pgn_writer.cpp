#include "pgn/pgn_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "chess/packed_game.h"
#include "chess/san_text.h"
#include "io/byte_source.h"
#include "io/os_file.h"
#include "io/write_target.h"
#include "pgn/byte_scan.h"

// At least 100000 bytes beyond the need, and doubling: a buffer of many megabytes would
// otherwise be copied again every 100000 bytes.
void OutputBuffer::Grow(size_t need) {
  const size_t grown = std::max(used + need + 100000, 2 * capacity);
  LargeBlock larger = AllocateLargeBlock(grown);
  if (used > 0) std::memcpy(larger.get(), data.get(), used);
  data = std::move(larger);
  capacity = grown;
}

void OutputBuffer::Append(std::string_view text) {
  if (text.empty()) return;  // an empty view may point nowhere, which memcpy may not be given
  if (used + text.size() > capacity) Grow(text.size());
  std::memcpy(data.get() + used, text.data(), text.size());
  used += text.size();
}

namespace {

void AppendTag(std::string& out, TagView tag) {
  out += '[';
  out += tag.name;
  out += " \"";
  // Runs without a quote or backslash go out whole; each of those two gets a backslash before it.
  const std::string_view value = tag.value;
  size_t run = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '"' || value[i] == '\\') {
      out.append(value, run, i - run);
      out += '\\';
      run = i;
    }
  }
  out.append(value, run);
  out += "\"]\r\n";
}

// Builds the text lines of a movetext, breaking them before the 80th column. The line being
// built is the tail of the buffer itself, so no byte is copied twice.
class MovetextLines {
 public:
  // Tokens already collected for the current line go ahead of the movetext.
  MovetextLines(OutputBuffer& b, std::string& pendingLine, size_t lineWidth) : buffer(b), width(lineWidth) {
    lineStart = buffer.Size();
    buffer.Append(pendingLine);
    pendingLine.clear();
  }

  size_t LineLength() const { return buffer.Size() - lineStart; }

  [[gnu::always_inline]] void Add(std::string_view token, bool trailingSpace) {
    if (token.size() == 1 && token[0] == ')') {
      // Glued to the variation's last token; never a reason to break the line.
      if (LineLength() && buffer.Back() == ' ')
        buffer.SetBack(')');
      else
        buffer.Append(')');
      buffer.Append(' ');
      return;
    }
    if (LineLength() + token.size() + 2 > width) BreakLine();
    buffer.AppendToken(token, trailingSpace);
  }

  // A comment goes out as it is, never broken at the line width; a ";" comment ends its line.
  void Comment(std::string_view comment) {
    if (comment.empty()) return;
    if (comment.front() == ';') {
      buffer.Append(comment);
      buffer.Append("\r\n");
      lineStart = buffer.Size();
      return;
    }
    if (FindEitherByte(comment.data(), 0, comment.size(), '\n', '\r') == comment.size()) {
      buffer.Append(comment);  // one line: most comments
      buffer.Append(' ');
      return;
    }
    size_t start = 0;
    for (size_t end = comment.find_first_of("\r\n"); end != std::string_view::npos;
         end = comment.find_first_of("\r\n", end + 1)) {
      buffer.Append(comment.substr(start, end + 1 - start));
      if (comment[end] == '\n') lineStart = buffer.Size();
      start = end + 1;
      // A line of the comment opening with "[" would read as a tag line (after an empty line,
      // as the next game's first), and one opening with "%" as an escape line: a space before
      // it keeps it inside the comment.
      if (start < comment.size() && (comment[start] == '[' || comment[start] == '%')) buffer.Append(' ');
    }
    buffer.Append(comment.substr(start));
    buffer.Append(' ');
  }

  // Ends the movetext: its last line and the empty line after the game.
  void Finish() { buffer.Append("\r\n\r\n"); }

 private:
  // Kept out of line: Add, which runs for every token, stays small enough to be inlined.
  [[gnu::noinline]] void BreakLine() {
    if (LineLength() && buffer.Back() == ' ') buffer.PopBack();
    buffer.Append("\r\n");
    lineStart = buffer.Size();
  }

  OutputBuffer& buffer;
  size_t width;  // a line stays below this column
  size_t lineStart = 0;
};

// "12." or "12...", written into `buffer`.
std::string_view NumberToken(char* buffer, int number, bool white) {
  const unsigned value = unsigned(number < 0 ? 0 : number);
  int length = 0;
  if (value < 1000) {  // every game's numbers but a few: the digits without a loop
    if (value >= 100) buffer[length++] = char('0' + value / 100);
    if (value >= 10) buffer[length++] = char('0' + value / 10 % 10);
    buffer[length++] = char('0' + value % 10);
  } else {
    char digits[12];
    int n = 0;
    for (unsigned rest = value; rest != 0; rest /= 10) digits[n++] = char('0' + rest % 10);
    while (n) buffer[length++] = digits[--n];
  }
  buffer[length++] = '.';
  if (!white) {
    buffer[length++] = '.';
    buffer[length++] = '.';
  }
  return std::string_view(buffer, size_t(length));
}

std::string_view NagToken(char* buffer, uint8_t nag) {
  int length = 0;
  buffer[length++] = '$';
  if (nag >= 100) buffer[length++] = char('0' + nag / 100);
  if (nag >= 10) buffer[length++] = char('0' + nag / 10 % 10);
  buffer[length++] = char('0' + nag % 10);
  return std::string_view(buffer, size_t(length));
}

bool IsResult(std::string_view text) { return text == "1-0" || text == "0-1" || text == "1/2-1/2" || text == "*"; }

}  // namespace

std::string WriteTagSection(const TGamesTagArray& tags, const TProcessingOptions& options) {
  std::string out;
  AppendTags(out, tags, options);
  return out;
}

void AppendTags(std::string& out, const TGamesTagArray& tags, const TProcessingOptions& options) {
  const TagRemoval removal = options.tagRemoval;
  if (removal == TagRemoval::None) {  // every tag, in order
    for (const TagView tag : tags) AppendTag(out, tag);
    return;
  }
  // Whatever goes, the tags the moves depend on stay: SetUp and FEN, and a Variant naming
  // Chess960 (its castling is read by other rules).
  size_t place = 0;
  TagView setUp;
  for (const TagView tag : tags) {
    if (place < RosterSize && removal == TagRemoval::AllButRoster) AppendTag(out, tag);
    if (place == SetUpSlot) setUp = tag;
    if (place == FenSlot && (removal == TagRemoval::All || removal == TagRemoval::AllButRoster) &&
        setUp.name == "SetUp" && tag.name == "FEN") {
      AppendTag(out, setUp);
      AppendTag(out, tag);
    }
    if (place >= RosterSize && FoldedEqual(tag.name, "variant") && NamesChess960(tag.value)) {
      AppendTag(out, tag);
      break;
    }
    ++place;
  }
}

namespace {

// How a line's moves are numbered as they are written: counted as the game record counts them,
// so that the text reads back.
struct MoveNumbering {
  int number = 1;
  bool whiteExpected = true;  // the side the count expects to move next
  bool numberDue = true;      // the next move is written with its number
  bool lineBegun = false;     // a move of the line was written
};

// A move's text with its number where one is due, and its NAG as $n when the options keep it.
// `san` is the move's text; a glyph at its end that stands for the NAG goes.
void WriteMove(MoveNumbering& n, std::string_view san, uint8_t nag, bool white, MovetextLines& out,
               const TProcessingOptions& options) {
  char number[24];
  // A move of the side not expected follows a pass of the other side. Within a line it is
  // written as the null move "--", so that the text reads back as the same game; a line that
  // begins so starts after a pass made before it, and only its numbering follows.
  if (white != n.whiteExpected) {
    if (n.lineBegun) {
      if (n.numberDue) out.Add(NumberToken(number, n.number, n.whiteExpected), false);
      out.Add("--", true);
      n.numberDue = white;
    }
    n.whiteExpected = white;
    if (white) ++n.number;
  }
  if (n.numberDue) {
    out.Add(NumberToken(number, n.number, white), false);
    if (!white) n.numberDue = false;
  }
  // The glyph that makesan rendered for the NAG goes; the NAG itself is written as $n.
  if (nag)
    while (!san.empty() && (san.back() == '!' || san.back() == '?')) san.remove_suffix(1);
  out.Add(san, true);
  if (nag && options.keptNags[nag]) out.Add(NagToken(number, nag), true);
  n.lineBegun = true;
}

// The numbering once a move's variations and comment are written: a comment or a variation
// calls for the next move's number.
void AfterMove(MoveNumbering& n, bool white, bool wroteComment, bool wroteVariation) {
  n.numberDue = !n.numberDue;
  n.whiteExpected = !white;
  if (n.whiteExpected) ++n.number;
  if (wroteComment || wroteVariation) n.numberDue = true;
}

// Writes a comment unless the options remove comments; true when one was written (the next
// move then shows its number).
bool WriteComment(MovetextLines& out, std::string_view text, const TProcessingOptions& options) {
  if (options.removeComments || text.empty()) return false;
  out.Comment(text);
  return true;
}

// One line being written; variations are frames, not recursion, so that deeply nested lines
// cannot exhaust the stack.
struct LineFrame {
  const jurnal* line = nullptr;
  size_t move = 0;
  MoveNumbering numbering;
  bool moveWritten = false;
  size_t variation = 0;
};

}  // namespace

void WriteMovetext(const jurnal& game, OutputBuffer& buffer, std::string& currentLine,
                   const TProcessingOptions& options, std::string_view result, int32_t lineLength) {
  // A line of N columns holds tokens while N - 2 columns are not exceeded (80 as before); 0:
  // the whole movetext on one line.
  MovetextLines out(buffer, currentLine, lineLength <= 0 ? SIZE_MAX / 2 : size_t(lineLength));
  std::vector<LineFrame> frames;
  auto startLine = [&](const jurnal* line) {
    LineFrame& f = frames.emplace_back();
    f.line = line;
    f.numbering.number = line->movesbefore + 1;
    f.numbering.whiteExpected = !line->blackfirst;
    WriteComment(out, line->startcomment, options);
  };
  startLine(&game);
  while (!frames.empty()) {
    LineFrame& f = frames.back();
    if (f.move >= f.line->moves.size()) {
      frames.pop_back();
      if (!frames.empty()) out.Add(")", false);
      continue;
    }
    const mov& m = f.line->moves[f.move];
    const bool white = m.piece >= WhitePawn && m.piece <= WhiteKing;
    if (!f.moveWritten) {
      f.moveWritten = true;
      WriteMove(f.numbering, m.san.view(), m.nag, white, out, options);
    }
    if (!options.removeVariations && f.variation < m.variations.size()) {
      const jurnal* variation = m.variations[f.variation++];
      out.Add("(", false);
      startLine(variation);  // f may dangle from here on
      continue;
    }
    const bool wroteVariation = !options.removeVariations && !m.variations.empty();
    AfterMove(f.numbering, white, WriteComment(out, m.comment, options), wroteVariation);
    ++f.move;
    f.moveWritten = false;
    f.variation = 0;
  }
  out.Add(IsResult(result) ? result : std::string_view("*"), false);
  out.Finish();
}

void WritePackedMovetext(const PackedGame& game, OutputBuffer& buffer, std::string& currentLine,
                         const TProcessingOptions& options, std::string_view result, int32_t lineLength) {
  MovetextLines out(buffer, currentLine, lineLength <= 0 ? SIZE_MAX / 2 : size_t(lineLength));
  // The lines in the order their bytes come: a move, then its variations, each a line of its own;
  // the move's comment is written after them, as the record's writing does.
  struct Frame {
    size_t movesLeft = 0;
    bool wide = false;
    MoveNumbering numbering;
    bool moveOpen = false;  // a move written, its variations and comment still to come
    bool white = false;
    std::string_view comment;
    size_t variationsLeft = 0;
    bool hadVariations = false;
  };
  std::vector<Frame> frames;
  PackedReading reading(game);
  auto startLine = [&] {
    const PackedReading::LineStart line = reading.Line();
    Frame& f = frames.emplace_back();
    f.movesLeft = line.moves;
    f.wide = line.wide;
    f.numbering.number = line.movesBefore + 1;
    f.numbering.whiteExpected = !line.blackFirst;
    WriteComment(out, line.startComment, options);
  };
  mov scratch;  // the move whose text is written again from its mark
  startLine();
  while (!frames.empty()) {
    Frame& f = frames.back();
    if (f.moveOpen) {
      if (f.variationsLeft > 0) {
        --f.variationsLeft;
        if (options.removeVariations) {
          reading.SkipLines(1);
          continue;
        }
        out.Add("(", false);
        startLine();  // f may dangle from here on
        continue;
      }
      f.moveOpen = false;
      AfterMove(f.numbering, f.white, WriteComment(out, f.comment, options),
                !options.removeVariations && f.hadVariations);
      continue;
    }
    if (f.movesLeft == 0) {
      frames.pop_back();
      if (!frames.empty()) out.Add(")", false);
      continue;
    }
    --f.movesLeft;
    const PackedReading::Move m = reading.NextMove(f.wide);
    const uint8_t piece = uint8_t(m.boardBytes & 0xFF);
    f.white = piece >= WhitePawn && piece <= WhiteKing;
    f.comment = m.comment;
    f.variationsLeft = m.variations;
    f.hadVariations = m.variations > 0;
    f.moveOpen = true;
    if (m.sanMark == 0) {
      WriteMove(f.numbering, m.ownSan, m.nag, f.white, out, options);
    } else {
      scratch.SetBoardBytes(m.boardBytes);  // its NAG left out: no glyph to take off again
      SanText san = SanBody(scratch, OriginOfMark(m.sanMark));
      FinishSan(scratch, san, StateOfMark(m.sanMark));
      WriteMove(f.numbering, san.view(), m.nag, f.white, out, options);
    }
  }
  out.Add(IsResult(result) ? result : std::string_view("*"), false);
  out.Finish();
}

void WriteGame(const TGame& entry, OutputBuffer& buffer, const TProcessingOptions& options) {
  WriteGame(entry, entry.game.get(), buffer, options);
}

void WriteGame(const TGame& entry, const jurnal* game, OutputBuffer& buffer, const TProcessingOptions& options,
               const OutputForm& form) {
  WritePgnGame(entry.tags, game, buffer, options, form);
}

void WritePgnGame(const TGamesTagArray& tags, const jurnal* game, OutputBuffer& buffer,
                  const TProcessingOptions& options, const OutputForm& form, const TagOverrides* overrides) {
  // A string of the call's own, not a thread-local one reused (see SharedBoard in
  // pgn/eco_tags.cpp).
  std::string text;
  text.reserve(512);
  if (TagsFollowForm(form) || overrides)
    AppendTags(text, tags, options, form, game ? game->movecount() : -1, overrides);
  else
    AppendTags(text, tags, options);
  text += "\r\n";
  buffer.Append(text);
  if (!game) return;
  // The result written is the Result tag's, whatever the record holds. The record is only
  // read: games may be written by several threads at once.
  const std::string_view result = GameResult(tags, game);
  text.clear();
  WriteMovetext(*game, buffer, text, options, result, form.lineLength);
}

void WritePackedPgnGame(const TGamesTagArray& tags, const PackedGame& game, OutputBuffer& buffer,
                        const TProcessingOptions& options, const OutputForm& form, const TagOverrides* overrides) {
  std::string text;
  text.reserve(512);
  PackedReading reading(game);
  const PackedReading::LineStart mainLine = reading.Line();
  if (TagsFollowForm(form) || overrides)
    AppendTags(text, tags, options, form, int(mainLine.moves), overrides);
  else
    AppendTags(text, tags, options);
  text += "\r\n";
  buffer.Append(text);
  const std::string_view result = tags.size() > ResultSlot ? tags[ResultSlot].value : mainLine.result;
  text.clear();
  WritePackedMovetext(game, buffer, text, options, result, form.lineLength);
}

std::string_view GameResult(const TGamesTagArray& tags, const jurnal* game) {
  if (tags.size() > ResultSlot) return tags[ResultSlot].value;
  return game ? std::string_view(game->result) : std::string_view("*");
}

bool TagsFollowForm(const OutputForm& form) {
  return form.addPlyCount || !form.keepTags.empty() || !form.dropTags.empty();
}

void WrittenTags(const TGamesTagArray& tags, const TProcessingOptions& options, const OutputForm& form, int plies,
                 std::string& plyCountText, std::vector<TagView>& written, const TagOverrides* overrides) {
  written.clear();
  uint32_t overridden = 0;  // bits of the overrides that took a tag's place
  const TagRemoval removal = options.tagRemoval;
  size_t place = 0;
  TagView setUp;
  bool plyCountDone = false;
  if (form.addPlyCount && plies >= 0) plyCountText = std::to_string(plies);
  const auto take = [&](TagView tag, bool needed) {
    if (!needed) {
      if (!form.keepTags.empty() && !NamesTag(form.keepTags, tag.name)) return;
      if (NamesTag(form.dropTags, tag.name)) return;
    }
    if (form.addPlyCount && plies >= 0 && FoldedEqual(tag.name, "plycount")) {
      if (plyCountDone) return;
      tag.value = plyCountText;
      plyCountDone = true;
    }
    if (overrides)
      for (size_t k = 0; k < overrides->size() && k < 32; ++k)
        if (FoldedEqual((*overrides)[k].name, tag.name)) {
          if (overridden & (1u << k)) return;  // a name given twice: the first place holds it
          overridden |= 1u << k;
          if ((*overrides)[k].value.empty()) return;  // taken away
          tag.value = (*overrides)[k].value;
        }
    written.push_back(tag);
  };
  for (const TagView tag : tags) {
    const bool chess960 = place >= RosterSize && FoldedEqual(tag.name, "variant") && NamesChess960(tag.value);
    if (place == SetUpSlot) setUp = tag;
    const bool setUpPair = place == FenSlot && setUp.name == "SetUp" && tag.name == "FEN";
    if (removal == TagRemoval::None) {
      // Every tag, but the moves' own are kept whatever the lists say.
      const bool needed = chess960 || (place == SetUpSlot && tag.name == "SetUp") || setUpPair;
      take(tag, needed);
    } else {
      if (place < RosterSize && removal == TagRemoval::AllButRoster) take(tag, false);
      if (setUpPair) {
        take(setUp, true);
        take(tag, true);
      }
      if (chess960) {
        take(tag, true);
        break;
      }
    }
    ++place;
  }
  // Overrides that found no tag of their name come last, where every tag is kept.
  if (overrides && removal == TagRemoval::None)
    for (size_t k = 0; k < overrides->size() && k < 32; ++k)
      if (!(overridden & (1u << k)) && !(*overrides)[k].value.empty()) take((*overrides)[k], false);
  if (form.addPlyCount && plies >= 0 && !plyCountDone) written.push_back(TagView{"PlyCount", plyCountText});
}

void AppendTags(std::string& out, const TGamesTagArray& tags, const TProcessingOptions& options, const OutputForm& form,
                int plies, const TagOverrides* overrides) {
  std::string plyCountText;
  // Kept from game to game on each writing thread: no allocation a game.
  thread_local std::vector<TagView> written;
  WrittenTags(tags, options, form, plies, plyCountText, written, overrides);
  for (const TagView tag : written) AppendTag(out, tag);
}

namespace {

std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

}  // namespace

WriteResult WriteOutputFile(const std::filesystem::path& path, const OutputBuffer& buffer, bool append) {
  OutputFileWriter writer(path, append);
  writer.Write(buffer);
  return writer.Finish();
}

OutputFileWriter::OutputFileWriter(std::filesystem::path target, bool appendToTarget, bool continuesOwn)
    : path(std::move(target)), append(appendToTarget), continuesOwnText(continuesOwn) {}

OutputFileWriter::~OutputFileWriter() {
  if (opened) Abandon();
}

namespace {

// Why text cannot be appended to the existing file, if it cannot: compressed text would be
// damaged by plain text after it. Sets `needsLineBreak` when the file's last line is unended,
// so that the first tag line appended does not join it.
std::string AppendRefusal(const std::filesystem::path& path, int64_t size, bool& needsLineBreak) {
  needsLineBreak = false;
  if (size <= 0) return "";
  std::FILE* existing = OpenFile(path, "rb");
  if (!existing) return "";  // the open for appending says why
  char head[8] = {};
  const size_t got = std::fread(head, 1, sizeof head, existing);
  char last = '\n';
  if (SeekFile(existing, size - 1)) last = char(std::fgetc(existing));
  std::fclose(existing);
  const Compression compression = CompressionOf(std::string_view(head, got));
  if (compression != Compression::None)
    return std::string("holds text stored as ") + CompressionName(compression) +
           ", which plain text appended would damage: replace it (--overwrite) or give another name";
  needsLineBreak = last != '\n';
  return "";
}

}  // namespace

bool OutputFileWriter::Open() {
  opened = true;
  const WriteTarget target = ResolveWriteTarget(path);
  if (const std::string reason = UnwritableReason(target.kind); !reason.empty()) {
    result = {false, reason};
    return false;
  }
  inPlace = target.kind == TargetKind::Stream;
  resolved = target.path;
  if (inPlace) {
    sizeBefore = Unknown;
    file = OpenFile(target.path, append ? "ab" : "wb", FileShare::None);
  } else if (append) {
    std::error_code error;
    bool needsLineBreak = false;
    if (target.kind == TargetKind::Absent) {
      sizeBefore = -1;
    } else {
      const auto size = std::filesystem::file_size(target.path, error);
      sizeBefore = error ? Unknown : int64_t(size);
      const std::string refusal = continuesOwnText ? "" : AppendRefusal(target.path, sizeBefore, needsLineBreak);
      if (!refusal.empty()) {
        result = {false, refusal};
        sizeBefore = Unknown;
        return false;
      }
    }
    file = OpenFile(resolved, "ab", FileShare::None);
    if (file && needsLineBreak && std::fwrite("\r\n", 1, 2, file) != 2) Fail();
  } else {
    temporary = TemporaryBeside(resolved, ".new");
    file = OpenFile(temporary, "wb", FileShare::None);
  }
  if (!file) Fail();
  return file != nullptr;
}

void OutputFileWriter::Fail() {
  if (result.ok) result = {false, SystemError()};
}

bool OutputFileWriter::Write(const OutputBuffer& buffer) {
  if (!opened && !Open()) return false;
  if (!result.ok) return false;
  const std::string_view text = buffer.Text();
  if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) Fail();
  return result.ok;
}

WriteResult OutputFileWriter::Finish() {
  if (!opened && !Open()) {
    opened = false;
    return result;
  }
  if (file && std::fclose(file) != 0) Fail();
  file = nullptr;
  if (result.ok && !append && !inPlace) {
    std::error_code error;
    std::filesystem::rename(temporary, resolved, error);
    if (error) result = {false, error.message()};
  }
  if (!result.ok) {
    const WriteResult failed = result;
    Abandon();
    return failed;
  }
  opened = false;
  return result;
}

void OutputFileWriter::Abandon() {
  if (file) std::fclose(file);
  file = nullptr;
  std::error_code error;
  if (inPlace) {
    // What went into a pipe or a device cannot be taken back.
  } else if (!append) {
    if (!temporary.empty()) std::filesystem::remove(temporary, error);
  } else if (sizeBefore == -1) {
    if (!resolved.empty()) std::filesystem::remove(resolved, error);
  } else if (sizeBefore >= 0) {
    std::filesystem::resize_file(resolved, uintmax_t(sizeBefore), error);
  }
  opened = false;
}
