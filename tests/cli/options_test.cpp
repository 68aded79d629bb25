// pgnutil's options: every value reaches the processing options with the panel's meaning, and
// every wrong value or combination is refused with a message that names the option.
#include "cli/options.h"

#include "cli/standard_streams.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct Parsed {
  bool ok = false;
  CliRequest request;
  std::string error;
  int exitCode = -1;
};

Parsed Parse(const std::vector<const char*>& arguments) {
  std::vector<const char*> argv = {"pgnutil"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  Parsed p;
  p.ok = ParseCommandLine(int(argv.size()), argv.data(), p.request, p.error, p.exitCode);
  return p;
}

Parsed Parse(std::initializer_list<const char*> arguments) { return Parse(std::vector<const char*>(arguments)); }

// The arguments are a usage error (exit status 2) whose message holds `expected`.
void ExpectUsageError(const std::vector<const char*>& arguments, const std::string& expected) {
  const Parsed p = Parse(arguments);
  EXPECT_FALSE(p.ok) << expected;
  EXPECT_EQ(p.exitCode, 2) << expected;
  EXPECT_NE(p.error.find(expected), std::string::npos) << expected << ": " << p.error;
}

TEST(CommandLine, WithoutOptionsThePanelsDefaults) {
  const Parsed p = Parse({"games.pgn"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.request.options, TProcessingOptions{});
  EXPECT_EQ(p.request.output, "output");
  EXPECT_EQ(p.request.inputs, std::vector<std::filesystem::path>{"games.pgn"});
  EXPECT_FALSE(p.request.recursive);
}

TEST(CommandLine, EveryValueReachesItsOption) {
  const Parsed p = Parse({"a.pgn",
                          "dir",
                          "-o",
                          "out/base",
                          "--remove-comments",
                          "--remove-variations",
                          "--tags",
                          "roster",
                          "--nags",
                          "1,14",
                          "--duplicates",
                          "--add-eco",
                          "--keep-valid-eco",
                          "--overwrite",
                          "--split-eco",
                          "2",
                          "--split-date",
                          "months",
                          "--split-white-elo",
                          "4",
                          "--split-result",
                          "--result",
                          "1-0,draw",
                          "--date-from",
                          "2001",
                          "--date-to",
                          "2003.06",
                          "--white",
                          "Tal, Mikhail",
                          "--any-colour",
                          "--white-elo",
                          "2500-",
                          "--black-elo",
                          "-2600",
                          "--eco",
                          "B2",
                          "--moves",
                          "20-40",
                          "-r",
                          "--rename-event",
                          "Old=New = Better",
                          "--rename-player",
                          "A=B"});
  ASSERT_TRUE(p.ok) << p.error;
  const TProcessingOptions& o = p.request.options;
  EXPECT_EQ(p.request.inputs.size(), 2u);
  EXPECT_EQ(p.request.output, "out/base");
  EXPECT_TRUE(o.removeComments && o.removeVariations && o.removeDuplicates && o.addEcoNames);
  EXPECT_EQ(o.tagRemoval, TagRemoval::AllButRoster);
  EXPECT_TRUE(o.keptNags[1] && o.keptNags[14]);
  EXPECT_EQ(o.keptNags.count(), 2u);
  EXPECT_FALSE(o.removeOldEcoTags);
  EXPECT_FALSE(o.doNotRewrite);
  EXPECT_EQ(o.splitEcoLevel, EcoSplit::LetterAndDigit);
  EXPECT_EQ(o.splitDateLevel, DateSplit::Month);
  EXPECT_EQ(o.splitWhiteEloParts, 4);
  EXPECT_EQ(o.splitBlackEloParts, 1);
  EXPECT_TRUE(o.splitByResult);
  EXPECT_EQ(o.resultMask, ResultWhiteWins | ResultDraw);
  int32_t from = 0, to = 0;
  ASSERT_TRUE(ParseDate("2001", false, from));
  ASSERT_TRUE(ParseDate("2003.06", true, to));
  EXPECT_EQ(o.dateFrom, from);
  EXPECT_EQ(o.dateTo, to);
  EXPECT_EQ(o.whitePlayer, "Tal, Mikhail");
  EXPECT_TRUE(o.ignorePlayerColour);
  EXPECT_EQ(o.whiteEloFrom, 2500);
  EXPECT_EQ(o.whiteEloTo, AnyElo);
  EXPECT_EQ(o.blackEloFrom, 0);
  EXPECT_EQ(o.blackEloTo, 2600);
  EXPECT_EQ(o.ecoOpening, "B2");
  EXPECT_EQ(o.movesFrom, 20);
  EXPECT_EQ(o.movesTo, 40);
  EXPECT_TRUE(p.request.recursive);
  // Renames keep their order; the first "=" parts old from new, later ones belong to the name.
  ASSERT_EQ(p.request.renames.size(), 2u);
  EXPECT_EQ(p.request.renames[0].kind, RenameKind::Player);
  EXPECT_EQ(p.request.renames[0].from, "A");
  EXPECT_EQ(p.request.renames[1].kind, RenameKind::Tournament);
  EXPECT_EQ(p.request.renames[1].from, "Old");
  EXPECT_EQ(p.request.renames[1].to, "New = Better");
}

TEST(CommandLine, TheSearchTakesEveryRuleAndRange) {
  const Parsed p = Parse({"a.pgn", "--tag", "WhiteElo>=2700", "--tag", "Event~^Tata", "--games", "1-10,20", "--games",
                          "30", "--stop-after", "5", "--invert"});
  ASSERT_TRUE(p.ok) << p.error;
  const GameSearch& s = p.request.search;
  ASSERT_EQ(s.tagRules.size(), 2u);
  EXPECT_EQ(s.tagRules[1].op, TagOperator::Matches);
  ASSERT_EQ(s.ranges.size(), 3u);
  EXPECT_EQ(s.ranges[2].first, 30);
  EXPECT_EQ(s.stopAfter, 5);
  EXPECT_TRUE(s.invert);
  EXPECT_FALSE(Parse({"a.pgn"}).request.search.Active());
}

TEST(CommandLine, TheBoardSearchTakesEachCriterion) {
  const Parsed p = Parse({"a.pgn",
                          "--pattern",
                          "*/*/*/*/*/*/*/*",
                          "--line",
                          "1. e4 c5",
                          "--material",
                          "KRP*:KRP*",
                          "--material-plies",
                          "4",
                          "--ends-in",
                          "insufficient-material",
                          "--has",
                          "repetition",
                          "--has",
                          "en-passant",
                          "--in-variations",
                          "--either-colour",
                          "--rejected",
                          "left.pgn",
                          "--duplicates",
                          "--duplicates-to",
                          "dups"});
  ASSERT_TRUE(p.ok) << p.error;
  const PositionSearch& s = p.request.search.positions;
  EXPECT_TRUE(s.LooksForPositions());
  ASSERT_EQ(s.Lines().size(), 1u);
  EXPECT_EQ(s.Lines()[0].size(), 2u);
  EXPECT_EQ(s.materialPlies, 4);
  EXPECT_EQ(s.endsIn, GameEnd::InsufficientMaterial);
  EXPECT_EQ(s.events, HasRepetition | HasEnPassant);
  EXPECT_TRUE(s.inVariations);
  EXPECT_EQ(p.request.rejected, "left");
  EXPECT_EQ(p.request.duplicatesTo, "dups");
}

TEST(CommandLine, WritingAsideTakesTheSplitsAwayAndKeepsTheRest) {
  TProcessingOptions o;
  o.splitByResult = o.splitByPlayer = o.splitByTournament = true;
  o.splitEcoLevel = EcoSplit::WholeCode;
  o.splitDateLevel = DateSplit::Day;
  o.splitWhiteEloParts = o.splitBlackEloParts = 4;
  o.removeComments = true;
  o.whitePlayer = "Tal";
  o.resultMask = 1;
  EXPECT_FALSE(SplitsOutput(WithoutSplits(o)));
  EXPECT_TRUE(WithoutSplits(o).removeComments);
  EXPECT_EQ(WithoutSplits(o).whitePlayer, "Tal");
  const TProcessingOptions unfiltered = WithoutFilters(o);
  EXPECT_TRUE(unfiltered.whitePlayer.empty());
  EXPECT_EQ(unfiltered.resultMask, TProcessingOptions{}.resultMask);
  EXPECT_TRUE(unfiltered.removeComments);
  EXPECT_TRUE(SplitsOutput(unfiltered));
}

TEST(CommandLine, AnOutputEndingInPgnIsNotDoubled) {
  EXPECT_EQ(Parse({"a.pgn", "-o", "clean.pgn"}).request.output, "clean");
  EXPECT_EQ(Parse({"a.pgn", "-o", "dir/Clean.PGN"}).request.output, "dir/Clean");
  EXPECT_EQ(Parse({"a.pgn", "-o", "clean"}).request.output, "clean");
  EXPECT_EQ(Parse({"a.pgn", "-o", "my.pgnfiles"}).request.output, "my.pgnfiles");
  EXPECT_EQ(Parse({"a.pgn", "-o", ".pgn"}).request.output, ".pgn");  // a name, not an ending
  EXPECT_EQ(Parse({"a.pgn", "-o", "-"}).request.output, "-");
  // The format's own extension goes the same way.
  EXPECT_EQ(Parse({"a.pgn", "--format", "json", "-o", "games.jsonl"}).request.output, "games");
  EXPECT_EQ(Parse({"a.pgn", "--format", "uci", "-o", "book.uci.txt"}).request.output, "book");
  EXPECT_EQ(Parse({"a.pgn", "--format", "epd", "-o", "p.pgn"}).request.output, "p.pgn");
}

TEST(CommandLine, WrongValuesAreUsageErrorsNamingTheOption) {
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{"a.pgn", "--split-eco", "4"}, "--split-eco"},
      {{"a.pgn", "--split-date", "weeks"}, "--split-date"},
      {{"a.pgn", "--date-from", "2020.13"}, "--date-from"},
      {{"a.pgn", "--date-to", "20"}, "--date-to"},
      {{"a.pgn", "--white-elo", "2700-2600"}, "--white-elo"},
      {{"a.pgn", "--moves", "-"}, "--moves"},
      {{"a.pgn", "--result", "win"}, "--result"},
      {{"a.pgn", "--nags", "256"}, "--nags"},
      {{"a.pgn", "--nags", ""}, "--nags"},  // "none" says no NAG; nothing at all is a slip
      {{"a.pgn", "--tags", "some"}, "--tags"},
      {{"a.pgn", "--eco", "B123"}, "--eco"},
      {{"a.pgn", "--rename-player", "Tal="}, "--rename-player"},
      {{"a.pgn", "--split-black-elo", "1"}, "--split-black-elo"},
      {{"a.pgn", "--memory", "0"}, "--memory"},
      {{"a.pgn", "--tag", "WhiteElo"}, "--tag"},
      {{"a.pgn", "--tag", "Event~(("}, "does not compile"},
      {{"a.pgn", "--games", "9-3"}, "runs backwards"},
      {{"a.pgn", "--stop-after", "0"}, "--stop-after"},
      {{"a.pgn", "--tag-rules", "/nonexistent/rules.txt"}, "--tag-rules"},
      {{"a.pgn", "--position", "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -"}, "--position"},
      {{"a.pgn", "--pattern", "rnbqkbnr/ppppppppp/*/*/*/*/*/*"}, "rank 7"},
      {{"a.pgn", "--material", "KKR:K"}, "one king"},
      {{"a.pgn", "--material", "KR"}, "--material"},
      {{"a.pgn", "--line", "e4 e5 Ke3"}, "--line"},
      {{"a.pgn", "--reaches", "e4 Nf3"}, "--reaches"},
      {{"a.pgn", "--ends-in", "resignation"}, "--ends-in"},
      {{"a.pgn", "--has", "castling"}, "--has"},
      {{"a.pgn", "--material-plies", "0", "--material", "R:R"}, "--material-plies"},
      {{"a.pgn", "--format", "xml"}, "--format"},
      {{"a.pgn", "--line-length", "1"}, "--line-length"},
      {{"a.pgn", "--line-length", "-5"}, "--line-length"},
      {{"a.pgn", "--games-per-file", "0"}, "--games-per-file"},
      {{"a.pgn", "--keep-tags", "White,,Black"}, "--keep-tags"},
      {{"a.pgn", "--positions-to", "-1", "--format", "fen"}, "--positions-to"},
  };
  for (const auto& [arguments, option] : cases) ExpectUsageError(arguments, option);
  const Parsed noInput = Parse({"--duplicates"});
  EXPECT_FALSE(noInput.ok);
  EXPECT_EQ(noInput.exitCode, 2);
}

TEST(CommandLine, OptionsWithoutEffectTogetherAreRefused) {
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{"a.pgn", "--append", "--overwrite"}, "--append and --overwrite"},
      {{"a.pgn", "--keep-valid-eco"}, "--keep-valid-eco works with --add-eco"},
      {{"a.pgn", "--any-colour"}, "--any-colour needs the name in --white"},
      {{"a.pgn", "--any-colour", "--white", "A", "--black", "B"}, "--any-colour ignores --black"},
      {{"a.pgn", "--date-from", "2010", "--date-to", "2009.12.31"}, "--date-from 2010 is after --date-to 2009.12.31"},
      {{"a.pgn", "--duplicates-to", "d.pgn"}, "--duplicates-to goes with --duplicates"},
      {{"a.pgn", "--rejected", "-"}, "--rejected takes a file"},
      {{"a.pgn", "--either-colour"}, "--either-colour goes with"},
      {{"a.pgn", "--in-variations", "--material", "R:R"}, "--in-variations goes with"},
      {{"a.pgn", "--material-at-end"}, "--material-at-end goes with --material"},
      {{"a.pgn", "--material", "R:R", "--material-at-end", "--material-plies", "3"}, "exclude each other"},
      // What a format cannot carry is named, not half done.
      {{"a.pgn", "--format", "uci", "--tags", "roster"}, "--format uci writes no tags: --tags goes with pgn or json"},
      {{"a.pgn", "--format", "fen", "--add-opening"}, "--add-opening goes with pgn or json"},
      {{"a.pgn", "--format", "san", "--remove-comments"}, "--remove-comments goes with pgn or json"},
      {{"a.pgn", "--format", "json", "--line-length", "40"}, "--line-length goes with pgn"},
      {{"a.pgn", "--positions-from", "3"}, "--positions-from goes with fen or epd"},
      {{"a.pgn", "--format", "epd", "--positions-from", "9", "--positions-to", "3"}, "is after --positions-to"},
      {{"a.pgn", "--keep-tags", "White", "--drop-tags", "Black"}, "exclude each other"},
  };
  for (const auto& [arguments, message] : cases) ExpectUsageError(arguments, message);
  // The same dates the other way round, and a single day, are fine.
  EXPECT_TRUE(Parse({"a.pgn", "--date-from", "2009", "--date-to", "2010"}).ok);
  EXPECT_TRUE(Parse({"a.pgn", "--date-from", "2009.05.05", "--date-to", "2009.05.05"}).ok);
  EXPECT_TRUE(Parse({"a.pgn", "--date-from", "2009.05", "--date-to", "2009.05"}).ok);
}

TEST(CommandLine, HelpAndVersionAreNoErrors) {
  const Parsed help = Parse({"--help"});
  EXPECT_FALSE(help.ok);
  EXPECT_EQ(help.exitCode, 0);
  for (const char* part : {"--split-eco", "--recursive", "Examples:", "Exit status"})
    EXPECT_NE(help.error.find(part), std::string::npos) << part;
  const Parsed version = Parse({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_NE(version.error.find("pgnutil "), std::string::npos);
}

TEST(CommandLine, ValuesAsPeopleWriteThem) {
  int32_t key = 0, upper = 0;
  EXPECT_TRUE(ParseDate("1999", false, key));
  EXPECT_TRUE(ParseDate("1999", true, upper));
  EXPECT_LT(key, upper);  // a year alone is its first day as a lower bound, its last as an upper one
  EXPECT_FALSE(ParseDate("1999.00", false, key));
  EXPECT_FALSE(ParseDate("1999.1.1.1", false, key));
  EXPECT_FALSE(ParseDate("99", false, key));
  int32_t from = -1, to = -1;
  EXPECT_TRUE(ParseRange("10-", from, to));
  EXPECT_EQ(from, 10);
  EXPECT_FALSE(ParseRange("10", from, to));
  EXPECT_FALSE(ParseRange("a-b", from, to));
  uint8_t mask = 0;
  EXPECT_TRUE(ParseResultList("*,other", mask));
  EXPECT_EQ(mask, ResultUnknown | ResultOther);
  EXPECT_FALSE(ParseResultList("", mask));
  EXPECT_FALSE(ParseResultList("1-0,,0-1", mask));
  std::bitset<256> kept;
  EXPECT_TRUE(ParseNagSet("none", kept));
  EXPECT_TRUE(kept.none());
  EXPECT_TRUE(ParseNagSet("basic", kept));
  EXPECT_EQ(kept.count(), 6u);
  EXPECT_TRUE(ParseNagSet("255", kept));
  EXPECT_TRUE(kept[255]);
  EXPECT_FALSE(ParseNagSet("1,,2", kept));
}

}  // namespace
