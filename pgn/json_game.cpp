#include "pgn/json_game.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "chess/decimal_text.h"
#include "chess/fen_text.h"
#include "pgn/json_text.h"
#include "pgn/line_replay.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number "d+(.d+)?" at the front of `text`, with an optional sign; its length, 0 for none.
size_t NumberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t digitsFrom = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i == digitsFrom) return 0;
  if (i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  return i;
}

std::optional<double> ReadNumber(std::string_view text) {
  const size_t length = NumberLength(text);
  if (!length) return std::nullopt;
  std::string_view number = text.substr(0, length);
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// "H:MM:SS", "M:SS" or "SS", each with an optional fraction, as seconds.
std::optional<double> ReadClock(std::string_view text) {
  double seconds = 0;
  size_t parts = 0;
  size_t i = 0;
  while (true) {
    size_t digits = i;
    while (digits < text.size() && IsDigit(text[digits])) ++digits;
    if (digits == i || digits - i > 9) return std::nullopt;
    double part = 0;
    std::from_chars(text.data() + i, text.data() + digits, part);
    i = digits;
    if (i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) {
      size_t end = i + 1;
      while (end < text.size() && IsDigit(text[end])) ++end;
      double fraction = 0;
      std::from_chars(text.data() + i, text.data() + end, fraction);
      part += fraction;
      i = end;
      seconds = seconds * 60 + part;
      ++parts;
      break;  // a fraction ends the clock
    }
    seconds = seconds * 60 + part;
    ++parts;
    if (i < text.size() && text[i] == ':' && parts < 3) {
      ++i;
      continue;
    }
    break;
  }
  return seconds;
}

// The operand of "[%NAME operand]" in the comment, or none.
std::optional<std::string_view> CommandOperand(std::string_view comment, std::string_view name) {
  for (size_t at = comment.find("[%"); at != std::string_view::npos; at = comment.find("[%", at + 2)) {
    std::string_view rest = comment.substr(at + 2);
    if (rest.substr(0, name.size()) != name) continue;
    rest.remove_prefix(name.size());
    if (rest.empty() || (rest.front() != ' ' && rest.front() != '\t')) continue;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    const size_t end = rest.find(']');
    if (end == std::string_view::npos) return std::nullopt;
    return rest.substr(0, end);
  }
  return std::nullopt;
}

}  // namespace

MoveCommands ReadMoveCommands(std::string_view comment) {
  MoveCommands commands;
  if (comment.find("[%") == std::string_view::npos) return commands;
  if (const auto clock = CommandOperand(comment, "clk")) commands.clock = ReadClock(*clock);
  if (const auto eval = CommandOperand(comment, "eval")) {
    if (!eval->empty() && eval->front() == '#') {
      if (const auto mate = ReadNumber(eval->substr(1)); mate && std::abs(*mate) < 1e6) commands.mate = int(*mate);
    } else {
      commands.eval = ReadNumber(*eval);
    }
  }
  return commands;
}

std::string CommentText(std::string_view stored) {
  std::string text;
  size_t i = 0;
  while (i < stored.size()) {
    const char c = stored[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    std::string_view piece;
    if (c == '{') {
      const size_t end = stored.find('}', i + 1);
      piece = stored.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
      i = end == std::string_view::npos ? stored.size() : end + 1;
    } else if (c == ';') {
      const size_t end = stored.find('\n', i + 1);
      piece = stored.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
      i = end == std::string_view::npos ? stored.size() : end + 1;
    } else {
      piece = stored.substr(i);
      i = stored.size();
    }
    while (!piece.empty() &&
           (piece.front() == ' ' || piece.front() == '\t' || piece.front() == '\r' || piece.front() == '\n'))
      piece.remove_prefix(1);
    while (!piece.empty() &&
           (piece.back() == ' ' || piece.back() == '\t' || piece.back() == '\r' || piece.back() == '\n'))
      piece.remove_suffix(1);
    if (piece.empty()) continue;
    if (!text.empty()) text += ' ';
    text.append(piece);
  }
  return text;
}

namespace {

// The "san" and "uci" arrays of a line: a pass of the side to move shows as "--" and "0000".
void AppendMoveArrays(std::string& out, const jurnal& line) {
  for (int kind = 0; kind < 2; ++kind) {
    out += kind == 0 ? "\"san\":[" : ",\"uci\":[";
    bool expectWhite = !line.blackfirst;
    bool first = true;
    for (const mov& m : line.moves) {
      const bool white = IsWhite(m.piece);
      if (white != expectWhite) {
        if (!first) out += ',';
        out += kind == 0 ? "\"--\"" : "\"0000\"";
        first = false;
      }
      // The separator, the quoted text: made on the stack and appended at once, as this runs
      // for every move of every game.
      char text[32];
      size_t length = 0;
      if (!first) text[length++] = ',';
      first = false;
      text[length++] = '"';
      if (kind == 0) {
        const std::string_view san = SanWithoutGlyph(m);
        // SAN's letters, digits and marks need no escape; a text of another kind (a host's
        // own) goes through the escaping.
        bool plain = san.size() <= 24;
        for (const char c : san)
          plain &= (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '+' || c == '#' ||
                   c == '=' || c == '-';
        if (!plain) {
          out.append(text, length - 1);
          AppendJsonString(out, san);
          expectWhite = !white;
          continue;
        }
        std::memcpy(text + length, san.data(), san.size());
        length += san.size();
      } else {
        length += UciMoveText(m, text + length);
      }
      text[length++] = '"';
      out.append(text, length);
      expectWhite = !white;
    }
    out += ']';
  }
}

// What of a move the object's annotations show: its NAG, its comment, its variations.
bool Annotated(const mov& m, const TProcessingOptions& options) {
  return (m.nag && options.keptNags[m.nag]) || (!options.removeComments && !m.comment.empty()) ||
         (!options.removeVariations && !m.variations.empty());
}

struct LineFrame {
  const jurnal* line;
  size_t move = 0;
  int ply = 0;  // of the move at `move`, counted with passes, from 1
  bool expectWhite = true;
  bool anyAnnotation = false;
  bool inMove = false;  // the annotation of `move` is open, its variations being written
  size_t variation = 0;
};

// The line's object from "{" to before its annotations; pushes its frame.
void BeginLine(std::string& out, const jurnal& line, const TProcessingOptions& options, std::vector<LineFrame>& frames,
               bool opensObject) {
  if (opensObject) out += '{';
  AppendMoveArrays(out, line);
  if (!options.removeComments && !line.startcomment.empty()) {
    const std::string text = CommentText(line.startcomment);
    if (!text.empty()) {
      out += ",\"start_comment\":";
      AppendJsonString(out, text);
    }
  }
  frames.push_back(LineFrame{&line, 0, 0, !line.blackfirst});
}

// The lines' annotations, variations nested in them; frames instead of recursion, so that
// deeply nested lines cannot exhaust a thread's stack. Closes every line's object.
void WriteAnnotations(std::string& out, const jurnal& main, const TProcessingOptions& options) {
  std::vector<LineFrame> frames;
  BeginLine(out, main, options, frames, false);
  while (!frames.empty()) {
    LineFrame& f = frames.back();
    const jurnal& line = *f.line;
    if (f.inMove) {
      const mov& m = line.moves[f.move];
      if (!options.removeVariations && f.variation < m.variations.size()) {
        if (f.variation > 0) out += ',';
        const jurnal* variation = m.variations[f.variation++];
        BeginLine(out, *variation, options, frames, true);  // f may dangle from here on
        continue;
      }
      if (!options.removeVariations && !m.variations.empty()) out += ']';
      out += '}';
      f.inMove = false;
      ++f.move;
      continue;
    }
    // The next move with something to show.
    while (f.move < line.moves.size()) {
      const mov& m = line.moves[f.move];
      const bool white = IsWhite(m.piece);
      if (white != f.expectWhite) ++f.ply;  // a pass before it
      ++f.ply;
      f.expectWhite = !white;
      if (Annotated(m, options)) break;
      ++f.move;
    }
    if (f.move >= line.moves.size()) {
      if (f.anyAnnotation) out += ']';
      out += '}';
      frames.pop_back();
      continue;
    }
    const mov& m = line.moves[f.move];
    out += f.anyAnnotation ? ",{\"ply\":" : ",\"annotations\":[{\"ply\":";
    f.anyAnnotation = true;
    AppendDecimal(out, int64_t(f.ply));
    if (m.nag && options.keptNags[m.nag]) {
      out += ",\"nags\":[";
      AppendDecimal(out, int64_t(m.nag));
      out += ']';
    }
    if (!options.removeComments && !m.comment.empty()) {
      out += ",\"comment\":";
      AppendJsonString(out, CommentText(m.comment));
    }
    if (!options.removeVariations && !m.variations.empty()) out += ",\"variations\":[";
    f.inMove = true;
    f.variation = 0;
  }
}

// The main line's clocks and evaluations, one entry a ply (null where a move's comment has
// none), when any move has one; and the final position.
void AppendReplayed(std::string& out, const jurnal& game, const TProcessingOptions& options) {
  LineReplay replay(game);
  std::vector<MoveCommands> commands;
  bool anyClock = false, anyEval = false, anyMate = false;
  // Most games hold no command: their moves are played without a look at comments.
  bool readsComments = false;
  if (!options.removeComments)
    for (const mov& m : game.moves)
      if (!m.comment.empty() && m.comment.view().find("[%") != std::string_view::npos) {
        readsComments = true;
        break;
      }
  if (readsComments) commands.reserve(game.moves.size() + 8);
  for (const mov& m : game.moves) {
    if (replay.PassesFirst(m)) {
      replay.Pass();
      if (readsComments) commands.emplace_back();
    }
    replay.Play(m);
    if (!readsComments) continue;
    commands.push_back(m.comment.empty() ? MoveCommands{} : ReadMoveCommands(m.comment));
    anyClock |= commands.back().clock.has_value();
    anyEval |= commands.back().eval.has_value();
    anyMate |= commands.back().mate.has_value();
  }
  out += ",\"plies\":";
  AppendDecimal(out, int64_t(replay.Ply()));
  out += ",\"final_fen\":\"";
  AppendFen(out, replay.Board(), replay.ToMove(), replay.HalfmoveClock(), replay.FullmoveNumber());
  out += '"';
  const auto array = [&](const char* name, auto value) {
    out += name;
    for (size_t k = 0; k < commands.size(); ++k) {
      if (k) out += ',';
      value(commands[k]);
    }
    out += ']';
  };
  if (anyClock)
    array(",\"clocks\":[",
          [&](const MoveCommands& c) { c.clock ? AppendDecimal(out, *c.clock) : void(out += "null"); });
  if (anyEval)
    array(",\"evals\":[", [&](const MoveCommands& c) { c.eval ? AppendDecimal(out, *c.eval) : void(out += "null"); });
  if (anyMate)
    array(",\"mates\":[",
          [&](const MoveCommands& c) { c.mate ? AppendDecimal(out, int64_t(*c.mate)) : void(out += "null"); });
}

}  // namespace

void WriteJsonGame(const TGame& entry, const TGamesTagArray& entryTags, const jurnal* game, int64_t number,
                   OutputBuffer& buffer, const TProcessingOptions& options, const OutputForm& form,
                   const TagOverrides* overrides) {
  std::string out;
  // A move takes about 16 bytes (its SAN and UCI texts, quoted); reserved once.
  out.reserve(512 + (game ? game->moves.size() * 18 : 0));
  out += "{\"number\":";
  AppendDecimal(out, number);
  out += ",\"source\":{\"file\":";
  AppendJsonString(out, PathUtf8(entry.sourcePath.get()));
  out += ",\"position\":";
  AppendDecimal(out, entry.sourcePosition);
  out += "},\"tags\":{";
  std::string plyCountText;
  std::vector<TagView> tags;
  WrittenTags(entryTags, options, form, game ? game->movecount() : -1, plyCountText, tags, overrides);
  bool first = true;
  for (size_t k = 0; k < tags.size(); ++k) {
    // A name given twice keeps its first value: an object's names are one each.
    bool repeated = false;
    for (size_t j = 0; j < k && !repeated; ++j) repeated = tags[j].name == tags[k].name;
    if (repeated) continue;
    if (!first) out += ',';
    first = false;
    AppendJsonString(out, tags[k].name);
    out += ':';
    AppendJsonString(out, tags[k].value);
  }
  out += "},\"result\":";
  const std::string_view result = GameResult(entryTags, game);
  AppendJsonString(out, result == "1-0" || result == "0-1" || result == "1/2-1/2" ? result : "*");
  if (!game) {
    out += "}\n";
    buffer.Append(out);
    return;
  }
  if (game->ownboard) {
    out += ",\"fen\":\"";
    AppendFen(out, *game->ownboard, game->blackfirst ? Side::Black : Side::White, game->halfmoves,
              game->movesbefore + 1);
    out += '"';
  }
  AppendReplayed(out, *game, options);
  out += ',';
  WriteAnnotations(out, *game, options);
  out += '\n';
  buffer.Append(out);
}
