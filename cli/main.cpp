// pgnutil: the command line of the PGN engine.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "chess/eco.h"
#include "cli/game_listing.h"
#include "cli/main_job.h"
#include "cli/options.h"
#include "cli/program_arguments.h"
#include "io/host_folder.h"

extern const char BuiltinEcoTable[];
extern const std::size_t BuiltinEcoTableSize;

namespace {

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: pgnutil [options] INPUT...      (pgnutil --help for every option)\n"
               "       pgnutil inspect FILE...          one JSON object per game\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = ProgramArguments(argc, argv);
  if (arguments.empty()) {
    Usage(stderr);
    return 2;
  }
  // An ECO table beside the program (plugins/ecos.dat) wins over the one built in.
  SetEcoTableSource(HostProgramFolder() / "plugins" / "ecos.dat",
                    std::string_view(BuiltinEcoTable, BuiltinEcoTableSize));
  if (arguments[0] == "inspect") {
    if (arguments.size() < 2) {
      std::fprintf(stderr, "pgnutil inspect: no file given\n");
      return 2;
    }
    std::vector<std::filesystem::path> files;
    for (size_t i = 1; i < arguments.size(); ++i) files.push_back(PathFromArgument(arguments[i]));
    return Inspect(files, stdout, stderr);
  }
  std::vector<const char*> argumentTexts = {"pgnutil"};
  for (const std::string& argument : arguments) argumentTexts.push_back(argument.c_str());
  CliRequest request;
  std::string error;
  int exitCode = 2;
  if (!ParseCommandLine(int(argumentTexts.size()), argumentTexts.data(), request, error, exitCode)) {
    std::fputs(error.c_str(), exitCode == 0 ? stdout : stderr);
    return exitCode;
  }
  const int status = RunMainJob(request);
  // The loaded games go with the process: freeing them one by one first would only cost time
  // (for a large collection, a noticeable part of a second). Every file is closed by now.
  std::fflush(nullptr);
  std::_Exit(status);
}
