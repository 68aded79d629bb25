// Standard output goes through a file of a private temporary folder: bytes pass unchanged, and
// the folder goes away with what it holds.
#include "cli/standard_streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(StandardStreams, TheTemporaryFolderGoesWithWhatItHolds) {
  std::filesystem::path kept;
  {
    TemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty()) << folder.error;
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path()));
#ifndef _WIN32
    // Nobody else may look in.
    EXPECT_EQ(std::filesystem::status(folder.Path()).permissions() &
                  (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
#endif
    std::ofstream(folder.Path() / "games.pgn") << "[Event \"x\"]\r\n";
    TemporaryFolder other;
    EXPECT_NE(other.Path(), folder.Path());
    kept = folder.Path();
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(StandardStreams, BytesPassUnchangedToTheStream) {
  TemporaryFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  // CR LF, a NUL, bytes above 127 and more than one block of the copy.
  std::string text = "[Event \"\xC0\xE1\"]\r\n\r\n1.e4 *\r\n";
  text += std::string(1, '\0');
  while (text.size() < 200'000) text += text.substr(0, 37);
  std::ofstream(folder.Path() / "in.pgn", std::ios::binary) << text;
  ASSERT_EQ(Bytes(folder.Path() / "in.pgn"), text);
  std::string error;

  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  bool cutShort = true;
  ASSERT_TRUE(CopyFileToStream(folder.Path() / "in.pgn", out, error, cutShort)) << error;
  EXPECT_FALSE(cutShort);
  std::rewind(out);
  std::string back(text.size() + 1, '\0');
  EXPECT_EQ(std::fread(back.data(), 1, back.size(), out), text.size());
  back.resize(text.size());
  EXPECT_EQ(back, text);
  std::fclose(out);
}

TEST(StandardStreams, NoFileWrittenCopiesNothing) {
  TemporaryFolder folder;
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  std::string error;
  bool cutShort = false;
  EXPECT_TRUE(CopyFileToStream(folder.Path() / "none.pgn", out, error, cutShort));
  EXPECT_EQ(std::ftell(out), 0);
  std::fclose(out);
}

TEST(StandardStreams, OnlyADashIsAStreamAndOnlySplitsSplit) {
  EXPECT_TRUE(IsStandardStream("-"));
  EXPECT_FALSE(IsStandardStream("-.pgn"));
  EXPECT_FALSE(IsStandardStream("./-"));
  TProcessingOptions options;
  EXPECT_FALSE(SplitsOutput(options));
  options.removeDuplicates = options.addEcoNames = true;
  options.ecoOpening = "B";
  EXPECT_FALSE(SplitsOutput(options));
  for (auto set : std::initializer_list<void (*)(TProcessingOptions&)>{
           [](TProcessingOptions& o) { o.splitEcoLevel = EcoSplit::Letter; },
           [](TProcessingOptions& o) { o.splitDateLevel = DateSplit::Month; },
           [](TProcessingOptions& o) { o.splitByPlayer = true; }, [](TProcessingOptions& o) { o.splitByResult = true; },
           [](TProcessingOptions& o) { o.splitBlackEloParts = 2; }}) {
    TProcessingOptions split;
    set(split);
    EXPECT_TRUE(SplitsOutput(split));
  }
}

}  // namespace
