// Rules on any tag: how they are read, and which values pass them.
#include "pgn/tag_rules.h"

#include <gtest/gtest.h>

#include "pgn/game_search.h"

namespace {

TagRule Rule(const std::string& text) {
  TagRule rule;
  std::string error;
  EXPECT_TRUE(ParseTagRule(text, rule, error)) << text << ": " << error;
  return rule;
}

// Whether a game whose tag `name` holds `value` passes the rule.
bool Passes(const std::string& rule, const std::string& name, const std::string& value) {
  const TGamesTagArray tags{{name, value}};
  return TagRuleHolds(Rule(rule), tags);
}

TEST(TagRule, ReadsEachOperatorWithTheLongestFirst) {
  EXPECT_EQ(Rule("WhiteElo>=2700").op, TagOperator::GreaterOrEqual);
  EXPECT_EQ(Rule("WhiteElo>=2700").value, "2700");
  EXPECT_EQ(Rule("Round<=3").op, TagOperator::LessOrEqual);
  EXPECT_EQ(Rule("Result!=*").op, TagOperator::NotEqual);
  EXPECT_EQ(Rule("Result!=*").value, "*");
  EXPECT_EQ(Rule("Opening~Sicilian").op, TagOperator::Matches);
  EXPECT_EQ(Rule("Annotator=").value, "");   // an empty value is a value
  EXPECT_EQ(Rule("Site=a=b").value, "a=b");  // the first operator ends the name
  EXPECT_EQ(Rule("Event<>x").op, TagOperator::Less);
  EXPECT_EQ(Rule("Event<>x").value, ">x");
}

TEST(TagRule, RefusesWhatIsNoRuleWithTheReason) {
  const std::pair<const char*, const char*> cases[] = {{"WhiteElo", "no operator"},
                                                       {"=2700", "does not begin with a tag name"},
                                                       {"White Elo=2700", "no operator"},
                                                       {"Event~(", "does not compile"},
                                                       {"", "does not begin with a tag name"}};
  for (const auto& [text, reason] : cases) {
    TagRule rule;
    std::string error;
    EXPECT_FALSE(ParseTagRule(text, rule, error)) << text;
    EXPECT_NE(error.find(reason), std::string::npos) << text << ": " << error;
  }
}

TEST(TagRule, NumbersCompareAsNumbers) {
  EXPECT_TRUE(Passes("WhiteElo>=2700", "WhiteElo", "2700"));
  EXPECT_TRUE(Passes("WhiteElo>2700", "WhiteElo", "10000"));  // as bytes "10000" < "2700"
  EXPECT_FALSE(Passes("WhiteElo<2700", "WhiteElo", "10000"));
  EXPECT_TRUE(Passes("WhiteElo=2700", "WhiteElo", "2700.0"));
  EXPECT_TRUE(Passes("Round<2", "Round", "1.5"));
  EXPECT_TRUE(Passes("Score>-1", "Score", "-0.5"));
  // A value that is no number is unknown: it passes no numeric rule, not even "!=".
  for (const char* unknown : {"", "?", "-", "2690:2222", "27OO"}) {
    EXPECT_FALSE(Passes("WhiteElo<2700", "WhiteElo", unknown)) << unknown;
    EXPECT_FALSE(Passes("WhiteElo!=2700", "WhiteElo", unknown)) << unknown;
  }
}

TEST(TagRule, DatesCompareByTheirPartsAndUnknownPartsDecideNothing) {
  EXPECT_TRUE(Passes("Date<1990.06.01", "Date", "1990.05.31"));
  EXPECT_FALSE(Passes("Date<1990.06.01", "Date", "1990.06.01"));
  EXPECT_TRUE(Passes("Date>=1990.06", "Date", "1990.06.??"));  // the day is not asked for
  EXPECT_TRUE(Passes("Date<1991", "Date", "1990.??.??"));      // the year decides
  EXPECT_FALSE(Passes("Date<1990.06", "Date", "1990.??.??"));  // the month would decide
  EXPECT_FALSE(Passes("Date>1990.06", "Date", "1990.??.??"));
  EXPECT_FALSE(Passes("Date=1990", "Date", "????.??.??"));
  EXPECT_FALSE(Passes("Date!=1990", "Date", "????.??.??"));
  EXPECT_TRUE(Passes("Date=1990.05", "Date", "1990.05.17"));
  EXPECT_TRUE(Passes("Date>=2015", "Date", "2015.01.10"));
  EXPECT_FALSE(Passes("Date>=2015.06.01", "Date", "2015.01.10"));
  EXPECT_FALSE(Passes("Date<2000", "Date", "yesterday"));
}

TEST(TagRule, OtherValuesCompareAsBytesAndRegexesSearch) {
  EXPECT_TRUE(Passes("Result=1-0", "Result", "1-0"));
  EXPECT_FALSE(Passes("Result=1-0", "Result", "1/2-1/2"));
  EXPECT_TRUE(Passes("Result!=1-0", "Result", "0-1"));
  EXPECT_TRUE(Passes("White<M", "White", "Carlsen, Magnus"));
  EXPECT_FALSE(Passes("White=carlsen, magnus", "White", "Carlsen, Magnus"));  // exact bytes
  EXPECT_TRUE(Passes("Event~^Tata", "Event", "Tata Steel 2024"));
  EXPECT_FALSE(Passes("Event~^Steel", "Event", "Tata Steel 2024"));
  EXPECT_TRUE(Passes("Event~Steel", "Event", "Tata Steel 2024"));
  EXPECT_TRUE(Passes("Annotator=", "Annotator", ""));
}

TEST(TagRule, AGameWithoutTheTagNeverPasses) {
  const TGamesTagArray tags{{"Event", "e"}, {"White", "w"}};
  for (const char* rule : {"WhiteElo!=2700", "WhiteElo<9999", "Annotator=", "Annotator~.*", "ECO!=B20"})
    EXPECT_FALSE(TagRuleHolds(Rule(rule), tags)) << rule;
  EXPECT_FALSE(TagRuleHolds(Rule("white=w"), tags));  // names are exact
  EXPECT_TRUE(TagRuleHolds(Rule("White=w"), tags));
}

TEST(TagRuleLines, SkipNotesAndBlankLinesAndNameTheBadLine) {
  std::vector<TagRule> rules;
  std::string error;
  ASSERT_TRUE(ParseTagRuleLines("# ratings\r\n\nWhiteElo>=2700\r\n  BlackElo>=2700  \n", rules, error)) << error;
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[1].name, "BlackElo");
  EXPECT_EQ(rules[1].value, "2700");
  rules.clear();
  EXPECT_FALSE(ParseTagRuleLines("WhiteElo>=2700\n\nBlackElo 2700\n", rules, error));
  EXPECT_NE(error.find("line 3"), std::string::npos) << error;
}

TEST(GameRanges, ReadNumbersAndRangesAndRefuseWhatRunsBackwards) {
  std::vector<GameNumberRange> ranges;
  std::string error;
  ASSERT_TRUE(ParseGameRanges("1-100,250,300-", ranges, error)) << error;
  ASSERT_EQ(ranges.size(), 3u);
  EXPECT_EQ(ranges[0].last, 100);
  EXPECT_EQ(ranges[1].first, 250);
  EXPECT_EQ(ranges[1].last, 250);
  EXPECT_GT(ranges[2].last, int64_t(1) << 60);  // open at its end
  for (const char* bad : {"5-3", "0", "1,,2", "a-b", "-5", "", "1-2-3"}) {
    std::vector<GameNumberRange> none;
    EXPECT_FALSE(ParseGameRanges(bad, none, error)) << bad;
  }
  EXPECT_NE(error.find("1-2-3"), std::string::npos) << error;
}

TEST(GameSearch, AllRulesAndAnyRangeMustHold) {
  GameSearch search;
  TGame game;
  game.tags = TGamesTagArray{{"Event", "e"}, {"WhiteElo", "2750"}, {"BlackElo", "2600"}};
  EXPECT_FALSE(search.Active());
  EXPECT_TRUE(search.Matches(game, 7));
  search.tagRules = {Rule("WhiteElo>2700"), Rule("BlackElo>2500")};
  EXPECT_TRUE(search.Matches(game, 7));
  search.tagRules.push_back(Rule("BlackElo>2650"));
  EXPECT_FALSE(search.Matches(game, 7));
  search.tagRules.pop_back();
  search.ranges = {{1, 3}, {7, 7}};
  EXPECT_TRUE(search.Active());
  EXPECT_TRUE(search.Matches(game, 7));
  EXPECT_FALSE(search.Matches(game, 4));
}

}  // namespace
