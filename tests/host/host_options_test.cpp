// The host's command line: the plug-in, the games files, the script and the inert mode.
#include <gtest/gtest.h>

#include "host/host_options.h"

namespace {

TEST(HostOptions, ReadsThePlugInTheGamesAndTheScript) {
  const HostOptions o = ParseHostOptions({L"--games", L"a.pgn", L"b.pgn", L"--script", L"s.txt", L"engpgn_util.dll"});
  EXPECT_EQ(o.error, "");
  EXPECT_EQ(o.plugin, "engpgn_util.dll");
  ASSERT_EQ(o.games.size(), 2u);
  EXPECT_EQ(o.games[1], "b.pgn");
  EXPECT_EQ(o.script, "s.txt");
  EXPECT_FALSE(o.withoutCommentService);
}

TEST(HostOptions, GamesLastLeaveThePlugInAtTheEnd) {
  const HostOptions o = ParseHostOptions({L"--games", L"a.pgn", L"b.pgn", L"engpgn_util.dll"});
  EXPECT_EQ(o.error, "");
  EXPECT_EQ(o.plugin, "engpgn_util.dll");
  EXPECT_EQ(o.games.size(), 2u);
  // With the plug-in named first, every later name is a games file.
  const HostOptions first = ParseHostOptions({L"engpgn_util.dll", L"--games", L"a.pgn", L"b.pgn"});
  EXPECT_EQ(first.error, "");
  EXPECT_EQ(first.plugin, "engpgn_util.dll");
  EXPECT_EQ(first.games.size(), 2u);
}

TEST(HostOptions, RefusesWhatItCannotUse) {
  EXPECT_EQ(ParseHostOptions({}).error, "no plug-in given");
  EXPECT_EQ(ParseHostOptions({L"a.dll", L"b.dll"}).error, "more than one plug-in given");
  EXPECT_EQ(ParseHostOptions({L"--script"}).error, "--script needs a file");
  EXPECT_EQ(ParseHostOptions({L"--games", L"--script", L"s", L"p.dll"}).error, "--games needs at least one file");
  EXPECT_EQ(ParseHostOptions({L"--games", L"p.dll"}).error, "--games needs at least one file");
  EXPECT_EQ(ParseHostOptions({L"--verbose", L"p.dll"}).error, "unknown option --verbose");
  EXPECT_TRUE(ParseHostOptions({L"--without-comment-service", L"p.dll"}).withoutCommentService);
}

}  // namespace
