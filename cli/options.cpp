#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <sstream>

#include "cli/program_arguments.h"
#include "io/file_read.h"
#include "options/settings_file.h"
#include "pgn/line_moves.h"
#include "pgn/pgn_types.h"

namespace {

bool ParseNumber(const std::string& text, int32_t& value, int32_t max) {
  if (text.empty() || text.size() > 9) return false;
  int64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (number > max) return false;
  value = int32_t(number);
  return true;
}

std::vector<std::string> SplitOn(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

// An option value check that reports which value was wrong.
template <typename F>
CLI::Validator Check(const char* what, F valid) {
  return CLI::Validator(
      [what, valid](std::string& text) -> std::string {
        return valid(text) ? std::string() : std::string("expected ") + what + ", not \"" + text + "\"";
      },
      what);
}

}  // namespace

bool ParseResultList(const std::string& text, uint8_t& mask) {
  mask = 0;
  for (const std::string& item : SplitOn(text, ',')) {
    if (item == "1-0")
      mask |= ResultWhiteWins;
    else if (item == "0-1")
      mask |= ResultBlackWins;
    else if (item == "1/2-1/2" || item == "draw")
      mask |= ResultDraw;
    else if (item == "*")
      mask |= ResultUnknown;
    else if (item == "other")
      mask |= ResultOther;
    else
      return false;
  }
  return mask != 0;
}

bool ParseDate(const std::string& text, bool upper, int32_t& key) {
  const std::vector<std::string> parts = SplitOn(text, '.');
  if (parts.empty() || parts.size() > 3) return false;
  int32_t year = 0, month = upper ? 12 : 0, day = upper ? 31 : 0;
  if (parts[0].size() != 4 || !ParseNumber(parts[0], year, 9999)) return false;
  if (parts.size() >= 2 && (!ParseNumber(parts[1], month, 12) || month < 1)) return false;
  if (parts.size() == 3 && (!ParseNumber(parts[2], day, 31) || day < 1)) return false;
  if (parts.size() == 2 && upper) day = 31;
  key = DateKey(year, month, day);
  return true;
}

bool ParseRange(const std::string& text, int32_t& from, int32_t& to) {
  const size_t dash = text.find('-');
  if (dash == std::string::npos) return false;
  const std::string low = text.substr(0, dash), high = text.substr(dash + 1);
  if (low.empty() && high.empty()) return false;
  if (!low.empty() && !ParseNumber(low, from, 99999999)) return false;
  if (!high.empty() && !ParseNumber(high, to, 99999999)) return false;
  return low.empty() || high.empty() || from <= to;
}

bool ParseNagSet(const std::string& text, std::bitset<256>& kept) {
  if (text == "keep") {
    kept.set();
    return true;
  }
  if (text == "none") {
    kept.reset();
    return true;
  }
  if (text == "basic") {
    kept.reset();
    for (int n = 1; n <= 6; ++n) kept.set(size_t(n));
    return true;
  }
  // Nothing at all is no set: "none" says that, and an empty value is more likely a slip.
  if (text.empty()) return false;
  kept.reset();
  for (const std::string& item : SplitOn(text, ',')) {
    int32_t n;
    if (!ParseNumber(item, n, 255)) return false;
    kept.set(size_t(n));
  }
  return true;
}

namespace {

// The option values as typed, before they are checked against each other and turned into the
// request. Flags and numbers that need no conversion go straight into the request instead.
struct TypedArguments {
  std::vector<std::string> inputs;
  std::string output, reportFile, settingsFile, ecoTable, rejected, duplicatesTo;
  std::string tags = "keep", nags = "keep";
  bool keepValidEco = false, append = false, overwrite = false;
  int32_t ecoLevel = 0, whiteParts = 1, blackParts = 1;
  std::string dateSplit;
  std::string results, dateFrom, dateTo, whiteElo, blackElo, moves;
  std::vector<std::string> renamePlayers, renameEvents, renameSites;
  std::vector<std::string> tagRules, gameRanges, positions, patterns, reached, lines, materials, has;
  std::string tagRuleFile, endsIn;
  bool eitherColour = false, materialAtEnd = false;
  int32_t materialPlies = 0;
  std::string format = "pgn", keepTags, dropTags;
  int32_t lineLength = 80, positionsFrom = 0, positionsTo = AnyPly;
};

// The inputs, the output and how the program runs.
void DeclareInputsAndRunning(CLI::App& app, CliRequest& request, TypedArguments& a) {
  app.add_option(
         "INPUT", a.inputs,
         "PGN files (plain, or compressed with gzip, zstd, bzip2 or xz) and folders of them; - for standard input")
      ->required()
      ->option_text("PATH ...");
  app.add_option("-o,--output", a.output,
                 "output path, its extension optional (.pgn, or the --format's: .jsonl...; default: output; a split "
                 "adds _eco=A and so on); - for standard "
                 "output; a pipe or a device is written as it is: -o /dev/null (NUL on Windows) reads and checks "
                 "every game and writes nothing")
      ->option_text("BASE");
  app.add_flag("-q,--quiet", request.quiet, "no progress line");
  app.add_flag("-r,--recursive", request.recursive, "read the folders below each folder given too");
  app.add_option("--report", a.reportFile, "write every skipped game and stretch of damaged text to FILE")
      ->option_text("FILE");
  app.add_option("--settings", a.settingsFile,
                 "take the processing options from a pgn_util.dat; options given here override its own")
      ->option_text("FILE");
  app.add_option("--eco-table", a.ecoTable, "ECO table file to use instead of the built-in one")->option_text("FILE");
  app.add_option("--memory", request.memoryMiB,
                 "MiB of games kept in memory (default: an eighth of the machine's memory, at least 384; 384 in a "
                 "32-bit build); games past it are read again when written")
      ->check(CLI::Range(int64_t(1), int64_t(1) << 20));
  app.add_option("--threads", request.threads,
                 "threads reading a folder's files, or the pieces of a large file, at once (default: one per "
                 "core, up to 4)")
      ->check(CLI::Range(1, 64));
}

// What a written game keeps, and how existing output files are treated.
void DeclareWhatIsWritten(CLI::App& app, TProcessingOptions& o, TypedArguments& a) {
  app.add_flag("--remove-comments", o.removeComments, "write no comments");
  app.add_flag("--remove-variations", o.removeVariations, "write no variations");
  app.add_option("--tags", a.tags, "keep | roster (the seven tag roster only) | none")
      ->check(Check("keep, roster or none",
                    [](const std::string& t) { return t == "keep" || t == "roster" || t == "none"; }));
  app.add_option("--nags", a.nags, "keep | basic (! ? !! ?? !? ?! only) | none | a list such as 1,2,14")
      ->check(Check("keep, basic, none or NAG numbers", [](const std::string& t) {
        std::bitset<256> scratch;
        return ParseNagSet(t, scratch);
      }));
  app.add_flag("--duplicates", o.removeDuplicates, "drop duplicate games");
  app.add_flag("--add-eco", o.addEcoNames, "give every written game an ECO tag from its moves");
  app.add_flag("--keep-valid-eco", a.keepValidEco, "with --add-eco, keep an ECO tag that holds a valid code");
  app.add_flag("--append", a.append, "append to existing output files (the default)");
  app.add_flag("--overwrite", a.overwrite, "replace existing output files");
}

// The format written, and the writer's knobs.
void DeclareFormat(CLI::App& app, OutputForm& form, TypedArguments& a) {
  app.add_option("--format", a.format,
                 "pgn (the default) | json (JSON Lines, one object a game) | san | uci | lan (one game a line, its "
                 "moves) | fen | epd (one line a position of the main line)")
      ->check(Check("pgn, json, san, uci, lan, fen or epd",
                    [](const std::string& t) { return ParseOutputFormat(t).has_value(); }));
  app.add_option("--line-length", a.lineLength, "PGN movetext lines within N columns (default 80); 0: one line a game")
      ->check(Check("0 or a number of columns from 20", [](const std::string& t) {
        int32_t n = 0;
        return ParseNumber(t, n, 1000000) && (n == 0 || n >= 20);
      }));
  app.add_flag("--add-plycount", form.addPlyCount, "give every written game a PlyCount tag (its main line's plies)");
  const auto tagList = Check("tag names separated by commas", [](const std::string& t) {
    if (t.empty()) return false;
    for (const std::string& name : SplitOn(t, ','))
      if (name.empty() || name.find_first_of(" \t\"[]") != std::string::npos) return false;
    return true;
  });
  app.add_option("--keep-tags", a.keepTags, "write only these tags (and SetUp, FEN, a Chess960 Variant): White,Black")
      ->check(tagList);
  app.add_option("--drop-tags", a.dropTags, "write no tag of these names: Annotator,PlyCount")->check(tagList);
  app.add_option("--positions-from", a.positionsFrom, "fen, epd: the positions from ply N on (0: the start)")
      ->check(CLI::Range(0, AnyPly));
  app.add_option("--positions-to", a.positionsTo, "fen, epd: the positions up to ply N")->check(CLI::Range(0, AnyPly));
  app.add_option("--split-variations", form.splitVariations,
                 "after each game, each of its variations down to N levels of nesting as a game of its own: the "
                 "moves that lead to it, then its own (result *)")
      ->check(CLI::Range(1, 1000));
  app.add_flag("--add-opening", form.addOpening,
               "give every written game Opening and Variation tags: the name of the last opening position its "
               "main line reaches (transpositions count)");
}

void DeclareSplits(CLI::App& app, TProcessingOptions& o, TypedArguments& a) {
  app.add_option("--split-eco", a.ecoLevel, "one file per ECO letter (1), letter and digit (2) or code (3)")
      ->check(CLI::Range(1, 3));
  app.add_option("--split-date", a.dateSplit, "years | months | days")
      ->check(CLI::IsMember({"years", "months", "days"}));
  app.add_flag("--split-white", o.splitByWhite, "one file per White player");
  app.add_flag("--split-black", o.splitByBlack, "one file per Black player");
  app.add_flag("--split-player", o.splitByPlayer, "one file per player, either colour (games appear twice)");
  app.add_flag("--split-event", o.splitByTournament, "one file per Event");
  app.add_option("--split-white-elo", a.whiteParts, "split White's ratings into N bands")->check(CLI::Range(2, 255));
  app.add_option("--split-black-elo", a.blackParts, "split Black's ratings into N bands")->check(CLI::Range(2, 255));
  app.add_flag("--split-result", o.splitByResult, "one file per result");
  app.add_flag("--split-opening", o.splitByOpening,
               "one file per Opening tag (with --add-opening, the names it gives; games without one: "
               "_opening=unknown)");
  app.add_option("--games-per-file", o.gamesPerFile, "at most N games a file: numbered files _part=0001, _part=0002...")
      ->check(CLI::Range(1, INT32_MAX));
}

void DeclareFilters(CLI::App& app, TProcessingOptions& o, TypedArguments& a) {
  app.add_option("--result", a.results, "keep these results: 1-0,0-1,1/2-1/2,*,other")
      ->check(Check("a list of 1-0, 0-1, 1/2-1/2, * and other", [](const std::string& t) {
        uint8_t mask;
        return ParseResultList(t, mask);
      }));
  app.add_option("--date-from", a.dateFrom, "games on or after YYYY[.MM[.DD]]")
      ->check(Check("a date YYYY[.MM[.DD]]", [](const std::string& t) {
        int32_t key;
        return ParseDate(t, false, key);
      }));
  app.add_option("--date-to", a.dateTo, "games on or before YYYY[.MM[.DD]]")
      ->check(Check("a date YYYY[.MM[.DD]]", [](const std::string& t) {
        int32_t key;
        return ParseDate(t, true, key);
      }));
  app.add_option("--white", o.whitePlayer, "only games with this White player (exact name)");
  app.add_option("--black", o.blackPlayer, "only games with this Black player (exact name)");
  app.add_flag("--any-colour,--any-color", o.ignorePlayerColour, "--white matches either colour");
  auto rangeCheck = Check("a range FROM-TO", [](const std::string& t) {
    int32_t from = 0, to = 0;
    return ParseRange(t, from, to);
  });
  app.add_option("--white-elo", a.whiteElo, "White's rating within FROM-TO")->check(rangeCheck);
  app.add_option("--black-elo", a.blackElo, "Black's rating within FROM-TO")->check(rangeCheck);
  app.add_option("--eco", o.ecoOpening, "only games whose ECO code begins with this (such as B2)")
      ->check(Check("at most three characters", [](const std::string& t) { return !t.empty() && t.size() <= 3; }));
  app.add_option("--moves", a.moves, "games of FROM-TO moves")->check(rangeCheck);
}

// A check that takes its message from a parser of the value: "" when it parses.
template <typename F>
CLI::Validator CheckedBy(const char* what, F problemOf) {
  return CLI::Validator([problemOf](std::string& text) -> std::string { return problemOf(text); }, what);
}

// A check by a type's own parser, `static bool Parse(text, value, error)`.
template <typename T>
CLI::Validator ParsesAs(const char* what) {
  return CheckedBy(what, [](const std::string& t) {
    T value;
    std::string problem;
    return T::Parse(t, value, problem) ? std::string() : problem;
  });
}

// What is looked for beyond the filters: rules on any tag, game numbers, a limit, the inverse.
void DeclareSearch(CLI::App& app, GameSearch& search, TypedArguments& a) {
  app.add_option("--position", a.positions,
                 "games whose main line reaches this position: a FEN, whose castling and en-passant fields count "
                 "unless \"-\"; repeatable, any of them")
      ->option_text("FEN");
  app.add_option("--pattern", a.patterns,
                 "games whose main line reaches a position that fits this pattern: a FEN placement in which ? is "
                 "any square, ! any piece, A any white piece, a any black piece, [..] any of the letters inside "
                 "([^..] anything else), * a run of zero or more squares of anything; \" w\" or \" b\" after it "
                 "for the side to move. \"rnbqkbnr/*/*/*/*/*/*/RNBQKBNR\": every piece but the pawns at home; "
                 "repeatable, any of them")
      ->option_text("PATTERN")
      ->check(ParsesAs<BoardPattern>("a board pattern"));
  app.add_option("--reaches", a.reached,
                 "games whose main line reaches the position these moves make from the start, by any move order: "
                 "\"e4 c5 Nf3 d6 d4 cxd4 Nxd4\"; repeatable, any of them")
      ->option_text("MOVES");
  app.add_option("--line", a.lines,
                 "games whose main line begins with these moves: \"1. e4 c5 2. Nf3\" (numbers optional); "
                 "repeatable, any of them")
      ->option_text("MOVES");
  app.add_flag("--either-colour,--either-color", a.eitherColour,
               "--position, --pattern, --reaches and --material also find the colours swapped (and the board "
               "mirrored)");
  app.add_flag("--in-variations", search.positions.inVariations,
               "--position, --pattern and --reaches find positions of the variations too");
  app.add_option("--material", a.materials,
                 "games whose main line reaches this material, White's pieces \":\" Black's: KQR:KR. Q R B N P, "
                 "L for a bishop or knight; after a letter a count (P3), * any number, + at least one, 2+ at "
                 "least, 2- at most; a kind not named is not on the board. Repeatable, any of them")
      ->option_text("BALANCE")
      ->check(ParsesAs<MaterialBalance>("a material balance"));
  app.add_option("--material-plies", a.materialPlies, "--material holds for at least N positions in a row (default 1)")
      ->option_text("N")
      ->check(CLI::Range(1, 10000));
  app.add_flag("--material-at-end", a.materialAtEnd, "--material counts in the final position only");
  app.add_option("--ends-in", a.endsIn,
                 "games whose final position is checkmate, stalemate or insufficient-material (no mate possible)")
      ->option_text("END")
      ->check(CLI::IsMember({"checkmate", "stalemate", "insufficient-material"}));
  app.add_option("--has", a.has,
                 "games whose main line holds a repetition (a position for the third time), fifty-moves (fifty "
                 "moves each without a capture or pawn move), an underpromotion or an en-passant capture; "
                 "repeatable, all must hold")
      ->option_text("EVENT")
      ->check(CLI::IsMember({"repetition", "fifty-moves", "underpromotion", "en-passant"}));
  app.add_option("--tag", a.tagRules,
                 "games whose tag compares so: NAME=VALUE, NAME!=VALUE, NAME~REGEX, NAME<VALUE, <=, >, >= "
                 "(numbers compare as numbers, dates as dates, the rest as bytes; a game without the tag never "
                 "matches); repeatable, all must hold")
      ->option_text("RULE")
      ->check(CheckedBy("NAME, an operator and a value", [](const std::string& t) {
        TagRule rule;
        std::string problem;
        return ParseTagRule(t, rule, problem) ? std::string() : problem;
      }));
  app.add_option("--tag-rules", a.tagRuleFile, "the --tag rules in FILE, one a line (a line starting with # is a note)")
      ->option_text("FILE");
  app.add_option("--games", a.gameRanges, "only the games of these numbers, counted in input order: 1-100,250,300-")
      ->option_text("LIST")
      ->check(CheckedBy("game numbers and ranges", [](const std::string& t) {
        std::vector<GameNumberRange> ranges;
        std::string problem;
        return ParseGameRanges(t, ranges, problem) ? std::string() : problem;
      }));
  app.add_option("--stop-after", search.stopAfter, "write at most N games: the first N selected, in input order")
      ->option_text("N")
      ->check(CLI::Range(int64_t(1), std::numeric_limits<int64_t>::max()));
  app.add_flag("--invert", search.invert, "write the games that the filters and the search leave out instead");
  app.add_option("--rejected", a.rejected,
                 "also write the games that the filters and the search leave out into FILE (.pgn optional), "
                 "one file however the output is split")
      ->option_text("FILE");
  app.add_option("--duplicates-to", a.duplicatesTo,
                 "with --duplicates, write the duplicates dropped into FILE (.pgn optional), in input order, "
                 "unfiltered")
      ->option_text("FILE");
}

void DeclareRenames(CLI::App& app, TypedArguments& a) {
  auto renameCheck = Check("OLD=NEW with a new name", [](const std::string& t) {
    const size_t equals = t.find('=');
    return equals != std::string::npos && equals + 1 < t.size();
  });
  app.add_option("--rename-player", a.renamePlayers, "give White and Black tags holding exactly OLD the name NEW")
      ->check(renameCheck);
  app.add_option("--rename-event", a.renameEvents, "rename an Event, OLD=NEW")->check(renameCheck);
  app.add_option("--rename-site", a.renameSites, "rename a Site, OLD=NEW")->check(renameCheck);
}

// The search's rules and ranges from their texts (checked already) and the rule file; the
// reason when the file cannot be read or holds a rule that is not one.
std::string ApplySearch(const TypedArguments& a, GameSearch& search) {
  std::string problem;
  PositionSearch& positions = search.positions;
  for (const std::string& fen : a.positions)
    if (!positions.AddFen(fen, a.eitherColour, problem)) return "--position: " + problem;
  for (const std::string& text : a.patterns) {
    BoardPattern pattern;
    if (!BoardPattern::Parse(text, pattern, problem)) return "--pattern: " + problem;
    positions.AddPattern(pattern, a.eitherColour);
  }
  for (const std::string& moves : a.reached) {
    PlayedLine line;
    if (!PlayLine(moves, line, problem)) return "--reaches: " + problem;
    positions.AddReached(line.board, line.toMove, a.eitherColour);
  }
  for (const std::string& moves : a.lines) {
    PlayedLine line;
    if (!PlayLine(moves, line, problem)) return "--line: " + problem;
    positions.AddLine(std::move(line.placements));
  }
  for (const std::string& text : a.materials) {
    MaterialBalance balance;
    if (!MaterialBalance::Parse(text, balance, problem)) return "--material: " + problem;
    positions.AddMaterial(balance, a.eitherColour);
  }
  if (a.eitherColour && a.positions.empty() && a.patterns.empty() && a.reached.empty() && a.materials.empty())
    return "--either-colour goes with --position, --pattern, --reaches or --material";
  if (positions.inVariations && a.positions.empty() && a.patterns.empty() && a.reached.empty())
    return "--in-variations goes with --position, --pattern or --reaches";
  if ((a.materialPlies || a.materialAtEnd) && a.materials.empty())
    return std::string(a.materialAtEnd ? "--material-at-end" : "--material-plies") + " goes with --material";
  if (a.materialPlies && a.materialAtEnd) return "--material-plies and --material-at-end exclude each other";
  if (a.materialPlies) positions.materialPlies = a.materialPlies;
  positions.materialAtEnd = a.materialAtEnd;
  if (!a.endsIn.empty())
    positions.endsIn = a.endsIn == "checkmate"   ? GameEnd::Checkmate
                       : a.endsIn == "stalemate" ? GameEnd::Stalemate
                                                 : GameEnd::InsufficientMaterial;
  for (const std::string& event : a.has)
    positions.events |= event == "repetition"       ? HasRepetition
                        : event == "fifty-moves"    ? HasFiftyMoves
                        : event == "underpromotion" ? HasUnderpromotion
                                                    : HasEnPassant;
  for (const std::string& text : a.tagRules) {
    TagRule rule;
    if (!ParseTagRule(NameFromArgument(text), rule, problem)) return "--tag: " + problem;
    search.tagRules.push_back(std::move(rule));
  }
  if (!a.tagRuleFile.empty()) {
    const std::filesystem::path file = PathFromArgument(a.tagRuleFile);
    std::string text;
    if (const ReadError failed = readfile(file, text); failed != ReadError::None)
      return "--tag-rules: " + file.string() + ": " + Describe(failed);
    if (!ParseTagRuleLines(text, search.tagRules, problem)) return "--tag-rules: " + file.string() + ", " + problem;
  }
  for (const std::string& text : a.gameRanges)
    if (!ParseGameRanges(text, search.ranges, problem)) return "--games: " + problem;
  return {};
}

// Options that would be silently without effect, or leave no game whatever the files hold: the
// reason, or "" when there is none.
std::string Conflict(const TypedArguments& a, const TProcessingOptions& o) {
  std::string conflict;
  if (a.append && a.overwrite)
    conflict = "--append and --overwrite exclude each other";
  else if (!a.duplicatesTo.empty() && !o.removeDuplicates)
    conflict = "--duplicates-to goes with --duplicates";
  else if (a.rejected == "-" || a.duplicatesTo == "-")
    conflict = std::string(a.rejected == "-" ? "--rejected" : "--duplicates-to") +
               " takes a file: standard output carries the games written";
  else if (a.keepValidEco && !o.addEcoNames)
    conflict = "--keep-valid-eco works with --add-eco only";
  else if (o.ignorePlayerColour && o.whitePlayer.empty())
    conflict = "--any-colour needs the name in --white";
  else if (o.ignorePlayerColour && !o.blackPlayer.empty())
    conflict = "--any-colour ignores --black: give one name, in --white";
  else if (!a.dateFrom.empty() && !a.dateTo.empty()) {
    int32_t from = 0, to = 0;
    ParseDate(a.dateFrom, false, from);
    ParseDate(a.dateTo, true, to);
    if (from > to) conflict = "--date-from " + a.dateFrom + " is after --date-to " + a.dateTo;
  }
  return conflict;
}

// Options the chosen format cannot honour, named rather than half done: the reason, or "".
std::string FormatConflict(const CLI::App& app, const TypedArguments& a, const OutputForm& form) {
  const OutputFormat format = *ParseOutputFormat(a.format);
  const bool tags = format == OutputFormat::Pgn || format == OutputFormat::Json;
  const bool positions = format == OutputFormat::Fen || format == OutputFormat::Epd;
  const auto given = [&](const char* name) { return app.count(name) > 0; };
  const std::string writes = "--format " + a.format + " writes ";
  for (const char* option : {"--tags", "--keep-tags", "--drop-tags", "--add-plycount", "--add-opening"})
    if (given(option) && !tags) return writes + "no tags: " + option + " goes with pgn or json";
  for (const char* option : {"--remove-comments", "--remove-variations", "--nags"})
    if (given(option) && !tags) return writes + "the main line's moves alone: " + option + " goes with pgn or json";
  if (given("--line-length") && format != OutputFormat::Pgn)
    return writes + "no movetext lines: --line-length goes with pgn";
  for (const char* option : {"--positions-from", "--positions-to"})
    if (given(option) && !positions) return writes + "no positions: " + std::string(option) + " goes with fen or epd";
  if (a.positionsFrom > a.positionsTo)
    return "--positions-from " + std::to_string(a.positionsFrom) + " is after --positions-to " +
           std::to_string(a.positionsTo);
  if (!a.keepTags.empty() && !a.dropTags.empty()) return "--keep-tags and --drop-tags exclude each other";
  (void)form;
  return {};
}

// The typed values into the request. Only what is given changes the options: they may come from
// a settings file before.
void ApplyArguments(const CLI::App& app, const TypedArguments& a, CliRequest& request) {
  TProcessingOptions& o = request.options;
  for (const std::string& input : a.inputs)
    for (const std::filesystem::path& path : InputsFromArgument(input)) request.inputs.push_back(path);
  // The output is a base that every file name extends ("out" gives out.pgn, out_eco=A.pgn):
  // an extension given with it would be doubled. The files beside it hold PGN whatever the
  // format.
  const auto baseOf = [](std::string output, std::string_view extension) {
    if (output.size() > extension.size() &&
        FoldedEqual(std::string_view(output).substr(output.size() - extension.size()), extension))
      output.resize(output.size() - extension.size());
    return output.empty() ? std::filesystem::path() : PathFromArgument(output);
  };
  if (!a.output.empty()) request.output = baseOf(a.output, OutputExtension(*ParseOutputFormat(a.format)));
  request.rejected = baseOf(a.rejected, ".pgn");
  request.duplicatesTo = baseOf(a.duplicatesTo, ".pgn");
  if (!a.reportFile.empty()) request.reportFile = PathFromArgument(a.reportFile);
  if (!a.settingsFile.empty()) request.settingsFile = PathFromArgument(a.settingsFile);
  if (!a.ecoTable.empty()) request.ecoTable = PathFromArgument(a.ecoTable);
  auto given = [&](const char* name) { return app.count(name) > 0; };
  if (given("--white")) o.whitePlayer = NameFromArgument(o.whitePlayer);
  if (given("--black")) o.blackPlayer = NameFromArgument(o.blackPlayer);
  auto addRenames = [&](const std::vector<std::string>& items, RenameKind kind) {
    for (const std::string& item : items) {
      const size_t equals = item.find('=');
      request.renames.push_back(
          CliRename{kind, NameFromArgument(item.substr(0, equals)), NameFromArgument(item.substr(equals + 1))});
    }
  };
  addRenames(a.renamePlayers, RenameKind::Player);
  addRenames(a.renameEvents, RenameKind::Tournament);
  addRenames(a.renameSites, RenameKind::Site);
  if (given("--tags"))
    o.tagRemoval = a.tags == "none"     ? TagRemoval::All
                   : a.tags == "roster" ? TagRemoval::AllButRoster
                                        : TagRemoval::None;
  if (given("--nags")) ParseNagSet(a.nags, o.keptNags);
  if (a.keepValidEco) o.removeOldEcoTags = false;
  if (a.overwrite) o.doNotRewrite = false;
  if (a.append) o.doNotRewrite = true;
  if (given("--split-eco")) o.splitEcoLevel = EcoSplit(a.ecoLevel);
  if (given("--split-date"))
    o.splitDateLevel = a.dateSplit == "years"    ? DateSplit::Year
                       : a.dateSplit == "months" ? DateSplit::Month
                       : a.dateSplit == "days"   ? DateSplit::Day
                                                 : DateSplit::None;
  if (given("--split-white-elo")) o.splitWhiteEloParts = uint8_t(a.whiteParts);
  if (given("--split-black-elo")) o.splitBlackEloParts = uint8_t(a.blackParts);
  if (!a.results.empty()) ParseResultList(a.results, o.resultMask);
  if (!a.dateFrom.empty()) ParseDate(a.dateFrom, false, o.dateFrom);
  if (!a.dateTo.empty()) ParseDate(a.dateTo, true, o.dateTo);
  if (!a.whiteElo.empty()) ParseRange(a.whiteElo, o.whiteEloFrom, o.whiteEloTo);
  if (!a.blackElo.empty()) ParseRange(a.blackElo, o.blackEloFrom, o.blackEloTo);
  if (!a.moves.empty()) ParseRange(a.moves, o.movesFrom, o.movesTo);
  OutputForm& form = request.form;
  form.format = *ParseOutputFormat(a.format);
  form.lineLength = a.lineLength;
  if (!a.keepTags.empty()) form.keepTags = SplitOn(a.keepTags, ',');
  if (!a.dropTags.empty()) form.dropTags = SplitOn(a.dropTags, ',');
  form.positionsFrom = a.positionsFrom;
  form.positionsTo = a.positionsTo;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CliRequest& request, std::string& error, int& exitCode) {
  CLI::App app{"pgnutil: load PGN files or folders with every move checked, filter, split and write them.", "pgnutil"};
  app.footer(
      "Examples:\n"
      "  pgnutil games.pgn -o clean                       check and rewrite into clean.pgn\n"
      "  pgnutil folder/ --duplicates --split-eco 1 -o eco   one file per ECO letter, duplicates dropped\n"
      "  pgnutil a.pgn --white \"Carlsen, Magnus\" --any-colour --result 1-0,0-1 -o decisive\n"
      "  pgnutil -r archive/ --duplicates -o all         every folder below archive/ too, in name order\n"
      "  pgnutil a.pgn --eco B9 -o - | less               the games to standard output\n"
      "  zcat big.pgn.gz | pgnutil - --duplicates -o clean   games from standard input\n"
      "  pgnutil huge/ --memory 64 -o all                 keep at most 64 MiB of games parsed; read the rest again\n"
      "  pgnutil inspect games.pgn                        one JSON object per game\n"
      "  pgnutil a.pgn --format json --add-opening -o -   JSON Lines for scripts and databases\n"
      "  pgnutil a.pgn --format uci --ends-in checkmate -o mates   mates.uci.txt, a game a line\n"
      "\n"
      "Damaged games, and text where a game should start, are skipped and counted (--report lists\n"
      "each with its file and line); reading goes on at the next game. Exit status: 0 when all went\n"
      "well, 1 when an input could not be read or a game or an output could not be written, 2 for a\n"
      "usage error, 128 + the signal when one stopped the job (130 for Ctrl-C; complete files are kept).\n");
  app.set_version_flag("--version", "pgnutil 0.1");
  // "/path" is a path, never a Windows-style option.
  app.allow_windows_style_options(false);
  TypedArguments typed;
  DeclareInputsAndRunning(app, request, typed);
  DeclareWhatIsWritten(app, request.options, typed);
  DeclareFormat(app, request.form, typed);
  DeclareSplits(app, request.options, typed);
  DeclareFilters(app, request.options, typed);
  DeclareSearch(app, request.search, typed);
  DeclareRenames(app, typed);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::ostringstream out;
    exitCode = app.exit(e, out, out) == 0 ? 0 : 2;  // help and version are no errors
    error = out.str();
    return false;
  }
  std::string conflict = Conflict(typed, request.options);
  if (conflict.empty()) conflict = FormatConflict(app, typed, request.form);
  if (!conflict.empty()) {
    error = "pgnutil: " + conflict + "\n";
    exitCode = 2;
    return false;
  }
  ApplyArguments(app, typed, request);
  if (std::string problem = ApplySearch(typed, request.search); !problem.empty()) {
    error = "pgnutil: " + problem + "\n";
    exitCode = 2;
    return false;
  }
  return true;
}

std::optional<TProcessingOptions> OptionsOfSettingsFile(const std::filesystem::path& file, std::string& problem) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    problem = file.string() + ": no such file";
    return std::nullopt;
  }
  const TSettings settings = ReadSettings(file);
  if (!settings.optionsPresent) {
    problem = file.string() +
              " holds no processing options (a damaged file, or one saved with \"Make default automatically\" on)";
    return std::nullopt;
  }
  return settings.options;
}
