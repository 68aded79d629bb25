#include "pgn/game_formats.h"

#include <bit>
#include <optional>

#include "chess/decimal_text.h"
#include "chess/fen_text.h"
#include "pgn/json_game.h"
#include "pgn/json_text.h"
#include "pgn/line_replay.h"
#include "pgn/variation_games.h"

namespace {

// The FEN of a game's start when it was set up (its SetUp/FEN pair, or a record with its own
// board), else "".
std::string SetUpFen(const jurnal& game) {
  if (!game.ownboard) return "";
  std::string fen;
  AppendFen(fen, *game.ownboard, game.blackfirst ? Side::Black : Side::White, game.halfmoves, game.movesbefore + 1);
  return fen;
}

// An EPD string operand: a quote or a backslash inside would end it early, so it is escaped.
void AppendEpdString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c == '\n' || c == '\r' ? ' ' : c;
  }
  out += '"';
}

// Whether the side not to move is in check: after a pass made in check.
bool WaitingSideInCheck(const LineReplay& replay) {
  const doska& board = replay.Board();
  const Side waiting = Opponent(replay.ToMove());
  const Bitboard king = board.Pieces(waiting == Side::White ? WhiteKing : BlackKing);
  if (!king) return false;
  const int index = std::countr_zero(uint64_t(king));
  return board.attacked(Square{FileOf(index), RankOf(index)}, replay.ToMove());
}

}  // namespace

void WriteMoveLine(const jurnal& game, OutputBuffer& buffer, OutputFormat format) {
  std::string line;
  line.reserve(size_t(game.movecount()) * 6 + 16);
  if (game.ownboard) {
    line += "fen ";
    line += SetUpFen(game);
    line += " moves";
  }
  bool expectWhite = !game.blackfirst;
  for (const mov& m : game.moves) {
    const bool white = IsWhite(m.piece);
    if (white != expectWhite) {
      if (!line.empty()) line += ' ';
      line += format == OutputFormat::Uci ? "0000" : "--";
    }
    if (!line.empty()) line += ' ';
    if (format == OutputFormat::Uci)
      AppendUciMove(line, m);
    else if (format == OutputFormat::Lan)
      AppendLanMove(line, m);
    else
      line.append(SanWithoutGlyph(m));
    expectWhite = !white;
  }
  line += '\n';
  buffer.Append(line);
}

void WritePositions(const TGame& entry, const TGamesTagArray& tags, const jurnal& game, int64_t number,
                    OutputBuffer& buffer, const OutputForm& form) {
  if (form.positionsFrom > form.positionsTo) return;
  std::string line;
  std::string tail;  // what every EPD record of the game ends with
  if (form.format == OutputFormat::Epd) {
    tail = " c0 ";
    const std::string_view result = GameResult(tags, &game);
    AppendEpdString(tail, result);
    tail += "; c1 ";
    std::string source = PathUtf8(entry.sourcePath.get());
    source += ':';
    AppendDecimal(source, entry.sourcePosition);
    AppendEpdString(tail, source);
    tail += ";\n";
  }
  LineReplay replay(game);
  const auto write = [&] {
    if (replay.Ply() < form.positionsFrom || replay.Ply() > form.positionsTo) return;
    line.clear();
    if (form.format == OutputFormat::Fen) {
      AppendFen(line, replay.Board(), replay.ToMove(), replay.HalfmoveClock(), replay.FullmoveNumber());
      line += '\t';
      AppendDecimal(line, number);
      line += '\t';
      AppendDecimal(line, replay.Ply());
      line += '\n';
    } else {
      AppendEpdPosition(line, replay.Board(), replay.ToMove());
      line += " hmvc ";
      AppendDecimal(line, replay.HalfmoveClock());
      line += "; fmvn ";
      AppendDecimal(line, replay.FullmoveNumber());
      line += "; id \"";
      AppendDecimal(line, number);
      line += ':';
      AppendDecimal(line, replay.Ply());
      line += "\";";
      line += tail;
    }
    buffer.Append(line);
  };
  write();
  for (const mov& m : game.moves) {
    if (replay.Ply() >= form.positionsTo) break;
    if (replay.PassesFirst(m)) {
      replay.Pass();
      // A pass out of check (a null move the game's text implies) leaves a position no game
      // can reach, which readers of FEN refuse: it is not written.
      if (!WaitingSideInCheck(replay)) write();
      if (replay.Ply() >= form.positionsTo) break;
    }
    replay.Play(m);
    write();
  }
}

namespace {

// The Opening and Variation tags written for a name found (given for this writing: the entry
// stays as it is).
std::optional<TagOverrides> OpeningTags(std::string_view name) {
  if (name.empty()) return std::nullopt;
  const auto [opening, variation] = SplitOpeningName(name);
  // An empty Variation takes the game's own away: it would name another line.
  return TagOverrides{TagView{"Opening", opening}, TagView{"Variation", variation}};
}

// One game (the entry's own, or one a variation makes) in the form's format. `opening` is the
// index of its opening name when the reading found it (else NotLookedFor).
void WriteOne(const TGame& entry, const TGamesTagArray& entryTags, const jurnal* game, int64_t number,
              OutputBuffer& buffer, const TProcessingOptions& options, const OutputForm& form,
              const OpeningNames* openings, int16_t openingFound) {
  std::optional<TagOverrides> named;
  if (openings && game && (form.format == OutputFormat::Pgn || form.format == OutputFormat::Json))
    named = OpeningTags(openingFound == TGameSummary::OpeningNotLookedFor ? openings->NameOf(*game)
                                                                          : openings->Name(openingFound));
  const TGamesTagArray& tags = entryTags;
  const TagOverrides* overrides = named ? &*named : nullptr;
  switch (form.format) {
    case OutputFormat::Pgn:
      WritePgnGame(tags, game, buffer, options, form, overrides);
      return;
    case OutputFormat::Json:
      WriteJsonGame(entry, tags, game, number, buffer, options, form, overrides);
      return;
    case OutputFormat::San:
    case OutputFormat::Uci:
    case OutputFormat::Lan:
      if (game) WriteMoveLine(*game, buffer, form.format);
      return;
    case OutputFormat::Fen:
    case OutputFormat::Epd:
      if (game) WritePositions(entry, tags, *game, number, buffer, form);
      return;
  }
}

}  // namespace

void WriteGameAs(const TGame& entry, const jurnal* game, int64_t number, OutputBuffer& buffer,
                 const TProcessingOptions& options, const OutputForm& form, const OpeningNames* openings) {
  WriteOne(entry, entry.tags, game, number, buffer, options, form, openings, entry.summary.opening);
  if (form.splitVariations <= 0 || !game) return;
  const std::vector<std::unique_ptr<jurnal>> variations = VariationGames(*game, form.splitVariations);
  if (variations.empty()) return;
  TGamesTagArray tags = entry.tags;
  if (tags.size() > ResultSlot) tags.SetValue(ResultSlot, "*");
  for (const std::unique_ptr<jurnal>& variation : variations)
    WriteOne(entry, tags, variation.get(), number, buffer, options, form, openings, TGameSummary::OpeningNotLookedFor);
}

bool WritePackedGameAs(const TGame& entry, OutputBuffer& buffer, const TProcessingOptions& options,
                       const OutputForm& form, const OpeningNames* openings) {
  if (entry.packed.empty() || form.format != OutputFormat::Pgn || form.splitVariations > 0) return false;
  std::optional<TagOverrides> named;
  if (openings) {
    if (entry.summary.opening == TGameSummary::OpeningNotLookedFor) return false;  // found from a record
    named = OpeningTags(openings->Name(entry.summary.opening));
  }
  WritePackedPgnGame(entry.tags, entry.packed, buffer, options, form, named ? &*named : nullptr);
  return true;
}
