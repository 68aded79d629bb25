#include "cli/job_summary.h"

#include <map>

#include "cli/count_text.h"
#include "pgn/read_codes.h"

bool IsStrayText(const SkippedGame& skipped) {
  return skipped.issue.code == NotATagSection || skipped.issue.code == Utf16Text;
}

std::string JobSummary(const JobCounts& c, const std::vector<SkippedGame>& skipped,
                       const std::vector<UnwrittenGame>& unwritten, std::optional<int> renamed) {
  std::string text = Counted(c.gamesRead, "game", "games") + " read from " + Counted(c.filesRead, "file", "files");
  if (c.repeats) text += ", " + GroupedCount(c.repeats) + " read twice";
  if (c.duplicates) text += ", " + Counted(c.duplicates, "duplicate", "duplicates") + " dropped";
  text += "\n";
  std::map<int, int64_t> skippedByReason;
  for (const SkippedGame& s : skipped) ++skippedByReason[s.issue.code];
  for (const auto& [code, count] : skippedByReason) {
    const std::string what = code == NotATagSection ? Counted(count, "stretch of text", "stretches of text")
                             : code == Utf16Text    ? Counted(count, "file", "files")
                                                    : Counted(count, "game", "games");
    const char* verb = IsNoteCode(code) ? " kept, but: " : " skipped: ";
    text += "  " + what + verb + DescribeReadCode(code) + " (code " + std::to_string(code) + ")\n";
  }
  if (renamed) text += Counted(*renamed, "name", "names") + " renamed\n";
  if (c.filteredOut) text += Counted(c.filteredOut, "game", "games") + " filtered out\n";
  if (c.pastStopAfter) text += Counted(c.pastStopAfter, "game", "games") + " more selected, left out by --stop-after\n";
  text += Counted(c.written, "game", "games") + " written into " + Counted(c.outputFiles, "file", "files") + "\n";
  if (c.outputFilesAppended)
    text += "  " + Counted(c.outputFilesAppended, "file", "files") +
            (c.outputFilesAppended == 1 ? " existed already and was" : " existed already and were") +
            " appended to (--overwrite replaces such files)\n";
  if (c.lostToWriteFailures)
    text += Counted(c.lostToWriteFailures, "game", "games") + " not written: their file could not be written\n";
  std::map<std::string, int64_t> unwrittenByReason;
  for (const UnwrittenGame& game : unwritten) ++unwrittenByReason[game.reason];
  for (const auto& [reason, count] : unwrittenByReason)
    text += Counted(count, "game", "games") + " not written: " + reason + "\n";
  return text;
}

std::string NoGameHint(const JobCounts& counts, const TProcessingOptions& options) {
  if (counts.written > 0 || counts.filteredOut == 0) return {};
  std::string names;
  for (const std::string* name : {&options.whitePlayer, &options.blackPlayer})
    if (!name->empty() && !(name == &options.blackPlayer && options.ignorePlayerColour))
      names += (names.empty() ? "\"" : " or \"") + *name + "\"";
  if (names.empty()) return {};
  return "no game has " + names +
         ": names match only byte for byte as the tags hold them (\"Tal, Mikhail\", not \"Tal\")";
}
