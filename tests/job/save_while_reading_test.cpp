// Games written as they are read: the same files, bytes and counts as loading the whole file
// and saving the list, for every choice that keeps the input's order, and nothing kept in the
// list meanwhile.
#include "job/save_while_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chess/eco.h"
#include "job/job.h"
#include "pgn/tag_rules.h"
#include "tests/support/temp_dir.h"

namespace {

// What one way of writing gave: the output file's text (empty when none was made) and the counts.
struct Written {
  std::string text;
  bool made = false;
  JobResult result;
};

// Real annotated games twice over (each a duplicate of one before it), a damaged game between
// them, and a few games that differ only in tags.
std::string Collection() {
  const std::string matches =
      TempDir::Read(std::filesystem::path(PGN_SHARED_DATA) / "pgn" / "annotated" / "world_matches.pgn");
  std::string text = matches;
  text += "\n[Event \"damaged\"]\n[Result \"*\"]\n\n1. e4 e5 2. Ke3 *\n\n";
  for (int i = 0; i < 40; ++i)
    text += "[Event \"e" + std::to_string(i) + "\"]\n[White \"w" + std::to_string(i % 3) + "\"]\n[Result \"" +
            (i % 2 ? "1-0" : "0-1") + "\"]\n\n1. d4 Nf6 2. c4 e6 3. Nc3 Bb4 " + (i % 2 ? "1-0" : "0-1") + "\n\n";
  return text + matches;
}

class SaveWhileReadingJob : public ::testing::Test {
 protected:
  // Loads `input` and saves it into `base`, as one job written while reading or as two.
  Written Save(bool whileReading, const std::filesystem::path& from, const std::filesystem::path& base) {
    TGameList list;
    JobProgress progress;
    Written written;
    JobRequest request;
    request.kind = JobKind::LoadFile;
    request.input = from;
    request.options = options;
    request.search = search;
    request.form = form;
    request.openings = opening;
    request.readingWindow = 64 << 10;  // many windows
    request.outputBase = base;
    request.savesWhileReading = whileReading;
    PlainWait wait;
    written.result.Add(RunJobWhileWaiting(list, request, QuietHost(), progress, wait));
    if (whileReading) {
      EXPECT_TRUE(list.entries.empty());
      EXPECT_EQ(list.memory.used, 0);
    } else if (!list.entries.empty()) {
      request.kind = JobKind::ProcessAndSave;
      request.selection = list.displayOrder;
      written.result.Add(RunJobWhileWaiting(list, request, QuietHost(), progress, wait));
    }
    const std::filesystem::path file = base.string() + std::string(OutputExtension(form.format));
    written.made = std::filesystem::exists(file);
    if (written.made) written.text = TempDir::Read(file);
    return written;
  }

  // Both ways on the collection into files of their own: the same text and the same counts.
  void ExpectTheSame(const std::string& what, bool anyWritten = true) {
    SCOPED_TRACE(what);
    const Written after = Save(false, input, dir / ("after" + std::to_string(round)));
    const Written along = Save(true, input, dir / ("along" + std::to_string(round)));
    ++round;
    EXPECT_EQ(along.made, anyWritten);
    EXPECT_EQ(along.made, after.made);
    EXPECT_TRUE(along.text == after.text) << along.text.size() << " bytes against " << after.text.size();
    const JobCounts& a = along.result.counts;
    const JobCounts& b = after.result.counts;
    EXPECT_EQ(a.gamesRead, b.gamesRead);
    EXPECT_EQ(a.duplicates, b.duplicates);
    EXPECT_EQ(a.merged, b.merged);
    EXPECT_EQ(a.filteredOut, b.filteredOut);
    EXPECT_EQ(a.pastStopAfter, b.pastStopAfter);
    EXPECT_EQ(a.written, b.written);
    EXPECT_EQ(a.outputFiles, b.outputFiles);
    EXPECT_EQ(along.result.skipped.size(), after.result.skipped.size());
    EXPECT_TRUE(along.result.unwritten.empty());
  }

  void SetUp() override {
    input = dir / "games.pgn";
    const std::string games = Collection();
    ASSERT_GT(games.size(), size_t(1) << 20);
    TempDir::Write(input, games);
    options.doNotRewrite = false;
  }

  TempDir dir;
  std::filesystem::path input;
  TProcessingOptions options;
  GameSearch search;
  OutputForm form;
  const OpeningNames* opening = nullptr;
  int round = 0;
};

TEST_F(SaveWhileReadingJob, WritesWhatSavingTheWholeListWrites) {
  ExpectTheSame("every game");
  options.removeDuplicates = true;
  ExpectTheSame("duplicates dropped");
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  options.addEcoNames = true;
  options.ecoOpening = "D";
  ExpectTheSame("ECO codes added, filtered by them");
  SetEcoTableSource(dir / "none.dat");
  options.addEcoNames = false;
  options.ecoOpening.clear();
  OpeningNames openings;
  std::string problem;
  for (const char* part : {"a", "b", "c", "d", "e"})
    ASSERT_TRUE(openings.AddTable(TempDir::Read(std::string(PGN_SOURCE_DIR "/data/eco/") + part + ".tsv"), problem));
  form.addOpening = true;
  opening = &openings;
  form.format = OutputFormat::Json;
  ExpectTheSame("opening names, as JSON");
  opening = nullptr;
  form = OutputForm{};
  options = TProcessingOptions{};
  options.doNotRewrite = false;
  options.resultMask = ResultWhiteWins;
  options.removeComments = true;
  options.removeVariations = true;
  options.tagRemoval = TagRemoval::AllButRoster;
  ExpectTheSame("a result filter, comments, variations and tags removed");
}

TEST_F(SaveWhileReadingJob, SearchesNumberAndLimitAsTheListDoes) {
  std::string error;
  TagRule rule;
  ASSERT_TRUE(ParseTagRule("White=w1", rule, error));
  search.tagRules = {rule};
  search.stopAfter = 5;
  ExpectTheSame("a tag rule and a limit");
  search.invert = true;
  ExpectTheSame("inverted");
  search = GameSearch{};
  options.removeDuplicates = true;  // numbers count the games kept
  ASSERT_TRUE(ParseGameRanges("3-9,40,70-", search.ranges, error));
  ExpectTheSame("numbers after duplicates");
  form.format = OutputFormat::Json;  // each object carries the game's number
  ExpectTheSame("numbered JSON");
  form.format = OutputFormat::Epd;
  form.positionsTo = 4;
  ExpectTheSame("EPD");
  options.resultMask = 0;
  ExpectTheSame("no game passes: no file", false);
}

// A stop while reading leaves the output as it was: an existing file keeps its text.
TEST_F(SaveWhileReadingJob, AStopLeavesTheOutputAsItWas) {
  TempDir::Write(dir / "out.pgn", "[Event \"kept\"]\n\n1. e4 *\n\n");
  options.doNotRewrite = true;
  TGameList list;
  JobProgress progress;
  progress.observer = [&](JobStage stage, int32_t) {
    if (stage == JobStage::Loading) progress.stopRequested = true;
  };
  JobRequest request;
  request.input = input;
  request.options = options;
  request.outputBase = dir / "out";
  request.savesWhileReading = true;
  PlainWait wait;
  const JobResult result = RunJobWhileWaiting(list, request, QuietHost(), progress, wait);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.counts.written, 0);
  EXPECT_EQ(TempDir::Read(dir / "out.pgn"), "[Event \"kept\"]\n\n1. e4 *\n\n");
}

// The input itself as the output, replaced: it is read to its end before the new text takes its
// place, and loses no game.
TEST_F(SaveWhileReadingJob, AnInputReplacedByItsOwnOutputLosesNoGame) {
  const Written before = Save(false, input, dir / "copy");
  const Written along = Save(true, input, dir / "games");
  EXPECT_EQ(along.result.counts.written, before.result.counts.written);
  EXPECT_TRUE(TempDir::Read(input) == before.text);
  EXPECT_TRUE(along.result.writeFailures.empty());
}

// An output that cannot be made is reported, and its games are not counted as written.
TEST_F(SaveWhileReadingJob, AnOutputThatCannotBeWrittenIsReported) {
  const Written along = Save(true, input, dir / "no such folder" / "out");
  ASSERT_EQ(along.result.writeFailures.size(), 1u);
  EXPECT_EQ(along.result.counts.written, 0);
  EXPECT_GT(along.result.counts.lostToWriteFailures, 0);
}

}  // namespace
