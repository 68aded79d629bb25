#include "job/job_problems.h"

#include <gtest/gtest.h>

namespace {

// The command line prints these after "pgnutil: <file>: " and the plug-in after "<file>: ": the
// two must say the same, and a file read in part must say that its earlier games were kept.
TEST(JobProblems, AFileReadInPartSaysWhereItStoppedAndWhatWasKept) {
  EXPECT_EQ(UnreadableText(UnreadableFile{"a.pgn.gz", "gzip data ends early", 608}),
            "read only up to byte 608 of its text (gzip data ends early); the games before it were kept");
  EXPECT_EQ(UnreadableText(UnreadableFile{"gone.pgn", "cannot open the file", 0}), "not read: cannot open the file");
}

TEST(JobProblems, OutputsAndGamesNotWrittenSayWhy) {
  EXPECT_EQ(WriteFailureText(WriteFailure{"out.pgn", "is a folder"}), "not written: is a folder");
  EXPECT_EQ(UnwrittenGameText(UnwrittenGame{"in.pgn", 1234, "its text changed since it was read"}),
            "the game at byte 1234 was not written: its text changed since it was read");
}

}  // namespace
