// Standard input and output go through files of a private temporary folder: bytes pass
// unchanged both ways, and the folder goes away with what it holds.
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

TEST(StandardStreams, BytesPassUnchangedBothWays) {
  TemporaryFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  // CR LF, a NUL, bytes above 127 and more than one block of the copy.
  std::string text = "[Event \"\xC0\xE1\"]\r\n\r\n1.e4 *\r\n";
  text += std::string(1, '\0');
  while (text.size() < 200'000) text += text.substr(0, 37);
  std::FILE* in = std::tmpfile();
  ASSERT_NE(in, nullptr);
  std::fwrite(text.data(), 1, text.size(), in);
  std::rewind(in);
  std::string error;
  ASSERT_TRUE(CopyStreamToFile(in, folder.Path() / "in.pgn", error)) << error;
  std::fclose(in);
  EXPECT_EQ(Bytes(folder.Path() / "in.pgn"), text);

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

TEST(StandardStreams, TheCopyTellsItsProgressAndStopsWhenTold) {
  TemporaryFolder folder;
  std::FILE* in = std::tmpfile();
  ASSERT_NE(in, nullptr);
  const std::string text(300'000, 'x');
  std::fwrite(text.data(), 1, text.size(), in);
  std::rewind(in);
  std::vector<int64_t> told;
  std::string error;
  ASSERT_TRUE(CopyStreamToFile(in, folder.Path() / "all.pgn", error, [&](int64_t bytes) {
    told.push_back(bytes);
    return true;
  }));
  ASSERT_FALSE(told.empty());
  EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
  EXPECT_EQ(told.back(), int64_t(text.size()));
  // Answering false ends the copy as a failure.
  std::rewind(in);
  int calls = 0;
  EXPECT_FALSE(CopyStreamToFile(in, folder.Path() / "part.pgn", error, [&](int64_t) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(error, "stopped");
  EXPECT_LT(std::filesystem::file_size(folder.Path() / "part.pgn"), text.size());
  std::fclose(in);
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
  // A file that cannot be made is a failure that says which.
  std::FILE* in = std::tmpfile();
  EXPECT_FALSE(CopyStreamToFile(in, folder.Path() / "no folder" / "in.pgn", error));
  EXPECT_NE(error.find("in.pgn"), std::string::npos) << error;
  std::fclose(in);
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
           [](TProcessingOptions& o) { o.splitEcoLevel = 1; }, [](TProcessingOptions& o) { o.splitDateLevel = 2; },
           [](TProcessingOptions& o) { o.splitByPlayer = true; }, [](TProcessingOptions& o) { o.splitByResult = true; },
           [](TProcessingOptions& o) { o.splitBlackEloParts = 2; }}) {
    TProcessingOptions split;
    set(split);
    EXPECT_TRUE(SplitsOutput(split));
  }
}

}  // namespace
