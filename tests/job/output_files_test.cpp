// The output files of one job: another name for a file written already leads to it, a file that
// is also a source is written aside until the end, files appended to are counted; written on a
// thread of their own, they come out as if written in turn.
#include "job/output_files.h"

#include "job/output_queue.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

OutputBuffer Text(const std::string& text) {
  OutputBuffer buffer;
  buffer.Append(text);
  return buffer;
}

void WriteWhole(OutputFileSet& files, const std::filesystem::path& path, const std::string& text) {
  auto writer = files.Begin(path);
  writer->Write(Text(text));
  files.Finished(path, writer->Finish());
}

TEST(OutputFiles, AnotherNameForAFileWrittenAlreadyAppendsToIt) {
  TempDir dir;
#ifdef _WIN32
  const std::filesystem::path other = dir / "A.PGN";  // the same file where letter case does not count
#else
  const std::filesystem::path other = dir / "link.pgn";
  std::filesystem::create_symlink(dir / "a.pgn", other);  // dangling until a.pgn is written
#endif
  OutputFileSet files(true, {});
  WriteWhole(files, dir / "a.pgn", "one ");
  WriteWhole(files, other, "two ");
  WriteWhole(files, dir / "a.pgn", "three");
  EXPECT_EQ(TempDir::Read(dir / "a.pgn"), "one two three");
  EXPECT_EQ(files.FileCount(), 1);
  EXPECT_TRUE(files.Complete().empty());
}

TEST(OutputFiles, ASourceIsReplacedOnlyWhenTheJobIsComplete) {
  TempDir dir;
  TempDir::Write(dir / "games.pgn", "old");
  OutputFileSet files(true, {dir / "games.pgn", dir / "gone.pgn"});
  WriteWhole(files, dir / "games.pgn", "new ");
  EXPECT_EQ(TempDir::Read(dir / "games.pgn"), "old");  // still readable as it was
  WriteWhole(files, dir / "./games.pgn", "more");
  EXPECT_TRUE(files.Complete().empty());
  EXPECT_EQ(TempDir::Read(dir / "games.pgn"), "new more");
  EXPECT_FALSE(std::filesystem::exists(AsideOf(dir / "games.pgn")));
  EXPECT_EQ(files.FileCount(), 1);
}

TEST(OutputFiles, FilesThatExistedAreAppendedToAndCounted) {
  TempDir dir;
  TempDir::Write(dir / "old.pgn", "old ");
  OutputFileSet files(false, {dir / "old.pgn"});  // appending never disturbs what is there
  WriteWhole(files, dir / "old.pgn", "new");
  WriteWhole(files, dir / "fresh.pgn", "x");
  // The old text's last line was unended: what is appended starts on a line of its own.
  EXPECT_EQ(TempDir::Read(dir / "old.pgn"), "old \r\nnew");
  EXPECT_EQ(files.AppendedToExisting(), 1);
  EXPECT_EQ(files.FileCount(), 2);
}

// Appending to a file of another's: a last line ended already gets no empty line before the
// text, and compressed text is refused whole (plain text after it would damage it).
TEST(OutputFiles, AppendingStartsOnANewLineAndNeverAfterCompressedText) {
  TempDir dir;
  TempDir::Write(dir / "ended.pgn", "old\n");
  TempDir::Write(dir / "packed.pgn", std::string("\x1f\x8b\x08\x00rest", 8));
  OutputFileSet files(false, {});
  WriteWhole(files, dir / "ended.pgn", "new");
  EXPECT_EQ(TempDir::Read(dir / "ended.pgn"), "old\nnew");
  auto writer = files.Begin(dir / "packed.pgn");
  EXPECT_FALSE(writer->Write(Text("new")));
  const WriteResult result = writer->Finish();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("gzip"), std::string::npos) << result.error;
  EXPECT_EQ(TempDir::Read(dir / "packed.pgn"), std::string("\x1f\x8b\x08\x00rest", 8));
}

// Pieces handed over faster than they are written wait their turn: every file holds its pieces
// in order, whatever the limit on what may wait.
TEST(OutputQueue, PiecesComeOutInOrderWhateverMayWait) {
  for (size_t limit : {size_t(1), size_t(64), size_t(1) << 20}) {
    TempDir dir;
    OutputQueue queue(false, {}, limit);
    std::string expected[3];
    OutputBuffer buffer;
    for (int round = 0; round < 40; ++round) {
      for (int f = 0; f < 3; ++f) {
        const std::string piece = std::to_string(round) + "-" + std::to_string(f) + ";";
        buffer.Append(piece);
        expected[f] += piece;
        const std::filesystem::path path = dir / ("f" + std::to_string(f) + ".pgn");
        // Each file gets two pieces a round: one written, one that finishes it (appended to next round).
        queue.Write(path, buffer);
        EXPECT_EQ(buffer.Size(), 0u);
        buffer.Append("+");
        expected[f] += "+";
        queue.Finish(path, buffer, 1);
      }
    }
    const OutputQueue::Outcome outcome = queue.Close();
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(outcome.files, 3);
    for (int f = 0; f < 3; ++f) EXPECT_EQ(TempDir::Read(dir / ("f" + std::to_string(f) + ".pgn")), expected[f]);
  }
}

// A file that cannot be made is named with the games meant for it; the files after it are
// still written, and one abandoned after a piece went out is left as it was.
TEST(OutputQueue, AFailedFileCountsItsGamesAndAnAbandonedOneIsUndone) {
  TempDir dir;
  TempDir::Write(dir / "kept.pgn", "before ");
  OutputQueue queue(false, {}, 1 << 20);
  OutputBuffer buffer;
  buffer.Append("lost");
  queue.Finish(dir / "no folder" / "a.pgn", buffer, 7);
  buffer.Append("fine");
  queue.Finish(dir / "b.pgn", buffer, 2);
  buffer.Append("half of it");
  queue.Write(dir / "kept.pgn", buffer);
  queue.Abandon();
  buffer.Append("new");
  queue.Write(dir / "c.pgn", buffer);
  queue.Abandon();
  const OutputQueue::Outcome outcome = queue.Close();
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].path, dir / "no folder" / "a.pgn");
  EXPECT_EQ(outcome.failures[0].games, 7);
  EXPECT_FALSE(outcome.failures[0].reason.empty());
  EXPECT_EQ(TempDir::Read(dir / "b.pgn"), "fine");
  EXPECT_EQ(TempDir::Read(dir / "kept.pgn"), "before ");
  EXPECT_FALSE(std::filesystem::exists(dir / "c.pgn"));
  EXPECT_EQ(outcome.files, 1);
}

// A queue dropped without being closed waits for its thread and leaves its unfinished file as
// it was.
TEST(OutputQueue, DroppedUnclosedLeavesTheUnfinishedFileAsItWas) {
  TempDir dir;
  {
    OutputQueue queue(false, {}, 1 << 20);
    OutputBuffer buffer;
    buffer.Append("whole");
    queue.Finish(dir / "a.pgn", buffer, 1);
    buffer.Append("part");
    queue.Write(dir / "b.pgn", buffer);
  }
  EXPECT_EQ(TempDir::Read(dir / "a.pgn"), "whole");
  EXPECT_FALSE(std::filesystem::exists(dir / "b.pgn"));
}

}  // namespace
