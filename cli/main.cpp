// pgnutil: the command line of the PGN engine.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "chess/eco.h"
#include "cli/game_listing.h"
#include "io/host_folder.h"

extern const char BuiltinEcoTable[];
extern const std::size_t BuiltinEcoTableSize;

namespace {

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: pgnutil <command> [arguments]\n"
               "\n"
               "commands:\n"
               "  inspect FILE...   one JSON object per game: where it is, its status, tags, moves and keys\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help")) {
    Usage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  // An ECO table beside the program (plugins/ecos.dat) wins over the one built in.
  SetEcoTableSource(HostProgramFolder() / "plugins" / "ecos.dat",
                    std::string_view(BuiltinEcoTable, BuiltinEcoTableSize));
  const std::string command = argv[1];
  if (command == "inspect") {
    if (argc < 3) {
      std::fprintf(stderr, "pgnutil inspect: no file given\n");
      return 2;
    }
    std::vector<std::filesystem::path> files(argv + 2, argv + argc);
    return Inspect(files, stdout, stderr);
  }
  std::fprintf(stderr, "pgnutil: unknown command \"%s\"\n", command.c_str());
  Usage(stderr);
  return 2;
}
