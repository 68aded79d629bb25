#include "job/session.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

const char* const ThreeGames =
    "[Event \"a\"]\n[White \"Tal\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n\n"
    "[Event \"b\"]\n[White \"Petrosian\"]\n[Result \"0-1\"]\n\n1. d4 d5 0-1\n\n"
    "[Event \"a\"]\n[White \"Tal\"]\n[Result \"1-0\"]\n\n1. e4 e5 1-0\n";

TEST(Session, AClickMakesItsRequestFromTheSessionAlone) {
  TSession session;
  session.ProcessingOptions.removeComments = true;
  session.outputBase = u"games/out";
  session.Selection = {2, 0};
  session.JobState.folderReaders = 3;

  const JobRequest save = MakeJobRequest(session, JobKind::ProcessAndSave, "ignored.pgn");
  EXPECT_EQ(save.kind, JobKind::ProcessAndSave);
  EXPECT_EQ(save.selection, (TIndexArray{2, 0}));
  EXPECT_EQ(save.outputBase, std::filesystem::path("games/out"));
  EXPECT_TRUE(save.input.empty());  // a processing job reads the list, not a file
  EXPECT_TRUE(save.options.removeComments);
  EXPECT_EQ(save.readerThreads, 3);

  const JobRequest load = MakeJobRequest(session, JobKind::LoadFolder, "collections");
  EXPECT_EQ(load.input, std::filesystem::path("collections"));
  EXPECT_TRUE(load.selection.empty());
  EXPECT_TRUE(load.outputBase.empty());  // a load writes nothing
}

// A load, then "Start" on two of the games: each job adds to what the session's jobs did, and the
// output lands under the session's output path.
TEST(Session, JobsRunOnTheSessionsListAndAddUpInItsJobState) {
  TempDir dir;
  TempDir::Write(dir / "in.pgn", ThreeGames);
  TSession session;
  PlainWait wait;
  StartJob(session, JobKind::LoadFile, wait, dir / "in.pgn");
  ASSERT_EQ(session.GameList.entries.size(), 3u);
  EXPECT_EQ(session.JobState.kind, JobKind::LoadFile);
  EXPECT_EQ(session.JobState.counts.gamesRead, 3);

  session.outputBase = (dir / "out").u16string();
  session.Selection = {1, 0};
  StartJob(session, JobKind::ProcessAndSave, wait);
  EXPECT_EQ(session.JobState.kind, JobKind::ProcessAndSave);
  EXPECT_EQ(session.JobState.counts.gamesRead, 3);  // counted once, by the load
  EXPECT_EQ(session.JobState.counts.written, 2);
  const std::string written = TempDir::Read(dir / "out.pgn");
  EXPECT_NE(written.find("Petrosian"), std::string::npos);
  EXPECT_NE(written.find("Tal"), std::string::npos);
}

// Games from the host merge with the session's own duplicate option.
TEST(Session, MergedGamesFollowTheSessionsDuplicateOption) {
  TempDir dir;
  TempDir::Write(dir / "in.pgn", ThreeGames);
  for (const bool dropDuplicates : {false, true}) {
    TSession loaded;
    PlainWait wait;
    StartJob(loaded, JobKind::LoadFile, wait, dir / "in.pgn");
    TGames fresh;
    for (TGame& entry : loaded.GameList.entries) fresh.push_back(std::move(entry));

    TSession session;
    session.ProcessingOptions.removeDuplicates = dropDuplicates;
    MergeNewGames(session, fresh);
    EXPECT_EQ(session.GameList.entries.size(), dropDuplicates ? 2u : 3u) << dropDuplicates;
    EXPECT_EQ(session.JobState.counts.duplicates, dropDuplicates ? 1 : 0) << dropDuplicates;
  }
}

}  // namespace
