#include "cli/listing_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/game_listing.h"
#include "cli/program_arguments.h"
#include "cli/standard_streams.h"

int RunInspect(const std::vector<std::string>& arguments) {
  if (arguments.size() >= 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
    std::fputs(
        "usage: pgnutil inspect FILE...\n"
        "Reads each PGN file (- for standard input; gzip, zstd, bzip2 and xz files as their text)\n"
        "with every move checked and writes one JSON object per game to standard output, in file\n"
        "order: its file, position, line, tags, moves and keys; a game that cannot be read gives\n"
        "an object with its status and reason instead, and a note on a game kept (status 201 and\n"
        "above: a Result tag corrected, a tag line left out) follows the game. Exit status: 0, or\n"
        "1 when a file cannot be read (or not to its end) or the listing cannot be written.\n",
        stdout);
    return 0;
  }
  if (arguments.size() < 2) {
    std::fprintf(stderr, "pgnutil inspect: no file given\n");
    return 2;
  }
  // "-" stands for standard input, read as it comes.
  std::vector<std::filesystem::path> files;
  std::vector<std::string> shownAs;
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (IsStandardStream(arguments[i])) {
      BinaryMode(stdin);
      files.push_back("-");
      shownAs.push_back("-");
      continue;
    }
    for (const std::filesystem::path& path : InputsFromArgument(arguments[i])) {
      files.push_back(path);
      shownAs.emplace_back();
    }
  }
  return Inspect(files, stdout, stderr, shownAs, stdin);
}
