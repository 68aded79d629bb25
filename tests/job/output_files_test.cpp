// The output files of one job: another name for a file written already leads to it, a file that
// is also a source is written aside until the end, files appended to are counted.
#include "job/output_files.h"

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
  EXPECT_EQ(TempDir::Read(dir / "old.pgn"), "old new");
  EXPECT_EQ(files.AppendedToExisting(), 1);
  EXPECT_EQ(files.FileCount(), 2);
}

}  // namespace
