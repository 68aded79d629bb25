// The summary after a job: counts as people write them, skipped games and stray text by reason,
// and a hint when player names left nothing.
#include "cli/job_summary.h"

#include <gtest/gtest.h>

#include "cli/count_text.h"
#include "pgn/read_codes.h"

namespace {

SkippedGame Skipped(const char* file, int code, int gameNumber, int gameLine, int line) {
  SkippedGame s;
  s.file = file;
  s.issue.code = code;
  s.issue.gameNumber = gameNumber;
  s.issue.gameLine = gameLine;
  s.issue.line = line;
  return s;
}

TEST(Counts, GroupedAndWithTheNounThatFits) {
  EXPECT_EQ(GroupedCount(0), "0");
  EXPECT_EQ(GroupedCount(999), "999");
  EXPECT_EQ(GroupedCount(1000), "1,000");
  EXPECT_EQ(GroupedCount(37'971), "37,971");
  EXPECT_EQ(GroupedCount(1'234'567'890), "1,234,567,890");
  EXPECT_EQ(Counted(1, "file", "files"), "1 file");
  EXPECT_EQ(Counted(0, "file", "files"), "0 files");
  EXPECT_EQ(Counted(2'400, "game", "games"), "2,400 games");
}

TEST(JobSummary, CountsEveryStepInTheOrderOfTheJob) {
  JobCounts counts;
  counts.gamesRead = 37'971;
  counts.filesRead = 17;
  counts.duplicates = 2'400;
  counts.repeats = 1;
  counts.filteredOut = 1;
  counts.pastStopAfter = 3;
  counts.written = 35'570;
  counts.outputFiles = 1;
  const std::vector<SkippedGame> skipped = {Skipped("a.pgn", NoLegalMove, 3, 20, 25),
                                            Skipped("b.pgn", BadMoveNumber, 1, 1, 9),
                                            Skipped("b.pgn", NoLegalMove, 2, 12, 14)};
  EXPECT_EQ(JobSummary(counts, skipped, {}, 1),
            "37,971 games read from 17 files, 1 read twice, 2,400 duplicates dropped\n"
            "  1 game skipped: move number does not fit (code 2)\n"
            "  2 games skipped: no legal move fits (code 7)\n"
            "1 name renamed\n"
            "1 game filtered out\n"
            "3 games more selected, left out by --stop-after\n"
            "35,570 games written into 1 file\n");
}

TEST(JobSummary, SaysNothingOfWhatDidNotHappen) {
  JobCounts counts;
  counts.gamesRead = 1;
  counts.filesRead = 1;
  counts.written = 1;
  counts.outputFiles = 1;
  EXPECT_EQ(JobSummary(counts, {}, {}, std::nullopt), "1 game read from 1 file\n1 game written into 1 file\n");
  // Renaming asked for and nothing renamed is worth saying.
  EXPECT_NE(JobSummary(counts, {}, {}, 0).find("0 names renamed\n"), std::string::npos);
}

TEST(JobSummary, DamagedTextIsCountedByReasonAndStrayTextIsNoGame) {
  const std::vector<SkippedGame> skipped = {
      Skipped("a.pgn", NoLegalMove, 3, 20, 25), Skipped("a.pgn", NagTooLarge, 5, 40, 44),
      Skipped("notes.pgn", NotATagSection, 1, 1, 1), Skipped("more.pgn", NotATagSection, 4, 30, 30)};
  const std::string summary = JobSummary(JobCounts{}, skipped, {}, std::nullopt);
  EXPECT_NE(summary.find("  1 game skipped: no legal move fits (code 7)\n"), std::string::npos) << summary;
  EXPECT_NE(summary.find("  1 game skipped: NAG above 255 (code 109)\n"), std::string::npos) << summary;
  EXPECT_NE(summary.find("  2 stretches of text skipped: text that is not a tag section where a game should start "
                         "(code 112)\n"),
            std::string::npos)
      << summary;
  EXPECT_FALSE(IsStrayText(skipped[1]));
  EXPECT_TRUE(IsStrayText(skipped[2]));
}

// What was not written is never hidden behind the count of what was: games whose file failed,
// games that could not be read again (by reason), notes on games kept, files appended to.
TEST(JobSummary, SaysWhatWasNotWrittenAndWhatWasAppendedTo) {
  JobCounts counts;
  counts.gamesRead = 10;
  counts.filesRead = 1;
  counts.written = 5;
  counts.outputFiles = 3;
  counts.outputFilesAppended = 2;
  counts.lostToWriteFailures = 2;
  const std::vector<UnwrittenGame> unwritten = {{"a.pgn", 1, "its file is gone"},
                                                {"a.pgn", 90, "its file is gone"},
                                                {"b.pgn", 7, "its file is shorter than when it was read"}};
  const std::vector<SkippedGame> notes = {Skipped("c.pgn", ResultTagCorrected, 1, 1, 1)};
  EXPECT_EQ(JobSummary(counts, notes, unwritten, std::nullopt),
            "10 games read from 1 file\n"
            "  1 game kept, but: Result tag contradicted the final position and was corrected (code 201)\n"
            "5 games written into 3 files\n"
            "  2 files existed already and were appended to (--overwrite replaces such files)\n"
            "2 games not written: their file could not be written\n"
            "2 games not written: its file is gone\n"
            "1 game not written: its file is shorter than when it was read\n");
  counts.outputFilesAppended = 1;
  EXPECT_NE(JobSummary(counts, {}, {}, std::nullopt).find("  1 file existed already and was appended to"),
            std::string::npos);
}

TEST(JobSummary, WhenNamesLeftNoGameItSaysHowTheyMatch) {
  JobCounts counts;
  counts.gamesRead = counts.filteredOut = 10;
  TProcessingOptions options;
  options.whitePlayer = "Tal";
  EXPECT_NE(NoGameHint(counts, options).find("no game has \"Tal\": names match only byte for byte"), std::string::npos);
  options.blackPlayer = "Smyslov";
  EXPECT_NE(NoGameHint(counts, options).find("\"Tal\" or \"Smyslov\""), std::string::npos);
  options.ignorePlayerColour = true;  // --black plays no part then
  EXPECT_EQ(NoGameHint(counts, options).find("Smyslov"), std::string::npos);
  // Not when some game was written, when nothing was filtered, or when no name was given.
  counts.written = 1;
  EXPECT_EQ(NoGameHint(counts, options), "");
  counts.written = 0;
  counts.filteredOut = 0;
  EXPECT_EQ(NoGameHint(counts, options), "");
  counts.filteredOut = 10;
  EXPECT_EQ(NoGameHint(counts, TProcessingOptions{}), "");
}

}  // namespace
