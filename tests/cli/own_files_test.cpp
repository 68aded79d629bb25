// Files for the job's own use (--report, --settings) that are files of games: an input under
// any spelling, a .pgn file a folder input reads, or the output file.
#include "cli/own_files.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

TEST(OwnFiles, AnInputUnderAnySpellingIsRefused) {
  TempDir dir;
  TempDir::Write(dir / "games.pgn", "[Event \"e\"]\n\n*\n");
  const std::vector<std::filesystem::path> inputs = {dir / "games.pgn"};
  EXPECT_NE(ClashWithGames(dir / "games.pgn", inputs, false, {}), "");
  EXPECT_NE(ClashWithGames(dir / "." / "games.pgn", inputs, false, {}), "");
#ifndef _WIN32
  std::filesystem::create_symlink(dir / "games.pgn", dir / "link.txt");
  EXPECT_NE(ClashWithGames(dir / "link.txt", inputs, false, {}), "");
#endif
  EXPECT_EQ(ClashWithGames(dir / "report.txt", inputs, false, {}), "");
  // Standard input is no file here.
  EXPECT_EQ(ClashWithGames(dir / "report.txt", {"-"}, false, {}), "");
}

TEST(OwnFiles, AFileAFolderInputWouldReadIsRefused) {
  TempDir dir;
  std::filesystem::create_directories(dir / "deep" / "er");
  const std::vector<std::filesystem::path> inputs = {dir / "deep"};
  EXPECT_NE(ClashWithGames(dir / "deep" / "report.pgn", inputs, false, {}), "");
  EXPECT_NE(ClashWithGames(dir / "deep" / "report.PGN", inputs, false, {}), "");
  EXPECT_EQ(ClashWithGames(dir / "deep" / "report.txt", inputs, false, {}), "");
  // Below the folder only when the folders below are read.
  EXPECT_EQ(ClashWithGames(dir / "deep" / "er" / "report.pgn", inputs, false, {}), "");
  EXPECT_NE(ClashWithGames(dir / "deep" / "er" / "report.pgn", inputs, true, {}), "");
}

TEST(OwnFiles, TheOutputFileIsRefusedWhetherOrNotItExists) {
  TempDir dir;
  EXPECT_NE(ClashWithGames(dir / "out.pgn", {}, false, dir / "out.pgn"), "");
  EXPECT_NE(ClashWithGames(dir / "sub" / ".." / "out.pgn", {}, false, dir / "out.pgn"), "");
  TempDir::Write(dir / "out.pgn", "");
  EXPECT_NE(ClashWithGames(dir / "./out.pgn", {}, false, dir / "out.pgn"), "");
  EXPECT_EQ(ClashWithGames(dir / "out.txt", {}, false, dir / "out.pgn"), "");
  EXPECT_EQ(ClashWithGames(dir / "out.pgn", {}, false, {}), "");  // a split names no one file
}

}  // namespace
