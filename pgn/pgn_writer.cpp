#include "pgn/pgn_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "io/os_file.h"

// At least 100000 bytes beyond the need, and doubling: a buffer of many megabytes would
// otherwise be copied again every 100000 bytes.
void OutputBuffer::Grow(size_t need) { data.resize(std::max(used + need + 100000, 2 * data.size())); }

void OutputBuffer::Append(std::string_view text) {
  if (used + text.size() > data.size()) Grow(text.size());
  std::memcpy(data.data() + used, text.data(), text.size());
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
  MovetextLines(OutputBuffer& b, std::string& pendingLine) : buffer(b) {
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
    if (LineLength() + token.size() + 2 > 80) BreakLine();
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
    size_t start = 0;
    for (size_t lf = comment.find('\n'); lf != std::string_view::npos; lf = comment.find('\n', start)) {
      buffer.Append(comment.substr(start, lf + 1 - start));
      lineStart = buffer.Size();
      start = lf + 1;
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
  const int removal = options.tagRemoval;
  if (removal == 2) {  // every tag, in order
    for (const TagView tag : tags) AppendTag(out, tag);
    return;
  }
  size_t place = 0;
  TagView setUp;
  for (const TagView tag : tags) {
    if (place < RosterSize && removal == 1) AppendTag(out, tag);
    if (place == SetUpSlot) setUp = tag;
    if (place == FenSlot && (removal == 0 || removal == 1) && setUp.name == "SetUp" && tag.name == "FEN") {
      AppendTag(out, setUp);
      AppendTag(out, tag);
    }
    if (++place > FenSlot) break;
  }
}

void WriteMovetext(const jurnal& game, OutputBuffer& buffer, std::string& currentLine,
                   const TProcessingOptions& options, std::string_view result) {
  MovetextLines out(buffer, currentLine);
  auto comment = [&](std::string_view text) {
    if (options.removeComments || text.empty()) return false;
    out.Comment(text);
    return true;
  };
  // One frame per line being written; variations are frames, not recursion, so that deeply
  // nested lines cannot exhaust the stack.
  struct Frame {
    const jurnal* line;
    size_t move = 0;
    int number = 1;             // counted as the game record counts it, so the text reads back
    bool whiteExpected = true;  // the side the count expects to move next
    bool numberDue = true;      // the next move is written with its number
    bool moveWritten = false;
    size_t variation = 0;
  };
  std::vector<Frame> frames;
  auto startLine = [&](const jurnal* line) {
    frames.push_back(Frame{line, 0, line->movesbefore + 1, !line->blackfirst});
    comment(line->startcomment);
  };
  startLine(&game);
  char number[24];
  while (!frames.empty()) {
    Frame& f = frames.back();
    if (f.move >= f.line->moves.size()) {
      frames.pop_back();
      if (!frames.empty()) out.Add(")", false);
      continue;
    }
    const mov& m = f.line->moves[f.move];
    const bool white = m.piece >= WhitePawn && m.piece <= WhiteKing;
    if (!f.moveWritten) {
      f.moveWritten = true;
      // A move of the side not expected follows a pass of the other side. Within a line it is
      // written as the null move "--", so that the text reads back as the same game; a line that
      // begins so starts after a pass made before it, and only its numbering follows.
      if (white != f.whiteExpected) {
        if (f.move > 0) {
          if (f.numberDue) out.Add(NumberToken(number, f.number, f.whiteExpected), false);
          out.Add("--", true);
          f.numberDue = white;
        }
        f.whiteExpected = white;
        if (white) ++f.number;
      }
      if (f.numberDue) {
        out.Add(NumberToken(number, f.number, white), false);
        if (!white) f.numberDue = false;
      }
      std::string_view san = m.san;
      if (m.nag) {
        // The glyph that makesan rendered for the NAG goes; the NAG itself is written as $n.
        while (!san.empty() && (san.back() == '!' || san.back() == '?')) san.remove_suffix(1);
        if (options.keptNags[m.nag]) {
          out.Add(san, true);
          out.Add(NagToken(number, m.nag), true);
        } else {
          out.Add(san, true);
        }
      } else {
        out.Add(san, true);
      }
    }
    if (!options.removeVariations && f.variation < m.variations.size()) {
      const jurnal* variation = m.variations[f.variation++];
      out.Add("(", false);
      startLine(variation);  // f may dangle from here on
      continue;
    }
    const bool wroteVariation = !options.removeVariations && !m.variations.empty();
    f.numberDue = !f.numberDue;
    f.whiteExpected = !white;
    if (f.whiteExpected) ++f.number;
    if (comment(m.comment)) f.numberDue = true;
    if (wroteVariation) f.numberDue = true;
    ++f.move;
    f.moveWritten = false;
    f.variation = 0;
  }
  out.Add(IsResult(result) ? result : std::string_view("*"), false);
  out.Finish();
}

void WriteGame(const TGame& entry, OutputBuffer& buffer, const TProcessingOptions& options) {
  WriteGame(entry, entry.game.get(), buffer, options);
}

void WriteGame(const TGame& entry, const jurnal* game, OutputBuffer& buffer, const TProcessingOptions& options) {
  // A string of the call's own, not a thread-local one reused: on the 32-bit Windows build a
  // thread-local object with a destructor, destroyed as each formatting thread ends, corrupted
  // the heap now and then.
  std::string text;
  text.reserve(512);
  AppendTags(text, entry.tags, options);
  text += "\r\n";
  buffer.Append(text);
  if (!game) return;
  // The result written is the Result tag's, whatever the record holds. The record is only
  // read: games may be written by several threads at once.
  const std::string_view result = entry.tags.size() > ResultSlot ? entry.tags[ResultSlot].value : game->result;
  text.clear();
  WriteMovetext(*game, buffer, text, options, result);
}

namespace {

std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

}  // namespace

WriteResult WriteOutputFile(const std::filesystem::path& path, const OutputBuffer& buffer, bool append) {
  OutputFileWriter writer(path, append);
  writer.Write(buffer);
  return writer.Finish();
}

namespace {

std::filesystem::path TemporaryOf(const std::filesystem::path& path) {
  std::filesystem::path temporary = path;
  temporary += ".new";
  return temporary;
}

}  // namespace

OutputFileWriter::OutputFileWriter(std::filesystem::path target, bool appendToTarget)
    : path(std::move(target)), append(appendToTarget) {}

OutputFileWriter::~OutputFileWriter() {
  if (opened) Abandon();
}

bool OutputFileWriter::Open() {
  opened = true;
  if (append) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
      sizeBefore = error ? Unknown : -1;
    } else {
      const auto size = std::filesystem::file_size(path, error);
      sizeBefore = error ? Unknown : int64_t(size);
    }
    file = OpenFile(path, "ab", FileShare::None);
  } else {
    file = OpenFile(TemporaryOf(path), "wb", FileShare::None);
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
  if (result.ok && !append) {
    std::error_code error;
    std::filesystem::rename(TemporaryOf(path), path, error);
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
  if (!append) {
    std::filesystem::remove(TemporaryOf(path), error);
  } else if (sizeBefore == -1) {
    std::filesystem::remove(path, error);
  } else if (sizeBefore >= 0) {
    std::filesystem::resize_file(path, uintmax_t(sizeBefore), error);
  }
  opened = false;
}
