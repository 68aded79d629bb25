// The folders a folder given to pgnutil stands for: all of them with --recursive, in an order
// that does not depend on the file system, and never endlessly.
#include "cli/input_folders.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class InputFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("pgnutil_folders_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(root);
    for (const char* folder : {"b", "a/deeper", "a/deeper/deepest", "c"})
      std::filesystem::create_directories(root / folder);
    std::ofstream(root / "a" / "games.pgn") << "\n";
    std::ofstream(root / "c.pgn") << "\n";  // a file, not a folder
  }
  void TearDown() override { std::filesystem::remove_all(root); }
  std::filesystem::path root;
};

TEST_F(InputFolders, WithoutRecursionOnlyTheFolderItself) {
  EXPECT_EQ(FoldersToRead(root, false), std::vector<std::filesystem::path>{root});
}

TEST_F(InputFolders, RecursionGoesDepthFirstInNameOrder) {
  const std::vector<std::filesystem::path> expected = {
      root, root / "a", root / "a" / "deeper", root / "a" / "deeper" / "deepest", root / "b", root / "c"};
  EXPECT_EQ(FoldersToRead(root, true), expected);
}

TEST_F(InputFolders, ALinkBackUpTheTreeIsNotFollowed) {
  std::error_code error;
  std::filesystem::create_directory_symlink(root, root / "a" / "loop", error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  EXPECT_EQ(FoldersToRead(root, true).size(), 6u);
}

TEST_F(InputFolders, SubfoldersAreNoticed) {
  EXPECT_TRUE(HasSubfolders(root));
  EXPECT_FALSE(HasSubfolders(root / "b"));
  EXPECT_FALSE(HasSubfolders(root / "no such folder"));
}

}  // namespace
