// pgnutil: the command line of the PGN engine.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chess/eco.h"
#include "cli/listing_command.h"
#include "cli/main_job.h"
#include "cli/options.h"
#include "cli/program_arguments.h"
#include "cli/standard_streams.h"
#include "io/host_folder.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifdef __ELF__
// Present only in a build that counts its paths for the optimiser (scripts/build-release):
// writes the counts, which _Exit would skip.
extern "C" void __gcov_dump() __attribute__((weak));
#endif

extern const char BuiltinEcoTable[];
extern const std::size_t BuiltinEcoTableSize;

namespace {

// Every thread's heap is reserved whole but opened for use a page at a time, one mprotect call
// each, and each call takes the lock of the process's memory map that the other threads' page
// faults wait on: loading a 25 MB folder made 31,000 of them, half the time the job spent in the
// kernel. With a pad the heap opens in one step of 64 MiB of address space (pages still cost
// memory only once touched). But a heap then also keeps up to that much freed memory instead of
// handing it back, so not when a small memory budget asks for frugality.
void TuneMemoryAllocator([[maybe_unused]] int64_t budgetMiB) {
#ifdef __GLIBC__
  if (budgetMiB == 0 || budgetMiB >= 256) mallopt(M_TOP_PAD, 64 << 20);
#endif
}

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
  if (arguments[0] == "inspect") return RunInspect(arguments);
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
  TuneMemoryAllocator(request.memoryMiB);
  const int status = RunMainJob(request);
  // The loaded games go with the process: freeing them one by one first would only cost time
  // (for a large collection, a noticeable part of a second). Every file is closed by now.
  std::fflush(nullptr);
#ifdef __ELF__
  if (__gcov_dump) __gcov_dump();
#endif
  std::_Exit(status);
}
