// Splitting output into files: band tables, file boundaries and names; and the grouping sort
// that brings each file's games together.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pgn/game_reader.h"
#include "pgn/grouping_sort.h"
#include "pgn/output_split.h"

namespace {

TGames Games(const std::vector<std::string>& tagLines) {
  std::string text;
  for (const std::string& tags : tagLines) text += tags + "\n\n1. e4 *\n\n";
  TGames games;
  ReadOptions options;
  ReadGames(text, games, options);
  EXPECT_EQ(games.size(), tagLines.size());
  return games;
}

std::vector<int32_t> All(const TGames& games) {
  std::vector<int32_t> all;
  for (size_t i = 0; i < games.size(); ++i) all.push_back(int32_t(i));
  return all;
}

// The file of each game in writing order, after sorting.
std::vector<std::string> FilesOf(TGames& games, const TProcessingOptions& options, int32_t pathLength = 260) {
  SplitWork work;
  std::vector<int32_t> order;
  SortForOutput(games, All(games), order, work, options);
  std::vector<std::string> files;
  std::string current;
  for (size_t p = 0; p < order.size(); ++p) {
    if (BeginsNewFile(work, games, order, p, options))
      current = OutputFileName(work, u"out", games, order, p, options, pathLength).string();
    files.push_back(current + "#" + std::string(games[size_t(order[p])].tags[0].value));
  }
  return files;
}

TEST(EloBands, PartsOverARangeOrOneBandPerRating) {
  EXPECT_EQ(EloBandTable(2, EloRange{1000, 2000}), (std::vector<int32_t>{1000, 1501, 2001}));
  EXPECT_EQ(BandIndex({1000, 1501, 2001}, 1500), 1u);
  EXPECT_EQ(BandIndex({1000, 1501, 2001}, 1501), 2u);
  EXPECT_EQ(BandIndex({1000, 1501, 2001}, 2000), 2u);
  EXPECT_EQ(EloBandTable(10, EloRange{2400, 2403}), (std::vector<int32_t>{2400, 2401, 2402, 2403, 2404}));
  EXPECT_TRUE(EloBandTable(3, EloRange{}).empty());  // nothing collected: minimum above maximum
}

TEST(FileNames, NoSplitIsTheBasePathAndPgn) {
  TGames games = Games({"[Event \"a\"]", "[Event \"b\"]"});
  EXPECT_EQ(FilesOf(games, TProcessingOptions{}), (std::vector<std::string>{"out.pgn#a", "out.pgn#b"}));
}

TEST(FileNames, DatesEloResultsAndEco) {
  TProcessingOptions o;
  o.splitDateLevel = DateSplit::Month;
  TGames games = Games({"[Event \"a\"][Date \"1990.??.??\"]", "[Event \"b\"][Date \"????.??.??\"]",
                        "[Event \"c\"][Date \"0990.03.01\"]"});
  EXPECT_EQ(FilesOf(games, o),
            (std::vector<std::string>{"out_date=yyyy_mm.pgn#b", "out_date=0990_03.pgn#c", "out_date=1990_mm.pgn#a"}));
  o = TProcessingOptions{};
  o.splitWhiteEloParts = 2;
  games = Games(
      {"[Event \"a\"][WhiteElo \"1000\"]", "[Event \"b\"][WhiteElo \"2000\"]", "[Event \"c\"][WhiteElo \"1500\"]"});
  EXPECT_EQ(FilesOf(games, o), (std::vector<std::string>{"out_welo=1000-1501.pgn#a", "out_welo=1000-1501.pgn#c",
                                                         "out_welo=1501-2001.pgn#b"}));
  o.whiteEloFrom = 3000;  // no rating inside the bounds: one file that says so
  EXPECT_EQ(FilesOf(games, o)[0], "out_welo=outside-filter.pgn#a");
  o = TProcessingOptions{};
  o.splitByResult = true;
  games = Games({"[Event \"a\"][Result \"1-0\"]", "[Event \"b\"][Result \"0-1\"]", "[Event \"c\"][Result \"?\"]",
                 "[Event \"d\"][Result \"1/2-1/2\"]", "[Event \"e\"][Result \"*\"]"});
  EXPECT_EQ(FilesOf(games, o),
            (std::vector<std::string>{"out_res=blackwin.pgn#b", "out_res=draw.pgn#d", "out_res=whitewin.pgn#a",
                                      "out_res=unknown.pgn#e", "out_res=unknown.pgn#c"}));
}

TEST(FileNames, TagValuesNeverMakeAnImpossibleName) {
  EXPECT_EQ(SafeNamePart(u"Rated Blitz game: x", true), u"Rated Blitz game_ x");
  EXPECT_EQ(SafeNamePart(u"a/b\\c<d>e|f?g*h\"", true), u"a_b_c_d_e_f_g_h_");
  EXPECT_EQ(SafeNamePart(u"a/b\\c:d", false), u"a_b\\c:d");
  EXPECT_EQ(SafeNamePart(u"con", true), u"_con");
  EXPECT_EQ(SafeNamePart(u"LPT1.txt", true), u"_LPT1.txt");
  EXPECT_EQ(SafeNamePart(u"COM10", true), u"COM10");
  EXPECT_EQ(SafeNamePart(u"end.", true), u"end_");
  EXPECT_EQ(SafeNamePart(u"line\nbreak", true), u"line_break");
  // Control characters go on every system.
  EXPECT_EQ(SafeNamePart(u"tab\there\x1b\x7f", false), u"tab_here__");
  TProcessingOptions o;
  o.splitByTournament = true;
  TGames games = Games({"[Event \"Rated Blitz game: a/b\"]"});
  const std::string name = FilesOf(games, o)[0];
#ifdef _WIN32
  EXPECT_EQ(name, "out_tournament=Rated Blitz game_ a_b.pgn#Rated Blitz game: a/b");
#else
  EXPECT_EQ(name, "out_tournament=Rated Blitz game: a_b.pgn#Rated Blitz game: a/b");
#endif
}

// However long a tag, no name is longer than a file system takes (255 bytes, the ".pgn" and the
// cut's mark included); names that differ only past the cut stay apart, a name met again leads
// to the same file, and a character is never cut in half.
TEST(FileNames, EveryNameFitsTheFileSystem) {
  TProcessingOptions o;
  o.splitByTournament = true;
  const std::string longA = std::string(300, 'x') + "a", longB = std::string(300, 'x') + "b";
  TGames games = Games({"[Event \"" + longA + "\"]", "[Event \"" + longB + "\"]", "[Event \"" + longA + "\"]"});
  const std::vector<std::string> files = FilesOf(games, o, 100000);
  std::vector<std::string> names;
  for (const std::string& file : files) names.push_back(file.substr(0, file.find('#')));
  for (const std::string& name : names) {
    EXPECT_LE(name.size(), MaxNameBytes) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".pgn");
    EXPECT_EQ(name.substr(0, 20), "out_tournament=xxxxx");
  }
  EXPECT_NE(names[0], names[2]);  // a and b, sorted: a, a, b
  EXPECT_EQ(names[0], names[1]);
  // The folder part is never cut, and a name that fits is left alone.
  EXPECT_EQ(FitLastComponent(u"dir/" + std::u16string(300, u'y') + u".pgn", 255).substr(0, 5), u"dir/y");
  EXPECT_EQ(FitLastComponent(u"dir/short.pgn", 255), u"dir/short.pgn");
  // Cyrillic letters take two bytes each: cut by bytes, whole letters only.
  const std::u16string cyrillic = FitLastComponent(std::u16string(200, u'\x0416') + u".pgn", 255);
  EXPECT_EQ(cyrillic.size(), size_t((255 - 4 - 9) / 2 + 9 + 4));
}

TEST(FileNames, LongNamesAreCutAndNumbered) {
  TProcessingOptions o;
  o.splitByTournament = true;
  TGames games = Games({"[Event \"" + std::string(100, 'x') + "\"]"});
  // Numbered from 1 in each run: the counter is the run's own.
  for (int run = 0; run < 2; ++run) {
    const std::string name = FilesOf(games, o, 40)[0];
    EXPECT_EQ(name.substr(0, name.find('#')), ("out_tournament=" + std::string(100, 'x')).substr(0, 35) + "1.pgn");
  }
}

TEST(GroupingSort, TournamentsInByteOrderAndEntryOrderWithin) {
  TProcessingOptions o;
  o.splitByTournament = true;
  TGames games = Games({"[Event \"b\"][Site \"1\"]", "[Event \"a\"][Site \"2\"]", "[Event \"b\"][Site \"3\"]",
                        "[Event \"B\"][Site \"4\"]"});
  SplitWork work;
  std::vector<int32_t> order;
  SortForOutput(games, All(games), order, work, o);
  EXPECT_EQ(order, (std::vector<int32_t>{3, 1, 0, 2}));
}

// Names order as their bytes do, also where they differ only past their first eight bytes or
// one is the start of another; games of one name keep their entry order.
TEST(GroupingSort, PlayerNamesInByteOrderWhereverTheyDiffer) {
  const std::vector<std::string> whites = {"Carlsen, Magnus", "Carlsen, M",      "carlsen", "Carlsen, Magnus A",
                                           "Carlsen, Mag",    "Carlsen, Magnus", "Carlsen", "Carlsen, Magnur"};
  std::vector<std::string> tags;
  for (size_t g = 0; g < whites.size(); ++g)
    tags.push_back("[Event \"" + std::to_string(g + 1) + "\"][White \"" + whites[g] + "\"][Black \"Z\"]");
  TGames games = Games(tags);
  TProcessingOptions o;
  o.splitByWhite = true;
  EXPECT_EQ(FilesOf(games, o),
            (std::vector<std::string>{"out_white=Carlsen.pgn#7", "out_white=Carlsen, M.pgn#2",
                                      "out_white=Carlsen, Mag.pgn#5", "out_white=Carlsen, Magnur.pgn#8",
                                      "out_white=Carlsen, Magnus.pgn#1", "out_white=Carlsen, Magnus.pgn#6",
                                      "out_white=Carlsen, Magnus A.pgn#4", "out_white=carlsen.pgn#3"}));
  // Each player's games, as White or Black, under one name.
  TProcessingOptions byPlayer;
  byPlayer.splitByPlayer = true;
  const std::vector<std::string> files = FilesOf(games, byPlayer);
  ASSERT_EQ(files.size(), 16u);
  EXPECT_EQ(files[0], "out_player=Carlsen.pgn#7");
  EXPECT_EQ(files[4], "out_player=Carlsen, Magnus.pgn#1");
  EXPECT_EQ(files[5], "out_player=Carlsen, Magnus.pgn#6");
  for (size_t k = 7; k < 15; ++k) EXPECT_EQ(files[k].substr(0, files[k].find('#')), "out_player=Z.pgn");
  EXPECT_EQ(files[15], "out_player=carlsen.pgn#3");  // "Z" is 0x5A, "c" 0x63
}

// Codes order as their bytes do (lower-case letters after upper-case ones), a game without a
// code first; at each level the files hold the games whose codes share that prefix, in entry
// order within a file.
TEST(GroupingSort, EcoCodesInByteOrderAtEveryLevel) {
  TGames games =
      Games({"[Event \"1\"][ECO \"B12\"]", "[Event \"2\"][ECO \"b12\"]", "[Event \"3\"]", "[Event \"4\"][ECO \"B02\"]",
             "[Event \"5\"][ECO \"A99\"]", "[Event \"6\"][ECO \"B1\"]", "[Event \"7\"][ECO \"B12\"]"});
  // Game 3 has no tag and game 6 an invalid one; with no table loaded here, neither has a code.
  TProcessingOptions o;
  o.splitEcoLevel = EcoSplit::WholeCode;
  EXPECT_EQ(FilesOf(games, o),
            (std::vector<std::string>{"out_eco=.pgn#3", "out_eco=.pgn#6", "out_eco=A99.pgn#5", "out_eco=B02.pgn#4",
                                      "out_eco=B12.pgn#1", "out_eco=B12.pgn#7", "out_eco=b12.pgn#2"}));
  o.splitEcoLevel = EcoSplit::LetterAndDigit;
  EXPECT_EQ(FilesOf(games, o),
            (std::vector<std::string>{"out_eco=.pgn#3", "out_eco=.pgn#6", "out_eco=A9.pgn#5", "out_eco=B0.pgn#4",
                                      "out_eco=B1.pgn#1", "out_eco=B1.pgn#7", "out_eco=b1.pgn#2"}));
  o.splitEcoLevel = EcoSplit::Letter;
  EXPECT_EQ(FilesOf(games, o),
            (std::vector<std::string>{"out_eco=.pgn#3", "out_eco=.pgn#6", "out_eco=A.pgn#5", "out_eco=B.pgn#1",
                                      "out_eco=B.pgn#4", "out_eco=B.pgn#7", "out_eco=b.pgn#2"}));
}

TEST(GroupingSort, PlayerSplitListsEachGameUnderBothPlayers) {
  TProcessingOptions o;
  o.splitByPlayer = true;
  TGames games =
      Games({"[Event \"1\"][White \"A\"][Black \"B\"]", "[Event \"2\"][White \"B\"][Black \"A\"]",
             "[Event \"3\"][White \"A\"][Black \"A\"]", "[Event \"4\"][White \"PLAYER A\"][Black \"Player A\"]"});
  const std::vector<std::string> files = FilesOf(games, o);
  EXPECT_EQ(files, (std::vector<std::string>{"out_player=A.pgn#1", "out_player=A.pgn#3", "out_player=A.pgn#2",
                                             "out_player=B.pgn#2", "out_player=B.pgn#1", "out_player=PLAYER A.pgn#4",
                                             "out_player=Player A.pgn#4"}));
}

// The linear path for games told apart only by position gives the order the partitions give.
TEST(GroupingSort, TiedRunsSortAsTheStepByStepPartitions) {
  std::mt19937 rng(5);
  const char* names[] = {"A", "B", "C"};
  for (int round = 0; round < 60; ++round) {
    std::vector<std::string> tags;
    const int count = 2 + int(rng() % 120);
    for (int i = 0; i < count; ++i)
      tags.push_back(std::string("[Event \"") + names[rng() % 3] + "\"][White \"" + names[rng() % 3] + "\"][Black \"" +
                     names[rng() % 3] + "\"][Result \"" + (rng() % 2 ? "1-0" : "0-1") + "\"]");
    TGames games = Games(tags);
    TProcessingOptions o;
    o.splitByPlayer = true;
    o.splitByWhite = round % 3 == 1;
    o.splitByTournament = round % 2 == 0;
    o.splitByResult = round % 4 == 0;
    SplitWork fastWork, slowWork;
    std::vector<int32_t> fast, slow;
    SortForOutput(games, All(games), fast, fastWork, o);
    SortForOutput(games, All(games), slow, slowWork, o, nullptr, nullptr, true);
    ASSERT_EQ(fast, slow) << "round " << round;
    ASSERT_EQ(fastWork.groups.size(), slowWork.groups.size());
  }
}

TEST(GroupingSort, AStoppedSortLeavesWithoutGroups) {
  TProcessingOptions o;
  o.splitByPlayer = true;
  TGames games = Games({"[White \"A\"][Black \"B\"]", "[White \"C\"][Black \"D\"]"});
  std::atomic<bool> stop{true};
  SplitWork work;
  std::vector<int32_t> order;
  SortForOutput(games, All(games), order, work, o, &stop);
  EXPECT_TRUE(work.groups.empty());
}

}  // namespace
