// The listing's place of each game: its byte position and line, counted alike for every kind of
// line end, inside and across the reading's windows, whatever the comments hold.
#include "cli/game_listing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

// A game whose lines end with `end`, with a comment of several lines (one of them opening with
// "[", which must not be taken for a tag).
std::string Game(int number, const std::string& end) {
  return "[Event \"game " + std::to_string(number) + "\"]" + end + "[Result \"1-0\"]" + end + end + "1. e4 {a comment" +
         end + "[%clk 0:01:00] over" + end + "lines} e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0" + end + end;
}

// The lines the (ascending) byte positions `starts` of `text` lie on, as an editor numbers
// them: LF, CR LF and a lone CR each end one.
std::vector<int> LinesAt(const std::string& text, const std::vector<size_t>& starts) {
  std::vector<int> lines;
  int line = 1;
  size_t i = 0;
  for (const size_t start : starts) {
    for (; i < start; ++i)
      if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    lines.push_back(line);
  }
  return lines;
}

TEST(GameListing, PositionsAndLinesHoldForEveryLineEndAcrossWindows) {
  TempDir dir;
  const std::string ends[] = {"\n", "\r\n", "\r"};
  std::string text;
  std::vector<size_t> starts;
  // Past the first reading window (8 MB): the count goes on from one window into the next.
  for (int i = 0; text.size() < (size_t(9) << 20); ++i) {
    starts.push_back(text.size());
    text += Game(i, ends[(i / 7) % 3]);
  }
  TempDir::Write(dir / "games.pgn", text);
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(Inspect({dir / "games.pgn"}, out, stderr), 0);
  std::rewind(out);
  std::string listing;
  char chunk[1 << 16];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, out)) > 0;) listing.append(chunk, got);
  std::fclose(out);

  const std::vector<int> lines = LinesAt(text, starts);
  const std::regex place(R"("position":(\d+),"line":(\d+),"status":0)");
  size_t game = 0;
  int wrong = 0;
  for (auto it = std::sregex_iterator(listing.begin(), listing.end(), place); it != std::sregex_iterator(); ++it) {
    ASSERT_LT(game, starts.size());
    const size_t position = std::stoul((*it)[1]);
    const int line = std::stoi((*it)[2]);
    if (position != starts[game] + 1 || line != lines[game]) {
      if (++wrong <= 5) ADD_FAILURE() << "game " << game << ": position " << position << " line " << line;
    }
    ++game;
  }
  EXPECT_EQ(game, starts.size());
  EXPECT_EQ(wrong, 0);
}

}  // namespace
