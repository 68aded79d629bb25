// The batch job end to end: loading files and folders into the game list, repeats and
// duplicates, the selection, and processing into output files.
#include "job/job.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "chess/eco.h"
#include "job/output_files.h"
#include "job/session.h"
#include "options/processing_options.h"
#include "tests/support/memory_host.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const TwoGames =
    "[Event \"a\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n\n[Event \"b\"]\n[Result \"0-1\"]\n\n1. d4 d5 0-1\n";

// Each test builds requests and runs them on a list, a progress and an option record of its
// own; what the jobs did adds up in `result`.
class Job : public ::testing::Test {
 protected:
  // Requests a stop when the worker reaches a stage (and, while saving, a game position).
  void StopAt(JobStage stage, int32_t step = 0) {
    progress.observer = [this, stage, step](JobStage now, int32_t position) {
      if (now == stage && position == step) progress.stopRequested = true;
    };
  }

  void Run(JobKind kind, const std::filesystem::path& input, const std::filesystem::path& base = {},
           ModalWait* waitWith = nullptr) {
    JobRequest request;
    request.kind = kind;
    request.input = input;
    request.readingWindow = readingWindow;
    request.inputStream = inputStream;
    request.options = options;
    request.search = search;
    request.outputBase = base;
    if (kind == JobKind::ProcessAndSave) request.selection = BuildSelection(list, QuietHost());
    PlainWait plain;
    result.Add(RunJobWhileWaiting(list, request, QuietHost(), progress, waitWith ? *waitWith : plain));
  }
  void Load(const std::filesystem::path& file) { Run(JobKind::LoadFile, file); }
  // Back to an empty list, default options and nothing done, for a test that runs in rounds.
  void Reset() {
    list = TGameList{};
    result = JobResult{};
    options = TProcessingOptions{};
    search = GameSearch{};
  }
  void LoadFolder(const std::filesystem::path& folder) { Run(JobKind::LoadFolder, folder); }
  void Process(const std::filesystem::path& base) { Run(JobKind::ProcessAndSave, {}, base); }

  // Loads a.pgn (games "a" and "b") and b.pgn (game "c"), then deletes one row as the panel does.
  void LoadTwoFilesAndDeleteRow(size_t row) {
    TempDir::Write(dir / "a.pgn", TwoGames);
    TempDir::Write(dir / "b.pgn", "[Event \"c\"]\n\n1. c4 *\n");
    Load(dir / "a.pgn");
    Load(dir / "b.pgn");
    ASSERT_EQ(list.entries.size(), 3u);
    list.dropped.assign(3, false);
    list.dropped[row] = true;
    CompactGameList(list);
    ASSERT_EQ(list.entries.size(), 2u);
  }

  TGameList list;
  JobProgress progress;
  JobResult result;
  TProcessingOptions options;
  GameSearch search;
  TempDir dir;
  int64_t readingWindow = 0;
  std::FILE* inputStream = nullptr;
};

TEST_F(Job, LoadingTheSameFileAgainAddsNothing) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  Load(dir / "games.pgn");
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.displayOrder, (TIndexArray{0, 1}));
  EXPECT_EQ(list.currentRow, 2);
  EXPECT_EQ(progress.stage.load(), JobStage::Done);
  Load(dir / "games.pgn");
  EXPECT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(result.counts.repeats, 2);
  // The same file read by a folder job is the same source too.
  TempDir::Write(dir / "more.pgn", "[Event \"c\"]\n\n1. c4 *\n");
  LoadFolder(dir.path);
  EXPECT_EQ(list.entries.size(), 3u);
}

// Another spelling of a file loaded already ("./", a hard link, a symbolic link) is the same
// file: its games are repeats, counted so, and never listed twice.
TEST_F(Job, AnotherNameForAFileLoadedIsTheSameSource) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  Load(dir / "games.pgn");
  ASSERT_EQ(list.entries.size(), 2u);
  std::vector<std::filesystem::path> names = {dir / "." / "games.pgn", dir / "sub" / ".." / "games.pgn"};
  std::filesystem::create_directory(dir / "sub");
  std::error_code error;
  std::filesystem::create_hard_link(dir / "games.pgn", dir / "hard.pgn", error);
  if (!error) names.push_back(dir / "hard.pgn");
#ifndef _WIN32
  std::filesystem::create_symlink(dir / "games.pgn", dir / "soft.pgn");
  names.push_back(dir / "soft.pgn");
#endif
  int64_t repeats = 0;
  for (const std::filesystem::path& name : names) {
    Load(name);
    repeats += 2;
    EXPECT_EQ(list.entries.size(), 2u) << name;
    EXPECT_EQ(result.counts.repeats, repeats) << name;
  }
}

TEST_F(Job, FolderJobsFilterAndDropDuplicates) {
  options.removeDuplicates = true;
  options.resultMask = ResultWhiteWins | ResultUnknown;
  TempDir::Write(dir / "1.pgn", TwoGames);
  TempDir::Write(dir / "2.pgn",
                 "[Event \"a again\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n\n[Event \"c\"]\n\n1. c4 *\n\n"
                 "[Event \"c again\"]\n\n1. c4 *\n");
  TempDir::Write(dir / "notes.txt", "[Event \"not pgn\"]\n\n*\n");
  LoadFolder(dir.path);
  ASSERT_EQ(list.entries.size(), 2u);  // b filtered out, "a again" and "c again" dropped
  EXPECT_EQ(list.entries[0].tags[0].value, "a");
  EXPECT_EQ(list.entries[1].tags[0].value, "c");
  EXPECT_EQ(list.keys.size(), 2u);
  EXPECT_EQ(result.counts.duplicates, 2);
  EXPECT_EQ(result.counts.filteredOut, 1);  // counted, not lost from the summary
  EXPECT_EQ(result.counts.gamesRead, 5);    // the game filtered out as it was read was read
}

// A long file of a few games over and over, read in small windows: its duplicates are dropped
// window by window, the first of each game stays, the figures are those of one whole merge,
// and a duplicate of a game listed before the file is dropped too.
TEST_F(Job, DuplicatesOfALongFileAreDroppedWindowByWindow) {
  options.removeDuplicates = true;
  TempDir::Write(dir / "first.pgn", "[Event \"listed before\"]\n\n1. c4 *\n");
  Load(dir / "first.pgn");
  std::string text;
  for (int round = 0; round < 300; ++round)
    text += "[Event \"r" + std::to_string(round) +
            "\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n\n[Event \"s\"]\n\n1. d4 d5 " + (round % 2 ? "2. c4 " : "") +
            "*\n\n[Event \"t\"]\n\n1. c4 *\n\n";
  TempDir::Write(dir / "long.pgn", text);
  readingWindow = 500;
  Load(dir / "long.pgn");
  ASSERT_EQ(list.entries.size(), 4u);  // "listed before", then r0 and the two "s" games
  EXPECT_EQ(list.entries[1].tags[0].value, "r0");
  EXPECT_EQ(list.entries[1].sourcePosition, 1);
  EXPECT_EQ(list.entries[2].tags[0].value, "s");
  EXPECT_EQ(list.entries[3].summary.plies, 3);
  EXPECT_EQ(ReadGameAgain(list.entries[3])->movecount(), 3);
  EXPECT_EQ(result.counts.gamesRead, 1 + 900);
  EXPECT_EQ(result.counts.duplicates, 900 - 3);
  EXPECT_EQ(list.keys.size(), 4u);
  EXPECT_EQ(list.displayOrder, (TIndexArray{0, 1, 2, 3}));
  // Read again: every game is a repeat of its file's, none a duplicate.
  const int64_t duplicates = result.counts.duplicates;
  Load(dir / "long.pgn");
  EXPECT_EQ(list.entries.size(), 4u);
  EXPECT_EQ(result.counts.repeats, 3);
  EXPECT_EQ(result.counts.duplicates, duplicates + 897);
}

// Standard input is read as it comes; a stop while it is read leaves the list as it was.
TEST_F(Job, AStreamIsLoadedAndAStopDropsIt) {
  std::FILE* stream = std::tmpfile();
  ASSERT_TRUE(stream);
  std::fputs(TwoGames, stream);
  std::rewind(stream);
  inputStream = stream;
  Load("-");
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[1].sourcePath.get(), "-");
  EXPECT_EQ(result.counts.bytesRead, int64_t(std::string(TwoGames).size()));
  std::fclose(stream);
  // Another game, at a position none of the first stream's has.
  stream = std::tmpfile();
  std::fputs("\n\n[Event \"z\"]\n\n1. c4 *\n", stream);
  std::rewind(stream);
  inputStream = stream;
  StopAt(JobStage::Loading);
  Load("-");
  EXPECT_EQ(list.entries.size(), 2u);
  EXPECT_TRUE(result.stopped);
  progress.observer = nullptr;
  std::rewind(stream);
  Load("-");
  EXPECT_EQ(list.entries.size(), 3u);
  std::fclose(stream);
}

// Loading a file again after one of its rows was deleted brings back that game alone: the other
// games are repeats of entries still listed (the merges' index of sources follows the list).
TEST_F(Job, AFileLoadedAgainBringsBackOnlyItsDeletedRow) {
  LoadTwoFilesAndDeleteRow(1);  // the row of "b"
  Load(dir / "a.pgn");
  ASSERT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(list.entries[2].tags[0].value, "b");
  EXPECT_EQ(result.counts.repeats, 1);
  Load(dir / "b.pgn");
  Load(dir / "a.pgn");
  EXPECT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(result.counts.repeats, 4);
}

// A row deleted from the list takes its key with it: the same game loaded again is kept, while
// a game still listed is dropped as before (the merges' index of keys follows the list).
TEST_F(Job, AGameDeletedFromTheListMayBeLoadedAgain) {
  options.removeDuplicates = true;
  TempDir::Write(dir / "a again.pgn", "[Event \"a again\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n");
  TempDir::Write(dir / "b again.pgn", "[Event \"b again\"]\n[Result \"0-1\"]\n\n1. d4 d5 0-1\n");
  LoadTwoFilesAndDeleteRow(0);  // the row of "a"
  Load(dir / "a again.pgn");
  EXPECT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(result.counts.duplicates, 0);
  Load(dir / "b again.pgn");
  EXPECT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(result.counts.duplicates, 1);
  EXPECT_EQ(list.entries[2].tags[0].value, "a again");
}

// Six games "g1".."g6", alternately won by White and by Black, rated 2600 to 2850.
std::string SixRatedGames() {
  std::string text;
  for (int g = 1; g <= 6; ++g)
    text += "[Event \"g" + std::to_string(g) + "\"]\n[Result \"" + (g % 2 ? "1-0" : "0-1") + "\"]\n[WhiteElo \"" +
            std::to_string(2550 + 50 * g) + "\"]\n\n1. e4 e5 " + (g % 2 ? "1-0" : "0-1") + "\n\n";
  return text;
}

// The events written into the output, in order.
std::string EventsIn(const std::string& text) {
  std::string events;
  for (size_t at = text.find("[Event \""); at != std::string::npos; at = text.find("[Event \"", at + 1))
    events += text.substr(at + 8, text.find('"', at + 8) - at - 8) + " ";
  return events;
}

TEST_F(Job, ASearchSelectsByRulesNumbersAndLimitAfterTheFilters) {
  TempDir::Write(dir / "games.pgn", SixRatedGames());
  Load(dir / "games.pgn");
  TagRule rated;
  std::string error;
  ASSERT_TRUE(ParseTagRule("WhiteElo>=2700", rated, error));
  search.tagRules = {rated};
  options.resultMask = ResultWhiteWins;  // the panel's filter holds too: g3 and g5 are left
  options.doNotRewrite = false;
  Process(dir / "out");
  EXPECT_EQ(EventsIn(TempDir::Read(dir / "out.pgn")), "g3 g5 ");
  EXPECT_EQ(result.counts.filteredOut, 4);
  // The limit counts the games that pass everything, in input order; the others are counted.
  result = JobResult{};
  search.stopAfter = 1;
  Process(dir / "out");
  EXPECT_EQ(EventsIn(TempDir::Read(dir / "out.pgn")), "g3 ");
  EXPECT_EQ(result.counts.pastStopAfter, 1);
  EXPECT_EQ(result.counts.filteredOut, 4);
  // Inverted: every game the rules and the filter leave out, and only those.
  result = JobResult{};
  search.stopAfter = 0;
  search.invert = true;
  Process(dir / "out");
  EXPECT_EQ(EventsIn(TempDir::Read(dir / "out.pgn")), "g1 g2 g4 g6 ");
  EXPECT_EQ(result.counts.filteredOut, 2);
  // Numbers are places in the list: with the filters gone, games 2 to 3 and 6.
  result = JobResult{};
  search = GameSearch{};
  options.resultMask = ResultAll;
  ASSERT_TRUE(ParseGameRanges("2-3,6", search.ranges, error));
  Process(dir / "out");
  EXPECT_EQ(EventsIn(TempDir::Read(dir / "out.pgn")), "g2 g3 g6 ");
  EXPECT_EQ(result.counts.written, 3);
}

TEST_F(Job, ProcessingWritesTheChosenGamesIntoSplitFiles) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  Load(dir / "games.pgn");
  options.splitByResult = true;
  Process(dir / "out");
  EXPECT_TRUE(result.writeFailures.empty());
  EXPECT_EQ(result.counts.written, 2);
  EXPECT_EQ(result.counts.outputFiles, 2);
  const std::string whiteWins = TempDir::Read(dir / "out_res=whitewin.pgn");
  EXPECT_NE(whiteWins.find("1.e4 e5 1-0\r\n"), std::string::npos);
  EXPECT_EQ(whiteWins.find("d4"), std::string::npos);
  EXPECT_NE(TempDir::Read(dir / "out_res=blackwin.pgn").find("1.d4 d5 0-1"), std::string::npos);
  // Appending is the default: a second run doubles the files; replacing leaves one copy.
  Process(dir / "out");
  EXPECT_EQ(TempDir::Read(dir / "out_res=whitewin.pgn"), whiteWins + whiteWins);
  options.doNotRewrite = false;
  Process(dir / "out");
  EXPECT_EQ(TempDir::Read(dir / "out_res=whitewin.pgn"), whiteWins);
}

// With ECO codes added, the split, the names and the written tags use the same codes, even when
// a game's own ECO tag said something else.
TEST_F(Job, EcoSplitAndAddedCodesAgree) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  TempDir::Write(dir / "games.pgn",
                 "[Event \"s\"]\n[ECO \"C00\"]\n\n1. e4 c5 2. Nf3 d6 *\n\n"
                 "[Event \"q\"]\n[ECO \"B00\"]\n\n1. d4 d5 2. c4 e6 *\n");
  Load(dir / "games.pgn");
  options.addEcoNames = true;
  options.splitEcoLevel = EcoSplit::Letter;
  Process(dir / "out");
  EXPECT_EQ(result.counts.outputFiles, 2);
  const std::string b = TempDir::Read(dir / "out_eco=B.pgn");
  const std::string d = TempDir::Read(dir / "out_eco=D.pgn");
  EXPECT_NE(b.find("[ECO \"B27\"]"), std::string::npos) << b;  // 1. e4 c5 2. Nf3, the last position looked up
  EXPECT_NE(d.find("[ECO \"D"), std::string::npos) << d;
  EXPECT_EQ(b.find("[Event \"q\"]"), std::string::npos);
  SetEcoTableSource(dir / "none.dat");
}

// Games read when no ECO code was wanted are kept without it; an ECO filter chosen afterwards
// finds their codes from their moves.
TEST_F(Job, AnEcoFilterChosenAfterLoadingFindsTheCodes) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  TempDir::Write(dir / "games.pgn", "[Event \"s\"]\n\n1. e4 c5 2. Nf3 d6 *\n\n[Event \"q\"]\n\n1. d4 d5 2. c4 e6 *\n");
  Load(dir / "games.pgn");
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_FALSE(list.entries[0].summary.ecoKnown);
  options.ecoOpening = "B2";
  Process(dir / "out");
  EXPECT_EQ(result.counts.written, 1);
  EXPECT_NE(TempDir::Read(dir / "out.pgn").find("[Event \"s\"]"), std::string::npos);
  SetEcoTableSource(dir / "none.dat");
}

// Splitting by ECO code without "add ECO names" still gives each game the tag its file is
// named for: many games, so that they are written by more than one thread, each game's text
// made after its code was looked up for the split.
TEST_F(Job, EveryGameOfAnEcoSplitCarriesItsFilesCode) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  const char* const openings[] = {"1. e4 c5 2. Nf3 d6", "1. d4 d5 2. c4 e6", "1. e4 e5 2. Nf3 Nc6", "1. c4 e5"};
  std::string games;
  for (int g = 0; g < 300; ++g) games += "[Event \"" + std::to_string(g) + "\"]\n\n" + openings[g % 4] + " *\n\n";
  TempDir::Write(dir / "games.pgn", games);
  Load(dir / "games.pgn");
  options.splitEcoLevel = EcoSplit::Letter;
  Process(dir / "out");
  EXPECT_EQ(result.counts.written, 300);
  int tagged = 0;
  for (const auto& file : std::filesystem::directory_iterator(dir.path)) {
    const std::string name = file.path().filename().string();
    if (name.rfind("out_eco=", 0) != 0) continue;
    const std::string letter = name.substr(8, 1);
    const std::string text = TempDir::Read(file.path());
    for (size_t at = text.find("[Event "); at != std::string::npos; at = text.find("[Event ", at + 1)) {
      const size_t end = text.find("\r\n\r\n", at);
      const std::string tags = text.substr(at, end - at);
      EXPECT_NE(tags.find("[ECO \"" + letter), std::string::npos) << name << ": " << tags;
      ++tagged;
    }
  }
  EXPECT_EQ(tagged, 300);
  SetEcoTableSource(dir / "none.dat");
}

// A job whose games are all let go from memory while loading, and read again while saving,
// writes exactly what the same job writes with every game in memory: duplicates, ECO codes,
// the ECO split, the player split (each game written twice) and the length filter all work from
// the summaries.
TEST_F(Job, GamesLetGoFromMemoryAreWrittenAsIfKept) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  const std::filesystem::path samples = dir / "in";
  std::filesystem::create_directories(samples);
  for (const char* name : {"Lasker.pgn", "Morphy.pgn", "Steinitz.pgn"})
    std::filesystem::copy_file(PGN_SOURCE_DIR "/data/samples/" + std::string(name), samples / name);
  // A wrong code in the file's tag: the code from the moves (B27) must replace it.
  TempDir::Write(samples / "wrong.pgn",
                 "[Event \"w\"]\n[ECO \"C00\"]\n\n1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. Be2 e5 "
                 "7. Nb3 Be7 8. O-O O-O 9. Be3 Be6 10. Qd2 Nbd7 11. a4 Qc7 12. f3 Rfc8 13. Rfd1 Qc6 "
                 "14. Bf1 Rab8 15. a5 b5 16. axb6 Rxb6 17. Ra2 Qc7 18. Rda1 Rc6 19. Rxa6 Bxb3 20. cxb3 Rxa6 *\n");
  // All games in memory; none; and a budget that keeps some and reads the rest back several
  // at a time, so that both files of one game may come from one read.
  const int64_t limits[] = {MemoryBudget::DefaultLimit, 0, 200 << 10};
  std::map<std::string, std::string> written[3];
  for (size_t run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    Reset();
    list.memory.limit = limits[run];
    options.removeDuplicates = true;
    options.addEcoNames = true;
    options.removeOldEcoTags = true;
    options.splitEcoLevel = EcoSplit::LetterAndDigit;
    options.splitByPlayer = true;  // every game written twice, once for each player
    options.movesFrom = 20;
    options.doNotRewrite = false;
    LoadFolder(samples);
    LoadFolder(samples);  // every game a repeat
    // In memory: kept packed (none parsed).
    size_t inMemory = 0;
    for (const TGame& entry : list.entries) {
      EXPECT_EQ(entry.game, nullptr);
      inMemory += !entry.packed.empty();
    }
    const size_t expectedLow[] = {list.entries.size(), 0, 1};
    const size_t expectedHigh[] = {list.entries.size(), 0, list.entries.size() / 2};
    EXPECT_GE(inMemory, expectedLow[run]);
    EXPECT_LE(inMemory, expectedHigh[run]);
    const std::filesystem::path out = dir / ("run" + std::to_string(run));
    std::filesystem::create_directories(out);
    Process(out / "out");
    EXPECT_TRUE(result.writeFailures.empty());
    EXPECT_GT(result.counts.written, 10);
    for (const auto& file : std::filesystem::directory_iterator(out))
      written[run][file.path().filename().string()] = TempDir::Read(file.path());
    // Games unpacked or read again for writing are let go again; the packed ones stay.
    size_t afterwards = 0;
    for (const TGame& entry : list.entries) {
      EXPECT_EQ(entry.game, nullptr);
      afterwards += !entry.packed.empty();
    }
    EXPECT_EQ(afterwards, inMemory);
  }
  EXPECT_GT(written[0].size(), 3u);
  EXPECT_EQ(written[0], written[1]);
  EXPECT_EQ(written[0], written[2]);
  SetEcoTableSource(dir / "none.dat");
}

// Files of a folder are read on several threads, each classifying its games when codes are
// wanted: with the table missing every reader looks for it, one at a time (the tsan build
// checks this), and every game is still loaded, with no code.
TEST_F(Job, FolderReadersClassifyTogetherEvenWithoutATable) {
  SetEcoTableSource(dir / "none.dat");
  options.addEcoNames = true;
  for (int f = 0; f < 6; ++f) TempDir::Write(dir / ("f" + std::to_string(f) + ".pgn"), TwoGames);
  LoadFolder(dir.path);
  ASSERT_EQ(list.entries.size(), 12u);
  for (const TGame& entry : list.entries) {
    EXPECT_TRUE(entry.summary.known);
    EXPECT_STREQ(entry.summary.eco, "");
  }
  // Merged in name order, whatever order the readers finished in.
  for (size_t i = 0; i < list.entries.size(); ++i)
    EXPECT_EQ(list.entries[i].sourcePath.get().filename(), "f" + std::to_string(i / 2) + ".pgn");
}

// A game written into two files (here: each of its players') is read back once for both when
// it was let go, and is let go again only after its last writing.
TEST_F(Job, AGameLetGoIsWrittenIntoEachOfItsFiles) {
  std::string games;
  for (int g = 0; g < 6; ++g)
    games += "[Event \"m\"]\n[Round \"" + std::to_string(g + 1) +
             "\"]\n[White \"A\"]\n[Black \"B\"]\n\n1. e4 e5 2. Nf3 " + (g % 2 ? "Nc6" : "Nf6") + " " +
             std::to_string(3) + ". " + std::string(1, "abcdgh"[g]) + "3 *\n\n";
  TempDir::Write(dir / "match.pgn", games);
  list.memory.limit = 0;  // every game let go while loading
  Load(dir / "match.pgn");
  ASSERT_EQ(list.entries.size(), 6u);
  for (const TGame& entry : list.entries) ASSERT_EQ(entry.game, nullptr);
  list.memory.limit = 64 << 20;  // room to read them all back at once
  options.splitByPlayer = true;
  Process(dir / "out");
  EXPECT_EQ(result.counts.written, 12);
  for (const char* player : {"A", "B"}) {
    const std::string text = TempDir::Read(dir / ("out_player=" + std::string(player) + ".pgn"));
    for (int g = 0; g < 6; ++g)
      EXPECT_NE(text.find("[Round \"" + std::to_string(g + 1) + "\"]"), std::string::npos) << player << " " << g + 1;
  }
  for (const TGame& entry : list.entries) EXPECT_EQ(entry.game, nullptr);
}

TEST_F(Job, AFileThatCannotBeWrittenIsReported) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  Load(dir / "games.pgn");
  Process(dir / "no such folder" / "out");
  ASSERT_EQ(result.writeFailures.size(), 1u);
  EXPECT_FALSE(result.writeFailures[0].reason.empty());
}

TEST_F(Job, UnreadableFilesAndSkippedGamesAreRecorded) {
  Load(dir / "missing.pgn");
  ASSERT_EQ(result.unreadableFiles.size(), 1u);
  EXPECT_EQ(result.unreadableFiles[0].path, dir / "missing.pgn");
  EXPECT_EQ(result.unreadableFiles[0].reason, "cannot open the file");
  TempDir::Write(dir / "bad.pgn", "[Event \"a\"]\n\n1. e5 *\n\n[Event \"b\"]\n\n1. e4 *\n");
  Load(dir / "bad.pgn");
  EXPECT_EQ(list.entries.size(), 1u);
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_EQ(result.skipped[0].issue.code, 7);
  EXPECT_EQ(result.skipped[0].issue.gameLine, 1);
}

// A progress display reads the shared state while the worker changes it: counters without the
// lock, paths and lists under it (ThreadSanitizer watches this test).
class PeekingWait : public ModalWait {
 public:
  int looks = 0;
  const TGameList& list;
  explicit PeekingWait(const TGameList& games) : list(games) {}
  void WaitUntilDone(JobProgress& state) override {
    while (state.stage.load() != JobStage::Done) {
      (void)state.loadPosition.load();
      (void)state.stepPosition.load();
      (void)state.File().string().size();
      {
        HostLockGuard lock;
        (void)list.entries.size();
      }
      ++looks;
    }
  }
};

TEST_F(Job, TheProgressDisplayMayLookWhileTheWorkerWrites) {
  for (int i = 0; i < 6; ++i) {
    std::string text;
    for (int g = 0; g < 40; ++g) text += "[Event \"" + std::to_string(g) + "\"]\n\n1. e4 e5 2. Nf3 Nc6 *\n\n";
    TempDir::Write(dir / ("f" + std::to_string(i) + ".pgn"), text);
  }
  PeekingWait wait(list);
  Run(JobKind::LoadFolder, dir.path, {}, &wait);
  EXPECT_EQ(list.entries.size(), 240u);
  Process(dir / "out");
  EXPECT_EQ(result.counts.written, 240);
}

// A stop keeps what is complete and drops what is not, at every stage.
TEST_F(Job, StopWhileLoadingAFileDropsAllItsGames) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  StopAt(JobStage::Loading);
  Load(dir / "games.pgn");
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(progress.stage.load(), JobStage::Done);
}

TEST_F(Job, StopInAFolderKeepsTheFilesMergedBefore) {
  TempDir::Write(dir / "1.pgn", "[Event \"first\"]\n\n1. e4 *\n");
  TempDir::Write(dir / "2.pgn", "[Event \"second\"]\n\n1. d4 *\n");
  int loads = 0;
  progress.observer = [this, &loads](JobStage now, int32_t) {
    if (now == JobStage::Loading && ++loads == 2) progress.stopRequested = true;
  };
  LoadFolder(dir.path);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].tags[0].value, "first");
}

TEST_F(Job, StopWhileSortingOrFilteringWritesNothing) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  Load(dir / "games.pgn");
  for (JobStage stage : {JobStage::Sorting, JobStage::ApplyingFilters}) {
    StopAt(stage);
    Process(dir / "out");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pgn")) << int(stage);
    EXPECT_EQ(progress.stage.load(), JobStage::Done);
  }
}

TEST_F(Job, StopWhileSavingKeepsTheFilesCompleted) {
  TempDir::Write(dir / "games.pgn",
                 std::string(TwoGames) + "\n[Event \"c\"]\n[Result \"1/2-1/2\"]\n\n1. c4 c5 1/2-1/2\n");
  Load(dir / "games.pgn");
  options.splitByResult = true;
  // Written in the order black win, draw, white win. The black win's file is complete when the
  // draw begins; the stop at the third game drops the draw still in the buffer.
  StopAt(JobStage::Saving, 2);
  Process(dir / "out");
  EXPECT_TRUE(std::filesystem::exists(dir / "out_res=blackwin.pgn"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out_res=draw.pgn"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out_res=whitewin.pgn"));
  EXPECT_EQ(result.counts.written, 1);  // the draw dropped from the buffer is not counted
}

// Many short games, each with its own Event; `shift` changes which moves each game has.
std::string ManyGames(int count, int shift = 0) {
  std::string text;
  const char* moves[] = {"1. e4 e5", "1. d4 d5", "1. c4 c5", "1. Nf3 Nf6", "1. e4 c5 2. Nf3"};
  for (int i = 0; i < count; ++i)
    text += "[Event \"" + std::to_string(i) + "\"]\n[Result \"*\"]\n\n" + moves[(i + shift) % 5] + " *\n\n";
  return text;
}

size_t GamesIn(const std::string& text) {
  size_t count = 0;
  for (size_t at = text.find("[Event "); at != std::string::npos; at = text.find("[Event ", at + 1)) ++count;
  return count;
}

// Writing over the very file the games come from, replacing it, while games let go under the
// memory budget are read again from it: the old text stays until the job ends.
TEST_F(Job, AnOutputThatIsAlsoAnInputLosesNoGame) {
  TempDir::Write(dir / "games.pgn", ManyGames(60));
  list.memory.limit = 0;  // every game let go while loading, read again while writing
  Load(dir / "games.pgn");
  ASSERT_EQ(list.entries.size(), 60u);
  options.doNotRewrite = false;
  options.splitEcoLevel = EcoSplit::Letter;  // several files, one of them the input itself
  options.addEcoNames = true;
  Process(dir / "games");  // "games_eco=....pgn": none is the input yet
  options.splitEcoLevel = EcoSplit::None;
  Process(dir / "games");  // games.pgn: the input
  EXPECT_TRUE(result.unwritten.empty());
  EXPECT_TRUE(result.writeFailures.empty());
  EXPECT_EQ(GamesIn(TempDir::Read(dir / "games.pgn")), 60u);
  EXPECT_FALSE(std::filesystem::exists(AsideOf(dir / "games.pgn")));
  EXPECT_EQ(result.counts.written, 120);
}

// Two groups whose names lead to one file (names that meet once cleaned, or bands that round
// alike): the later group is added to what the earlier one wrote, never replacing it.
TEST_F(Job, GroupsWhoseFileNamesMeetShareTheFile) {
  TempDir::Write(dir / "games.pgn",
                 "[Event \"1\"]\n[White \"a/b\"]\n[Result \"1-0\"]\n\n1. e4 1-0\n\n"
                 "[Event \"2\"]\n[White \"a_b\"]\n[Result \"0-1\"]\n\n1. d4 0-1\n\n"
                 "[Event \"3\"]\n[White \"a/b\"]\n[Result \"0-1\"]\n\n1. c4 0-1\n");
  Load(dir / "games.pgn");
  options.doNotRewrite = false;
  options.splitByWhite = true;
  options.splitByResult = true;
  Process(dir / "out");
  EXPECT_EQ(GamesIn(TempDir::Read(dir / "out_white=a_b_res=blackwin.pgn")), 2u);
  EXPECT_EQ(GamesIn(TempDir::Read(dir / "out_white=a_b_res=whitewin.pgn")), 1u);
  EXPECT_EQ(result.counts.outputFiles, 2);  // real files, not groups
  EXPECT_EQ(result.counts.written, 3);
}

// A file rewritten while the job runs: the games it no longer holds where they were are
// reported with their file and position, never written as other games nor dropped in silence.
TEST_F(Job, AGameItsFileNoLongerHoldsIsReportedNotWritten) {
  const std::string text = ManyGames(40);
  TempDir::Write(dir / "games.pgn", text);
  list.memory.limit = 0;
  Load(dir / "games.pgn");
  ASSERT_EQ(list.entries.size(), 40u);
  // Other games in their place, the file cut short: no game of the list is there any more.
  const std::string other = ManyGames(40, 1);
  progress.observer = [&](JobStage stage, int32_t position) {
    if (stage == JobStage::Saving && position == 0)
      TempDir::Write(dir / "games.pgn", other.substr(0, other.size() / 2));
  };
  Process(dir / "out");
  EXPECT_EQ(result.counts.written, 0);
  ASSERT_EQ(result.unwritten.size(), 40u);
  EXPECT_EQ(result.unwritten[0].file, dir / "games.pgn");
  EXPECT_EQ(result.unwritten[0].position, 1);
  EXPECT_EQ(result.unwritten[0].reason, "its file changed since it was read, or cannot be read");
  EXPECT_EQ(result.unwritten.back().reason, "its file is shorter than when it was read");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.pgn"));
  // Put back as it was, every game is written again.
  progress.observer = nullptr;
  TempDir::Write(dir / "games.pgn", text);
  result.unwritten.clear();
  Process(dir / "out");
  EXPECT_TRUE(result.unwritten.empty());
  EXPECT_EQ(GamesIn(TempDir::Read(dir / "out.pgn")), 40u);
}

// A file that cannot be written holds none of its games: they are not counted as written.
TEST_F(Job, GamesOfAFileThatFailedAreNotCountedAsWritten) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  Load(dir / "games.pgn");
  Process(dir / "no such folder" / "out");
  ASSERT_EQ(result.writeFailures.size(), 1u);
  EXPECT_EQ(result.counts.written, 0);
  EXPECT_EQ(result.counts.lostToWriteFailures, 2);
  EXPECT_EQ(result.counts.outputFiles, 0);  // no file holds them
}

// A folder that cannot be listed is named with the reason, not passed over as empty.
TEST_F(Job, AFolderThatCannotBeListedIsNamed) {
  TempDir::Write(dir / "games.pgn", TwoGames);
  LoadFolder(dir / "games.pgn");  // a file where a folder should be
  ASSERT_EQ(result.unreadableFiles.size(), 1u);
  EXPECT_EQ(result.unreadableFiles[0].path, dir / "games.pgn");
  EXPECT_NE(result.unreadableFiles[0].reason.find("cannot be listed"), std::string::npos);
  EXPECT_TRUE(list.entries.empty());
}

// A job is a function of its request: two jobs on lists of their own, with options of their
// own, run at once on two threads without seeing each other.
TEST(RunJob, JobsOnTheirOwnListsDoNotMeet) {
  TempDir dir;
  TempDir::Write(dir / "a.pgn", TwoGames);
  TempDir::Write(dir / "b.pgn", TwoGames + std::string("\n[Event \"a again\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n"));
  TGameList first, second;
  JobProgress firstProgress, secondProgress;
  JobRequest readA, readB;
  readA.input = dir / "a.pgn";
  readB.input = dir / "b.pgn";
  readB.options.removeDuplicates = true;
  JobResult a, b;
  std::thread other([&] { b = RunJob(second, readB, QuietHost(), secondProgress); });
  a = RunJob(first, readA, QuietHost(), firstProgress);
  other.join();
  EXPECT_EQ(first.entries.size(), 2u);
  EXPECT_EQ(a.counts.duplicates, 0);
  EXPECT_EQ(second.entries.size(), 2u);  // "a again" is a duplicate there
  EXPECT_EQ(b.counts.duplicates, 1);
  EXPECT_EQ(firstProgress.stage.load(), JobStage::Done);
  EXPECT_FALSE(a.stopped);
  // Writing from one list names only its games.
  JobRequest write;
  write.kind = JobKind::ProcessAndSave;
  write.selection = second.displayOrder;
  write.outputBase = dir / "out";
  const JobResult written = RunJob(second, write, QuietHost(), secondProgress);
  EXPECT_EQ(written.counts.written, 2);
  EXPECT_EQ(written.counts.outputFiles, 1);
  EXPECT_EQ(secondProgress.gamesWritten.load(), 2);
}

class Answering : public MemoryHost {
 public:
  Answer answer = Answer::Yes;
  int asked = 0;
  Answer AskProcessOneGame() override {
    ++asked;
    return answer;
  }
};

TEST_F(Job, SelectionFollowsHighlightsAndTheAnswer) {
  list.displayOrder = {2, 0, 1};
  list.highlight = {false, false, false};
  Answering host;
  EXPECT_EQ(BuildSelection(list, host), (TIndexArray{2, 0, 1}));
  list.highlight = {true, false, true};
  EXPECT_EQ(BuildSelection(list, host), (TIndexArray{2, 0}));
  EXPECT_EQ(host.asked, 0);  // asked only with exactly one game highlighted
  list.highlight = {false, true, false};
  EXPECT_EQ(BuildSelection(list, host), (TIndexArray{1}));
  host.answer = Host::Answer::No;
  EXPECT_EQ(BuildSelection(list, host), (TIndexArray{2, 0, 1}));
  host.answer = Host::Answer::Cancel;
  EXPECT_TRUE(BuildSelection(list, host).empty());
  EXPECT_EQ(host.asked, 3);
}

}  // namespace
