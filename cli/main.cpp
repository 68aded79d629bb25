// pgnutil: the command line of the PGN engine.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "chess/eco.h"
#include "cli/listing_command.h"
#include "cli/main_job.h"
#include "cli/memory_allocator.h"
#include "cli/options.h"
#include "cli/program_arguments.h"
#include "cli/standard_streams.h"
#include "io/host_folder.h"

#ifdef __ELF__
// Present only in a build that counts its paths for the optimiser (scripts/build-release):
// writes the counts, which _Exit would skip.
extern "C" void __gcov_dump() __attribute__((weak));
#endif

extern const char BuiltinEcoTable[];
extern const std::size_t BuiltinEcoTableSize;

namespace {

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: pgnutil [options] INPUT...      (pgnutil --help for every option)\n"
               "       pgnutil inspect FILE...          one JSON object per game (- for standard input)\n");
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
    TuneMemoryAllocator(0, ReadsMuch({arguments.begin() + 1, arguments.end()}) ? argv : nullptr);
    return RunInspect(arguments);
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
  if (!request.settingsFile.empty()) {
    // The file's options first, then those given on the command line over them.
    std::string problem;
    const std::optional<TProcessingOptions> saved = OptionsOfSettingsFile(request.settingsFile, problem);
    if (!saved) {
      std::fprintf(stderr, "pgnutil: --settings: %s\n", problem.c_str());
      return 2;
    }
    CliRequest combined;
    combined.options = *saved;
    ParseCommandLine(int(argumentTexts.size()), argumentTexts.data(), combined, error, exitCode);
    request = std::move(combined);
  }
  // Starting again reads the settings file again: not when it came from a stream, read once;
  // nor for a small job, which it would only delay.
  std::error_code ignored;
  const bool mayStartAgain =
      request.settingsFile.empty() || std::filesystem::is_regular_file(request.settingsFile, ignored);
  TuneMemoryAllocator(request.memoryMiB, mayStartAgain && ReadsMuch(request.inputs) ? argv : nullptr);
  const int status = RunMainJob(request);
  // The loaded games go with the process: freeing them one by one first would only cost time
  // (for a large collection, a noticeable part of a second). Every file is closed by now.
  std::fflush(nullptr);
#ifdef __ELF__
  if (__gcov_dump) __gcov_dump();
#endif
  std::_Exit(status);
}
