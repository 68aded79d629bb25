// A game's tags kept in one block: every name and value comes back as given, in order, through
// changes of one tag, insertions and removals; over the shared collections the block costs far
// less than the tags' text.
#include "pgn/tag_array.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "pgn/game_reader.h"
#include "tests/support/shared_data.h"

namespace {

std::vector<std::pair<std::string, std::string>> Listed(const TGamesTagArray& tags) {
  std::vector<std::pair<std::string, std::string>> listed;
  for (const TagView tag : tags) listed.emplace_back(tag.name, tag.value);
  return listed;
}

TEST(TagArray, NamesAndValuesOfEveryKindComeBackInOrder) {
  const std::string longValue(70000, 'x');  // a length of three bytes
  std::string binary("a\0b\xff\"\\", 6);
  const TagPairs pairs = {{"Event", "Wch"},        {"Site", ""},         {"Date", "1985.??.??"},
                          {"white", "lower case"}, {"WhiteElo", "2700"}, {"", "a tag without a name"},
                          {"MyOwnTag", longValue}, {"X", binary},        {std::string(200, 'N'), "long name"}};
  const TGamesTagArray tags(pairs);
  ASSERT_EQ(tags.size(), pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(tags[i].name, pairs[i].name) << i;
    EXPECT_EQ(tags[i].value, pairs[i].value) << i;
  }
  const TagPairs again = tags.Pairs();
  ASSERT_EQ(again.size(), pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i)
    EXPECT_EQ(again[i].name + "=" + again[i].value, pairs[i].name + "=" + pairs[i].value);
  EXPECT_EQ(tags.front().name, "Event");
  EXPECT_EQ(tags.back().value, "long name");
  EXPECT_EQ(std::distance(tags.begin(), tags.end()), std::ptrdiff_t(pairs.size()));
  // Copies are equal and independent.
  TGamesTagArray copy = tags;
  EXPECT_TRUE(copy == tags);
  copy.SetValue(0, "Olympiad");
  EXPECT_FALSE(copy == tags);
  EXPECT_EQ(tags[0].value, "Wch");
  EXPECT_EQ(copy[0].value, "Olympiad");
  EXPECT_EQ(copy[6].value, longValue);
  // An empty list.
  TGamesTagArray none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.begin(), none.end());
  EXPECT_TRUE(none == TGamesTagArray(TagPairs{}));
  EXPECT_EQ(none.MemoryBytes(), sizeof(TGamesTagArray));
}

TEST(TagArray, OneTagChangesInsertionsAndRemovalsKeepTheOthers) {
  TGamesTagArray tags{{"Event", "E"}, {"Site", "S"}, {"White", "W"}};
  // A value taken from the list itself, longer than the one it replaces.
  tags.SetValue(1, std::string(tags[0].value) + std::string(tags[2].value) + std::string(300, 'z'));
  EXPECT_EQ(tags[1].value, "EW" + std::string(300, 'z'));
  tags.SetValue(1, tags[0].value);
  EXPECT_EQ(Listed(tags),
            (std::vector<std::pair<std::string, std::string>>{{"Event", "E"}, {"Site", "E"}, {"White", "W"}}));
  tags.Insert(1, "ECO", "B20");
  tags.Insert(99, "Annotator", tags[1].value);  // past the end: appended
  tags.push_back({"Remark", "last"});
  EXPECT_EQ(
      Listed(tags),
      (std::vector<std::pair<std::string, std::string>>{
          {"Event", "E"}, {"ECO", "B20"}, {"Site", "E"}, {"White", "W"}, {"Annotator", "B20"}, {"Remark", "last"}}));
  tags.Erase(0);
  tags.Erase(tags.size() - 1);
  EXPECT_EQ(Listed(tags), (std::vector<std::pair<std::string, std::string>>{
                              {"ECO", "B20"}, {"Site", "E"}, {"White", "W"}, {"Annotator", "B20"}}));
  tags.clear();
  EXPECT_TRUE(tags.empty());
  tags.Assign(TagPairs{{"Round", "1"}});
  EXPECT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].name, "Round");
}

TEST(TagArray, CommonNamesTakeOneByteAndOthersTheirText) {
  // A common name, in any case but its own, or a near miss, is kept as text.
  auto cost = [](std::string_view name) {
    TGamesTagArray tags;
    tags.Assign(TagPairs{TPGNTag{std::string(name), "v"}});
    return tags.MemoryBytes();
  };
  const size_t oneByte = cost("Event");
  for (const char* name : {"Site",       "Date",      "Round",        "White",           "Black",           "Result",
                           "SetUp",      "FEN",       "ECO",          "WhiteElo",        "BlackElo",        "EventDate",
                           "PlyCount",   "Annotator", "TimeControl",  "WhiteRatingDiff", "BlackRatingDiff", "Variant",
                           "WhiteClock", "BlackType", "EventCountry", "UTCTime"})
    EXPECT_EQ(cost(name), oneByte) << name;
  for (const char* name : {"event", "Events", "Even", "WhiteELO", "X", "BlackRatingDif"})
    EXPECT_EQ(cost(name), oneByte + 1 + std::string_view(name).size()) << name;
}

TEST(TagArray, KeptTagsCostLessThanTheirText) {
  const std::filesystem::path folder = CollectionsFolder() / "otb";
  PGN_SKIP_WITHOUT_COLLECTIONS(folder);
  int64_t kept = 0, text = 0, games = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    if (file.path().extension() != ".pgn") continue;
    std::ifstream in(file.path(), std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TGames read;
    ReadGames(content, read, ReadOptions{});
    for (const TGame& entry : read) {
      kept += int64_t(entry.tags.MemoryBytes());
      for (const TagView tag : entry.tags) text += int64_t(tag.name.size() + tag.value.size()) + 6;  // [N "V"]\n
      ++games;
    }
  }
  ASSERT_GT(games, 2500);
  EXPECT_LT(kept, text) << games << " games";
}

}  // namespace
