// The progress line on a terminal: it never wraps, its columns stay put, long file names give
// way from their start, and rates read as people write them.
#include "cli/progress_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressLine, ColumnsStayPutAndNothingWraps) {
  const std::string a = ProgressLine("Load games...", "games.pgn", 0.5, "61.2 MB/s");
  const std::string b = ProgressLine("Save games...", "out_eco=B.pgn", 1.0, "12,345 games/s");
  EXPECT_EQ(a.find('['), b.find('['));
  EXPECT_EQ(a.substr(a.find('['), 22), "[##########..........]");
  EXPECT_EQ(b.substr(b.find('['), 22), "[####################]");
  EXPECT_EQ(a.rfind("61.2 MB/s"), a.size() - 9);
  for (const std::string& line :
       {a, b, ProgressLine(std::string(200, 's'), std::string(300, 'f'), 2.0, std::string(100, 'r')),
        ProgressLine("get not yet loaded games...", "a very long name of a PGN file.pgn", -1, "1,234,567 games/s")})
    EXPECT_LE(line.size(), ProgressLineWidth) << line;
}

TEST(ProgressLine, LongFileNamesKeepTheirEnd) {
  const std::string line = ProgressLine("Load games...", "the collection of every world championship.pgn", 0, "");
  EXPECT_NE(line.find(" ...mpionship.pgn ["), std::string::npos) << line;
  EXPECT_NE(line.find("[....................]"), std::string::npos);
  // The longest stage text keeps the file, shortened further, and the rate.
  const std::string longest = ProgressLine("get not yet loaded games...", "games.pgn", 0.25, "1,234,567 games/s");
  EXPECT_NE(longest.find("get not yet loaded games... games.pgn"), std::string::npos) << longest;
  EXPECT_NE(longest.find("1,234,567 games/s"), std::string::npos) << longest;
}

TEST(ProgressLine, RatesAsPeopleWriteThem) {
  EXPECT_EQ(ByteRate(61'234'567, 1.0), "61.2 MB/s");
  EXPECT_EQ(ByteRate(5'000'000, 2.0), "2.5 MB/s");
  EXPECT_EQ(GameRate(1'234'567, 1.0), "1,234,567 games/s");
  EXPECT_EQ(GameRate(999, 1.0), "999 games/s");
  EXPECT_EQ(GameRate(1000, 1.0), "1,000 games/s");
  EXPECT_EQ(GameRate(35'571, 0.5), "71,142 games/s");
  // Before a tenth of a second no figure would mean anything (the first drawing came out as
  // 14 million games a second).
  EXPECT_EQ(GameRate(37'971, 0.002), "");
  EXPECT_EQ(ByteRate(1'000'000, 0.05), "");
}

}  // namespace
