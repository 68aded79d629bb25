#include "pgn/pgn_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "io/os_file.h"

void OutputBuffer::Append(std::string_view text) {
  if (used + text.size() > data.size()) data.resize(used + text.size() + 100000);
  std::memcpy(data.data() + used, text.data(), text.size());
  used += text.size();
}

namespace {

void AppendTag(std::string& out, const TPGNTag& tag) {
  out += '[';
  out += tag.name;
  out += " \"";
  for (char c : tag.value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += "\"]\r\n";
}

// Builds the text lines of a movetext, breaking them before the 80th column.
class MovetextLines {
 public:
  MovetextLines(OutputBuffer& b, std::string& l) : buffer(b), line(l) {}

  void Add(std::string_view token, bool trailingSpace) {
    if (token == ")") {
      // Glued to the variation's last token; never a reason to break the line.
      if (!line.empty() && line.back() == ' ')
        line.back() = ')';
      else
        line += ')';
      line += ' ';
      return;
    }
    if (line.size() + token.size() + 2 > 80) {
      if (!line.empty() && line.back() == ' ') line.pop_back();
      line += "\r\n";
      buffer.Append(line);
      line.clear();
    }
    line += token;
    if (trailingSpace) line += ' ';
  }

  // A comment goes out as it is, never broken at the line width; a ";" comment ends its line.
  void Comment(std::string_view comment) {
    if (comment.empty()) return;
    if (comment.front() == ';') {
      line += comment;
      line += "\r\n";
      Flush();
      return;
    }
    size_t start = 0;
    for (size_t lf = comment.find('\n'); lf != std::string_view::npos; lf = comment.find('\n', start)) {
      line += comment.substr(start, lf + 1 - start);
      Flush();
      start = lf + 1;
    }
    line += comment.substr(start);
    line += ' ';
  }

  void Flush() {
    buffer.Append(line);
    line.clear();
  }

 private:
  OutputBuffer& buffer;
  std::string& line;
};

bool IsResult(const std::string& text) { return text == "1-0" || text == "0-1" || text == "1/2-1/2" || text == "*"; }

}  // namespace

std::string WriteTagSection(const TGamesTagArray& tags, const TProcessingOptions& options) {
  std::string out;
  const int removal = options.tagRemoval;
  if (removal == 1 || removal == 2)
    for (size_t i = 0; i < 7 && i < tags.size(); ++i) AppendTag(out, tags[i]);
  if ((removal == 0 || removal == 1) && tags.size() > 8 && tags[7].name == "SetUp" && tags[8].name == "FEN") {
    AppendTag(out, tags[7]);
    AppendTag(out, tags[8]);
  }
  if (removal == 2)
    for (size_t i = 7; i < tags.size(); ++i) AppendTag(out, tags[i]);
  return out;
}

void WriteMovetext(const jurnal& game, OutputBuffer& buffer, std::string& currentLine,
                   const TProcessingOptions& options) {
  MovetextLines out(buffer, currentLine);
  auto comment = [&](const std::string& text) {
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
      // A move of the side not expected counts as if the other side had passed.
      if (white != f.whiteExpected) {
        f.whiteExpected = white;
        if (white) ++f.number;
      }
      if (!f.numberDue && white) {
        // The black move between two white moves was skipped.
        out.Add("...", false);
        f.numberDue = true;
      }
      if (f.numberDue) {
        std::snprintf(number, sizeof number, white ? "%d." : "%d...", f.number);
        out.Add(number, false);
        if (!white) f.numberDue = false;
      }
      std::string san = m.san;
      if (m.nag) {
        while (!san.empty() && (san.back() == '!' || san.back() == '?')) san.pop_back();
        if (options.keptNags[m.nag]) {
          out.Add(san, true);
          san = "$" + std::to_string(m.nag);
        }
      }
      out.Add(san, true);
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
  out.Add(IsResult(game.result) ? game.result : std::string("*"), false);
  currentLine += "\r\n\r\n";
  out.Flush();
}

void WriteGame(const TGame& entry, OutputBuffer& buffer, const TProcessingOptions& options) {
  buffer.Append(WriteTagSection(entry.tags, options));
  buffer.Append("\r\n");
  if (!entry.game) return;
  // The result written is the Result tag's, whatever the record holds.
  const std::string saved = entry.game->result;
  if (entry.tags.size() >= 7) entry.game->result = entry.tags[6].value;
  std::string line;
  WriteMovetext(*entry.game, buffer, line, options);
  entry.game->result = saved;
}

namespace {

std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

WriteResult WriteAll(std::FILE* file, const OutputBuffer& buffer) {
  WriteResult result;
  const std::string_view text = buffer.Text();
  if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) result = {false, SystemError()};
  if (std::fclose(file) != 0 && result.ok) result = {false, SystemError()};
  return result;
}

}  // namespace

WriteResult WriteOutputFile(const std::filesystem::path& path, const OutputBuffer& buffer, bool append) {
  if (append) {
    std::FILE* file = OpenFile(path, "ab", FileShare::None);
    if (!file) return {false, SystemError()};
    return WriteAll(file, buffer);
  }
  std::filesystem::path temporary = path;
  temporary += ".new";
  std::FILE* file = OpenFile(temporary, "wb", FileShare::None);
  if (!file) return {false, SystemError()};
  WriteResult result = WriteAll(file, buffer);
  std::error_code error;
  if (result.ok) {
    std::filesystem::rename(temporary, path, error);
    if (error) result = {false, error.message()};
  }
  if (!result.ok) std::filesystem::remove(temporary, error);
  return result;
}
