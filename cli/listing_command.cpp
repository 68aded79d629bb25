#include "cli/listing_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/game_listing.h"
#include "cli/options.h"
#include "cli/program_arguments.h"
#include "cli/standard_streams.h"

namespace {

// The first option given that changes what the main job writes rather than which games it
// selects; "" when there is none.
std::string OptionsInspectIgnores(const CliRequest& request) {
  const CliRequest plain;
  if (request.output != plain.output) return "-o";
  if (!request.reportFile.empty()) return "--report";
  if (!request.rejected.empty()) return "--rejected";
  if (!request.duplicatesTo.empty()) return "--duplicates-to";
  if (!request.renames.empty()) return "a renaming";
  if (request.recursive) return "--recursive";
  if (WithoutFilters(request.options) != TProcessingOptions{}) return "an option of the output";
  if (request.search.stopAfter > 0) return "--stop-after";
  return {};
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments) {
  if (arguments.size() >= 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
    std::fputs(
        "usage: pgnutil inspect FILE... [FILTERS AND SEARCH]\n"
        "Reads each PGN file (- for standard input; gzip, zstd, bzip2 and xz files as their text)\n"
        "with every move checked and writes one JSON object per game to standard output, in file\n"
        "order: its file, position, line, tags, moves and keys; a game that cannot be read gives\n"
        "an object with its status and reason instead, and a note on a game kept (status 201 and\n"
        "above: a Result tag corrected, a tag line left out) follows the game.\n"
        "With the main job's filters (--result, --white, --date-from...) or search (--tag, --games,\n"
        "--position, --pattern, --reaches, --line, --material, --ends-in, --has, --invert...), each\n"
        "game's object also says whether it is \"selected\" and, under \"criteria\", each criterion\n"
        "asked (\"filters\", \"tags\", \"games\", \"position\", \"line\", \"material\", \"ends_in\",\n"
        "\"has\") and whether the game meets it; games are numbered across the files.\n"
        "Exit status: 0, or 1 when a file cannot be read (or not to its end) or the listing cannot\n"
        "be written; 2 for a usage error.\n",
        stdout);
    return 0;
  }
  if (arguments.size() < 2) {
    std::fprintf(stderr, "pgnutil inspect: no file given\n");
    return 2;
  }
  // The files, and the filters' and the search's options, read as the main job reads them.
  std::vector<const char*> argv = {"pgnutil"};
  for (size_t i = 1; i < arguments.size(); ++i) argv.push_back(arguments[i].c_str());
  CliRequest request;
  std::string error;
  int exitCode = 2;
  if (!ParseCommandLine(int(argv.size()), argv.data(), request, error, exitCode)) {
    std::fprintf(stderr, "pgnutil inspect: %s\n", error.c_str());
    return exitCode;
  }
  if (const std::string unused = OptionsInspectIgnores(request); !unused.empty()) {
    std::fprintf(stderr, "pgnutil inspect: %s tells nothing of a game: inspect takes the filters and the search\n",
                 unused.c_str());
    return 2;
  }
  InspectCriteria criteria{WithoutSplits(request.options), request.options != TProcessingOptions{}, request.search};
  // "-" stands for standard input, read as it comes.
  std::vector<std::filesystem::path> files;
  std::vector<std::string> shownAs;
  for (const std::filesystem::path& input : request.inputs) {
    if (IsStandardStream(input.string())) {
      BinaryMode(stdin);
      shownAs.push_back("-");
    } else {
      shownAs.emplace_back();
    }
    files.push_back(input);
  }
  const bool asked = criteria.filtersGiven || criteria.search.Active();
  return Inspect(files, stdout, stderr, shownAs, stdin, asked ? &criteria : nullptr);
}
